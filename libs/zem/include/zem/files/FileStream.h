// Standard byte streams over a File of the device layer: a stream buffer with its own
// get and put areas, and the output stream the log file and other writers use. Open and
// seek failures throw the file exception of the thread's error, with the path as message.
#pragma once
#include "zem/files/File.h"

#include <cstdint>
#include <ios>
#include <ostream>
#include <streambuf>
#include <string>

namespace zem {

// A stream buffer whose subclass moves bytes to and from a device. The get area holds
// 4096 bytes of which the first 4 are a put-back reserve; the put area 4096 bytes of
// which 4095 are filled before a write-out, the last taking the overflow character.
class TBasicBufferedBidirectionalStreamBuf : public std::streambuf {
public:
    static constexpr size_t BUFFER_SIZE = 4096;
    static constexpr size_t PUTBACK_SIZE = 4;

    explicit TBasicBufferedBidirectionalStreamBuf(std::ios_base::openmode mode = std::ios_base::in |
                                                                                 std::ios_base::out);
    ~TBasicBufferedBidirectionalStreamBuf() override;

    std::ios_base::openmode getMode() const { return m_mode; }
    void setMode(std::ios_base::openmode mode) { m_mode = mode; }

protected:
    // Returns the bytes moved, or -1 when the device cannot.
    virtual int readFromDevice(char* buffer, std::streamsize count) = 0;
    virtual int writeToDevice(const char* buffer, std::streamsize count) = 0;

    int_type underflow() override;
    int_type overflow(int_type ch) override;
    int sync() override;

    // Writes the put area out; false when the device took fewer bytes.
    bool flushPutArea();
    void resetAreas();
    // Bytes read ahead into the get area and not taken yet.
    std::streamsize unreadCount() const { return egptr() - gptr(); }

private:
    char* m_getBuffer;
    char* m_putBuffer;
    std::ios_base::openmode m_mode;
};

class FileStreamBuf : public TBasicBufferedBidirectionalStreamBuf {
public:
    FileStreamBuf();
    ~FileStreamBuf() override;

    // Throws the file exception of the failure. Mode: in and out give read-write (mode 4
    // with trunc, 3 without); out alone writes (mode 1 with trunc, appends without);
    // anything else reads. ate or app start at the end.
    void open(const std::wstring& path, std::ios_base::openmode mode);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    const std::wstring& getPath() const { return m_path; }
    // Bytes moved since the last seek, counted from the position that seek set.
    uint64_t getCount() const { return m_count; }

protected:
    int readFromDevice(char* buffer, std::streamsize count) override;
    int writeToDevice(const char* buffer, std::streamsize count) override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
    // A stream flush reaches the file itself, not only the file's own buffer.
    int sync() override;

private:
    pos_type seekFile(int origin, off_type offset);

    std::wstring m_path;
    File* m_file = nullptr; // owned, closed with fileClose
    uint64_t m_count = 0;
};

// The stream base that owns a FileStreamBuf.
class FileIOS : public virtual std::ios {
public:
    FileIOS();
    ~FileIOS() override;

    // Opens the file; on failure sets badbit and rethrows the file exception.
    void open(const std::wstring& path, std::ios_base::openmode mode = std::ios_base::out);
    void close();
    bool isOpen() const { return m_buf.isOpen(); }
    FileStreamBuf* rdbuf() { return &m_buf; }

protected:
    FileStreamBuf m_buf;
};

class FileOutputStream : public FileIOS, public std::ostream {
public:
    FileOutputStream();
    // Opens path with out and trunc added to mode.
    explicit FileOutputStream(const std::wstring& path, std::ios_base::openmode mode = std::ios_base::out);
    ~FileOutputStream() override;
};

} // namespace zem
