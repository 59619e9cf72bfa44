#include "zem/log/LogFile.h"
#include "support/LogCapture.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "zem/base/Error.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using zem::LogFile;

// The bytes of the one file of MemoryLogDevice, shared with the test.
struct Store {
    zem::CriticalSection lock;
    std::string bytes;       // guarded by lock
    bool failWrites = false; // guarded by lock
    int flushes = 0;         // guarded by lock

    std::string read() {
        zem::CriticalSectionLock guard(lock);
        return bytes;
    }
    void setFailing(bool on) {
        zem::CriticalSectionLock guard(lock);
        failWrites = on;
    }
};

class MemoryFile : public zem::File {
public:
    MemoryFile(zem::FileDevice* device, Store& store, const wchar_t* path)
        : m_device(device), m_store(store), m_path(path) {}
    bool isOpen() const override { return true; }
    const wchar_t* getPath() const override { return m_path.c_str(); }
    uint32_t getSize() override {
        zem::CriticalSectionLock guard(m_store.lock);
        return static_cast<uint32_t>(m_store.bytes.size());
    }
    uint32_t tell() override { return getSize(); }
    bool truncate() override { return false; }
    uint32_t read(void*, uint32_t) override { return 0; }
    uint32_t write(const void* buffer, uint32_t count) override {
        zem::CriticalSectionLock guard(m_store.lock);
        if (m_store.failWrites) {
            zem::setError(ERROR_DISK_FULL);
            return 0;
        }
        m_store.bytes.append(static_cast<const char*>(buffer), count);
        return count;
    }
    uint32_t seek(int, int32_t) override { return INVALID_POSITION; }
    bool flush() override {
        zem::CriticalSectionLock guard(m_store.lock);
        ++m_store.flushes;
        return !m_store.failWrites;
    }
    zem::FileDevice* getDevice() const override { return m_device; }

private:
    zem::FileDevice* m_device;
    Store& m_store;
    std::wstring m_path;
};

// A device of the test's own whose only file lives in memory and can be told to fail.
class MemoryLogDevice : public zem::FileDevice {
public:
    explicit MemoryLogDevice(Store& store) : m_store(store) {}
    bool isValid() const override { return true; }
    const zem::FileDeviceInfo& getInfo() override { return m_info; }
    bool openFile(zem::FileRequest& request, zem::File*& out) override {
        if (request.mode != zem::FILE_MODE_WRITE)
            return false;
        {
            zem::CriticalSectionLock guard(m_store.lock);
            m_store.bytes.clear();
        }
        out = new MemoryFile(this, m_store, request.fullPath);
        InterlockedIncrement(&m_info.ref_count);
        return true;
    }
    bool openDirectory(zem::FileRequest&, zem::Directory*&) override { return false; }
    bool openWatchHandle(zem::FileRequest&, zem::DirObserver*, bool, zem::DirObserverHandle*&) override {
        return false;
    }
    bool getAttributes(zem::FileRequest&, zem::FileInfo*) override { return false; }
    bool deleteFile(zem::FileRequest&) override { return false; }
    bool removeDirectory(zem::FileRequest&) override { return false; }
    bool createDirectory(zem::FileRequest&) override { return false; }
    bool setAttributes(zem::FileRequest&, const zem::FileAttributeChange&) override { return false; }
    bool getFullPath(zem::FileRequest&, zem::WorkString&, bool) override { return false; }
    bool normalizePath(zem::FileRequest&, zem::WorkString&) override { return false; }
    bool move(zem::FileRequest&, const wchar_t*, const wchar_t*, uint32_t) override { return false; }
    bool closeFile(zem::File* file) override {
        delete file;
        InterlockedDecrement(&m_info.ref_count);
        return true;
    }
    bool closeDirectory(zem::Directory*) override { return false; }
    bool closeWatchHandle(zem::DirObserverHandle*) override { return false; }

private:
    Store& m_store;
    zem::FileDeviceInfo m_info;
};

