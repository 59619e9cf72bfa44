// A memory device that fails one step of a save when told to: making the temporary file,
// a write (failed, short, or the disk filling up), the flush, the close or the replace.
// Everything else goes to a RAM disk underneath, so that what a failed save left behind
// can be read back and every file made for writing can be looked for afterwards.
#pragma once
#include "zem/base/Error.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zemtest {

class FaultDevice : public zem::FileDevice {
public:
    enum Step {
        NONE,
        CREATE,      // opening a file for writing fails (access denied)
        WRITE_FAIL,  // the nth write writes nothing (write fault)
        WRITE_SHORT, // the nth write writes half its bytes and says nothing
        DISK_FULL,   // writes stop after the given number of bytes (disk full)
        FLUSH,       // the flush fails (write fault)
        CLOSE,       // closing a written file fails (write fault), the bytes are kept
        REPLACE,     // the replacing move fails (sharing violation)
        STEP_COUNT
    };

    static const wchar_t* stepName(Step step) {
        static const wchar_t* const names[] = {L"none",      L"create", L"write fails", L"short write",
                                               L"disk full", L"flush",  L"close",       L"replace"};
        return names[step];
    }

    // The step to fail; for the writes, which one (from 1) or, for DISK_FULL, after how
    // many bytes. One fault each time the device is armed.
    void arm(Step step, uint32_t at = 1) {
        m_step = step;
        m_at = at;
        m_writes = 0;
        m_bytes = 0;
        m_fired = false;
    }
    bool fired() const { return m_fired; }
    // Every path the device opened for writing since it was made.
    const std::vector<std::wstring>& written() const { return m_written; }
    // The paths opened for writing that still exist, but for keep. A save opens only its
    // temporary file for writing and moves it over the target: what is left is a leftover.
    std::vector<std::wstring> leftOver(const std::wstring& keep = std::wstring()) const {
        std::vector<std::wstring> out;
        for (const std::wstring& path : m_written) {
            const bool kept = !keep.empty() && zem::filePathsEqual(path.c_str(), keep.c_str());
            if (!kept && zem::fileGetAttributes(path.c_str(), nullptr))
                out.push_back(path);
        }
        return out;
    }

