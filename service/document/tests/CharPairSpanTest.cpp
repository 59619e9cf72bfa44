#include "corvel/document/CharPairSpan.h"

#include "corvel/document/ScopePath.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Whether the closing action of a pair of parentheses in selectorText matches the path
// given from the outermost to the innermost atom, as an editor builds it.
::testing::AssertionResult closingMatches(const std::wstring& selectorText, const std::wstring& outerToInner,
                                          bool expected) {
    std::vector<std::wstring> atoms;
    std::wistringstream words(outerToInner);
    for (std::wstring word; words >> word;)
        atoms.push_back(word);
    corvel::ScopePath path;
    for (auto it = atoms.rbegin(); it != atoms.rend(); ++it)
        path.push(it->c_str(), static_cast<uint32_t>(it->size()), true);
    const std::wstring selector = corvel::charPairClosingSelector(selectorText, L'(', L')', false);
    const bool matched = path.matchSelector(selector.c_str()) != nullptr;
    if (matched == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << std::string(selector.begin(), selector.end()) << "\" "
                                         << (matched ? "matches" : "does not match") << " \""
                                         << std::string(outerToInner.begin(), outerToInner.end()) << "\"";
}

// Caught: the span's name went after the selector, but in an editor the grammar's scopes at
// the caret lie inside the pair's span: no closing character of a shipped pair ever
// stepped over its pair, ")" typed inside "()" gave "())".
TEST(CharPairSpanTest, TheClosingActionMatchesInsideThePairAndItsScope) {
    const std::wstring span = L"document.context.char_pair.2829";
    struct Case {
        const wchar_t* selector;
        std::wstring path;
        bool matches;
    };
    const Case cases[] = {
        {L"source.c", L"ui.editor.main " + span + L" source.c meta.parens.c punctuation.section.parens.end.c", true},
        {L"source.c", L"ui.editor.main " + span + L" source.c", true},
        {L"source.c", L"ui.editor.main source.c meta.parens.c", false},
        {L"source.c", L"ui.editor.main document.context.char_pair.5b5d source.c", false},
        {L"source.c", L"ui.editor.main " + span + L" source.python", false},
        {L"ui.editor", L"ui.editor " + span, true},
        {L"ui.editor", L"ui.editor", false},
        {L"", L"ui.editor.main " + span + L" text.plain", true},
        {L"", L"ui.editor.main text.plain", false},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(closingMatches(c.selector, c.path, c.matches));
}

} // namespace
