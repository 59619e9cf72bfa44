#include "corvel/workspace/FileManager.h"

#include "../../ui_framework/widgets/tests/ModalSteps.h"
#include "../../ui_framework/widgets/tests/OpenMessageBox.h"
#include "corvel/app/DockSimple.h"
#include "corvel/app/Tabs.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "corvel/widgets/afMessageBox.h"
#include "support/EditorFixture.h"
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <functional>
#include <string>
#include <vector>

using namespace corvel;
using zemtest::makeTempFolder;
using zemtest::readNativeFile;
using zemtest::removeTree;
using zemtest::writeNativeFile;

namespace {

constexpr uint32_t RESULT_SAVE = 0x79DCDD47u;
constexpr uint32_t RESULT_DISCARD = 0x67AA281Fu;
constexpr uint32_t RESULT_CANCEL = 0x5616C572u;

// What a question box showed, and the answer given from inside its modal run.
struct Prompt {
    std::wstring title;
    std::vector<std::wstring> labels;
    std::vector<std::wstring> buttons;
};

// A file manager whose document dock is a tab strip in the fixture's host window, over
// real files in a fresh folder.
class FileManagerTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        edtest::EditorFixture::SetUp();
        folder = makeTempFolder(L"files");
        ASSERT_FALSE(folder.empty());
        // The file manager opens full paths, which are native ones.
        native = std::make_unique<zem::FileDeviceWin32>(nullptr, zem::FILEDEV_NATIVE);
        ASSERT_TRUE(zem::fileAttachDevice(native.get(), L"__filesnative", 256));
        tabs = Tabs::create(host);
        ASSERT_NE(nullptr, tabs);
        manager.reset(new FileManager(documents.get(), controllers.get(), &registry));
        manager->setDocumentDock(tabs);
        manager->createActions(nullptr);
    }
    void TearDown() override {
        manager.reset();
        removeTree(folder);
        zem::fileDetachDevice(L"__filesnative");
        native.reset();
        edtest::EditorFixture::TearDown();
    }

    std::wstring file(const wchar_t* name, const std::string& text = "text\n") {
        std::wstring path = folder + name;
        writeNativeFile(path, text);
        return path;
    }
    DocumentController* open(const std::wstring& path, int index = -1) {
        return manager->open(path.c_str(), nullptr, index).second;
    }
    std::vector<std::wstring> tabTexts() const {
        std::vector<std::wstring> texts;
        for (int i = 0; i < tabs->getSlotCount(); ++i) {
            ViewVirtualButton* button = DockSimple::getButton(tabs->getSlot(i));
            texts.push_back(button ? button->getText() : L"<no button>");
        }
        return texts;
    }
    void type(DocumentController* controller, const wchar_t* text) {
        EditBracket bracket(*controller, DocumentController::EDIT_WRITE);
        controller->insertString(text);
    }
    // Runs call with a step that records the box on top and answers it with result.
    template <class Call> Prompt answering(uint32_t result, Call call) {
        Prompt prompt;
        widgetstest::runWithSteps(
            [&] {
                call();
                return 0u;
            },
            {[&] {
                afMessageBox* box = widgetstest::findOpenMessageBox();
                if (!box)
                    return;
                prompt.title = box->getTitle();
                for (afControlButton* button : box->getButtons())
                    prompt.buttons.push_back(button->getText());
                collectLabels(box, prompt.labels);
                box->close(result);
            }});
        return prompt;
    }
    static void collectLabels(afView* view, std::vector<std::wstring>& out) {
        for (int i = 0; i < view->getChildCount(); ++i) {
            afView* child = view->getChildAt(i);
            if (auto* label = dynamic_cast<afLabel*>(child)) {
                if (label->isVisible() && !label->getText().empty())
                    out.push_back(label->getText());
            }
            collectLabels(child, out);
        }
    }

    std::wstring folder;
    std::unique_ptr<zem::FileDeviceWin32> native;
    afActionRegistry registry;
    Tabs* tabs = nullptr;
    std::unique_ptr<FileManager> manager;
};

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

} // namespace