    bool isValid() const override { return true; }
    const zem::FileDeviceInfo& getInfo() override { return m_disk.getInfo(); }
    bool openFile(zem::FileRequest& request, zem::File*& out) override {
        if (request.operation == zem::FILEOP_OPEN_WRITE) {
            remember(request.fullPath);
            if (fire(CREATE))
                return failWith(ERROR_ACCESS_DENIED);
        }
        zem::File* inner = nullptr;
        if (!m_disk.openFile(request, inner))
            return false;
        out = request.operation == zem::FILEOP_OPEN_WRITE ? new FaultFile(*this, inner) : inner;
        return true;
    }
    bool closeFile(zem::File* file) override {
        auto* wrapped = dynamic_cast<FaultFile*>(file);
        if (!wrapped)
            return m_disk.closeFile(file);
        zem::File* inner = wrapped->m_inner;
        delete wrapped;
        bool closed = m_disk.closeFile(inner);
        if (closed && fire(CLOSE))
            return failWith(ERROR_WRITE_FAULT);
        return closed;
    }
    bool move(zem::FileRequest& request, const wchar_t* source, const wchar_t* destination, uint32_t flags) override {
        if ((flags & MOVE_REPLACE) && fire(REPLACE))
            return failWith(ERROR_SHARING_VIOLATION);
        return m_disk.move(request, source, destination, flags);
    }
    bool openDirectory(zem::FileRequest& request, zem::Directory*& out) override {
        return m_disk.openDirectory(request, out);
    }
    bool openWatchHandle(zem::FileRequest& request, zem::DirObserver* observer, bool recursive,
                         zem::DirObserverHandle*& out) override {
        return m_disk.openWatchHandle(request, observer, recursive, out);
    }
    bool getAttributes(zem::FileRequest& request, zem::FileInfo* out) override {
        return m_disk.getAttributes(request, out);
    }
    bool deleteFile(zem::FileRequest& request) override { return m_disk.deleteFile(request); }
    bool removeDirectory(zem::FileRequest& request) override { return m_disk.removeDirectory(request); }
    bool createDirectory(zem::FileRequest& request) override { return m_disk.createDirectory(request); }
    bool setAttributes(zem::FileRequest& request, const zem::FileAttributeChange& change) override {
        return m_disk.setAttributes(request, change);
    }
    bool getFullPath(zem::FileRequest& request, zem::WorkString& out, bool mustExist) override {
        return m_disk.getFullPath(request, out, mustExist);
    }
    bool normalizePath(zem::FileRequest& request, zem::WorkString& out) override {
        return m_disk.normalizePath(request, out);
    }
    bool closeDirectory(zem::Directory* directory) override { return m_disk.closeDirectory(directory); }
    bool closeWatchHandle(zem::DirObserverHandle* handle) override { return m_disk.closeWatchHandle(handle); }

private:
    // A file open for writing: writes and flushes pass the device's checks first.
    class FaultFile : public zem::File {
    public:
        FaultFile(FaultDevice& device, zem::File* inner) : m_device(device), m_inner(inner) {}
        bool isOpen() const override { return m_inner->isOpen(); }
        const wchar_t* getPath() const override { return m_inner->getPath(); }
        uint32_t getSize() override { return m_inner->getSize(); }
        uint32_t tell() override { return m_inner->tell(); }
        bool truncate() override { return m_inner->truncate(); }
        uint32_t read(void* buffer, uint32_t count) override { return m_inner->read(buffer, count); }
        uint32_t write(const void* buffer, uint32_t count) override {
            uint32_t code = 0;
            const uint32_t allowed = m_device.allowedWrite(count, code);
            const uint32_t done = allowed ? m_inner->write(buffer, allowed) : 0;
            if (code)
                zem::setError(code);
            return done;
        }
        uint32_t seek(int origin, int32_t offset) override { return m_inner->seek(origin, offset); }
        bool flush() override {
            if (m_device.fire(FLUSH))
                return m_device.failWith(ERROR_WRITE_FAULT);
            return m_inner->flush();
        }
        zem::FileDevice* getDevice() const override { return &m_device; }

    private:
        friend class FaultDevice;
        FaultDevice& m_device;
        zem::File* m_inner;
    };

    bool fire(Step step) {
        if (m_fired || m_step != step)
            return false;
        m_fired = true;
        return true;
    }
    bool failWith(uint32_t code) {
        zem::setError(code);
        return false;
    }
    void remember(const wchar_t* path) {
        for (const std::wstring& known : m_written) {
            if (known == path)
                return;
        }
        m_written.push_back(path);
    }
    // How many of count bytes a write may pass on; code, when set, is the error the write
    // leaves. A full disk stays full for every later write.
    uint32_t allowedWrite(uint32_t count, uint32_t& code) {
        ++m_writes;
        uint32_t allowed = count;
        if (m_step == DISK_FULL && m_bytes + count > m_at) {
            allowed = m_at - m_bytes;
            m_fired = true;
            code = ERROR_DISK_FULL;
        } else if (!m_fired && m_writes == m_at && (m_step == WRITE_FAIL || m_step == WRITE_SHORT)) {
            m_fired = true;
            allowed = m_step == WRITE_FAIL ? 0 : count / 2;
            code = m_step == WRITE_FAIL ? ERROR_WRITE_FAULT : 0;
        }
        m_bytes += allowed;
        return allowed;
    }

    zem::RamDisk m_disk;
    Step m_step = NONE;
    uint32_t m_at = 0;
    uint32_t m_writes = 0;
    uint32_t m_bytes = 0;
    bool m_fired = false;
    std::vector<std::wstring> m_written;
};

// A file's bytes as a save left them, or "<missing>".
inline std::string readThrough(const wchar_t* path) {
    zem::File* file = zem::fileOpen(path, zem::FILE_MODE_READ);
    if (!file)
        return "<missing>";
    std::string bytes(file->getSize(), '\0');
    bytes.resize(bytes.empty() ? 0 : file->read(&bytes[0], static_cast<uint32_t>(bytes.size())));
    zem::fileClose(file);
    return bytes;
}

} // namespace zemtest
