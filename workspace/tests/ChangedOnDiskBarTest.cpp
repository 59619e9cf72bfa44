#include "FileManagerFixture.h"
#include "PromptSteps.h"
#include "corvel/editor/EditorWrapper.h"
#include "corvel/workspace/InlineMessage.h"
#include "support/DibTarget.h"

using namespace filemanagertest;
using namespace workspacetest;

namespace {

class ChangedOnDiskBarTest : public FileManagerTest {
protected:
    EditorWrapper* wrapperOf(DocumentController* controller) const {
        afDockSlot* slot = manager->slotOf(controller);
        return slot ? dynamic_cast<EditorWrapper*>(slot->getView()) : nullptr;
    }
    InlineMessage* barOf(DocumentController* controller) const {
        EditorWrapper* wrapper = wrapperOf(controller);
        return wrapper ? dynamic_cast<InlineMessage*>(wrapper->getTopArea()->findChild(L"file_changed")) : nullptr;
    }
    bool barShown(DocumentController* controller) const {
        InlineMessage* bar = barOf(controller);
        return bar && bar->isVisible();
    }
    uint32_t slotId(DocumentController* controller) const { return manager->slotOf(controller)->getId(); }
    // Writes the file behind the document's back and waits, bounded, for the watcher.
    ::testing::AssertionResult changeOnDisk(DocumentController* controller, const std::string& text) {
        writeNativeFile(controller->getFilePath(), text);
        zemtest::setNativeLastWriteLater(controller->getFilePath(), 10 + ++m_touches);
        if (window.pumpUntil([&] { return controller->isFileChangedPending(); }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the change to " << readNativeFile(controller->getFilePath()) << " never arrived";
    }
    afControlButton* barButton(DocumentController* controller, const std::wstring& text) const {
        InlineMessage* bar = barOf(controller);
        afLayoutLinear* row = bar ? bar->getButtonLayout() : nullptr;
        for (int i = 0; row && i < row->getChildCount(); ++i) {
            auto* button = dynamic_cast<afControlButton*>(row->getChildAt(i));
            if (button && button->getText() == text)
                return button;
        }
        return nullptr;
    }
    std::wstring textOf(DocumentController* controller) {
        std::wstring all;
        EditBracket bracket(*controller, DocumentController::EDIT_READ);
        controller->getAllText(all);
        return all;
    }

private:
    int m_touches = 0;
};

TEST_F(ChangedOnDiskBarTest, TheBarShowsOnlyOnTheActiveTabOfAChangedFile) {
    DocumentController* a = open(file(L"a.txt"));
    DocumentController* b = open(file(L"b.txt"));
    manager->activateTab(a);
    ASSERT_TRUE(changeOnDisk(a, "text\nfrom outside\n"));
    EXPECT_EQ(FileManager::SLOT_CHANGED_ON_DISK, slotId(a));
    EXPECT_EQ(ViewVirtualButton::STATE_WARNING, DockSimple::getButton(manager->slotOf(a))->getState());
    ASSERT_TRUE(barShown(a));
    InlineMessage* bar = barOf(a);
    std::vector<std::wstring> labels;
    collectLabels(bar, labels);
    EXPECT_EQ(std::vector<std::wstring>{L"The file has been changed."}, labels);
    EXPECT_NE(nullptr, barButton(a, L"&Reload"));
    EXPECT_NE(nullptr, barButton(a, L"&Ignore"));

    // A change to a file in the background marks its tab; the bar waits for the tab.
    ASSERT_TRUE(changeOnDisk(b, "b from outside\n"));
    EXPECT_EQ(FileManager::SLOT_CHANGED_ON_DISK, slotId(b));
    EXPECT_EQ(nullptr, barOf(b));

    manager->activateTab(b);
    EXPECT_FALSE(barShown(a));
    EXPECT_TRUE(barShown(b));
    manager->activateTab(a);
    EXPECT_FALSE(barShown(b));
    ASSERT_TRUE(barShown(a));
    EXPECT_EQ(bar, barOf(a)) << "the hidden bar is shown again, not made anew";
    labels.clear();
    collectLabels(bar, labels);
    EXPECT_EQ(1u, labels.size());
    EXPECT_EQ(2, bar->getButtonLayout()->getChildCount());

    // Ignore keeps the text and takes bar and mark away.
    barButton(a, L"&Ignore")->click();
    EXPECT_FALSE(a->isFileChangedPending());
    EXPECT_FALSE(barShown(a));
    EXPECT_EQ(FileManager::SLOT_DOCUMENT, slotId(a));
    EXPECT_NE(ViewVirtualButton::STATE_WARNING, DockSimple::getButton(manager->slotOf(a))->getState());
    EXPECT_EQ(L"text\n", textOf(a));
    EXPECT_EQ(FileManager::SLOT_CHANGED_ON_DISK, slotId(b)) << "the other document keeps its mark";
}

struct ReloadCase {
    const char* name;
    bool modified;         // typed into before the reload
    bool removed;          // the file is gone by the time of the reload
    const wchar_t* answer; // the button pressed on the question, or null when none comes
    const wchar_t* text;   // the document's text afterwards
    bool barAfter;
    bool modifiedAfter;
};

TEST_F(ChangedOnDiskBarTest, ReloadReadsTheFileAskingFirstWhenThereAreEdits) {
    const ReloadCase cases[] = {
        {"clean", false, false, nullptr, L"new\n", false, false},
        {"edits kept", true, false, L"&Cancel", L"q text\n", true, true},
        {"edits dropped", true, false, L"&Reload", L"new\n", false, false},
        {"file gone", false, true, L"&OK", L"text\n", false, false},
    };
    for (const ReloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentController* a = open(file(L"a.txt"));
        manager->activateTab(a);
        ASSERT_TRUE(changeOnDisk(a, "new\n"));
        if (c.modified)
            type(a, L"q ");
        if (c.removed)
            DeleteFileW(a->getFilePath().c_str());
        SeenPrompt seen;
        std::vector<PromptStep> steps;
        if (c.answer)
            steps.push_back(answerPrompt(c.answer, &seen));
        afControlButton* reload = barButton(a, L"&Reload");
        ASSERT_NE(nullptr, reload);
        EXPECT_EQ(0u, runWithPrompts([&] { reload->click(); }, steps));
        EXPECT_EQ(c.text, textOf(a));
        EXPECT_EQ(c.barAfter, barShown(a));
        EXPECT_EQ(c.modifiedAfter, a->isModified());
        if (c.modified) {
            EXPECT_EQ(L"Reloading modified file...", seen.title);
            EXPECT_EQ(
                (std::vector<std::wstring>{L"Reload this file and lose your changes?", L"a.txt", folder + L"a.txt"}),
                seen.labels);
            EXPECT_EQ((std::vector<std::wstring>{L"&Reload", L"&Cancel"}), seen.buttons);
        }
        if (c.removed) {
            EXPECT_EQ(L"Error", seen.title);
            EXPECT_TRUE(seen.hasLabel(L"Unable to open file"));
            EXPECT_TRUE(seen.hasLabel(folder + L"a.txt"));
        }
        runWithPrompts([&] { manager->closeAll(nullptr); }, {answerPrompt(L"&Discard")});
        ASSERT_EQ(0u, manager->getOpen().size());
    }
}

TEST_F(ChangedOnDiskBarTest, TheReloadActionAsksAboutEditsWithoutAChangeOnDisk) {
    DocumentController* a = open(file(L"a.txt"));
    manager->activateTab(a);
    writeNativeFile(folder + L"a.txt", "other\n");
    type(a, L"q ");
    SeenPrompt seen;
    EXPECT_EQ(0u, runWithPrompts([&] { manager->onReload(nullptr); }, {answerPrompt(L"&Cancel", &seen)}));
    EXPECT_EQ(L"Reloading modified file...", seen.title);
    EXPECT_EQ(L"q text\n", textOf(a));
    EXPECT_EQ(0u, runWithPrompts([&] { manager->onReload(nullptr); }, {answerPrompt(L"&Reload")}));
    EXPECT_EQ(L"other\n", textOf(a));
    EXPECT_FALSE(a->isModified());

    // An untitled document has nothing to read.
    DocumentController* untitled = manager->newDocument();
    manager->activateTab(untitled);
    type(untitled, L"x");
    EXPECT_EQ(0u, runWithPrompts([&] { manager->onReload(nullptr); }, {}));
    EXPECT_EQ(L"x", textOf(untitled));
}

TEST(InlineMessageTest, PaintsItsFillUnlessItsStyleIsZeroAndAlwaysItsFrame) {
    if (!afResources::exists())
        afResources::create();
    WidgetPalette palette;
    palette.setGradientMode(false);
    uitest::TestWidget host(nullptr, false);
    host.afViewPlatform::create();
    struct Case {
        int style;
        COLORREF inside;
    } const cases[] = {{0, RGB(1, 2, 3)}, {InlineMessage::DEFAULT_STYLE, palette.getFill(4).flat}};
    for (const Case& c : cases) {
        InlineMessage bar(&host);
        bar.setStyle(c.style);
        bar.setFrame(afRect(0, 0, 60, 20));
        corveltest::DibTarget target(60, 20, RGB(1, 2, 3));
        std::unique_ptr<afCanvas> canvas = afCanvas::create(target.dc());
        EXPECT_TRUE(bar.onDraw(canvas.get(), nullptr));
        EXPECT_EQ(c.inside, target.pixel(30, 10)) << "style " << c.style;
        EXPECT_EQ(palette.color(5), target.pixel(30, 19)) << "style " << c.style;
    }
}

} // namespace
