// Saving from the file manager: Save, Save As through the system's dialog, a write that
// fails (the box, the document still modified, the file on disk whole) and the way to the
// file in the system's file browser.
#include "FileManagerFixture.h"
#include "PromptSteps.h"
#include "corvel/widgets/afDialogFileBase.h"

#include <algorithm>

using namespace filemanagertest;
using namespace workspacetest;

namespace {

BOOL CALLBACK findFileDialog(HWND hwnd, LPARAM result) {
    wchar_t className[16] = {};
    GetClassNameW(hwnd, className, 16);
    if (IsWindowVisible(hwnd) && std::wstring(className) == L"#32770") {
        *reinterpret_cast<HWND*>(result) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A step that waits for the system's save dialog and answers it: the path typed into its
// name box and OK, or Cancel for an empty path.
PromptStep answerSaveDialog(const std::wstring& path) {
    return [path]() {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &findFileDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return false;
        if (path.empty()) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        } else {
            SetDlgItemTextW(dialog, afDialogFileSave::NAME_BOX_ID, path.c_str());
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
        return true;
    };
}

// The names in the folder, sorted: a failed save leaves no half-written file behind.
std::vector<std::wstring> listFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class FileSavingTest : public FileManagerTest {
protected:
    void TearDown() override {
        // A read-only file would outlive the fixture's folder.
        for (const std::wstring& name : listFolder(folder))
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        FileManagerTest::TearDown();
    }
    std::wstring readOnlyFile(const wchar_t* name, const std::string& text) {
        std::wstring path = file(name, text);
        EXPECT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        return path;
    }
    void expectSaveError(const SeenPrompt& seen, const std::wstring& path) {
        EXPECT_EQ(L"Error", seen.title);
        ASSERT_EQ(3u, seen.labels.size());
        EXPECT_EQ(L"Unable to save file", seen.labels[0]);
        EXPECT_EQ(path, seen.labels[1]);
        EXPECT_FALSE(seen.labels[2].empty()) << "the reason is told";
        EXPECT_EQ(std::vector<std::wstring>{L"&OK"}, seen.buttons);
    }
};

TEST_F(FileSavingTest, SaveWritesTheFileAndSaveAsMovesTheDocumentToTheNewName) {
    DocumentController* a = open(file(L"a.txt"));
    type(a, L"x");
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_TRUE(manager->save(a)); }, {}));
    EXPECT_EQ("xtext\n", readNativeFile(folder + L"a.txt"));
    EXPECT_FALSE(a->isModified());

    // Save As writes the new file only; the tab and caption follow the new name.
    type(a, L"y"); // after the x, at the caret
    std::wstring c = folder + L"c.txt";
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_TRUE(manager->saveAs(a)); }, {answerSaveDialog(c)}));
    EXPECT_EQ("xytext\n", readNativeFile(c));
    EXPECT_EQ("xtext\n", readNativeFile(folder + L"a.txt"));
    EXPECT_EQ(c, a->getFilePath());
    EXPECT_FALSE(a->isModified());
    EXPECT_EQ(std::vector<std::wstring>{L"c.txt"}, tabTexts());
    EXPECT_EQ(L"c.txt - " + folder, FileManager::captionOf(a));

    // Cancelled, nothing changes.
    type(a, L"z");
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_FALSE(manager->saveAs(a)); }, {answerSaveDialog(L"")}));
    EXPECT_EQ(c, a->getFilePath());
    EXPECT_TRUE(a->isModified());
    EXPECT_EQ("xytext\n", readNativeFile(c));

    // An untitled document is saved through Save As.
    DocumentController* untitled = manager->newDocument();
    type(untitled, L"new");
    std::wstring d = folder + L"d.txt";
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_TRUE(manager->save(untitled)); }, {answerSaveDialog(d)}));
    EXPECT_EQ("new", readNativeFile(d));
    EXPECT_EQ(d, untitled->getFilePath());
    EXPECT_EQ(L"d.txt", untitled->getTitle());
}

