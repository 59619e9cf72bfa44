#include "corvel/workspace/BundleEntryDialog.h"

#include "BundleItemsFixture.h"
#include "PromptSteps.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using corvel::Bundle;
using corvel::BundleEntryDialog;
using corvel::NO_ENTRY_TYPE;

namespace {

const uint32_t BUNDLE = corvel::BUNDLE_TYPE_ID;
const uint32_t SNIPPET = corvel::SNIPPET_TYPE_ID;
const uint32_t THEME = corvel::THEME_TYPE_ID;

class EntryDialogTest : public workspacetest::BundleItemsFixture {
protected:
    void SetUp() override {
        BundleItemsFixture::SetUp();
        web = addBundle(L"Web", 1);
        css = addBundle(L"css", 2);
    }

    std::unique_ptr<BundleEntryDialog> make(uint32_t type, Bundle* bundle, const std::wstring& title = L"Untitled") {
        return std::unique_ptr<BundleEntryDialog>(BundleEntryDialog::create(&host, m_manager.get(), type, bundle, title));
    }
    // Chooses the kind as the user does: the chooser tells the dialog.
    static void chooseType(BundleEntryDialog& dialog, uint32_t type) {
        corvel::afControlComboBox* types = dialog.getTypeChooser();
        types->setSelection(types->findItemByData(static_cast<int>(type)));
        types->selectionCallback.function(types->selectionCallback.object, types);
    }
    static void chooseBundle(BundleEntryDialog& dialog, int index) {
        corvel::afControlComboBox* bundles = dialog.getBundleChooser();
        bundles->setSelection(index);
        bundles->selectionCallback.function(bundles->selectionCallback.object, bundles);
    }
    static bool okEnabled(BundleEntryDialog& dialog) { return IsWindowEnabled(dialog.getOkButton()->getHandle()) != 0; }

    Bundle* web = nullptr;
    Bundle* css = nullptr;
};

struct RuleCase {
    const char* name;
    uint32_t type;
    int bundle; // 0 none, 1 Web
    bool ok;
    const wchar_t* title;
    const wchar_t* button;
    bool bundleChooserEnabled;
};

const RuleCase RULE_CASES[] = {
    {"no kind", NO_ENTRY_TYPE, 1, false, L"New item", L"&OK", true},
    {"an item without a bundle", SNIPPET, 0, false, L"New snippet", L"C&reate snippet", true},
    {"an item with a bundle", SNIPPET, 1, true, L"New snippet", L"C&reate snippet", true},
    {"another kind", THEME, 1, true, L"New theme", L"C&reate theme", true},
    {"a bundle needs none", BUNDLE, 0, true, L"New bundle", L"C&reate bundle", false},
    {"a bundle drops the one given", BUNDLE, 1, true, L"New bundle", L"C&reate bundle", false},
};

struct TitleCase {
    const wchar_t* title;
    bool usable;
};

const TitleCase TITLE_CASES[] = {
    {L"Flow", true}, {L"", false},   {L"   ", false}, {L" \t ", false},  {L"-.-!", false},
    {L" x ", true},  {L"42", true},   {L"\u00e9t\u00e9", true},
};

} // namespace

TEST_F(EntryDialogTest, OkWaitsForAKindAndForAnItemsBundle) {
    for (const RuleCase& rule : RULE_CASES) {
        SCOPED_TRACE(rule.name);
        auto dialog = make(rule.type, rule.bundle ? web : nullptr);
        EXPECT_EQ(rule.ok, okEnabled(*dialog));
        EXPECT_EQ(rule.title, dialog->getTitle());
        EXPECT_EQ(rule.button, workspacetest::windowText(dialog->getOkButton()->getHandle()));
        EXPECT_EQ(rule.bundleChooserEnabled, IsWindowEnabled(dialog->getBundleChooser()->getHandle()) != 0);
        EXPECT_EQ(rule.type, dialog->chosenType());
        EXPECT_EQ(rule.bundle && rule.type != BUNDLE ? web : nullptr, dialog->chosenBundle());
    }
}

TEST_F(EntryDialogTest, OffersEveryKindBundleFirstAndEveryBundleByTitle) {
    auto dialog = make(NO_ENTRY_TYPE, nullptr);
    corvel::afControlComboBox* types = dialog->getTypeChooser();
    ASSERT_EQ(5, types->getCount());
    std::wstring text;
    ASSERT_TRUE(types->getItemText(0, text));
    EXPECT_EQ(L"Bundle", text);
    EXPECT_EQ(static_cast<int>(BUNDLE), types->getItemKey(0, 0));
    corvel::afControlComboBox* bundles = dialog->getBundleChooser();
    ASSERT_EQ(2, bundles->getCount());
    ASSERT_TRUE(bundles->getItemText(0, text));
    EXPECT_EQ(L"css", text);
    ASSERT_TRUE(bundles->getItemText(1, text));
    EXPECT_EQ(L"Web", text);
    // The title field starts with the preset title, all of it selected.
    EXPECT_EQ(L"Untitled", dialog->getTitleEdit()->getText());
    int start = 0;
    int end = 0;
    EXPECT_TRUE(dialog->getTitleEdit()->getSelection(start, end));
    EXPECT_EQ(0, start);
    EXPECT_EQ(8, end);
}

