#include "FileSteps.h"

#include "FileError.h"
#include "zem/files/FileIO.h"

namespace zem {
namespace filesteps {

bool confirm(FileProgressHandler& handler, uint32_t code, const wchar_t* first, const wchar_t* second) {
    fileFail(code, first, second);
    return handler.ask(false) == FileProgressHandler::UI_Yes;
}

bool failFatal(FileProgressHandler& handler, uint32_t code, const wchar_t* path) {
    fileFail(code, path);
    handler.ask(true);
    return false;
}

File* openRead(FileProgressHandler& handler, const wchar_t* path) {
    File* file = nullptr;
    retrying(handler, FileProgressHandler::OP_OPEN_READ, [&] {
        file = fileOpen(path, FILE_MODE_READ);
        return file != nullptr;
    });
    return file;
}

bool getAttributes(FileProgressHandler& handler, const wchar_t* path, FileInfo* info) {
    return retrying(handler, FileProgressHandler::OP_GET_ATTRIBUTES, [&] { return fileGetAttributes(path, info); });
}

Directory* openDirectory(FileProgressHandler& handler, const wchar_t* path) {
    Directory* directory = nullptr;
    retrying(handler, FileProgressHandler::OP_LIST_DIRECTORY, [&] {
        directory = fileOpenDirectory(path);
        return directory != nullptr;
    });
    return directory;
}

bool removeDirectory(FileProgressHandler& handler, const wchar_t* path) {
    return retrying(handler, FileProgressHandler::OP_DELETE_DIRECTORY, [&] { return fileRemoveDirectory(path); });
}

bool deleteFile(FileProgressHandler& handler, const wchar_t* path) {
    return retrying(handler, FileProgressHandler::OP_DELETE_FILE, [&] { return fileDelete(path); });
}

bool makeWritable(FileProgressHandler& handler, const wchar_t* path) {
    return retrying(handler, KEEP_OPERATION, [&] { return fileMakeWritable(path); });
}

bool setAttributes(FileProgressHandler& handler, const wchar_t* path, const FileAttributeChange& change) {
    return retrying(handler, KEEP_OPERATION, [&] { return fileSetAttributes(path, change); });
}

namespace {

// A read or write that moved nothing without saying why still reports a real code.
void failNoProgress(File* file, uint32_t code) {
    if (lastErrorCode() == 0)
        fileFail(code, file->getPath());
}

} // namespace

bool readExactly(FileProgressHandler& handler, File* file, char* buffer, uint32_t count) {
    uint32_t done = 0;
    return retrying(handler, FileProgressHandler::OP_READ, [&] {
        while (done < count) {
            uint32_t got = file->read(buffer + done, count - done);
            if (got == 0 || got == File::INVALID_POSITION) {
                failNoProgress(file, ERROR_HANDLE_EOF);
                return false;
            }
            done += got;
        }
        return true;
    });
}

bool writeExactly(FileProgressHandler& handler, File* file, const char* buffer, uint32_t count) {
    uint32_t done = 0;
    return retrying(handler, FileProgressHandler::OP_WRITE, [&] {
        while (done < count) {
            uint32_t put = file->write(buffer + done, count - done);
            if (put == 0 || put == File::INVALID_POSITION) {
                failNoProgress(file, ERROR_WRITE_FAULT);
                return false;
            }
            done += put;
        }
        return true;
    });
}

bool checkCancel(FileProgressHandler& handler) {
    if (!handler.isCancelRequested())
        return true;
    return fileFail(ERR_CANCELLED);
}

} // namespace filesteps
} // namespace zem