std::wstring asText(const std::string& bytes) {
    std::wstring out(bytes.size() / 2, L'\0');
    std::memcpy(&out[0], bytes.data(), out.size() * 2);
    return out;
}

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w)
        out += c == L'\n' ? '|' : (c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// Files give no signal when they change: poll them, with a deadline.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    return zemtest::waitUntil(done, timeoutMs, [](DWORD left) { Sleep(left < 20 ? left : 20); });
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = std::make_unique<MemoryLogDevice>(store);
        ASSERT_TRUE(zem::fileAttachDevice(device.get(), L"memlog", 0));
        source = zem::LogManager_Impl::instance().registerSource(L"LogFileTest");
    }
    void TearDown() override {
        file.reset(); // unsubscribes itself
        zem::fileDetachDevice(L"memlog");
        device.reset();
    }

    void open(uint32_t flags, bool replay = false) {
        file = std::make_unique<LogFile>(L"memlog:debug.log", flags);
        ASSERT_TRUE(file->isOpen());
        zem::LogManager_Impl::instance().addListener(file.get(), replay);
    }
    // The lines of the file that hold marker, in order.
    std::vector<std::wstring> linesWith(const std::wstring& marker) {
        std::wstring text = asText(store.read());
        std::vector<std::wstring> out;
        size_t start = text.size() > 0 && text[0] == 0xFEFF ? 1 : 0;
        while (start < text.size()) {
            size_t end = text.find(L'\n', start);
            std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end + 1 - start);
            if (line.find(marker) != std::wstring::npos)
                out.push_back(line);
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        return out;
    }

    Store store;
    std::unique_ptr<MemoryLogDevice> device;
    std::unique_ptr<LogFile> file;
    uint32_t source = 0;
};

struct LineRow {
    uint32_t flags;
    int level;
    bool ownSource; // else the "Unknown" source
    const wchar_t* text;
    const wchar_t* expected;
};

TEST_F(LogFileTest, LineLayoutTable) {
    const LineRow rows[] = {
        {6, zem::LOG_DEBUG, true, L"d#1", L"[ DEBUG    ] LogFileTest: d#1\n"},
        {6, zem::LOG_INFO, true, L"i#2", L"[ INFO     ] LogFileTest: i#2\n"},
        {6, zem::LOG_WARNING, true, L"w#3", L"[ WARNING  ] LogFileTest: w#3\n"},
        {6, zem::LOG_ERROR, true, L"e#4", L"[ ERROR    ] LogFileTest: e#4\n"},
        {6, zem::LOG_CRITICAL, true, L"c#5", L"[ CRITICAL ] LogFileTest: c#5\n"},
        {6, 7, true, L"u#6", L"[ UNKNOWN  ] LogFileTest: u#6\n"},
        {6, -1, true, L"u#7", L"[ UNKNOWN  ] LogFileTest: u#7\n"},
        {6, zem::LOG_INFO, false, L"n#8", L"[ INFO     ] n#8\n"}, // the "Unknown" source has no name
        {4, zem::LOG_INFO, true, L"p#9", L"[ INFO     ] p#9\n"},
        {2, zem::LOG_INFO, true, L"s#10", L"LogFileTest: s#10\n"},
        {0, zem::LOG_INFO, true, L"x#11", L"x#11\n"},
    };
    for (const LineRow& row : rows) {
        open(row.flags);
        zem::logMessage(row.level, row.ownSource ? source : zem::LOG_UNKNOWN_SOURCE, L"%s\n", row.text);
        std::vector<std::wstring> lines = linesWith(row.text);
        std::wstring actual = lines.size() == 1 ? lines[0] : L"(" + std::to_wstring(lines.size()) + L" lines)";
        EXPECT_EQ(row.expected, actual) << "flags " << row.flags << " level " << row.level << ": "
                                        << narrow(row.expected) << " / " << narrow(actual);
        file.reset();
    }
}

TEST_F(LogFileTest, StartsWithTheMarkAndItsOwnNotice) {
    open(LogFile::SOURCE_NAMES | LogFile::LEVEL_PREFIX, true);
    std::string bytes = store.read();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ('\xFF', bytes[0]);
    EXPECT_EQ('\xFE', bytes[1]);
    std::vector<std::wstring> notice = linesWith(L"Log file 'memlog:debug.log' has been created");
    ASSERT_FALSE(notice.empty());
    EXPECT_EQ(L"[ INFO     ] LogManager: Log file 'memlog:debug.log' has been created\n", notice.back());
}

TEST_F(LogFileTest, DestroyingWritesEveryQueuedLineInOrder) {
    open(LogFile::DELAYED | LogFile::SOURCE_NAMES | LogFile::LEVEL_PREFIX);
    for (int i = 0; i < 300; ++i)
        zem::logMessage(zem::LOG_INFO, source, L"queued#%d", i);
    file.reset();
    std::vector<std::wstring> lines = linesWith(L"queued#");
    ASSERT_EQ(300u, lines.size());
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(L"[ INFO     ] LogFileTest: queued#" + std::to_wstring(i) + L"\n", lines[static_cast<size_t>(i)]);
}

