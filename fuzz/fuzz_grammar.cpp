// Grammars (".cvGrammar") as the loader reads them: validated, read into the pattern
// tree and written back; then compiled into parser rules with a second, fixed grammar it
// may include, and a few lines of text parsed with them from the first line.
#include "EntryFuzz.h"

#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageRepository.h"
#include "corvel/bundles/LanguageValidator.h"
#include "corvel/document/Document.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"

namespace {

const wchar_t* const LINES = L"def f(x, y): # comment\n"
                             L"    return \"str\\\"ing\" + 'c' * 0x1F\n"
                             L"/* block\n"
                             L"   comment */ int main() { if (a < b) { x++; } }\n"
                             L"\t<tag attr=\"v\">text &amp; more</tag>\n"
                             L"\u00E9t\u00E9 \U0001F600 \\ $ ^ end\n";

struct Fixed {
    corvel::BundleEntryTypeInfo kind = fuzz::standardKind(corvel::LANGUAGE_TYPE_ID);
    fuzz::EntryRef<corvel::Language> base;
    Fixed() {
        // The grammar manager's own check, which the loader runs before the grammar reads.
        kind.validator = std::make_shared<corvel::LanguageValidator>();
        base.reset(new corvel::Language(&kind, zem::Uuid()));
        fuzz::DictionaryPtr dictionary = fuzz::readEntryFile(
            "{ name: 'source.base' patterns: [ { include: '#word' } { match: /\\d+/ name: 'constant.numeric' } ]"
            "  repository: { word: { match: /[A-Za-z_]\\w*/ name: 'variable' } } }");
        base->readProperties(dictionary.get());
    }
};

Fixed& fixed() {
    static Fixed made;
    return made;
}

void compileAndParse(corvel::Language& language) {
    const std::wstring name = language.getName();
    if (name.empty() || name == L"source.base")
        return;
    corvel::LanguageRepository::GrammarMap grammars{{name, &language}, {L"source.base", fixed().base.get()}};
    corvel::LanguageRepository compiler;
    std::unique_ptr<corvel::ParserRuleRepository> rules = compiler.compile(grammars);
    if (!rules)
        return;
    corvel::ParserRule* root = rules->findRule(name.c_str());
    if (!root)
        return;
    corvel::Document document(nullptr);
    document.lockEdit();
    document.setGrammar(root, static_cast<uint16_t>(root->getId()), name.c_str(), true);
    std::wstring text = LINES;
    document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
    corvel::EndPatternCache cache;
    corvel::LineParser parser;
    parser.bind(&document, &cache);
    for (int32_t line = 0; line < document.getLineCount(); ++line)
        parser.parseLine(line);
    parser.unbind();
    document.unlockEdit();
}

fuzz::Verdict run(const std::string& input) {
    return fuzz::readAndRoundTrip<corvel::Language>(fixed().kind, input, &compileAndParse);
}

} // namespace

int main(int argc, char** argv) {
    fuzz::Target target{"fuzz_grammar",
                        {"{",
                         "}",
                         "[",
                         "]",
                         "name",
                         "patterns",
                         "match",
                         "begin",
                         "end",
                         "captures",
                         "begin_captures",
                         "end_captures",
                         "include",
                         "'#word'",
                         "'$self'",
                         "'$base'",
                         "'source.base'",
                         "repository",
                         "injections",
                         "content_name",
                         "/\\w+/",
                         "/(a)(b)?/",
                         "/\\G/",
                         "/\\1/",
                         "/(?<=x)/",
                         "/^/",
                         "/$/",
                         "1",
                         ":",
                         "'",
                         "\"",
                         ","},
                        &run};
    return fuzz::runFuzzer(argc, argv, target);
}