TEST_F(EntryDialogTest, ChoosingTheBundleKindPutsTheChosenBundleAsideUntilAnItemKindReturns) {
    auto dialog = make(SNIPPET, web);
    chooseType(*dialog, BUNDLE);
    EXPECT_EQ(nullptr, dialog->chosenBundle());
    EXPECT_EQ(-1, dialog->getBundleChooser()->getSelection());
    EXPECT_FALSE(IsWindowEnabled(dialog->getBundleChooser()->getHandle()));
    EXPECT_TRUE(okEnabled(*dialog));
    chooseType(*dialog, THEME);
    EXPECT_EQ(web, dialog->chosenBundle());
    EXPECT_TRUE(IsWindowEnabled(dialog->getBundleChooser()->getHandle()));
    EXPECT_TRUE(okEnabled(*dialog));
    EXPECT_EQ(L"New theme", dialog->getTitle());
    // An item kind chosen first with no bundle waits for one.
    auto fresh = make(NO_ENTRY_TYPE, nullptr);
    chooseType(*fresh, SNIPPET);
    EXPECT_FALSE(okEnabled(*fresh));
    chooseBundle(*fresh, 0);
    EXPECT_TRUE(okEnabled(*fresh));
    EXPECT_EQ(css, fresh->chosenBundle());
}

TEST(EntryDialogTitles, AreUsableWhenAWordCharacterIsLeft) {
    for (const TitleCase& row : TITLE_CASES)
        EXPECT_EQ(row.usable, BundleEntryDialog::isUsableTitle(row.title)) << std::wstring(row.title).size();
}

TEST_F(EntryDialogTest, RefusesABlankTitleAndReturnsWhatWasChosen) {
    auto dialog = make(SNIPPET, web, L"   ");
    uint32_t result = 0;
    std::wstring refusal;
    int style = 0;
    int color = 0;
    bool stillOpen = false;
    size_t left = workspacetest::runWithPrompts([&] { result = dialog->runModal(); },
                                                {[&] {
                                                     // OK with a title of blanks only.
                                                     workspacetest::clickButton(dialog->getOkButton());
                                                     return true;
                                                 },
                                                 [&] {
                                                     stillOpen = IsWindowVisible(dialog->getHandle()) != 0;
                                                     refusal = dialog->getPrompt()->getText();
                                                     style = dialog->getPrompt()->getVisualStyle();
                                                     color = dialog->getPrompt()->getTextColor();
                                                     SetWindowTextW(dialog->getTitleEdit()->getHandle(), L"Flow");
                                                     chooseType(*dialog, THEME);
                                                     chooseBundle(*dialog, 0);
                                                     workspacetest::clickButton(dialog->getOkButton());
                                                     return true;
                                                 }});
    EXPECT_EQ(0u, left);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(L"Title should not be empty.", refusal);
    EXPECT_EQ(4, style);
    EXPECT_EQ(30, color);
    EXPECT_EQ(corvel::afWindow::RESULT_OK, result);
    EXPECT_EQ(L"Flow", dialog->getEntryTitle());
    EXPECT_EQ(THEME, dialog->getEntryType());
    EXPECT_EQ(css, dialog->getBundle());
}

TEST_F(EntryDialogTest, ADisabledOkNeverClosesAndCancelReturnsNoChoice) {
    auto dialog = make(SNIPPET, nullptr, L"Flow");
    uint32_t result = 0;
    bool openAfterOk = false;
    size_t left = workspacetest::runWithPrompts([&] { result = dialog->runModal(); },
                                                {[&] {
                                                     dialog->onButtonClicked(dialog->getOkButton());
                                                     return true;
                                                 },
                                                 [&] {
                                                     openAfterOk = IsWindowVisible(dialog->getHandle()) != 0;
                                                     return true;
                                                 },
                                                 workspacetest::answerPrompt(L"&Cancel")});
    EXPECT_EQ(0u, left);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(corvel::afWindow::RESULT_CANCEL, result);
    EXPECT_EQ(SNIPPET, dialog->getEntryType());
    EXPECT_EQ(nullptr, dialog->getBundle());
}
