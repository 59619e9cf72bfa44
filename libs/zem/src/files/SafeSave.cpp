#include "zem/files/SafeSave.h"

#include "FileError.h"
#include "zem/files/FileIO.h"
#include "zem/files/WorkString.h"

namespace zem {
namespace {

// Removes the temporary after a failure, keeping the failure's error record.
void discardTemporary(const WorkString& temporary, const wchar_t* path) {
    ErrorRecord failure = currentError();
    if (failure.code == ERR_SUCCESS) {
        fileFail(ERROR_WRITE_FAULT, path);
        failure = currentError();
    }
    fileDelete(temporary.c_str());
    ErrorParams* params = setError(failure.code);
    if (params)
        params->assign(failure.params);
}

} // namespace

bool fileSaveReplacing(const wchar_t* path, const FileContentWriter& writeContent) {
    fileClearError();
    if (!path || !*path)
        return fileFail(ERR_INVALID_CALL);
    FileInfo info;
    if (fileGetAttributes(path, &info) && (info.isDirectory() || !(info.flags & FileInfo::WRITABLE)))
        return fileFail(ERROR_ACCESS_DENIED, path);

    WorkString temporary;
    fileMakeUniqueName(path, temporary);
    temporary.append(L".tmp");
    File* file = fileOpen(temporary.c_str(), FILE_MODE_WRITE_NEW);
    if (!file)
        return false;
    bool written = false;
    try {
        fileClearError();
        written = writeContent(*file) && file->flush();
    } catch (...) {
        fileClose(file);
        fileDelete(temporary.c_str());
        throw;
    }
    if (!written) {
        ErrorRecord failure = currentError();
        fileClose(file);
        ErrorParams* params = setError(failure.code);
        if (params)
            params->assign(failure.params);
        discardTemporary(temporary, path);
        return false;
    }
    if (!fileClose(file) || !fileReplace(temporary.c_str(), path)) {
        discardTemporary(temporary, path);
        return false;
    }
    return true;
}

bool fileSaveReplacing(const wchar_t* path, const void* bytes, uint32_t size) {
    return fileSaveReplacing(path, [bytes, size](File& file) {
        if (size == 0)
            return true;
        return file.write(bytes, size) == size;
    });
}

} // namespace zem
