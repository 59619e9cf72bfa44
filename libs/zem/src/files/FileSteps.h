// The single steps of the file operations: each sets its operation code, and while it
// fails asks the progress handler, trying again as long as the answer is retry.
#pragma once
#include "zem/files/File.h"
#include "zem/files/FileProgressHandler.h"

#include <cstdint>

namespace zem {
namespace filesteps {

// Keeps the handler's operation code as it was.
constexpr uint32_t KEEP_OPERATION = 0;

// Runs step until it succeeds or the answer to its failure is not retry.
template <class Step> bool retrying(FileProgressHandler& handler, uint32_t operation, Step step) {
    if (operation != KEEP_OPERATION)
        handler.setOperation(operation);
    for (;;) {
        if (step())
            return true;
        if (handler.ask(false) != FileProgressHandler::UI_Retry)
            return false;
    }
}

// Asks a question whose code and parameters are set; true only for yes.
bool confirm(FileProgressHandler& handler, uint32_t code, const wchar_t* first, const wchar_t* second);
// Fails with code and path, asked as fatal; always false.
bool failFatal(FileProgressHandler& handler, uint32_t code, const wchar_t* path);

File* openRead(FileProgressHandler& handler, const wchar_t* path);
bool getAttributes(FileProgressHandler& handler, const wchar_t* path, FileInfo* info);
Directory* openDirectory(FileProgressHandler& handler, const wchar_t* path);
bool removeDirectory(FileProgressHandler& handler, const wchar_t* path);
bool deleteFile(FileProgressHandler& handler, const wchar_t* path);
bool makeWritable(FileProgressHandler& handler, const wchar_t* path);
bool setAttributes(FileProgressHandler& handler, const wchar_t* path, const FileAttributeChange& change);
bool readExactly(FileProgressHandler& handler, File* file, char* buffer, uint32_t count);
bool writeExactly(FileProgressHandler& handler, File* file, const char* buffer, uint32_t count);
// False with ERR_CANCELLED set when the owner asked to stop.
bool checkCancel(FileProgressHandler& handler);

} // namespace filesteps
} // namespace zem