TEST_F(LogFileTest, WriterThreadWritesWithoutBeingStopped) {
    open(LogFile::DELAYED | LogFile::SOURCE_NAMES | LogFile::LEVEL_PREFIX);
    for (int i = 0; i < 10; ++i)
        zem::logMessage(zem::LOG_INFO, source, L"burst#%d", i);
    EXPECT_TRUE(waitUntil([&] { return linesWith(L"burst#").size() == 10; }));
    // A quiet second after the writes the file is flushed.
    EXPECT_TRUE(waitUntil([&] {
        zem::CriticalSectionLock guard(store.lock);
        return store.flushes > 0;
    }));
}

// Caught: a failed write left the output failed for good, so no later line was ever written.
TEST_F(LogFileTest, FailedWritesAreReportedOnceAndRetried) {
    zemtest::LogCapture capture(zem::LOG_INTERNAL_SOURCE);
    open(LogFile::DELAYED | LogFile::SOURCE_NAMES | LogFile::LEVEL_PREFIX);
    store.setFailing(true);
    zem::logMessage(zem::LOG_INFO, source, L"retry#A");
    zem::logMessage(zem::LOG_INFO, source, L"retry#B");
    auto reports = [&] {
        size_t n = 0;
        for (const auto& line : capture.lines()) {
            if (line.text == L"Can't write data to the log file 'memlog:debug.log'" && line.level == zem::LOG_CRITICAL)
                ++n;
        }
        return n;
    };
    ASSERT_TRUE(waitUntil([&] { return reports() >= 1; }));
    store.setFailing(false);
    zem::logMessage(zem::LOG_INFO, source, L"retry#C");
    ASSERT_TRUE(waitUntil([&] { return linesWith(L"retry#").size() == 3; }));
    std::vector<std::wstring> lines = linesWith(L"retry#");
    EXPECT_NE(std::wstring::npos, lines[0].find(L"retry#A"));
    EXPECT_NE(std::wstring::npos, lines[2].find(L"retry#C"));
    EXPECT_EQ(1u, reports());
    // The report itself reaches the file once the file takes lines again.
    EXPECT_TRUE(waitUntil([&] { return !linesWith(L"Can't write data").empty(); }));
}

TEST_F(LogFileTest, FileThatCannotBeOpenedIsReportedAndIgnored) {
    zemtest::LogCapture capture(zem::LOG_INTERNAL_SOURCE);
    LogFile orphan(L"nodevice-here:debug.log");
    EXPECT_FALSE(orphan.isOpen());
    bool reported = false;
    for (const auto& line : capture.lines())
        reported |= line.level == zem::LOG_ERROR && line.text == L"\n\nCan't open log file 'nodevice-here:debug.log'\n";
    EXPECT_TRUE(reported);
    zem::LogManager_Impl::instance().addListener(&orphan, false);
    zem::logMessage(zem::LOG_INFO, source, L"ignored");
    EXPECT_TRUE(zem::LogManager_Impl::instance().removeListener(&orphan));
}

// The real disk device, as "user:" will be, over a fresh folder.
class LogFileDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = zemtest::makeTempFolder(L"logfile");
        ASSERT_FALSE(root.empty());
        disk = std::make_unique<zem::FileDeviceWin32>(root.c_str());
        attached = zem::fileAttachDevice(disk.get(), L"logdisk", 0);
        ASSERT_TRUE(attached);
    }
    void TearDown() override {
        if (attached)
            zem::fileDetachDevice(L"logdisk");
        disk.reset();
        zemtest::removeTree(root);
    }

    std::wstring root;
    std::unique_ptr<zem::FileDeviceWin32> disk;
    bool attached = false;
};

TEST_F(LogFileDiskTest, LinesReachTheDiskWhileTheWriterRuns) {
    const uint32_t source = zem::LogManager_Impl::instance().registerSource(L"LogFileTest");
    const std::wstring native = root + L"debug.log";
    LogFile file(L"logdisk:debug.log");
    ASSERT_TRUE(file.isOpen());
    zem::LogManager_Impl::instance().addListener(&file, false);
    zem::logMessage(zem::LOG_WARNING, source, L"disk#1");
    // Caught: lines stayed in the device's write buffer until the file was closed.
    EXPECT_TRUE(waitUntil([&] {
        return asText(zemtest::readNativeFile(native)).find(L"[ WARNING  ] LogFileTest: disk#1\n") !=
               std::wstring::npos;
    }));
    EXPECT_EQ(std::string("\xFF\xFE"), zemtest::readNativeFile(native).substr(0, 2));
}

} // namespace
