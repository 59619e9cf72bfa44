// The status strip controller on a real tool strip and controllers: the six buttons'
// texts, binding and unbinding, and the menus as the buttons would open them.
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/config/Config.h"
#include "corvel/editor/EditorStatusController.h"
#include "corvel/widgets/ToolStrip.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "support/EditorFixture.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/DictionaryValue.h"

namespace {

using corvel::EditorStatusController;

class EditorStatusControllerTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        edtest::EditorFixture::SetUp();
        strip = corvel::ToolStrip::create(host);
        status.reset(new EditorStatusController(strip));
    }
    void TearDown() override {
        status.reset();
        edtest::EditorFixture::TearDown();
    }
    ::testing::AssertionResult shows(const wchar_t* line, const wchar_t* character, const wchar_t* language,
                                     const wchar_t* encoding, const wchar_t* lineEnding, const wchar_t* indent) {
        if (!status->isBuilt())
            return ::testing::AssertionFailure() << "not built";
        const std::wstring texts[] = {status->getLineButton()->getText(),       status->getCharacterButton()->getText(),
                                      status->getLanguageButton()->getText(),   status->getEncodingButton()->getText(),
                                      status->getLineEndingButton()->getText(), status->getIndentButton()->getText()};
        const wchar_t* expected[] = {line, character, language, encoding, lineEnding, indent};
        for (int i = 0; i < 6; ++i) {
            if (texts[i] != expected[i])
                return ::testing::AssertionFailure() << "button " << i << " shows " << testing::PrintToString(texts[i]);
        }
        return ::testing::AssertionSuccess();
    }
    // Titles of a menu's items, a checked one marked with "*".
    static std::vector<std::wstring> titles(const EditorStatusController::Menu& menu) {
        std::vector<std::wstring> out;
        for (const auto& choice : menu.choices)
            out.push_back(choice.first->getTitle() + (choice.first->isChecked() ? L"*" : L""));
        return out;
    }

    corvel::ToolStrip* strip = nullptr;
    std::unique_ptr<EditorStatusController> status;
};

TEST_F(EditorStatusControllerTest, ButtonsFollowTheCaretAndTheFileState) {
    controller->setIndentation(4, true);
    status->setDocumentController(controller);
    EXPECT_EQ(L"tool_strip", strip->getName());
    EXPECT_EQ(6, strip->getToolCount());
    EXPECT_EQ(L"Line:  ", status->getLineButton()->getLabel());
    EXPECT_EQ(L"Language:", status->getLanguageButton()->getLabel());
    EXPECT_TRUE(shows(L"1", L"1", L"NULL", L"UTF-8 Plain", L"CR+LF", L"Spaces (4)"));
    setText(L"ab\ncdef");
    setCaret(1, 3);
    controller->setIndentation(8, false);
    EXPECT_TRUE(shows(L"2", L"4", L"NULL", L"UTF-8 Plain", L"CR+LF", L"Tabs (8)"));
}

TEST_F(EditorStatusControllerTest, UnbindingClearsTheStripAndAnotherControllerTakesOver) {
    status->setDocumentController(controller);
    status->setDocumentController(nullptr);
    EXPECT_EQ(0, strip->getToolCount());
    EXPECT_FALSE(status->isBuilt());
    corvel::DocumentController* other = controllers->createUntitledDocument();
    status->setDocumentController(controller);
    status->setDocumentController(other); // the first one's notices no longer reach the strip
    setText(L"a\nb");
    setCaret(1, 1);
    EXPECT_TRUE(shows(L"1", L"1", L"NULL", L"UTF-8 Plain", L"CR+LF", status->getIndentButton()->getText().c_str()));
    status->setDocumentController(nullptr);
}

