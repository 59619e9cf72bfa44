#include "zem/files/TempDevice.h"

#include "FileError.h"
#include "zem/base/Assert.h"
#include "zem/files/FileIO.h"
#include "zem/files/Path.h"
#include "zem/files/WorkString.h"

#include <algorithm>

namespace zem {

namespace {

const wchar_t* const RAM_PART_SUFFIX = L".vmtmpfs";
const wchar_t* const DISK_PART_SUFFIX = L".vdtmpfs";

bool endsWithColon(const std::wstring& prefix) {
    return !prefix.empty() && prefix.back() == L':';
}

// Opens a part that was made before. It must still be there: opening it anew would
// create it empty and hand back zeros in place of the lost bytes.
File* reopenPart(const std::wstring& path) {
    if (!fileGetAttributes(path.c_str(), nullptr)) {
        fileFail(ERROR_FILE_NOT_FOUND, path.c_str());
        return nullptr;
    }
    return fileOpen(path.c_str(), FILE_MODE_READ_WRITE);
}

} // namespace

// ---- TempFile ----

TempFile::TempFile(TempDevice* device, uint32_t threshold, const wchar_t* fullPath, uint64_t now)
    : FlatFile(fullPath, now), m_device(device), m_threshold(threshold) {}

TempFile::~TempFile() {
    closeParts();
}

FileDevice* TempFile::getDevice() const {
    return m_device;
}

bool TempFile::openRamPart() {
    if (!m_ramPath.empty()) {
        m_ramPart = reopenPart(m_ramPath);
        return m_ramPart != nullptr;
    }
    std::wstring path = m_device->m_ramdisk_prefix + m_localName + RAM_PART_SUFFIX;
    m_ramPart = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    if (!m_ramPart)
        return false;
    m_ramPath = path;
    return true;
}

bool TempFile::openDiskPart() {
    if (m_diskPart)
        return true;
    if (!m_diskPath.empty()) {
        m_diskPart = reopenPart(m_diskPath);
        return m_diskPart != nullptr;
    }
    std::wstring path = m_device->m_temp_prefix + m_localName + DISK_PART_SUFFIX;
    File* part = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    uint32_t error = lastErrorCode();
    if (!part && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)) {
        // Left over by an earlier run. A part someone still has open cannot be deleted.
        if (fileDelete(path.c_str()))
            part = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    } else if (!part && error == ERROR_PATH_NOT_FOUND) {
        // A local name with folders ("undo/1") needs them in the temporary folder.
        WorkString folder;
        getDirectory(path.c_str(), folder);
        if (fileCreateDirectories(folder.c_str()))
            part = fileOpen(path.c_str(), FILE_MODE_READ_WRITE_NEW);
    }
    if (!part)
        return false;
    m_diskPart = part;
    m_diskPath = path;
    return true;
}

bool TempFile::closeParts() {
    bool ok = true;
    if (m_ramPart)
        ok = fileClose(m_ramPart) && ok;
    if (m_diskPart)
        ok = fileClose(m_diskPart) && ok;
    m_ramPart = nullptr;
    m_diskPart = nullptr;
    return ok;
}

void TempFile::discardStorage() {
    closeParts();
    if (!m_ramPath.empty())
        fileDelete(m_ramPath.c_str());
    if (!m_diskPath.empty())
        fileDelete(m_diskPath.c_str());
}

uint32_t TempFile::read(void* buffer, uint32_t count) {
    if (failUnless(MODE_READ))
        return 0;
    uint32_t total = std::min(count, m_size - m_position);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        uint32_t wanted = total - done;
        uint32_t got = 0;
        // Each part is positioned before it is used, so the two stay in step with the
        // file's position whatever happened before.
        if (m_position < m_threshold) {
            wanted = std::min(wanted, m_threshold - m_position);
            if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position)) == INVALID_POSITION)
                break;
            got = m_ramPart->read(out + done, wanted);
        } else {
            if (!openDiskPart() ||
                m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position - m_threshold)) == INVALID_POSITION)
                break;
            got = m_diskPart->read(out + done, wanted);
        }
        m_position += got;
        done += got;
        if (got < wanted)
            break;
    }
    return done;
}

