#include "support/LogCapture.h"
#include "support/ManagerFixture.h"

#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentScopeStore.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace corvel;
using namespace bundletest;

namespace {

// The folder the build keeps the shipped bundles in, as a Windows path.
std::wstring shippedFolder() {
    std::wstring path = std::wstring(L"Z:") + CORVEL_SHIPPED_DIR;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

bool copyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = copyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

// The runs of a parsed line as "column:scope" words.
std::string describeRuns(Document& document, int32_t line) {
    const LineHeader* header = document.getLineHeader(line);
    if (!header || !header->parserBlock)
        return "<none>";
    const ParserBlockHeader* block = header->blockHeader();
    const ScopeRun* runs = reinterpret_cast<const ScopeRun*>(header->parserBlock + block->runsOffset);
    size_t count = (block->endStateOffset - block->runsOffset) / sizeof(ScopeRun);
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const DocumentScope* scope = document.getScopeStore().getScope(runs[i].scope);
        std::wstring name = scope ? scope->getName() : L"?";
        out += (i ? " " : "") + std::to_string(runs[i].column) + ":" + std::string(name.begin(), name.end());
    }
    return out;
}

struct Sample {
    const wchar_t* grammar;
    const wchar_t* text;
    // Per line, runs that must be among the line's runs.
    std::vector<std::vector<std::string>> expected;
};

class ShippedBundlesTest : public ManagerFixture {
protected:
    void TearDown() override {
        m_manager.reset();
        ManagerFixture::TearDown();
    }

    ::testing::AssertionResult parsesWith(const ParserRuleRepository& rules, const Sample& sample) {
        const ParserRule* root = rules.findRule(sample.grammar);
        if (!root)
            return ::testing::AssertionFailure() << "no rule for the grammar";
        Document document(nullptr);
        document.lockEdit();
        document.setGrammar(root, root->getId(), sample.grammar, true);
        std::wstring text = sample.text;
        document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
        EndPatternCache cache;
        LineParser parser;
        parser.bind(&document, &cache);
        bool parsed = true;
        for (int32_t line = 0; line < document.getLineCount(); ++line)
            parsed = parser.parseLine(line) && parsed;
        parser.unbind();
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
    ASSERT_TRUE(copyTree(shippedFolder(), native(L"root:bundles")));
    zemtest::LogCapture capture(BundleManager::logSource());
    makeManager();
    LanguageManager* languages = new LanguageManager(*m_manager); // the bundle manager owns it once registered
    languages->onConfigReady(*m_config);
    ASSERT_TRUE(loadAndWait());
    ASSERT_TRUE(m_window.pumpUntil([&] { return !languages->isCompiling() && languages->getRepository(); }));

    std::vector<BundleEntry*> grammars;
    m_manager->getEntriesOfType(LANGUAGE_TYPE_ID, grammars);
    EXPECT_EQ(8u, grammars.size());
    size_t fileTypes = 0;
    for (BundleEntry* entry : grammars) {
        EXPECT_TRUE(entry->getErrors().empty()) << entry->getLocation()->toString();
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
         {{"0:punctuation.definition.directive.c", "1:keyword.control.directive.c", "9:string.quoted.other.lt_gt.include.c"},
          {"0:comment.block.c", "12:storage.type.c", "21:storage.type.c", "27:punctuation.section.block.c", "28:meta.block.c"},
          {"2:keyword.control.c", "16:string.quoted.double.c", "18:constant.character.escape.c", "23:constant.numeric.c",
           "30:comment.line.double_slash.c"},
          {"0:punctuation.section.block.c"}}},
        {L"source.cpp",
         L"class A { bool f() const { return nullptr == this; } };",
         {{"0:storage.type.cpp", "8:punctuation.section.block.cpp", "10:storage.type.cpp", "19:storage.modifier.c",
           "27:keyword.control.c", "34:constant.language.cpp"}}},
        {L"source.python",
         L"@cache.wrap\ndef f(x=0x10):\n    return \"a\\tb\" if x else None  # note",
         {{"1:entity.name.function.decorator.python"},
          {"0:storage.type.python", "5:meta.group.python", "8:constant.numeric.python"},
          {"4:keyword.control.python", "11:string.quoted.double.python", "13:constant.character.escape.python",
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
          {"0:storage.type.c", "7:comment.block.c"},
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
