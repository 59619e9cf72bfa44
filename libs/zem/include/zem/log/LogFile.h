// The log file: every dispatched line, in UTF-16LE after a byte-order mark, with its level
// tag and source name. Lines go through a low-priority writer thread ("DelayedLogWrite")
// so that logging threads never wait for the disk.
#pragma once
#include "zem/log/LogManager.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace zem {

class File;
class DelayedLogFileWrite;

class LogFile : public LogListener {
public:
    enum Flags : uint32_t {
        DELAYED = 1,      // write through the writer thread
        SOURCE_NAMES = 2, // "source: " before the text (not for the "Unknown" source)
        LEVEL_PREFIX = 4, // the 13-character level tag first
    };

    // Recreates the file (truncated) and writes the byte-order mark. When the file cannot
    // be opened the object stays without a file and ignores every line.
    explicit LogFile(const std::wstring& path = L"user:debug.log",
                     uint32_t flags = DELAYED | SOURCE_NAMES | LEVEL_PREFIX);
    // Unsubscribes, writes every queued line, stops the writer and closes the file.
    ~LogFile() override;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Under the log lock (the log manager calls it so).
    void onLog(LogMessage* record) override;
    bool accept(LogMessage*) override { return true; }

    bool isOpen() const { return m_file != nullptr; }
    const std::wstring& getPath() const { return m_path; }
    uint32_t getFlags() const { return m_flags; }

    // The tag a level is written with, e.g. "[ WARNING  ] ".
    static const wchar_t* levelTag(int level);
    // The line as it is written, line feed included.
    std::wstring formatLine(const LogMessage* record) const;

private:
    friend class DelayedLogFileWrite;

    // Under the log lock: writes one line; false when the file did not take it all.
    bool write(const LogMessage* record);
    // Under the log lock: pushes what was written to the system.
    bool flush();
    // Reports a change from good to failed once; returns ok.
    bool noteWriteResult(bool ok);

    uint32_t m_flags;
    std::wstring m_path;
    std::shared_ptr<File> m_file;            // null when the file could not be opened
    DelayedLogFileWrite* m_writer = nullptr; // null without DELAYED
    bool m_failed = false;                   // guarded by the log lock: the last write failed
};

} // namespace zem
