#include "corvel/workspace/BundleEditor.h"

#include "BundleItemsFixture.h"
#include "PromptSteps.h"
#include "corvel/app/DockManager.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afApp.h"
#include "corvel/widgets/ToolBar.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afStandardWidgetKit.h"
#include "corvel/workspace/BundleEditorAllItemsWindow.h"
#include "corvel/workspace/BundleEditorDisabledItemsWindow.h"
#include "corvel/workspace/BundleEntryDialog.h"
#include "corvel/workspace/BundleEntrySourceEditor.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/workspace/SnippetEditor.h"
#include "corvel/workspace/registerBundleEntryEditors.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using corvel::BundleEditor;
using corvel::BundleEntry;
using corvel::SnippetEditor;
using corvel::editingStateOf;
using corvel::entryCountsAsModified;
using workspacetest::answerPrompt;
using workspacetest::runWithPrompts;
using workspacetest::SeenPrompt;

namespace {

const wchar_t* const TABLE = L"{title: 'Table', scope: 'text.html', content: 'a$1b'}";
const wchar_t* const LIST = L"{title: 'List', scope: 'text.html', content: 'ul'}";

class BundleEditorTest : public workspacetest::BundleItemsFixture {
protected:
    void SetUp() override {
        corvel::afApp::setWidgetKit(&kit);
        BundleItemsFixture::SetUp();
        docks.reset(new corvel::DockManager());
        managers.docks = docks.get();
        editor = BundleEditor::create(&host, managers);
        editor->show();
        editor->validateLayout();
        uitest::drainMessages();
    }
    void TearDown() override {
        delete editor;
        uitest::drainMessages();
        docks.reset();
        BundleItemsFixture::TearDown();
        corvel::afApp::setWidgetKit(nullptr);
    }

    // "Table" (2) and "List" (3) in the bundle "Web" (1), loaded.
    bool loadTwo() {
        std::wstring folder = putBundle(L"user", L"web", 1, L"Web");
        putText(folder + L"/snippets/table." + uuidText(2) + L".cvSnippet", TABLE);
        putText(folder + L"/snippets/list." + uuidText(3) + L".cvSnippet", LIST);
        return loadAndWait();
    }
    // Back to the files and entries loadTwo made, every tab closed without saving.
    bool restore() {
        workspacetest::PromptStep discard = [] {
            auto* box = workspacetest::findVisible<corvel::afMessageBox>();
            if (!box)
                return false;
            for (corvel::afControlButton* button : box->getButtons()) {
                if (workspacetest::windowText(button->getHandle()).rfind(L"&Discard", 0) == 0) {
                    workspacetest::clickButton(button);
                    return true;
                }
            }
            return false;
        };
        runWithPrompts([&] { editor->closeAllEditors(); }, {discard});
        if (editor->getTabs()->getSlotCount() != 0)
            return false;
        m_manager->reset();
        zem::fileDelete(corvel::BundleManager::CACHE_PATH);
        std::wstring folder = L"user:bundles/web." + uuidText(1) + L".cvBundle/snippets/";
        putText(folder + L"table." + uuidText(2) + L".cvSnippet", TABLE);
        putText(folder + L"list." + uuidText(3) + L".cvSnippet", LIST);
        return loadAndWait();
    }
    BundleEntry* entry(int n) { return m_manager->findEntry(uuid(n)); }
    corvel::Bundle* web() { return m_manager->getBundle(uuid(1)); }
    std::wstring fileOf(int n, const wchar_t* name) {
        return savedText(L"user:bundles/web." + uuidText(1) + L".cvBundle/snippets/" + name + L"." + uuidText(n) +
                         L".cvSnippet");
    }

