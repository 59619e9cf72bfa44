// "Show File in Folder": the document's file, selected, in the system's file browser.
#include "corvel/workspace/FileManager.h"

#include "corvel/document/DocumentController.h"
#include "zem/base/Error.h"
#include "zem/files/FileIO.h"

#include <windows.h>

#include <shellapi.h>

namespace corvel {

std::wstring FileManager::folderSelectParameters(const std::wstring& path) {
    // Quoted: commas and spaces are part of file names, not of the browser's switches.
    return L"/select,\"" + path + L"\"";
}

bool FileManager::showInSystemFolder(const std::wstring& path) {
    std::wstring parameters = folderSelectParameters(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The shell's own error boxes stay away: the caller shows one with the file's path.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = L"explorer.exe";
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info))
        return true;
    if (GetLastError() == ERROR_SUCCESS)
        SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
}

void FileManager::showInFolder(DocumentController* controller) {
    if (!controller)
        return;
    // An untitled document has nothing on disk to show.
    const std::wstring path = controller->getFilePath();
    if (path.empty())
        return;
    bool shown = zem::fileGetAttributes(path.c_str(), nullptr);
    if (shown && !m_folderShower(path)) {
        shown = false;
        zem::setErrorFromLastError();
    }
    if (shown)
        return;
    // A failure is never told without its reason.
    if (zem::lastErrorCode() == ERROR_SUCCESS)
        zem::setError(ERROR_FILE_NOT_FOUND);
    zem::ErrorObject error;
    reportFailure(L"Unable to show file", path, &error);
}

bool FileManager::onShowInFolder(afActionEvent* event) {
    showInFolder(actionDocument(event));
    return true;
}

} // namespace corvel