TEST_F(FileSavingTest, AFailedSaveShowsTheErrorAndKeepsDocumentAndFileAsTheyWere) {
    std::wstring path = readOnlyFile(L"ro.txt", "kept\n");
    DocumentController* ro = open(path);
    ASSERT_NE(nullptr, ro);
    type(ro, L"lost? ");
    const std::vector<std::wstring> before = listFolder(folder);

    SeenPrompt seen;
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_FALSE(manager->save(ro)); }, {answerPrompt(L"&OK", &seen)}));
    expectSaveError(seen, path);
    EXPECT_TRUE(ro->isModified());
    EXPECT_EQ(path, ro->getFilePath());
    EXPECT_EQ("kept\n", readNativeFile(path)) << "the file is neither written nor cut short";
    EXPECT_EQ(before, listFolder(folder)) << "no partly written file is left";

    // Closing it with "&Save": the failure stops the close, the tab and its edits stay.
    SeenPrompt closing;
    seen = SeenPrompt();
    EXPECT_EQ(0u, runWithPrompts([&] { manager->onClose(nullptr); },
                                 {answerPrompt(L"&Save", &closing), answerPrompt(L"&OK", &seen)}));
    EXPECT_EQ(L"Closing modified file...", closing.title);
    expectSaveError(seen, path);
    ASSERT_EQ(1u, manager->getOpen().size());
    EXPECT_EQ(ro, manager->getOpen()[0]);
    EXPECT_EQ(1, tabs->getSlotCount());
    EXPECT_TRUE(ro->isModified());
    EXPECT_EQ("kept\n", readNativeFile(path));

    // "&Save all" stops at the failure: the one saved before it stays saved, nothing closes.
    DocumentController* good = open(file(L"good.txt"));
    type(good, L"saved ");
    std::vector<DocumentController*> list{good, ro};
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_FALSE(manager->confirmClose(list)); },
                                 {answerPrompt(L"&Save all"), answerPrompt(L"&OK")}));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ("saved text\n", readNativeFile(folder + L"good.txt"));
    EXPECT_TRUE(ro->isModified());
    EXPECT_EQ(2u, manager->getOpen().size());
}

TEST_F(FileSavingTest, ASaveIntoAFolderDeletedMeanwhileFailsAndDoesNotBringItBack) {
    std::wstring sub = folder + L"sub";
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    std::wstring path = sub + L"\\x.txt";
    writeNativeFile(path, "kept\n");
    DocumentController* x = open(path);
    ASSERT_NE(nullptr, x);
    type(x, L"new ");
    // Taken away whole: the document's own watch keeps a deleted folder in the system until
    // the watch ends, and files could still be made in it meanwhile.
    ASSERT_TRUE(MoveFileW(sub.c_str(), (folder + L"moved").c_str()));
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sub.c_str()));

    SeenPrompt seen;
    EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_FALSE(manager->save(x)); }, {answerPrompt(L"&OK", &seen)}));
    expectSaveError(seen, path);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sub.c_str())) << "the folder stays deleted";
    EXPECT_TRUE(x->isModified());
    EXPECT_EQ(std::vector<std::wstring>{L"moved"}, listFolder(folder));
    EXPECT_EQ(std::vector<std::wstring>{L"x.txt"}, listFolder(folder + L"moved\\"));
}

// Records what the file browser was asked to show, and fails when told to.
struct FolderShowerFake {
    static std::vector<std::wstring>& shown() {
        static std::vector<std::wstring> paths;
        return paths;
    }
    static DWORD& failure() {
        static DWORD code = 0;
        return code;
    }
    static bool show(const std::wstring& path) {
        shown().push_back(path);
        if (failure() == 0)
            return true;
        SetLastError(failure());
        return false;
    }
};

TEST_F(FileSavingTest, ShowInFolderHandsTheFileToTheBrowserAndTellsWhatFails) {
    manager->setFolderShower(&FolderShowerFake::show);
    FolderShowerFake::shown().clear();
    std::wstring a = file(L"a.txt");
    DocumentController* named = open(a);
    DocumentController* gone = open(file(L"gone.txt"));
    DeleteFileW((folder + L"gone.txt").c_str());
    DocumentController* untitled = manager->newDocument();

    struct Case {
        const char* name;
        DocumentController* controller;
        DWORD failure;           // what the browser's start reports
        bool handed;             // the browser was asked
        const wchar_t* errorBox; // the file named in the error box, or null for none
    } const cases[] = {
        {"shown", named, 0, true, nullptr},
        {"the browser fails", named, ERROR_ACCESS_DENIED, true, L"a.txt"},
        {"the file is gone", gone, 0, false, L"gone.txt"},
        {"untitled", untitled, 0, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FolderShowerFake::shown().clear();
        FolderShowerFake::failure() = c.failure;
        manager->activateTab(c.controller);
        SeenPrompt seen;
        std::vector<PromptStep> steps;
        if (c.errorBox)
            steps.push_back(answerPrompt(L"&OK", &seen));
        EXPECT_EQ(0u, runWithPrompts([&] { EXPECT_TRUE(manager->onShowInFolder(nullptr)); }, steps));
        EXPECT_EQ(c.handed ? std::vector<std::wstring>{a} : std::vector<std::wstring>{}, FolderShowerFake::shown());
        if (c.errorBox) {
            EXPECT_EQ(L"Error", seen.title);
            ASSERT_EQ(3u, seen.labels.size());
            EXPECT_EQ(L"Unable to show file", seen.labels[0]);
            EXPECT_EQ(folder + c.errorBox, seen.labels[1]);
            EXPECT_FALSE(seen.labels[2].empty());
        }
    }
    FolderShowerFake::failure() = 0;

    // The browser takes the whole path as one argument, commas and spaces included.
    EXPECT_EQ(L"/select,\"C:\\a b\\c,d.txt\"", FileManager::folderSelectParameters(L"C:\\a b\\c,d.txt"));
}

} // namespace