    // The entry's form, open and laid out in its tab.
    SnippetEditor* openForm(BundleEntry* entry) {
        auto* form = dynamic_cast<SnippetEditor*>(editor->openEntry(entry));
        editor->validateLayout();
        uitest::drainMessages();
        return form;
    }
    // Replaces a field's text as typing does.
    static void retype(corvel::afControlEdit* edit, const std::wstring& text) {
        SendMessageW(edit->getHandle(), EM_SETSEL, 0, -1);
        SendMessageW(edit->getHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // The entry's tab retitled in its form, not yet saved.
    SnippetEditor* edit(BundleEntry* entry, const std::wstring& title) {
        SnippetEditor* form = openForm(entry);
        if (form)
            retype(form->getTitleEdit(), title);
        return form;
    }
    corvel::ViewVirtualButton* tabOf(BundleEntry* entry) { return corvel::Tabs::getButton(BundleEditor::slotOf(entry)); }

    corvel::afStandardWidgetKit kit;
    std::unique_ptr<corvel::DockManager> docks;
    BundleEditor* editor = nullptr;
};

} // namespace

TEST_F(BundleEditorTest, LaysOutItsBarAndDocksWithSavingOffWhileNoEntryIsActive) {
    EXPECT_EQ(L"Bundle editor", editor->getTitle());
    EXPECT_EQ(L"bundles", editor->getName());
    EXPECT_STREQ(L"ui.window.bundle_editor", editor->getTypeName());
    ASSERT_EQ(3, editor->getToolBar()->getToolCount());
    EXPECT_EQ(L"New item", editor->getNewButton()->getLabel());
    EXPECT_EQ(L"Save", editor->getSaveButton()->getLabel());
    EXPECT_EQ(L"Save all", editor->getSaveAllButton()->getLabel());
    EXPECT_FALSE(editor->getSaveButton()->isEnabled());
    EXPECT_FALSE(editor->getSaveAllButton()->isEnabled());
    EXPECT_EQ(editor->getSidebar(), docks->findDock(L"bundle_editor.left"));
    EXPECT_EQ(editor->getTabs(), docks->findDock(L"bundle_editor.tabs"));
    EXPECT_EQ(editor, docks->findController(BundleEditor::CONTROLLER_ID));
    EXPECT_EQ(BundleEditor::SIDEBAR_WIDTH, editor->getSidebar()->getFrame().width());

    ASSERT_TRUE(loadTwo());
    ASSERT_NE(nullptr, openForm(entry(2)));
    EXPECT_TRUE(editor->getSaveButton()->isEnabled());
    EXPECT_TRUE(editor->getSaveAllButton()->isEnabled());
    editor->closeActiveEntry();
    EXPECT_FALSE(editor->getSaveButton()->isEnabled());
    EXPECT_EQ(nullptr, editor->getActiveEntry());
}

TEST_F(BundleEditorTest, OpensOneTabPerEntryWithItsRecordTaggedOnTheEntry) {
    ASSERT_TRUE(loadTwo());
    SnippetEditor* form = openForm(entry(2));
    ASSERT_NE(nullptr, form);
    corvel::BundleEntryEditorState* record = editingStateOf(entry(2));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(record, entry(2)->getTag(corvel::EDITING_RECORD_TAG));
    EXPECT_EQ(form, record->getEditor());
    EXPECT_EQ(L"Table", form->getTitleEdit()->getText());
    corvel::afDockSlot* slot = BundleEditor::slotOf(entry(2));
    ASSERT_NE(nullptr, slot);
    EXPECT_EQ(corvel::SNIPPET_TYPE_ID, slot->getId());
    EXPECT_EQ(L"Table", tabOf(entry(2))->getText());
    EXPECT_EQ(9, tabOf(entry(2))->getTextFlags());
    EXPECT_EQ(entry(2), editor->getActiveEntry());

    // The bundle has no form: its source.
    corvel::afView* source = editor->openEntry(web());
    EXPECT_NE(nullptr, dynamic_cast<corvel::BundleEntrySourceEditor*>(source));
    EXPECT_EQ(web(), editor->getActiveEntry());
    EXPECT_EQ(nullptr, record->getEditor()); // shown no more
    EXPECT_EQ(2, editor->getTabs()->getSlotCount());

    // Opening again activates the same tab.
    EXPECT_EQ(form, editor->openEntry(entry(2)));
    EXPECT_EQ(2, editor->getTabs()->getSlotCount());
    EXPECT_EQ(slot, editor->getTabs()->getActiveSlot());
    EXPECT_EQ(form, record->getEditor());
    EXPECT_EQ(2u, editor->getRecords().size());
}

TEST_F(BundleEditorTest, AnEditShowsInTheTabAndSavingWritesTheFile) {
    ASSERT_TRUE(loadTwo());
    std::vector<BundleEntry*> changed;
    editor->entryChanged().add(
        [](void* list, BundleEntry* e) { static_cast<std::vector<BundleEntry*>*>(list)->push_back(e); }, &changed);
    ASSERT_NE(nullptr, edit(entry(2), L"Grid"));
    EXPECT_TRUE(entryCountsAsModified(entry(2)));
    EXPECT_EQ(10, tabOf(entry(2))->getTextFlags());
    ASSERT_FALSE(changed.empty());
    EXPECT_EQ(entry(2), changed.back());

    changed.clear();
    ASSERT_TRUE(editor->saveEntry(entry(2)));
    EXPECT_FALSE(entryCountsAsModified(entry(2)));
    EXPECT_EQ(L"Grid", entry(2)->getTitle());
    EXPECT_EQ(L"Grid", tabOf(entry(2))->getText());
    EXPECT_EQ(9, tabOf(entry(2))->getTextFlags());
    EXPECT_FALSE(changed.empty());
    // Written as UTF-16 with its mark.
    std::wstring file = fileOf(2, L"table");
    EXPECT_NE(std::wstring::npos, file.find(L"Grid")) << file;
}

struct CloseOneCase {
    const char* name;
    const wchar_t* scope;  // typed into the form before closing; null leaves it
    const wchar_t* answer; // the button of the question
    bool closed;
    const wchar_t* titleAfter;
    bool written; // the new title reached the file
};

TEST_F(BundleEditorTest, ClosingAModifiedEntryAsksAndFollowsTheAnswer) {
    const CloseOneCase cases[] = {
        {"cancel", nullptr, L"&Cancel", false, L"Table", false},
        {"discard", nullptr, L"&Discard", true, L"Table", false},
        {"save", nullptr, L"&Save", true, L"Grid", true},
        // The save fails: the tab stays with its edits, so nothing is lost.
        {"failed save", L"text.html (", L"&Save", false, L"Table", false},
    };
    ASSERT_TRUE(loadTwo());
    for (const CloseOneCase& c : cases) {
        SnippetEditor* form = edit(entry(2), L"Grid");
        ASSERT_NE(nullptr, form) << c.name;
        if (c.scope)
            retype(form->getScopeEdit(), c.scope);
        SeenPrompt question;
        SeenPrompt error;
        std::vector<workspacetest::PromptStep> steps{answerPrompt(c.answer, &question)};
        if (c.scope)
            steps.push_back(answerPrompt(L"&OK", &error));
        size_t left = runWithPrompts([&] { editor->closeActiveEntry(); }, steps);
        EXPECT_EQ(0u, left) << c.name;
        EXPECT_EQ(L"Closing modified snippet...", question.title) << c.name;
        EXPECT_TRUE(question.hasLabel(L"Save this snippet before closing?")) << c.name;
        EXPECT_TRUE(question.hasLabel(L"Grid") || question.hasLabel(L"Table")) << c.name;
        EXPECT_EQ((std::vector<std::wstring>{L"&Save", L"&Discard", L"&Cancel"}), question.buttons) << c.name;
        if (c.scope) {
            EXPECT_EQ(L"Error while saving changes", error.title) << c.name;
            EXPECT_TRUE(error.hasLabel(L"An error occurred while saving this item.")) << c.name;
        }
        EXPECT_EQ(c.closed, BundleEditor::slotOf(entry(2)) == nullptr) << c.name;
        EXPECT_EQ(c.closed, editingStateOf(entry(2)) == nullptr) << c.name;
        EXPECT_EQ(c.titleAfter, entry(2)->getTitle()) << c.name;
        EXPECT_EQ(c.written, fileOf(2, L"table").find(L"Grid") != std::wstring::npos) << c.name;
        if (!c.closed) {
            EXPECT_TRUE(entryCountsAsModified(entry(2))) << c.name;
        }
        ASSERT_TRUE(restore()) << c.name;
    }
}

TEST_F(BundleEditorTest, AnUnmodifiedEntryClosesWithoutAQuestion) {
    ASSERT_TRUE(loadTwo());
    ASSERT_NE(nullptr, openForm(entry(2)));
    size_t left = runWithPrompts([&] { editor->closeActiveEntry(); }, {answerPrompt(L"&Cancel")});
    EXPECT_EQ(1u, left); // nothing asked
    EXPECT_EQ(0, editor->getTabs()->getSlotCount());
    EXPECT_EQ(nullptr, entry(2)->getTag(corvel::EDITING_RECORD_TAG));
    EXPECT_EQ(nullptr, entry(2)->getTag(corvel::ENTRY_TAB_TAG));
    EXPECT_TRUE(editor->getRecords().empty());
}

struct CloseAllCase {
    const char* name;
    bool breakList; // the second entry's scope will not apply
    const wchar_t* answer;
    bool closed;
    bool tableWritten;
};

TEST_F(BundleEditorTest, ClosingAllAsksOnceAboutEveryModifiedEntry) {
    const CloseAllCase cases[] = {
        {"cancel", false, L"&Cancel", false, false},
        {"discard all", false, L"&Discard all", true, false},
        {"save all", false, L"&Save all", true, true},
        // A failed save inside "Save all" stops the close: both tabs stay.
        {"failed save all", true, L"&Save all", false, true},
    };
    ASSERT_TRUE(loadTwo());
    for (const CloseAllCase& c : cases) {
        ASSERT_NE(nullptr, edit(entry(2), L"Grid")) << c.name;
        SnippetEditor* list = edit(entry(3), L"Rows");
        ASSERT_NE(nullptr, list) << c.name;
        if (c.breakList)
            retype(list->getScopeEdit(), L"text.html (");
        SeenPrompt question;
        std::vector<workspacetest::PromptStep> steps{answerPrompt(c.answer, &question)};
        if (c.breakList)
            steps.push_back(answerPrompt(L"&OK"));
        bool result = true;
        size_t left = runWithPrompts([&] { result = editor->closeAllEditors(); }, steps);
        EXPECT_EQ(0u, left) << c.name;
        EXPECT_EQ(c.closed, result) << c.name;
        EXPECT_EQ(L"Closing modified items...", question.title) << c.name;
        EXPECT_TRUE(question.hasLabel(L"Save these 2 items before closing?")) << c.name;
        EXPECT_EQ((std::vector<std::wstring>{L"&Save all", L"&Discard all", L"&Cancel"}), question.buttons) << c.name;
        EXPECT_EQ(c.closed ? 0 : 2, editor->getTabs()->getSlotCount()) << c.name;
        EXPECT_EQ(c.tableWritten, fileOf(2, L"table").find(L"Grid") != std::wstring::npos) << c.name;
        ASSERT_TRUE(restore()) << c.name;
    }
}

TEST_F(BundleEditorTest, SaveAllSavesEveryOpenModifiedEntry) {
    ASSERT_TRUE(loadTwo());
    ASSERT_NE(nullptr, edit(entry(2), L"Grid"));
    ASSERT_NE(nullptr, edit(entry(3), L"Rows"));
    // The first one's form values wait in its record since its tab was left.
    EXPECT_TRUE(editor->saveAllEntries());
    EXPECT_NE(std::wstring::npos, fileOf(2, L"table").find(L"Grid"));
    EXPECT_NE(std::wstring::npos, fileOf(3, L"list").find(L"Rows"));
    EXPECT_FALSE(entryCountsAsModified(entry(2)));
    EXPECT_FALSE(entryCountsAsModified(entry(3)));
}

TEST_F(BundleEditorTest, ANewItemLivesInItsTabUntilSaved) {
    ASSERT_TRUE(loadTwo());
    EXPECT_EQ(nullptr, editor->createEntry(L"Flow", corvel::SNIPPET_TYPE_ID, nullptr));
    EXPECT_EQ(nullptr, editor->createEntry(L"Flow", corvel::NO_ENTRY_TYPE, web()));

    BundleEntry* flow = editor->createEntry(L"Flow", corvel::SNIPPET_TYPE_ID, web());
    ASSERT_NE(nullptr, flow);
    EXPECT_EQ(flow, editor->getActiveEntry());
    EXPECT_EQ(L"Flow", tabOf(flow)->getText());
    EXPECT_TRUE(web()->hasEntry(flow));
    EXPECT_EQ(nullptr, m_manager->findEntry(flow->getUuid()));
    // Closed unsaved: it leaves its bundle, no ghost stays behind.
    runWithPrompts([&] { editor->closeActiveEntry(); }, {answerPrompt(L"&Discard")});
    EXPECT_EQ(0, editor->getTabs()->getSlotCount());
    std::vector<corvel::BundleItem*> items;
    web()->getEntries(corvel::SNIPPET_TYPE_ID, items);
    EXPECT_EQ(2u, items.size());

    flow = editor->createEntry(L"Flow", corvel::SNIPPET_TYPE_ID, web());
    ASSERT_NE(nullptr, flow);
    zem::Uuid id = flow->getUuid();
    ASSERT_TRUE(editor->saveEntry(flow));
    EXPECT_EQ(flow, m_manager->findEntry(id));
    EXPECT_FALSE(flow->isNew());
    size_t left = runWithPrompts([&] { editor->closeActiveEntry(); }, {answerPrompt(L"&Cancel")});
    EXPECT_EQ(1u, left); // saved: no question
    EXPECT_EQ(flow, m_manager->findEntry(id));
    EXPECT_TRUE(web()->hasEntry(flow));
    std::wstring file = savedText(flow->getLocation()->toString());
    EXPECT_NE(std::wstring::npos, file.find(L"Flow")) << file;
}

TEST_F(BundleEditorTest, ANewBundleJoinsTheManagerAndIsWrittenAtOnce) {
    ASSERT_TRUE(loadTwo());
    BundleEntry* tools = editor->createEntry(L"Tools", corvel::BUNDLE_TYPE_ID, nullptr);
    ASSERT_NE(nullptr, tools);
    EXPECT_EQ(tools, m_manager->getBundle(tools->getUuid()));
    EXPECT_FALSE(tools->isNew());
    std::wstring file = savedText(tools->getLocation()->toString());
    EXPECT_NE(std::wstring::npos, file.find(L"Tools")) << file;
    EXPECT_EQ(0, editor->getTabs()->getSlotCount());
}

TEST_F(BundleEditorTest, ClosingTheWindowClosesTheTabsAndHidesUnlessCancelled) {
    ASSERT_TRUE(loadTwo());
    ASSERT_NE(nullptr, edit(entry(2), L"Grid"));
    runWithPrompts([&] { SendMessageW(editor->getHandle(), WM_CLOSE, 0, 0); }, {answerPrompt(L"&Cancel")});
    EXPECT_TRUE(IsWindowVisible(editor->getHandle()));
    EXPECT_EQ(1, editor->getTabs()->getSlotCount());

    runWithPrompts([&] { SendMessageW(editor->getHandle(), WM_CLOSE, 0, 0); }, {answerPrompt(L"&Discard")});
    ASSERT_TRUE(IsWindow(editor->getHandle()));
    EXPECT_FALSE(IsWindowVisible(editor->getHandle()));
    EXPECT_EQ(0, editor->getTabs()->getSlotCount());
    editor->toggle();
    EXPECT_TRUE(IsWindowVisible(editor->getHandle()));
    editor->toggle();
    EXPECT_FALSE(IsWindowVisible(editor->getHandle()));
}

TEST_F(BundleEditorTest, AnEntryWithoutAnEditorGetsTheOpenFailureBox) {
    ASSERT_TRUE(loadTwo());
    corvel::unregisterBundleEntryEditors();
    SeenPrompt box;
    corvel::afView* view = nullptr;
    size_t left = runWithPrompts([&] { view = editor->openEntry(entry(2)); }, {answerPrompt(L"&OK", &box)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(nullptr, view);
    EXPECT_EQ(L"Cannot open entry", box.title);
    EXPECT_TRUE(box.hasLabel(L"An error occurred while opening this item."));
    EXPECT_TRUE(box.hasLabel(L"Table"));
    EXPECT_TRUE(box.hasLabel(L"Unknown error."));
    EXPECT_EQ(0, editor->getTabs()->getSlotCount());
    EXPECT_EQ(nullptr, editingStateOf(entry(2)));
}

TEST_F(BundleEditorTest, TheSidebarListsAllItemsAndOpensWhatIsActivatedThere) {
    corvel::TabsSidebar* sidebar = editor->getSidebar();
    ASSERT_EQ(2, sidebar->getSlotCount());
    EXPECT_EQ(L"All items", corvel::TabsSidebar::getButton(sidebar->getSlot(0))->getLabel());
    EXPECT_EQ(L"Disabled items", corvel::TabsSidebar::getButton(sidebar->getSlot(1))->getLabel());
    EXPECT_EQ(sidebar->getSlot(0), sidebar->getActiveSlot());
    corvel::BundleEditorAllItemsWindow* all = editor->getAllItems();
    ASSERT_NE(nullptr, all);
    EXPECT_EQ(all, sidebar->getSlot(0)->getView());

    ASSERT_TRUE(loadTwo());
    EXPECT_NE(nullptr, all->rowOf(web()));
    ASSERT_NE(nullptr, all->rowOf(entry(2)));
    // A double click on a row.
    all->entryActivated.invoke(all, entry(2));
    EXPECT_EQ(entry(2), editor->getActiveEntry());
    EXPECT_NE(nullptr, editor->slotOf(entry(2)));
    sidebar->setActiveSlot(sidebar->getSlot(1));
    EXPECT_NE(nullptr, editor->getDisabledItems());
    EXPECT_EQ(editor->getDisabledItems(), sidebar->getSlot(1)->getView());
    // Lists are no entries: the entry tab stays the active one.
    EXPECT_EQ(entry(2), editor->getActiveEntry());
    EXPECT_TRUE(editor->getSaveButton()->isEnabled());
}

namespace {

std::vector<std::wstring> titlesOf(const corvel::afMenu& menu) {
    std::vector<std::wstring> titles;
    for (const corvel::afMenuNode* node : menu.children())
        titles.push_back(node->getKind() == corvel::afMenuNode::SEPARATOR ? L"-" : node->getTitle());
    return titles;
}

// A step that fills the new-entry dialog, records how it was preset and presses a button.
workspacetest::PromptStep answerEntryDialog(const std::wstring& title, const std::wstring& button, uint32_t* type,
                                           corvel::Bundle** bundle) {
    return [=] {
        auto* dialog = workspacetest::findVisible<corvel::BundleEntryDialog>();
        if (!dialog)
            return false;
        *type = dialog->chosenType();
        *bundle = dialog->chosenBundle();
        SetWindowTextW(dialog->getTitleEdit()->getHandle(), title.c_str());
        for (corvel::afControlButton* candidate : dialog->getButtons()) {
            if (workspacetest::windowText(candidate->getHandle()).find(button) != std::wstring::npos) {
                dialog->onButtonClicked(candidate);
                return true;
            }
        }
        dialog->close(corvel::afWindow::RESULT_CANCEL);
        return false;
    };
}

} // namespace

TEST_F(BundleEditorTest, TheAddItemMenuPutsTheBundleKindApart) {
    ASSERT_TRUE(loadTwo());
    std::vector<corvel::BundleEntryTypeInfo> types;
    m_manager->getEntryTypes(types);
    std::wstring bundleLabel;
    for (const auto& type : types) {
        if (type.typeId == corvel::BUNDLE_TYPE_ID)
            bundleLabel = type.label;
    }
    std::unique_ptr<corvel::afMenu> plain(editor->buildAddItemMenu(web(), nullptr, false, false));
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(L"Add item", plain->getTitle());
    std::vector<std::wstring> titles = titlesOf(*plain);
    ASSERT_EQ(types.size() + 1, titles.size());
    EXPECT_EQ(bundleLabel, titles[0]);
    EXPECT_EQ(L"-", titles[1]);
    EXPECT_TRUE(std::is_sorted(titles.begin() + 2, titles.end()));

    std::unique_ptr<corvel::afMenu> prefixed(corvel::afMenu::createPopup(L"Row"));
    editor->buildAddItemMenu(web(), prefixed.get(), true, true);
    titles = titlesOf(*prefixed);
    ASSERT_EQ(types.size() + 1, titles.size());
    EXPECT_EQ(L"-", titles[titles.size() - 2]);
    EXPECT_EQ(L"Add " + bundleLabel, titles.back());
    EXPECT_TRUE(std::is_sorted(titles.begin(), titles.end() - 2));
    EXPECT_EQ(0u, titles[0].find(L"Add "));

    // Choosing the snippet kind asks for the title in the dialog, preset with both.
    corvel::afMenuNode* snippetItem = nullptr;
    for (corvel::afMenuNode* node : plain->children()) {
        if (node->getTitle() == m_manager->getEntryManager(corvel::SNIPPET_TYPE_ID)->label)
            snippetItem = node;
    }
    ASSERT_NE(nullptr, snippetItem);
    uint32_t type = 0;
    corvel::Bundle* bundle = nullptr;
    size_t left = runWithPrompts([&] { snippetItem->runCommand(); },
                                 {answerEntryDialog(L"Flow", L"C&reate", &type, &bundle)});
    EXPECT_EQ(0u, left);
    EXPECT_EQ(corvel::SNIPPET_TYPE_ID, type);
    EXPECT_EQ(web(), bundle);
    BundleEntry* flow = editor->getActiveEntry();
    ASSERT_NE(nullptr, flow);
    EXPECT_EQ(L"Flow", flow->getTitle());
    EXPECT_EQ(L"Flow", tabOf(flow)->getText());
}

TEST_F(BundleEditorTest, NewItemIsLikeTheActiveItemOrAsksForEverything) {
    ASSERT_TRUE(loadTwo());
    struct Case {
        const char* name;
        BundleEntry* active; // null: no tab
        uint32_t type;
        corvel::Bundle* bundle;
    };
    const Case cases[] = {
        {"no entry", nullptr, corvel::NO_ENTRY_TYPE, nullptr},
        {"bundle", web(), corvel::NO_ENTRY_TYPE, nullptr},
        {"snippet", entry(2), corvel::SNIPPET_TYPE_ID, web()},
    };
    for (const Case& c : cases) {
        if (c.active) {
            ASSERT_NE(nullptr, editor->openEntry(c.active)) << c.name;
        }
        uint32_t type = 0;
        corvel::Bundle* bundle = nullptr;
        size_t left = runWithPrompts([&] { editor->onNew(nullptr); },
                                     {answerEntryDialog(L"Flow", L"&Cancel", &type, &bundle)});
        EXPECT_EQ(0u, left) << c.name;
        EXPECT_EQ(c.type, type) << c.name;
        EXPECT_EQ(c.bundle, bundle) << c.name;
        // Cancelled: nothing new.
        EXPECT_EQ(c.active, editor->getActiveEntry()) << c.name;
    }
}
