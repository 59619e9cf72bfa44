#include "corvel/widgets/afDialogFileBase.h"

#include "corvel/ui/afApp.h"
#include "corvel/widgets/afFileDialogText.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <cwchar>

namespace corvel {

namespace {

constexpr DWORD BASE_FLAGS = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
static_assert(sizeof(OPENFILENAMEW) == (sizeof(void*) == 8 ? 152 : 88), "the dialog record has the full size");

} // namespace

uint32_t afDialogFileBase::show(afDialogFileOptions& options) {
    m_options = &options;
    // A cancelled run must not leave the last run's answers behind.
    options.selectedPaths.clear();
    options.chosenType = nullptr;
    if (!options.preselectedType)
        options.preselectedType = afFileDialogText::findTypeForName(options.fileTypes, options.initialFileName);
    std::wstring filter = afFileDialogText::buildFilterText(options.fileTypes);
    int preselected = options.fileTypes.indexOf(options.preselectedType);
    DWORD filterIndex = preselected >= 0 ? static_cast<DWORD>(preselected + 1) : 1;
    m_initialType = m_currentType = static_cast<int>(filterIndex) - 1;

    m_buffer.reset(new wchar_t[PATH_BUFFER_SIZE + 1]());
    size_t length = std::min<size_t>(options.initialFileName.size(), PATH_BUFFER_SIZE);
    std::wmemcpy(m_buffer.get(), options.initialFileName.c_str(), length);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = getOwnerWindow();
    dialog.hInstance = afApp::getInstanceHandle();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = filterIndex;
    dialog.lpstrFile = m_buffer.get();
    dialog.nMaxFile = PATH_BUFFER_SIZE;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    dialog.lpfnHook = &afDialogFileBase::hookProcedure;
    dialog.Flags = BASE_FLAGS;
    if (options.mustExist)
        dialog.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (options.showHidden)
        dialog.Flags |= OFN_FORCESHOWHIDDEN;
    if (options.overwritePrompt)
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    if (options.noReadOnlyReturn)
        dialog.Flags |= OFN_NOREADONLYRETURN;
    if (options.multiSelect)
        dialog.Flags |= OFN_ALLOWMULTISELECT;

    uint32_t result = runCommonDialog(dialog);
    if (result == RESULT_OK) {
        // A final index outside the list names no type.
        options.chosenType = options.fileTypes.at(static_cast<int>(dialog.nFilterIndex) - 1);
        if (options.multiSelect)
            options.selectedPaths = afFileDialogText::splitSelection(m_buffer.get(), PATH_BUFFER_SIZE + 1);
        else
            options.selectedPaths.push_back(m_buffer.get());
    }
    m_buffer.reset();
    return result;
}

bool afDialogFileBase::validate(HWND, OPENFILENAMEW&) {
    return true;
}

UINT_PTR afDialogFileBase::onNotify(HWND hook, OFNOTIFYW& notice) {
    if (!notice.lpOFN)
        return 0;
    switch (notice.hdr.code) {
    case CDN_TYPECHANGE:
        m_currentType = static_cast<int>(notice.lpOFN->nFilterIndex) - 1;
        SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);
        return 0;
    case CDN_FILEOK:
        if (validate(hook, *notice.lpOFN))
            return 0;
        SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);
        return 1;
    default:
        return 0;
    }
}

UINT_PTR CALLBACK afDialogFileBase::hookProcedure(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    try {
        if (message != WM_NOTIFY || !lParam)
            return 0;
        auto& notice = *reinterpret_cast<OFNOTIFYW*>(lParam);
        if (!notice.lpOFN || !notice.lpOFN->lCustData)
            return 0;
        return reinterpret_cast<afDialogFileBase*>(notice.lpOFN->lCustData)->onNotify(hook, notice);
    } catch (...) {
        zem::logMessage(3, 0xe35e00dfu, L"afDialogFileBase::hookProcedure(): unexpected exception\n");
    }
    return 0;
}

uint32_t afDialogFileOpen::runCommonDialog(OPENFILENAMEW& dialog) {
    return GetOpenFileNameW(&dialog) == 1 ? RESULT_OK : RESULT_CANCEL;
}

uint32_t afDialogFileSave::runCommonDialog(OPENFILENAMEW& dialog) {
    m_attempts = 0;
    return GetSaveFileNameW(&dialog) == 1 ? RESULT_OK : RESULT_CANCEL;
}

bool afDialogFileSave::validate(HWND hook, OPENFILENAMEW& dialog) {
    if (!dialog.lpstrFile)
        return true;
    std::wstring typed = dialog.lpstrFile;
    if (!afFileDialogText::extensionOf(typed).empty())
        return true;
    if (++m_attempts >= 2)
        return true;
    const afFileFilters* types = m_options ? &m_options->fileTypes : nullptr;
    std::wstring extension = afFileDialogText::chooseSaveExtension(
        m_options ? m_options->initialFileName : std::wstring(), types ? types->at(m_initialType) : nullptr,
        types ? types->at(m_currentType) : nullptr);
    if (extension.empty())
        return true;
    std::wstring completed = typed + L"." + extension;
    SetDlgItemTextW(GetParent(hook), NAME_BOX_ID, completed.c_str());
    return false;
}

} // namespace corvel
