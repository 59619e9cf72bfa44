#include "FileManagerFixture.h"
#include "PromptSteps.h"
#include "corvel/document/Selection.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/ui/afEvent.h"
#include "zem/base/Crc.h"

using namespace filemanagertest;
using namespace workspacetest;

namespace {

// A file manager started over a stored layout that held documents.
class SessionButtonTest : public FileManagerTest {
protected:
    void SetUp() override {
        FileManagerTest::SetUp();
        menu.reset(afMenu::createPopup(L"&Recent Files"));
        ASSERT_NE(nullptr, menu);
    }
    // The dock layout of the last run held the files, carets away from the start; how many
    // of them the manager took for the last session.
    int restoreLayout(const std::vector<std::wstring>& paths) {
        int taken = 0;
        for (const std::wstring& path : paths) {
            RecentFileEntry entry;
            entry.filePath = path;
            entry.line = 1;
            JasmineValue stored;
            EXPECT_TRUE(entry.write(stored));
            if (manager->restoreSlot(stored, tabs, -1))
                ++taken;
        }
        dockEvent(L"deserialize", L"end");
        return taken;
    }
    void dockEvent(const wchar_t* what, const wchar_t* phase) {
        uint32_t detail = zem::symbolId(phase);
        manager->onDockEvent(zem::symbolId(what), &detail);
    }
    bool buttonShown() const {
        ViewVirtualButton* button = manager->getSessionButton();
        return button && button->isVisible();
    }
    void clickButton() {
        ViewVirtualButton* button = manager->getSessionButton();
        ASSERT_NE(nullptr, button);
        MSG msg{};
        msg.hwnd = tabs->getHandle();
        afEvent up(msg, 1);
        button->onMouseUp(&up);
    }
    std::vector<std::wstring> menuTexts() {
        manager->fillRecentMenu(menu.get());
        std::vector<std::wstring> texts;
        for (afMenuNode* node : menu->children())
            texts.push_back(node->getKind() == afMenuNode::SEPARATOR ? L"-" : node->getTitle());
        return texts;
    }
    std::unique_ptr<afMenu> menu;
};

TEST_F(SessionButtonTest, AStartWithALastSessionOffersItAndOpensItWhenAsked) {
    std::wstring a = file(L"a.txt", "one\ntwo\n");
    std::wstring b = file(L"b.txt", "one\ntwo\n");
    EXPECT_EQ(2, restoreLayout({a, b}));
    manager->restoreSession();
    ASSERT_EQ(1u, manager->getOpen().size());
    EXPECT_TRUE(manager->getOpen()[0]->getFilePath().empty()) << "nothing of the session opens unasked";
    ASSERT_TRUE(buttonShown());
    ViewVirtualButton* button = manager->getSessionButton();
    EXPECT_EQ(L"Open previous session", button->getLabel());
    EXPECT_EQ(L"(2)", button->getText());
    EXPECT_EQ(9, button->getTextFlags());
    EXPECT_EQ((std::vector<std::wstring>{L"Op&en Last Session (2)", L"-", L"No recent files."}), menuTexts());

    clickButton();
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"b.txt"}), tabTexts())
        << "the files take the place of the clean untitled tab";
    for (DocumentController* opened : manager->getOpen())
        EXPECT_EQ(0, opened->getSelection()->getCaret().line) << "a session opens at the start";
    EXPECT_FALSE(buttonShown());
    EXPECT_TRUE(manager->getLastSession().empty());
    EXPECT_EQ(std::vector<std::wstring>{L"No recent files."}, menuTexts());

    // Once opened, it is not offered again in this run.
    EXPECT_TRUE(manager->closeAll(nullptr));
    EXPECT_FALSE(buttonShown());
}

TEST_F(SessionButtonTest, TheButtonShowsWhileAtMostOneDocumentIsOpen) {
    dockEvent(L"deserialize", L"end");
    EXPECT_EQ(nullptr, manager->getSessionButton()) << "no last session, no button";
    std::wstring a = file(L"a.txt");
    std::wstring b = file(L"b.txt");
    std::wstring upper = a;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    dockEvent(L"serialize", L"end");
    EXPECT_EQ(nullptr, manager->getSessionButton()) << "only a restored layout shows it";
    // Caught: a file gone since the last run was left out of the offer.
    EXPECT_EQ(3, restoreLayout({a, folder + L"gone.txt", b, upper}));
    ASSERT_EQ(3u, manager->getLastSession().size()) << "a file that comes twice is offered once";
    ASSERT_TRUE(buttonShown());
    EXPECT_EQ(L"(3)", manager->getSessionButton()->getText());
    EXPECT_EQ(L"Op&en Last Session (3)", menuTexts().front());

    DocumentController* x = open(file(L"x.txt"));
    EXPECT_TRUE(buttonShown());
    DocumentController* y = open(file(L"y.txt"));
    EXPECT_FALSE(buttonShown());
    manager->activateTab(y);
    manager->onClose(nullptr);
    EXPECT_TRUE(buttonShown()) << "one document left";

    // The submenu's item opens the session too; the files gone are skipped without a box.
    DeleteFileW(b.c_str());
    menuTexts();
    auto* item = static_cast<afMenuItem*>(menu->children()[0]);
    SeenPrompt seen;
    EXPECT_EQ(1u, runWithPrompts([&] { item->activate(nullptr); }, {answerPrompt(L"&OK", &seen)})) << "no box";
    EXPECT_TRUE(seen.labels.empty());
    EXPECT_EQ((std::vector<std::wstring>{L"x.txt", L"a.txt"}), tabTexts());
    EXPECT_FALSE(buttonShown());
    manager->activateTab(x);
    manager->onClose(nullptr);
    EXPECT_FALSE(buttonShown()) << "the session was opened";
}

} // namespace