uint32_t TempFile::write(const void* buffer, uint32_t count) {
    if (failUnless(MODE_WRITE))
        return 0;
    uint32_t total = std::min(count, MAX_FILE_SIZE - m_position);
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < total) {
        uint32_t wanted = total - done;
        uint32_t put = 0;
        if (m_position < m_threshold) {
            wanted = std::min(wanted, m_threshold - m_position);
            if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position)) == INVALID_POSITION)
                break;
            put = m_ramPart->write(in + done, wanted);
        } else {
            if (!openDiskPart() ||
                m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position - m_threshold)) == INVALID_POSITION)
                break;
            put = m_diskPart->write(in + done, wanted);
        }
        m_position += put;
        done += put;
        m_size = std::max(m_size, m_position);
        if (put < wanted)
            break;
    }
    if (done < count && lastErrorCode() == ERR_SUCCESS)
        fileFail(ERROR_DISK_FULL, m_info.name);
    return done;
}

uint32_t TempFile::seek(int origin, int32_t offset) {
    if (!isOpen() || !m_ramPart) {
        fileFail(ERROR_INVALID_HANDLE, m_info.name);
        return INVALID_POSITION;
    }
    if (m_mode & MODE_APPEND)
        return 0;
    uint32_t position = 0;
    if (!seekTarget(origin, offset, L"TempFile", position))
        return INVALID_POSITION;
    if (position > m_threshold) {
        // After a reopen the disk part is not open yet: it opens here.
        if (!openDiskPart() ||
            m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(position - m_threshold)) == INVALID_POSITION)
            return INVALID_POSITION;
    } else {
        if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(position)) == INVALID_POSITION)
            return INVALID_POSITION;
        if (m_diskPart && m_diskPart->seek(FILE_SEEK_BEGIN, 0) == INVALID_POSITION)
            return INVALID_POSITION;
    }
    m_position = position;
    return m_position;
}

bool TempFile::truncate() {
    if (failUnless(MODE_WRITE))
        return false;
    if (m_position < m_threshold) {
        if (m_ramPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position)) == INVALID_POSITION ||
            !m_ramPart->truncate())
            return false;
        if (!m_diskPath.empty()) {
            if (!openDiskPart() || m_diskPart->seek(FILE_SEEK_BEGIN, 0) == INVALID_POSITION || !m_diskPart->truncate())
                return false;
        }
    } else if (m_size > m_threshold) {
        if (!openDiskPart() ||
            m_diskPart->seek(FILE_SEEK_BEGIN, static_cast<int32_t>(m_position - m_threshold)) == INVALID_POSITION ||
            !m_diskPart->truncate())
            return false;
    }
    m_size = m_position;
    return true;
}

bool TempFile::flush() {
    if (!isOpen())
        return fileFail(ERROR_INVALID_HANDLE, m_info.name);
    return m_diskPart ? m_diskPart->flush() : true;
}

// ---- TempDevice ----

TempDevice::TempDevice(const wchar_t* ramdiskPrefix, const wchar_t* tempPrefix)
    : FlatFileDevice(L"TempDevice"), m_ramdisk_prefix(ramdiskPrefix ? ramdiskPrefix : L""),
      m_temp_prefix(tempPrefix ? tempPrefix : L"") {
    ZEM_ASSERT_MSG(endsWithColon(m_ramdisk_prefix), L"m_ramdisk_prefix[tcslen(m_ramdisk_prefix) - 1] == ':'");
    ZEM_ASSERT_MSG(endsWithColon(m_temp_prefix), L"m_temp_prefix[tcslen(m_temp_prefix) - 1] == ':'");
}

uint32_t TempDevice::parameterFor(const FileRequest& request) {
    uint32_t threshold = 0;
    return parseDeviceParam(request, threshold) ? threshold : m_threshold;
}

FlatFile* TempDevice::createFile(uint32_t threshold, const wchar_t* fullPath, uint64_t now) {
    return new TempFile(this, threshold, fullPath, now);
}

bool TempDevice::control(uint32_t code, uintptr_t argument, void* out) {
    (void)code;
    (void)argument;
    (void)out;
    return fileFail(ERR_OPERATION_NOT_SUPPORTED, L"", L"Control");
}

} // namespace zem
