#include "corvel/fileops/FileOperations.h"

#include "corvel/fileops/FileErrorUI.h"
#include "corvel/fileops/FileProgressOperationUI.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileProgressHandler.h"
#include "zem/files/FileUtils.h"

namespace corvel {
namespace fileops {

namespace {

// A removal the user started has been confirmed already: deleting each file is not asked.
void confirmDeletes(zem::FileProgressHandler& handler) {
    handler.setAnswer(zem::FileProgressHandler::Q_DELETE_FILE, zem::FileProgressHandler::UI_Yes);
}

} // namespace

bool createFile(afView* owner, const std::wstring& path) {
    zem::FileProgressHandler handler;
    FileErrorUI ui(owner, &handler);
    zem::File* file = zem::FileUtils::createFile(path.c_str(), &handler);
    if (!file)
        return false;
    return zem::fileClose(file);
}

bool createDirectory(afView* owner, const std::wstring& path) {
    zem::FileProgressHandler handler;
    FileErrorUI ui(owner, &handler);
    return zem::FileUtils::createDirectory(path.c_str(), &handler);
}

bool rename(afView* owner, const std::wstring& path, const std::wstring& newName) {
    zem::FileProgressHandler handler;
    FileErrorUI ui(owner, &handler);
    return zem::FileUtils::rename(path.c_str(), newName.c_str(), &handler);
}

bool removePath(afView* owner, const std::wstring& path) {
    zem::FileProgressHandler handler;
    confirmDeletes(handler);
    FileRemoveUI ui(owner, &handler);
    return zem::FileUtils::removePath(path.c_str(), &handler);
}

bool removeList(afView* owner, const std::vector<std::wstring>& paths) {
    if (paths.size() == 1)
        return removePath(owner, paths.front());
    zem::FileProgressHandler handler;
    confirmDeletes(handler);
    FileRemoveUI ui(owner, &handler);
    return zem::FileUtils::removeList(paths, &handler);
}

bool copyPath(afView* owner, const std::wstring& source, const std::wstring& target) {
    zem::FileProgressHandler handler;
    FileCopyUI ui(owner, &handler);
    return zem::FileUtils::copyPath(source.c_str(), target.c_str(), &handler);
}

bool copyList(afView* owner, const std::vector<std::wstring>& paths, const std::wstring& directory) {
    if (paths.size() == 1)
        return copyPath(owner, paths.front(), directory);
    zem::FileProgressHandler handler;
    FileCopyUI ui(owner, &handler);
    return zem::FileUtils::copyList(paths, directory.c_str(), &handler);
}

bool movePath(afView* owner, const std::wstring& source, const std::wstring& target) {
    zem::FileProgressHandler handler;
    FileMoveUI ui(owner, &handler);
    return zem::FileUtils::movePath(source.c_str(), target.c_str(), &handler);
}

bool moveList(afView* owner, const std::vector<std::wstring>& paths, const std::wstring& directory) {
    if (paths.size() == 1)
        return movePath(owner, paths.front(), directory);
    zem::FileProgressHandler handler;
    FileMoveUI ui(owner, &handler);
    return zem::FileUtils::moveList(paths, directory.c_str(), &handler);
}

} // namespace fileops
} // namespace corvel
