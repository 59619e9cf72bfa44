// A File that caches one block-aligned window of an inferior file in memory, so that
// small reads and writes reach the system as whole windows. The disk device wraps its
// files in one unless the path asks for none (root[nb]:...).
#pragma once
#include "zem/files/File.h"

#include <cstdint>

namespace zem {

class FileBuffer : public File {
public:
    // Mode bits and window states (getFlags).
    enum : uint32_t {
        READ = 0x1,
        WRITE = 0x2,
        APPEND = 0x4,
        DIRTY = 0x1000,      // the window holds bytes not yet written to the inferior
        NOT_LOADED = 0x2000, // the window's bytes are not read yet
    };
    static constexpr uint32_t MAX_BUFFER_SIZE = 64u << 20;

    // Takes ownership of an open inferior. mode is the open mode the caller asked for
    // (0-6). alignment and blockSize must be powers of two and bufferSize between 1 and
    // MAX_BUFFER_SIZE; otherwise the thread error becomes 0x20001004 with the inferior's
    // path, the buffer is not open and the inferior stays the caller's to close. The
    // buffer size is rounded up to whole blocks, so that windows stay block-aligned.
    FileBuffer(File* inferior, uint32_t mode, uint32_t bufferSize = 32768, uint32_t alignment = 16,
               uint32_t blockSize = 2048);
    ~FileBuffer() override;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    bool isOpen() const override;
    const wchar_t* getPath() const override;
    uint32_t getSize() override;
    uint32_t tell() override;
    bool truncate() override;
    uint32_t read(void* buffer, uint32_t count) override;
    uint32_t write(const void* buffer, uint32_t count) override;
    uint32_t seek(int origin, int32_t offset) override;
    bool flush() override;
    FileDevice* getDevice() const override { return nullptr; }
    // Writes a dirty window out and closes the inferior with fileClose.
    bool close();

    uint32_t getFlags() const { return m_flags; }
    uint32_t getBufferSize() const { return m_bufferSize; }
    File* getInferior() const { return m_file; }

private:
    uint32_t position() const { return m_windowStart + m_offset; }
    // Bytes of the file the window covers: what a loaded window holds.
    uint32_t expectedValid() const;
    bool load();
    bool flushWindow();
    bool seekInferior(uint32_t position);
    void moveWindowTo(uint32_t position);
    // Moves on to the next window once this one is used up; false when the dirty window
    // could not be written out.
    bool nextWindowIfUsedUp();
    bool canBypass(uint32_t count) const;
    uint32_t readDirect(uint8_t* out, uint32_t count);
    uint32_t writeDirect(const uint8_t* in, uint32_t count);

    File* m_file = nullptr; // owned; null after close or a bad construction
    uint32_t m_flags = 0;
    uint8_t* m_window = nullptr; // aligned inside m_raw
    uint8_t* m_raw = nullptr;    // owned allocation
    uint32_t m_bufferSize = 0;   // bytes in the window
    uint32_t m_offset = 0;       // position inside the window; m_offset <= m_bufferSize
    uint32_t m_windowStart = 0;  // file offset of the window's first byte
    uint32_t m_valid = 0;        // window bytes that hold file content; m_valid <= m_bufferSize
    uint32_t m_size = 0;         // file size as the buffer sees it, unwritten bytes included
    uint32_t m_inferiorPos = 0;  // where the inferior's file pointer stands
    uint32_t m_blockMask = 0;    // ~(blockSize - 1)
};

} // namespace zem
