#include "WidgetHost.h"
#include "corvel/widgets/afDialogFileBase.h"
#include "corvel/widgets/afFileDialogText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvel;

namespace {

// A literal with the NULs inside it.
template <size_t N> std::wstring withNuls(const wchar_t (&text)[N]) {
    return std::wstring(text, N - 1);
}

TEST(FileDialogTextTest, FilterTextNamesEachTypeAndItsPatterns) {
    afFileFilters types;
    types.add(L"Sources", {L"cpp", L"h"});
    types.add(L"All Files", {L"*"});
    EXPECT_EQ(withNuls(L"Sources (*.cpp; *.h)\0*.cpp; *.h\0All Files (*.*)\0*.*\0"),
              afFileDialogText::buildFilterText(types));
}

TEST(FileDialogTextTest, TheInitialNamePicksItsTypeIgnoringCase) {
    afFileFilters types;
    afFileFilter* text = types.add(L"Text", {L"txt"});
    afFileFilter* project = types.add(L"Projects", {L"json", L"cvProject"});
    types.add(L"Also projects", {L"cvproject"});
    EXPECT_EQ(project, afFileDialogText::findTypeForName(types, L"D:\\work\\site.CVPROJECT"));
    EXPECT_EQ(text, afFileDialogText::findTypeForName(types, L"notes.TxT"));
    EXPECT_EQ(nullptr, afFileDialogText::findTypeForName(types, L"D:\\dir.txt\\name"));
    EXPECT_EQ(nullptr, afFileDialogText::findTypeForName(types, L""));
}

struct SplitCase {
    std::wstring buffer;
    std::vector<std::wstring> paths;
};

::testing::AssertionResult splitsInto(const SplitCase& c) {
    std::vector<std::wstring> paths = afFileDialogText::splitSelection(c.buffer.c_str(), c.buffer.size() + 1);
    if (paths == c.paths)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(c.buffer) << " gave "
                                         << ::testing::PrintToString(paths);
}

TEST(FileDialogTextTest, MultiSelectBuffersSplitIntoFullPaths) {
    const SplitCase cases[] = {
        {withNuls(L"D:\\x\0a\0b\0"), {L"D:\\x\\a", L"D:\\x\\b"}},
        {withNuls(L"D:\\x\\only.txt\0"), {L"D:\\x\\only.txt"}},
        {withNuls(L"C:\\\0a\0b\0"), {L"C:\\a", L"C:\\b"}}, // a drive root is not doubled
        {L"", {}},
    };
    for (const SplitCase& c : cases)
        EXPECT_TRUE(splitsInto(c));
    // Splitting stops at the buffer's end even without the closing empty string.
    const wchar_t unterminated[] = {L'D', L'\0', L'a', L'b', L'c'};
    EXPECT_EQ((std::vector<std::wstring>{L"D\\abc"}), afFileDialogText::splitSelection(unterminated, 5));
}

TEST(FileDialogTextTest, SaveExtensionFollowsTheInitialThenTheCurrentType) {
    afFileFilter text(L"Text", {L"txt", L"log"});
    afFileFilter all(L"All Files", {L"*"});
    afFileFilter sources(L"Sources", {L"cpp", L"h"});
    EXPECT_EQ(L"log", afFileDialogText::chooseSaveExtension(L"old.log", &text, &text));
    EXPECT_EQ(L"cpp", afFileDialogText::chooseSaveExtension(L"old.log", &text, &sources));
    EXPECT_EQ(L"txt", afFileDialogText::chooseSaveExtension(L"", &text, &text));
    EXPECT_EQ(L"", afFileDialogText::chooseSaveExtension(L"old.log", &all, &all));
    EXPECT_EQ(L"txt", afFileDialogText::chooseSaveExtension(L"old", &text, &text));
}

// A stand-in for the system dialog: a window holding the name box and the hook's window.
struct StandInDialog {
    StandInDialog() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"corvelStandInDialog";
        wc.cbWndExtra = DLGWINDOWEXTRA;
        RegisterClassW(&wc);
        dialog = CreateWindowExW(0, L"corvelStandInDialog", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        nameBox = CreateWindowExW(0, L"Edit", L"", WS_CHILD, 0, 0, 100, 20, dialog,
                                  reinterpret_cast<HMENU>(afDialogFileSave::NAME_BOX_ID), wc.hInstance, nullptr);
        hook = CreateWindowExW(0, L"corvelStandInDialog", L"", WS_CHILD, 0, 0, 10, 10, dialog, nullptr, wc.hInstance,
                               nullptr);
    }
    ~StandInDialog() { DestroyWindow(dialog); }
    std::wstring nameBoxText() const {
        wchar_t text[512] = {};
        GetWindowTextW(nameBox, text, 512);
        return text;
    }
    HWND dialog, nameBox, hook;
};

// Runs the hook as the system does: a type change, then presses of OK with typed names;
// a refused press is answered by pressing again with what the name box shows.
template <class Base> struct ScriptedDialog : Base {
    using Base::Base;
    uint32_t runCommonDialog(OPENFILENAMEW& record) override {
        seen = record;
        filter.assign(record.lpstrFilter ? record.lpstrFilter : L"",
                      record.lpstrFilter ? afFileDialogText::buildFilterText(options->fileTypes).size() : 0);
        initialName = record.lpstrFile;
        Base::runCommonDialog(record, true);
        if (typeIndex > 0) {
            record.nFilterIndex = static_cast<DWORD>(typeIndex);
            notify(record, CDN_TYPECHANGE);
        }
        for (const std::wstring& name : typed) {
            lstrcpynW(record.lpstrFile, name.c_str(), static_cast<int>(record.nMaxFile));
            while (notify(record, CDN_FILEOK) == 1) {
                ++refusals;
                std::wstring shown = standIn.nameBoxText();
                lstrcpynW(record.lpstrFile, shown.c_str(), static_cast<int>(record.nMaxFile));
            }
        }
        if (!selection.empty())
            memcpy(record.lpstrFile, selection.c_str(), (selection.size() + 1) * sizeof(wchar_t));
        if (finalIndex != 0)
            record.nFilterIndex = static_cast<DWORD>(finalIndex);
        return answer;
    }
    UINT_PTR notify(OPENFILENAMEW& record, UINT code) {
        OFNOTIFYW notice{};
        notice.hdr.hwndFrom = standIn.dialog;
        notice.hdr.code = code;
        notice.lpOFN = &record;
        return afDialogFileBase::hookProcedure(standIn.hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    }

    afDialogFileOptions* options = nullptr;
    StandInDialog standIn;
    OPENFILENAMEW seen{};
    std::wstring filter;
    std::wstring initialName;
    int typeIndex = 0;
    std::vector<std::wstring> typed;
    std::wstring selection;
    int finalIndex = 0;
    int refusals = 0;
    uint32_t answer = afWindow::RESULT_OK;
};

// The run step of the real classes is skipped; only the save dialog's counter reset is kept.
struct OpenRun : afDialogFileOpen {
    using afDialogFileOpen::afDialogFileOpen;
    uint32_t runCommonDialog(OPENFILENAMEW&, bool) { return 0; }
};
struct SaveRun : afDialogFileSave {
    using afDialogFileSave::afDialogFileSave;
    uint32_t runCommonDialog(OPENFILENAMEW&, bool) {
        m_attempts = 0;
        return 0;
    }
    int attempts() const { return m_attempts; }
};

TEST(FileDialogTest, OptionsStartWithTheirDefaults) {
    afDialogFileOptions options;
    EXPECT_TRUE(options.mustExist);
    EXPECT_TRUE(options.showHidden);
    EXPECT_FALSE(options.overwritePrompt);
    EXPECT_TRUE(options.noReadOnlyReturn);
    EXPECT_FALSE(options.multiSelect);
    EXPECT_EQ(nullptr, options.preselectedType);
    EXPECT_EQ(nullptr, options.chosenType);
}

TEST(FileDialogTest, TheRecordCarriesFlagsFilterAndPreselection) {
    widgetstest::HostWindow host;
    afDialogFileOptions options;
    options.initialFileName = L"D:\\p\\site.CVPROJECT";
    options.fileTypes.add(L"All Files", {L"*"});
    afFileFilter* project = options.fileTypes.add(L"Projects", {L"cvProject"});
    ScriptedDialog<OpenRun> dialog(&host);
    dialog.options = &options;
    EXPECT_EQ(afWindow::RESULT_OK, dialog.show(options));
    EXPECT_EQ(sizeof(void*) == 8 ? 152u : 88u, dialog.seen.lStructSize); // the full record on either target
    EXPECT_EQ(DWORD(0x880020 | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_FORCESHOWHIDDEN | OFN_NOREADONLYRETURN),
              dialog.seen.Flags);
    EXPECT_EQ(0xFFFFu, dialog.seen.nMaxFile);
    EXPECT_EQ(host.getHandle(), dialog.seen.hwndOwner);
    EXPECT_EQ(2u, dialog.seen.nFilterIndex);
    EXPECT_EQ(project, options.preselectedType);
    EXPECT_EQ(1, dialog.getInitialTypeIndex());
    EXPECT_EQ(withNuls(L"All Files (*.*)\0*.*\0Projects (*.cvProject)\0*.cvProject\0"), dialog.filter);
    EXPECT_EQ(options.initialFileName, dialog.initialName);
    EXPECT_EQ(std::vector<std::wstring>{options.initialFileName}, options.selectedPaths);
    EXPECT_EQ(project, options.chosenType);

    options.mustExist = options.showHidden = options.noReadOnlyReturn = false;
    options.overwritePrompt = options.multiSelect = true;
    dialog.selection = withNuls(L"D:\\x\0a\0b\0");
    dialog.finalIndex = 7; // outside the list: no type
    EXPECT_EQ(afWindow::RESULT_OK, dialog.show(options));
    EXPECT_EQ(DWORD(0x880020 | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT), dialog.seen.Flags);
    EXPECT_EQ((std::vector<std::wstring>{L"D:\\x\\a", L"D:\\x\\b"}), options.selectedPaths);
    EXPECT_EQ(nullptr, options.chosenType);
}

TEST(FileDialogTest, ACancelledRunLeavesNoResultsAndLongNamesAreCut) {
    widgetstest::HostWindow host;
    afDialogFileOptions options;
    options.fileTypes.add(L"All Files", {L"*"});
    options.selectedPaths = {L"stale"};
    options.initialFileName.assign(70000, L'n');
    ScriptedDialog<OpenRun> dialog(&host);
    dialog.options = &options;
    dialog.answer = afWindow::RESULT_CANCEL;
    EXPECT_EQ(afWindow::RESULT_CANCEL, dialog.show(options));
    EXPECT_TRUE(options.selectedPaths.empty());
    EXPECT_EQ(nullptr, options.chosenType);
    EXPECT_EQ(size_t(0xFFFF), dialog.initialName.size());
    EXPECT_EQ(1u, dialog.seen.nFilterIndex);
}

struct SaveCase {
    const wchar_t* initialName;
    int typeChange; // 1-based, 0 for none
    const wchar_t* typed;
    const wchar_t* saved;
    int refusals;
};

::testing::AssertionResult savesAs(const SaveCase& c) {
    widgetstest::HostWindow host;
    afDialogFileOptions options;
    options.initialFileName = c.initialName;
    options.fileTypes.add(L"Text", {L"txt"});
    options.fileTypes.add(L"All Files", {L"*"});
    options.fileTypes.add(L"Logs", {L"log"});
    ScriptedDialog<SaveRun> dialog(&host);
    dialog.options = &options;
    dialog.typeIndex = c.typeChange;
    dialog.typed = {c.typed};
    dialog.show(options);
    std::wstring saved = options.selectedPaths.empty() ? L"" : options.selectedPaths.front();
    if (saved == c.saved && dialog.refusals == c.refusals)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(c.typed) << " saved as "
                                         << ::testing::PrintToString(saved) << " after " << dialog.refusals
                                         << " refusals";
}

TEST(FileDialogTest, SavingCompletesABareNameOnce) {
    const SaveCase cases[] = {
        {L"", 0, L"D:\\notes", L"D:\\notes.txt", 1},
        {L"", 2, L"D:\\notes", L"D:\\notes", 0},                // "All Files" keeps the name as typed
        {L"D:\\old.log", 0, L"D:\\notes", L"D:\\notes.log", 1}, // the initial name's type and extension
        {L"D:\\old.log", 1, L"D:\\notes", L"D:\\notes.txt", 1}, // the type was changed
        {L"", 0, L"D:\\notes.md", L"D:\\notes.md", 0},
    };
    for (const SaveCase& c : cases)
        EXPECT_TRUE(savesAs(c));
}

TEST(FileDialogTest, ASecondBarePressIsAcceptedAsTyped) {
    widgetstest::HostWindow host;
    afDialogFileOptions options;
    options.fileTypes.add(L"Text", {L"txt"});
    ScriptedDialog<SaveRun> dialog(&host);
    dialog.options = &options;
    dialog.show(options);
    OPENFILENAMEW record{};
    wchar_t name[64] = L"D:\\bare";
    record.lpstrFile = name;
    record.nMaxFile = 64;
    EXPECT_FALSE(dialog.validate(dialog.standIn.hook, record));
    EXPECT_EQ(L"D:\\bare.txt", dialog.standIn.nameBoxText());
    EXPECT_TRUE(dialog.validate(dialog.standIn.hook, record));
    EXPECT_EQ(2, dialog.attempts());
}

} // namespace

namespace {

// Answers the system's save dialog of this thread from a timer: types a bare name and
// presses OK until the dialog is gone (at most a bounded number of presses).
struct SaveAnswer {
    std::wstring typed;
    int presses = 0;
    int ticks = 0;
    UINT_PTR timer = 0;
};
SaveAnswer* g_save = nullptr;

BOOL CALLBACK findDialog(HWND hwnd, LPARAM result) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (IsWindowVisible(hwnd) && std::wstring(className) == L"#32770") {
        *reinterpret_cast<HWND*>(result) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK answerSave(HWND, UINT, UINT_PTR, DWORD) {
    SaveAnswer& answer = *g_save;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &findDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    if (++answer.ticks > 100) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (answer.presses == 0)
        SetDlgItemTextW(dialog, afDialogFileSave::NAME_BOX_ID, answer.typed.c_str());
    ++answer.presses;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST(FileDialogTest, TheSystemSaveDialogCompletesABareName) {
    widgetstest::HostWindow host;
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    SaveAnswer answer;
    answer.typed = std::wstring(folder) + L"corvel-save-dialog-notes";
    g_save = &answer;
    answer.timer = SetTimer(nullptr, 0, 200, &answerSave);
    afDialogFileOptions options;
    options.mustExist = false;
    options.fileTypes.add(L"Text", {L"txt"});
    afDialogFileSave dialog(&host);
    uint32_t result = dialog.show(options);
    KillTimer(nullptr, answer.timer);
    g_save = nullptr;
    ASSERT_EQ(afWindow::RESULT_OK, result) << "the system dialog did not take the answer";
    ASSERT_EQ(1u, options.selectedPaths.size());
    // The first press completed the name in the name box; the second accepted it.
    EXPECT_EQ(answer.typed + L".txt", options.selectedPaths.front());
    EXPECT_EQ(2, answer.presses);
    EXPECT_EQ(options.fileTypes.at(0), options.chosenType);
}

} // namespace
