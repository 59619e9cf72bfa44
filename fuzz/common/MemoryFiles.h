// For the fuzzers whose readers take a path: a memory device of their own, attached on
// first use, that holds each input as a file, and the check that a value read, written
// and read again came back the same.
#pragma once
#include "FuzzHarness.h"

#include "corvel/jasmine/JasmineValue.h"
#include "zem/files/FileIO.h"
#include "zem/files/RamDisk.h"

#include <string>

namespace fuzz {

class MemoryFolder {
public:
    // device: the name the memory device is attached under, without the ':'.
    explicit MemoryFolder(const wchar_t* device) : m_device(device) {
        zem::fileAttachDevice(new zem::RamDisk, device, 100); // lives as long as the program
    }
    std::wstring path(const wchar_t* name) const { return m_device + L":" + name; }

    // The whole file as bytes; false when it cannot be written or read in full.
    static bool write(const std::wstring& path, const std::string& bytes) {
        zem::File* file = zem::fileOpen(path.c_str(), zem::FILE_MODE_WRITE);
        if (!file)
            return false;
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        const bool ok = size == 0 || file->write(bytes.data(), size) == size;
        return zem::fileClose(file) && ok;
    }
    static bool read(const std::wstring& path, std::string& out) {
        zem::File* file = zem::fileOpen(path.c_str(), zem::FILE_MODE_READ);
        if (!file)
            return false;
        out.assign(file->getSize(), '\0');
        const bool ok = out.empty() || file->read(&out[0], static_cast<uint32_t>(out.size())) == out.size();
        return zem::fileClose(file) && ok;
    }
    // Puts the input where the reader will look; a device that refuses it is the harness's
    // fault, reported as a changed round trip so that it is seen.
    void put(const std::wstring& path, const std::string& input) const {
        if (!write(path, input))
            throw Changed{"the memory file refused the input"};
    }

private:
    std::wstring m_device;
};

// Throws Changed, with where the two texts part, when the value built from what was
// written differs from the one first read.
inline void expectSameValue(const corvel::JasmineValue& first, const corvel::JasmineValue& second) {
    if (first == second)
        return;
    std::wstring a;
    std::wstring b;
    first.writeText(a, 0);
    second.writeText(b, 0);
    if (a == b)
        throw Changed{"built again with the same text but another type of value: " + printable(a)};
    throw Changed{"built again " + difference(a, b)};
}

} // namespace fuzz
