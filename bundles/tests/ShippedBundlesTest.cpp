#include "support/LogCapture.h"
#include "support/ShippedFixture.h"

#include "corvel/bundles/Language.h"
#include "corvel/bundles/ThemeBundleItem.h"
#include "corvel/document/DocumentStyler.h"
#include "corvel/document/DocumentTheme.h"
#include "corvel/document/FacePreset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

using namespace corvel;
using namespace bundletest;

namespace {

struct Sample {
    const wchar_t* grammar;
    const wchar_t* text;
    // Per line, runs that must be among the line's runs.
    std::vector<std::vector<std::string>> expected;
};

class ShippedBundlesTest : public ShippedFixture {
protected:
    ::testing::AssertionResult parsesWith(const ParserRuleRepository& rules, const Sample& sample) {
        const ParserRule* root = rules.findRule(sample.grammar);
        if (!root)
            return ::testing::AssertionFailure() << "no rule for the grammar";
        Document document(nullptr);
        document.lockEdit();
        bool parsed = parseWhole(*root, sample.grammar, sample.text, document);
        std::ostringstream failures;
        for (size_t line = 0; line < sample.expected.size(); ++line) {
            std::string runs = " " + describeRuns(document, static_cast<int32_t>(line)) + " ";
            for (const std::string& run : sample.expected[line]) {
                if (runs.find(" " + run + " ") == std::string::npos)
                    failures << "line " << line << " lacks " << run << " in" << runs << "\n";
            }
        }
        document.unlockEdit();
        if (!parsed)
            failures << "a line did not parse\n";
        if (!failures.str().empty())
            return ::testing::AssertionFailure() << failures.str();
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST_F(ShippedBundlesTest, LoadCleanlyAndHighlightTheirSamples) {
    zemtest::LogCapture capture(BundleManager::logSource());
    loadShipped(false);
    LanguageManager* languages = m_languages;

    std::vector<BundleEntry*> grammars;
    m_manager->getEntriesOfType(LANGUAGE_TYPE_ID, grammars);
    EXPECT_EQ(8u, grammars.size());
    size_t fileTypes = 0;
    for (BundleEntry* entry : grammars) {
        std::wstring errors;
        for (size_t i = 0; i < entry->getErrors().size(); ++i)
            errors += entry->getErrors().at(i)->getMessage() + L"\n";
        EXPECT_TRUE(entry->getErrors().empty()) << entry->getLocation()->toString() << "\n" << errors;
        Language* language = static_cast<Language*>(entry);
        EXPECT_EQ(std::wstring::npos, language->getName().find(L'-'));
        fileTypes += language->getFileTypes().size();
        std::vector<std::wstring> claimed;
        languages->getGrammarFilePatterns(language->getName(), claimed);
        EXPECT_EQ(language->getFileTypes().size(), claimed.size()) << "a suffix claimed twice: " << language->getName();
    }
    EXPECT_LT(20u, fileTypes);
    for (auto& line : capture.lines()) {
        if (line.level >= 2)
            ADD_FAILURE() << "logged: " << std::string(line.text.begin(), line.text.end());
    }
    EXPECT_EQ(L"source.cpp", languages->getLanguageForFile(L"C:\\src\\Main.CPP")->getName());
    EXPECT_EQ(L"text.plain", languages->getLanguageForFile(L"notes.txt")->getName());

    const ParserRuleRepository& rules = *languages->getRepository();
    const Sample samples[] = {
        {L"source.c",
         L"#include <stdio.h>\n/* block */ int main(void) {\n  return printf(\"a\\n\", 0x1F); // done\n}",
         {{"0:punctuation.definition.directive.c", "1:keyword.control.directive.include.c",
           "9:string.quoted.other.lt_gt.include.c"},
          {"0:comment.block.c", "12:storage.type.built_in.c", "16:entity.name.function.c", "21:storage.type.built_in.c",
           "27:punctuation.section.block.begin.c", "28:meta.block.c"},
          {"2:keyword.control.flow.c", "9:support.function.c", "16:string.quoted.double.c",
           "18:constant.character.escape.c", "23:constant.numeric.integer.hexadecimal.c",
           "30:comment.line.double_slash.c"},
          {"0:punctuation.section.block.end.c"}}},
        {L"source.cpp",
         L"class A { bool f() const { return nullptr == this; } };",
         {{"0:storage.type.class.cpp", "6:entity.name.type.class.cpp", "8:punctuation.section.block.begin.cpp",
           "10:storage.type.built_in.cpp", "15:entity.name.function.cpp", "19:storage.modifier.cpp",
           "27:keyword.control.flow.cpp", "34:constant.language.cpp", "45:variable.language.this.cpp"}}},
        {L"source.python",
         L"@cache.wrap\ndef f(x=0x10):\n    return \"a\\tb\" if x else None  # note",
         {{"1:entity.name.function.decorator.python"},
          {"0:storage.type.function.python", "4:entity.name.function.python",
           "5:punctuation.definition.parameters.begin.python", "6:variable.parameter.function.python",
           "8:constant.numeric.hex.python"},
          {"4:keyword.control.flow.python", "11:string.quoted.double.python", "13:constant.character.escape.python",
           "28:constant.language.python", "34:comment.line.number_sign.python"}}},
        {L"source.json",
         L"{ \"k\\u0041\": [1.5e3, true, \"v\"] }",
         {{"0:punctuation.definition.dictionary.json", "2:support.type.property_name.json",
           "4:constant.character.escape.json", "13:punctuation.definition.array.json", "14:constant.numeric.json",
           "21:constant.language.json", "27:string.quoted.double.json"}}},
        {L"source.jasmine",
         L"{\n  // settings\n  size: 12, name: 'x\\n', re: /a+/i, list: [ null ]\n}",
         {{"0:punctuation.definition.dictionary.jasmine"},
          {"2:comment.line.double_slash.jasmine"},
          {"2:support.type.property_name.jasmine", "8:constant.numeric.jasmine", "18:string.quoted.single.jasmine",
           "20:constant.character.escape.jasmine", "29:string.regexp.jasmine", "44:constant.language.jasmine"}}},
        {L"text.markdown",
         L"# Title\nSome **bold** and `code`.\n```c\nint x; /* c */\n```\n> quote",
         {{"0:punctuation.definition.heading.markdown"},
          {"5:markup.bold.markdown", "18:markup.raw.inline.markdown"},
          {"0:markup.fenced.c.markdown"},
          {"0:storage.type.built_in.c", "7:comment.block.c"},
          {"0:markup.fenced.c.markdown"},
          {"0:markup.quote.markdown"}}},
        {L"source.shell",
         L"if [ \"$HOME\" ]; then echo $(pwd) 42 # note\nfi",
         {{"0:keyword.control.shell", "5:string.quoted.double.shell", "6:variable.other.shell",
           "16:keyword.control.shell", "21:support.function.builtin.shell", "26:string.interpolated.shell",
           "33:constant.numeric.shell", "36:comment.line.number_sign.shell"},
          {"0:keyword.control.shell"}}},
        {L"text.plain", L"just text", {{"0:text.plain"}}},
    };
    for (const Sample& sample : samples)
        EXPECT_TRUE(parsesWith(rules, sample)) << std::string(sample.grammar, sample.grammar + wcslen(sample.grammar));
}

TEST_F(ShippedBundlesTest, TheirThemesLoadAndColourAGrammarsScopes) {
    zemtest::LogCapture capture(BundleManager::logSource());
    loadShipped(true);
    std::vector<BundleEntry*> themes;
    m_manager->getEntriesOfType(THEME_TYPE_ID, themes);
    ASSERT_EQ(2u, themes.size());
    for (BundleEntry* entry : themes) {
        EXPECT_TRUE(entry->getErrors().empty()) << entry->getLocation()->toString();
        EXPECT_EQ(m_themeManager->getTheme(entry->getUuid(), true), entry) << "not installed";
    }
    for (auto& line : capture.lines()) {
        if (line.level >= 2)
            ADD_FAILURE() << "logged: " << std::string(line.text.begin(), line.text.end());
    }

    // Every face preset names this theme: it must be a shipped one, not the fallback.
    zem::Uuid presetTheme;
    presetTheme.fromString(FacePreset::DEFAULT_THEME);
    ThemeBundleItem* light = m_themeManager->getTheme(presetTheme, true);
    ASSERT_NE(m_themeManager->getDefaultTheme(), light);
    std::shared_ptr<DocumentTheme> theme = light->getTheme();
    EXPECT_LT(20u, theme->getRules().size());
    const DocumentTheme fallback;
    EXPECT_NE(fallback.getColor(DocumentTheme::BACKGROUND).packed(),
              theme->getColor(DocumentTheme::BACKGROUND).packed());

    const ParserRule* root = m_languages->getRepository()->findRule(L"source.cpp");
    ASSERT_NE(nullptr, root);
    Document document(nullptr);
    document.lockEdit();
    ASSERT_TRUE(parseWhole(*root, L"source.cpp", L"class A { bool f() { return nullptr == \"s\"; } }; // c", document));
    DocumentStyler* styler = document.getStyler();
    ASSERT_NE(nullptr, styler);
    styler->setTheme(theme);
    // column -> what the scope is, for failure messages
    const std::pair<int32_t, const char*> columns[] = {
        {0, "storage.type"},       {10, "storage.type"}, {21, "keyword.control"},
        {28, "constant.language"}, {39, "string"},       {49, "comment"},
    };
    std::vector<uint32_t> seen;
    for (const auto& column : columns) {
        const DocumentScope* scope = scopeAt(document, 0, column.first);
        ASSERT_NE(nullptr, scope) << column.second << " at " << column.first;
        std::wstring name = scope->getName();
        EXPECT_EQ(0u, name.find(std::wstring(column.second, column.second + strlen(column.second))))
            << std::string(name.begin(), name.end());
        const TextStyle* style = styler->getStyle(styler->resolveStyle(scope));
        EXPECT_NE(theme->getColor(DocumentTheme::FOREGROUND).packed(), style->foreground) << column.second;
        seen.push_back(style->foreground);
    }
    // Types, keywords, constants, strings and comments each have their own colour.
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(5, std::unique(seen.begin(), seen.end()) - seen.begin());
    EXPECT_EQ(2u, styler->getStyle(styler->resolveStyle(scopeAt(document, 0, 49)))->flags & 0x7u)
        << "comments are italic";
    document.unlockEdit();
}

namespace {

// The pairs the scope preferences hand over, as "<scope> <opening><closing>[ block]": one
// line for each pair's opening action.
class PairsHost : public BundleUiHost {
public:
    void addAction(const BundleAction& action) override {
        if (action.kind == SCOPE_PREFERENCES_TYPE_ID && !action.closes)
            pairs.push_back(action.context + L" " + action.opening + action.closing + (action.block ? L" block" : L""));
    }
    std::vector<std::wstring> pairs;
};

TEST_F(ShippedBundlesTest, TheirPairsCloseBracketsAndQuotesOfTheirLanguages) {
    zemtest::LogCapture capture(BundleManager::logSource());
    PairsHost host;
    loadShipped(false, &host);
    for (auto& line : capture.lines()) {
        if (line.level >= 2)
            ADD_FAILURE() << "logged: " << std::string(line.text.begin(), line.text.end());
    }
    std::vector<BundleEntry*> entries;
    m_manager->getEntriesOfType(SCOPE_PREFERENCES_TYPE_ID, entries);
    EXPECT_EQ(6u, entries.size());
    for (BundleEntry* entry : entries)
        EXPECT_TRUE(entry->getErrors().empty()) << entry->getLocation()->toString();
    const wchar_t* expected[] = {
        L"source.c ()",           L"source.c {} block",    L"source.c \"\"",       L"source.c ''",
        L"source.cpp ()",         L"source.cpp []",        L"source.cpp {} block", L"source.python {}",
        L"source.python ''",      L"source.json {} block", L"source.json \"\"",    L"source.jasmine {} block",
        L"source.shell {} block",
    };
    for (const wchar_t* pair : expected)
        EXPECT_NE(host.pairs.end(), std::find(host.pairs.begin(), host.pairs.end(), pair))
            << std::string(pair, pair + wcslen(pair));
    EXPECT_EQ(28u, host.pairs.size());
}

} // namespace