TEST_F(EditorStatusControllerTest, MenusShowTheChoicesAndApplyThem) {
    status->setDocumentController(controller);
    EditorStatusController::Menu encodings = status->buildEncodingMenu();
    EXPECT_EQ((std::vector<std::wstring>{L"ANSI", L"UTF-8", L"UTF-8 Plain*", L"UTF-16 LE", L"UTF-16 BE"}),
              titles(encodings));
    status->applyEncoding(1200);
    EXPECT_EQ(L"UTF-16 LE", status->getEncodingButton()->getText());

    EXPECT_EQ((std::vector<std::wstring>{L"CR+LF*", L"CR", L"LF"}), titles(status->buildLineEndingMenu()));
    status->applyLineEnding(1);
    EXPECT_EQ(L"LF", status->getLineEndingButton()->getText());

    controller->setIndentation(4, false);
    EXPECT_EQ((std::vector<std::wstring>{L"2", L"3", L"4*", L"8", L"Use Spaces (Soft Tabs)"}),
              titles(status->buildIndentMenu()));
    status->applyIndent(2); // a width keeps the soft-tab setting
    EXPECT_EQ(L"Tabs (2)", status->getIndentButton()->getText());
    status->applyIndent(EditorStatusController::TOGGLE_SOFT_TABS); // the switch keeps the width
    EXPECT_EQ(L"Spaces (2)", status->getIndentButton()->getText());

    // Each choice is also what a new document gets.
    corvel::DocumentController* next = controllers->createUntitledDocument();
    EXPECT_EQ(1200u, next->getSettings().codePage);
    EXPECT_EQ(1, next->getSettings().lineEnding);
    EXPECT_TRUE(next->getSettings().indentation.isSoftTabs());
    EXPECT_EQ(2, next->getSettings().indentation.getWidth());
    EXPECT_EQ(1200u, documents->getDefaultEncoding());
}

// The language button and menu with the grammars of a language manager: a name it does not
// know, or none, shows its fallback "None"; the menu lists the grammars, then the fallback.
TEST_F(EditorStatusControllerTest, TheLanguageButtonAndMenuShowTheGrammars) {
    corvel::Config config;
    corvel::BundleManager bundles;
    bundles.onConfigReady(config);
    auto* languages = new corvel::LanguageManager(bundles, *grammars); // the bundle manager's once registered
    languages->onConfigReady(config);
    bundles.beginUpdate();
    for (const wchar_t* text : {L"{ title: 'Plain Text', name: 'text.plain', patterns: [] }",
                                L"{ title: 'C++', name: 'source.c++', patterns: [] }"}) {
        zem::Uuid id;
        id.create();
        auto* language = static_cast<corvel::Language*>(bundles.createEntry(corvel::LANGUAGE_TYPE_ID, id));
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        language->readProperties(static_cast<zem::DictionaryValue*>(value.get()));
        bundles.addEntry(language);
        language->release();
    }
    bundles.endUpdate();
    status.reset(new EditorStatusController(strip, languages));
    status->setDocumentController(controller);
    EXPECT_EQ(L"None", status->getLanguageButton()->getText()) << "no grammar yet";
    EXPECT_EQ((std::vector<std::wstring>{L"C++", L"Plain Text", L"None*"}), titles(status->buildLanguageMenu()));

    const struct {
        const wchar_t* name;
        const wchar_t* shown;
        std::vector<std::wstring> menu;
    } cases[] = {
        {L"source.c++", L"C++", {L"C++*", L"Plain Text", L"None"}},
        {L"source.gone", L"None", {L"C++", L"Plain Text", L"None"}},
        {L"text.plain", L"Plain Text", {L"C++", L"Plain Text*", L"None"}},
        {L"", L"None", {L"C++", L"Plain Text", L"None*"}},
    };
    for (const auto& c : cases) {
        status->applyLanguage(c.name);
        EXPECT_EQ(c.shown, status->getLanguageButton()->getText()) << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(c.menu, titles(status->buildLanguageMenu())) << testing::PrintToString(std::wstring(c.name));
    }
    status.reset();
}

} // namespace
