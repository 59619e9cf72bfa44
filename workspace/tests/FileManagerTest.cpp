#include "FileManagerFixture.h"

#include "corvel/ui/afDeferredDelete.h"

#include <algorithm>
#include <cwchar>

using namespace filemanagertest;

namespace {

// The windows of this thread whose class is that of the fixture's editor.
struct ClassCount {
    wchar_t className[64];
    int found;
};

BOOL CALLBACK countIfSameClass(HWND window, LPARAM data) {
    auto* count = reinterpret_cast<ClassCount*>(data);
    wchar_t name[64] = {0};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, count->className) == 0)
        ++count->found;
    return TRUE;
}

BOOL CALLBACK countInTopLevel(HWND top, LPARAM data) {
    countIfSameClass(top, data);
    EnumChildWindows(top, &countIfSameClass, data);
    return TRUE;
}

int editorWindowCount(HWND anyEditor) {
    ClassCount count{{0}, 0};
    GetClassNameW(anyEditor, count.className, 64);
    EnumThreadWindows(GetCurrentThreadId(), &countInTopLevel, reinterpret_cast<LPARAM>(&count));
    return count.found;
}

TEST_F(FileManagerTest, AFileOpenTwiceHasOneTabWhateverItsCaseAndSlashes) {
    std::wstring path = file(L"a.txt");
    DocumentController* first = open(path);
    ASSERT_NE(nullptr, first);
    std::wstring other = path;
    for (wchar_t& c : other)
        c = c == L'\\' ? L'/' : static_cast<wchar_t>(towupper(c));
    EXPECT_EQ(first, open(other));
    EXPECT_EQ(1, tabs->getSlotCount());
    EXPECT_EQ(std::vector<std::wstring>{L"a.txt"}, tabTexts());
    EXPECT_EQ(L"a.txt - " + folder, FileManager::captionOf(first));
}

TEST_F(FileManagerTest, TheLoneCleanUntitledTabMakesWayForAFile) {
    DocumentController* untitled = manager->newDocument();
    ASSERT_NE(nullptr, untitled);
    open(file(L"a.txt"));
    EXPECT_EQ(1u, manager->getOpen().size());
    EXPECT_EQ(std::vector<std::wstring>{L"a.txt"}, tabTexts());

    // A modified untitled document stays beside the new file.
    type(manager->newDocument(), L"x");
    open(file(L"b.txt"));
    EXPECT_EQ(3u, manager->getOpen().size());
}

// The replaced untitled tab's editor window once stayed beside the file's.
TEST_F(FileManagerTest, TheReplacedUntitledTabTakesItsEditorWindowAlong) {
    int before = editorWindowCount(editor->getHandle());
    manager->activateTab(manager->newDocument());
    EXPECT_EQ(before + 1, editorWindowCount(editor->getHandle()));
    manager->activateTab(open(file(L"a.txt")));
    afDeferredDelete::flush();
    EXPECT_EQ(before + 1, editorWindowCount(editor->getHandle()));
}

// Every closed tab once kept its hidden editor window, a USER and GDI cost, until exit.
TEST_F(FileManagerTest, FiveHundredDocumentsOpenedAndClosedLeaveNoWindowsBehind) {
    std::wstring path = file(L"a.txt");
    HANDLE self = GetCurrentProcess();
    int windows = editorWindowCount(editor->getHandle());
    DWORD user = GetGuiResources(self, GR_USEROBJECTS);
    DWORD gdi = GetGuiResources(self, GR_GDIOBJECTS);
    for (int i = 0; i < 500; ++i) {
        DocumentController* document = i % 2 ? open(path) : manager->newDocument();
        manager->activateTab(document);
        ASSERT_TRUE(tabs->removeSlot(manager->slotOf(document)));
        // As the main loop does after each message.
        afDeferredDelete::flush();
    }
    pump();
    EXPECT_EQ(windows, editorWindowCount(editor->getHandle()));
    // Zero where the system does not count them.
    EXPECT_LE(GetGuiResources(self, GR_USEROBJECTS), user + 8);
    EXPECT_LE(GetGuiResources(self, GR_GDIOBJECTS), gdi + 8);
}

TEST_F(FileManagerTest, AFailedOpenGivesTheErrorAndNoTab) {
    const std::wstring paths[] = {folder + L"missing.txt", folder};
    for (const std::wstring& path : paths) {
        FileManager::OpenResult result = manager->open(path.c_str());
        EXPECT_EQ(nullptr, result.second);
        EXPECT_NE(nullptr, result.first.get());
    }
    EXPECT_EQ(0, tabs->getSlotCount());
    EXPECT_EQ(nullptr, manager->openEntry(RecentFileEntry()).second);
}

TEST_F(FileManagerTest, SeveralFilesOpenSideBySideAtThePlaceGiven) {
    open(file(L"a.txt"));
    open(file(L"z.txt"));
    manager->openFiles({file(L"b.txt"), folder + L"missing.txt", file(L"c.txt")}, nullptr, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt", L"z.txt"}), tabTexts());
    ASSERT_EQ(4u, manager->getOpen().size());
    EXPECT_EQ(L"c.txt", manager->getOpen()[2]->getTitle());
}

TEST_F(FileManagerTest, TheRecentListKeepsTenExistingFilesOnceEachNewestLast) {
    for (int i = 0; i < 11; ++i) {
        RecentFileEntry entry;
        entry.filePath = file((L"f" + std::to_wstring(i) + L".txt").c_str());
        manager->addRecent(entry);
    }
    ASSERT_EQ(10u, manager->getRecent().size());
    EXPECT_EQ(folder + L"f1.txt", manager->getRecent().front().filePath);

    RecentFileEntry again;
    again.filePath = folder + L"F1.TXT";
    manager->addRecent(again);
    EXPECT_EQ(10u, manager->getRecent().size());
    EXPECT_EQ(folder + L"F1.TXT", manager->getRecent().back().filePath);

    RecentFileEntry gone;
    gone.filePath = folder + L"gone.txt";
    manager->addRecent(gone);
    EXPECT_EQ(folder + L"F1.TXT", manager->getRecent().back().filePath);
}

TEST_F(FileManagerTest, TheRecentMenuListsNewestFirstOrSaysThereIsNone) {
    std::unique_ptr<afMenu> popup(afMenu::createPopup(L"&Recent Files"));
    afMenu& menu = *popup;
    manager->fillRecentMenu(&menu);
    ASSERT_EQ(1u, menu.children().size());
    EXPECT_EQ(L"No recent files.", menu.children()[0]->getTitle());

    DocumentController* a = open(file(L"a.txt", "one\ntwo\nthree\n"));
    open(file(L"b.txt"));
    {
        EditBracket bracket(*a, DocumentController::EDIT_READ);
        Selection* selection = a->beginChangeBatch();
        selection->select(TextPosition(2, 3), TextPosition(2, 3), Selection::CARET_ANCHOR, Selection::ID_START_OVER);
        a->endChangeBatch();
    }
    EXPECT_TRUE(manager->closeAll(nullptr));
    EXPECT_EQ(0u, manager->getOpen().size());
    manager->fillRecentMenu(&menu);
    ASSERT_EQ(2u, menu.children().size());
    EXPECT_EQ(folder + L"b.txt", menu.children()[0]->getTitle());
    EXPECT_EQ(folder + L"a.txt", menu.children()[1]->getTitle());

    // Choosing a.txt reopens it with the caret where it was.
    static_cast<afMenuItem*>(menu.children()[1])->activate(nullptr);
    ASSERT_EQ(1u, manager->getOpen().size());
    const TextPosition& caret = manager->getOpen()[0]->getSelection()->getCaret();
    EXPECT_EQ(2, caret.line);
    EXPECT_EQ(3, caret.offset);
}

TEST_F(FileManagerTest, OneModifiedDocumentIsAskedAboutWithItsNameAndPath) {
    DocumentController* a = open(file(L"a.txt"));
    type(a, L"changed ");
    std::vector<DocumentController*> list{a};
    Prompt prompt = answering(RESULT_CANCEL, [&] { manager->confirmClose(list); });
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(L"Closing modified file...", prompt.title);
    EXPECT_EQ((std::vector<std::wstring>{L"&Save", L"&Discard", L"&Cancel"}), prompt.buttons);
    EXPECT_EQ((std::vector<std::wstring>{L"Save this file before closing?", L"a.txt", folder + L"a.txt"}),
              prompt.labels);

    list = {a};
    answering(RESULT_DISCARD, [&] { EXPECT_TRUE(manager->confirmClose(list)); });
    EXPECT_EQ(1u, list.size());

    list = {a};
    answering(RESULT_SAVE, [&] { EXPECT_TRUE(manager->confirmClose(list)); });
    EXPECT_FALSE(a->isModified());
    EXPECT_EQ("changed text\n", readNativeFile(folder + L"a.txt"));

    // Nothing to lose: an empty modified untitled document closes unasked.
    DocumentController* empty = manager->newDocument();
    type(empty, L"x");
    {
        EditBracket bracket(*empty, DocumentController::EDIT_WRITE);
        empty->setText(L"");
    }
    list = {empty};
    EXPECT_TRUE(manager->confirmClose(list));

    // Caught: a file whose whole text was deleted closed unasked, keeping its old text.
    {
        EditBracket bracket(*a, DocumentController::EDIT_WRITE);
        a->setText(L"");
    }
    ASSERT_TRUE(a->isModified());
    list = {a};
    prompt = answering(RESULT_SAVE, [&] { EXPECT_TRUE(manager->confirmClose(list)); });
    EXPECT_EQ(L"Closing modified file...", prompt.title);
    EXPECT_EQ("", readNativeFile(folder + L"a.txt"));
}

// Closing the shown tab as Ctrl+W does, on a document typed into and emptied again, untitled
// or with a file, each answer to the question given; after the close the main loop frees the
// tab's editor and the window takes a new document. An untitled document emptied this way
// once ended the program on Ctrl+W.
TEST_F(FileManagerTest, AnEmptiedDocumentClosesThroughItsTabEachAnswerGiven) {
    enum Emptied { DELETED, UNDONE };
    struct Case {
        const char* how;
        bool untitled;
        Emptied emptied;
        uint32_t answer; // 0: no question
        bool closes;
        const char* fileAfter;
    };
    const Case cases[] = {
        {"untitled, deleted", true, DELETED, 0, true, nullptr},
        {"untitled, undone", true, UNDONE, 0, true, nullptr},
        {"file, deleted, discarded", false, DELETED, RESULT_DISCARD, true, "text\n"},
        {"file, deleted, cancelled", false, DELETED, RESULT_CANCEL, false, "text\n"},
        {"file, deleted, saved", false, DELETED, RESULT_SAVE, true, ""},
    };
    const int windows = editorWindowCount(editor->getHandle());
    for (const Case& c : cases) {
        std::wstring path = file(L"emptied.txt");
        DocumentController* document = c.untitled ? manager->newDocument() : open(path);
        ASSERT_NE(nullptr, document) << c.how;
        manager->activateTab(document);
        type(document, L"abc");
        if (c.emptied == UNDONE) {
            while (document->getTextLength() > 0 && document->undo()) {
            }
        } else {
            EditBracket bracket(*document, DocumentController::EDIT_WRITE);
            document->setText(L"");
        }
        ASSERT_EQ(0, document->getTextLength()) << c.how;

        Prompt prompt = answering(c.answer ? c.answer : RESULT_CANCEL,
                                  [&] { tabs->removeSlot(manager->slotOf(document)); });
        EXPECT_EQ(c.answer ? L"Closing modified file..." : L"", prompt.title) << c.how;
        afDeferredDelete::flush();
        pump();
        const auto& open = manager->getOpen();
        EXPECT_EQ(!c.closes, std::find(open.begin(), open.end(), document) != open.end()) << c.how;
        EXPECT_EQ(c.closes ? 0 : 1, tabs->getSlotCount()) << c.how;
        if (c.fileAfter) {
            EXPECT_EQ(c.fileAfter, readNativeFile(path)) << c.how;
        }
        if (!c.closes) {
            EXPECT_TRUE(document->isModified()) << c.how;
            answering(RESULT_DISCARD, [&] { manager->closeAll(nullptr); });
        }

        // The program goes on: a new document takes text in a tab of its own.
        DocumentController* next = manager->newDocument();
        ASSERT_NE(nullptr, next) << c.how;
        manager->activateTab(next);
        type(next, L"x");
        EXPECT_EQ(1, next->getTextLength()) << c.how;
        {
            EditBracket bracket(*next, DocumentController::EDIT_WRITE);
            next->setText(L"");
        }
        tabs->removeSlot(manager->slotOf(next));
        afDeferredDelete::flush();
        pump();
        EXPECT_TRUE(manager->getOpen().empty()) << c.how;
        EXPECT_EQ(windows, editorWindowCount(editor->getHandle())) << c.how;
    }
}

TEST_F(FileManagerTest, SeveralModifiedDocumentsAreAskedAboutOnce) {
    DocumentController* a = open(file(L"a.txt"));
    DocumentController* untitled = manager->newDocument();
    type(a, L"1");
    type(untitled, L"2");
    std::vector<DocumentController*> list{a, untitled};
    Prompt prompt = answering(RESULT_DISCARD, [&] { EXPECT_TRUE(manager->confirmClose(list)); });
    EXPECT_EQ(2u, list.size());
    EXPECT_EQ(L"Closing modified files...", prompt.title);
    EXPECT_EQ((std::vector<std::wstring>{L"&Save all", L"&Discard all", L"&Cancel"}), prompt.buttons);
    EXPECT_EQ((std::vector<std::wstring>{L"Save these 2 files before closing?", L"a.txt", folder + L"a.txt",
                                         L"and 1 untitled file(s)."}),
              prompt.labels);

    answering(RESULT_CANCEL, [&] { EXPECT_FALSE(manager->closeAll(nullptr)); });
    EXPECT_EQ(2u, manager->getOpen().size());
    answering(RESULT_DISCARD, [&] { EXPECT_TRUE(manager->closeAll(nullptr)); });
    EXPECT_EQ(0u, manager->getOpen().size());
    EXPECT_EQ(0, tabs->getSlotCount());
    EXPECT_EQ("text\n", readNativeFile(folder + L"a.txt"));
}

TEST_F(FileManagerTest, RegistersTheTwelveFileActions) {
    const wchar_t* names[] = {L"file.new.default",       L"file.open.default",     L"file.open.quick",
                              L"file.open.session.last", L"file.save.default",     L"file.save.select",
                              L"file.show.in_project",   L"file.show.in_folder",   L"file.close",
                              L"file.close.all",         L"file.close.all_others", L"file.reload"};
    for (const wchar_t* name : names)
        EXPECT_NE(nullptr, registry.findAction(name)) << std::string(name, name + wcslen(name));
    EXPECT_EQ(12u, registry.getActions().size());
}

TEST_F(FileManagerTest, OpenAndLaterDocumentViewsFollowDistractionFreeModeInAndOut) {
    DocumentController* first = manager->newDocument();
    ASSERT_NE(nullptr, editorOf(*manager, first));
    EXPECT_FALSE(editorOf(*manager, first)->isDistractionFree());

    manager->setDistractionFree(true);
    EXPECT_TRUE(editorOf(*manager, first)->isDistractionFree());
    EXPECT_FALSE(editorOf(*manager, first)->getShownPreset().gutterLineNumbers);
    DocumentController* second = manager->newDocument();
    ASSERT_NE(nullptr, editorOf(*manager, second));
    EXPECT_TRUE(editorOf(*manager, second)->isDistractionFree());
    manager->activateTab(first);
    EXPECT_TRUE(editorOf(*manager, first)->isDistractionFree());

    manager->setDistractionFree(false);
    for (DocumentController* document : {first, second}) {
        Editor* view = editorOf(*manager, document);
        ASSERT_NE(nullptr, view);
        EXPECT_FALSE(view->isDistractionFree());
        EXPECT_EQ(document->getFacePreset().gutterLineNumbers, view->getShownPreset().gutterLineNumbers);
    }
}

} // namespace
