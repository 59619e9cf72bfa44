#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"
#include "support/LogCapture.h"
#include "zem/text/MatchResults.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using corvel::ParserRule;
using corvel::RegExLiteral;

std::string visible(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == 0)
            out += "<ref>";
        else if (c < 32)
            out += "<" + std::to_string(int(c)) + ">";
        else
            out += static_cast<char>(c);
    }
    return out;
}

struct TemplateCase {
    const wchar_t* pattern;
    const wchar_t* options;
    const wchar_t* expected; // null: no template; back-references written as \0 and the number
    size_t expectedLength;
    uint32_t bits;
};

::testing::AssertionResult templateIs(const TemplateCase& c) {
    std::unique_ptr<corvel::EndPatternTemplate> made = ParserRule::makeEndTemplate(RegExLiteral(c.pattern, c.options));
    if (!c.expected) {
        if (made)
            return ::testing::AssertionFailure() << "a template " << visible(made->text) << " where none was due";
        return ::testing::AssertionSuccess();
    }
    if (!made)
        return ::testing::AssertionFailure() << "no template";
    std::wstring expected(c.expected, c.expectedLength);
    if (made->text != expected)
        return ::testing::AssertionFailure() << visible(made->text) << ", expected " << visible(expected);
    if (made->options != c.bits)
        return ::testing::AssertionFailure() << "options " << made->options << ", expected " << c.bits;
    return ::testing::AssertionSuccess();
}

TEST(ParserRuleTest, EndTemplatesKeepEscapesAndMarkBackReferences) {
    const TemplateCase cases[] = {
        {L"\\s*\\1", L"", L"\\s*\0\1", 5, 256},
        {L"abc", L"", nullptr, 0, 0},
        {L"\\\\1", L"", nullptr, 0, 0}, // an escaped backslash, then a digit
        {L"x\\12y", L"i", L"x\0\x0Cy", 4, 257},
        {L"\\70000z", L"", L"z", 1, 256}, // past 65535: dropped
        {L"\\65535", L"", L"\0\xFFFF", 2, 256},
        {L"^\\0$", L"xm", L"^\0\0$", 4, 262},
    };
    for (const TemplateCase& c : cases)
        EXPECT_TRUE(templateIs(c)) << visible(c.pattern);
}

struct SubstituteCase {
    const wchar_t* endPattern;
    const wchar_t* options;
    const wchar_t* captured; // the text of group 1
    const wchar_t* expected; // the pattern compiled, null when it must not compile
    const wchar_t* matches;  // a text the pattern must match whole
};

::testing::AssertionResult substitutes(const SubstituteCase& c) {
    std::unique_ptr<corvel::EndPatternTemplate> made = ParserRule::makeEndTemplate(RegExLiteral(c.endPattern, c.options));
    std::wstring text = std::wstring(L"<<") + c.captured;
    zem::MatchResultsSimple results;
    results.set(0, 0, static_cast<int>(text.size()));
    results.set(1, 2, static_cast<int>(text.size()));
    corvel::RegExPtr built = ParserRule::buildEndPattern(*made, results, text.c_str(), 0);
    if (!c.expected)
        return built ? ::testing::AssertionFailure() << "compiled " << visible(built->pattern())
                     : ::testing::AssertionSuccess();
    if (!built)
        return ::testing::AssertionFailure() << "did not compile";
    if (built->pattern() != c.expected)
        return ::testing::AssertionFailure() << visible(built->pattern()) << ", expected " << visible(c.expected);
    std::wstring subject(c.matches);
    std::unique_ptr<zem::MatchResultsRegEx> m(
        corvel::RegEx::match(nullptr, built.get(), subject.c_str(), subject.c_str() + subject.size(), subject.c_str()));
    if (m->getEnd(0) != static_cast<int>(subject.size()))
        return ::testing::AssertionFailure() << "does not match " << visible(subject);
    return ::testing::AssertionSuccess();
}

TEST(ParserRuleTest, SubstitutedTextMatchesOnlyItself) {
    const SubstituteCase cases[] = {
        {L"\\1", L"", L"a.b|c(d)", L"a\\.b\\|c\\(d\\)", L"a.b|c(d)"},
        {L"^\\1$", L"", L"E-O+F", L"^E\\-O\\+F$", L"E-O+F"},
        {L"\\1", L"x", L"a b#c", L"a\\ b\\#c", L"a b#c"},
        {L"\\1", L"", L"[x]{2}", L"\\[x\\]\\{2\\}", L"[x]{2}"},
        {L"\\1\\9", L"", L"abc", L"abc", L"abc"}, // a group past the results inserts nothing
        {L"(\\1", L"", L"abc", nullptr, L""},
    };
    for (const SubstituteCase& c : cases)
        EXPECT_TRUE(substitutes(c)) << visible(c.captured);
}

TEST(ParserRuleTest, ChildrenAreAddedOnceAndBrokenPatternsLeftOut) {
    corvel::ParserRuleRepository repository;
    ParserRule* parent = new ParserRule();
    ParserRule* child = new ParserRule();
    ParserRule* broken = new ParserRule();
    repository.appendRule(parent);
    repository.appendRule(child);
    repository.appendRule(broken);
    EXPECT_FALSE(parent->addChild(RegExLiteral(L"(a)(b)", L""), child));
    EXPECT_TRUE(parent->addChild(RegExLiteral(L"c", L""), child)) << "the same child twice";
    zemtest::LogCapture log;
    EXPECT_FALSE(parent->addChild(RegExLiteral(L"(", L""), broken));
    ASSERT_FALSE(log.lines().empty());
    EXPECT_NE(std::wstring::npos, log.lines()[0].text.find(L"RegExComposite::push: Error compiling partial RE"));
    EXPECT_EQ(1u, parent->getChildren().size());
    int groupEnd = 0;
    EXPECT_EQ(child, parent->childForGroup(1, &groupEnd));
    EXPECT_EQ(4, groupEnd);
    EXPECT_EQ(nullptr, parent->childForGroup(2, nullptr));
    ASSERT_NE(nullptr, parent->getChildPattern());
    EXPECT_TRUE(parent->getChildPattern()->isCompiled());
}

TEST(ParserRuleTest, EndPatternsAreStaticOrTemplates) {
    ParserRule fixed, templated, broken, matchOnly;
    fixed.setEndPattern(RegExLiteral(L"\\*/", L""));
    templated.setEndPattern(RegExLiteral(L"^\\1$", L""));
    broken.setEndPattern(RegExLiteral(L"(", L""));
    EXPECT_TRUE(fixed.getStaticEnd() && fixed.getStaticEnd()->isCompiled());
    EXPECT_EQ(nullptr, fixed.getEndTemplate());
    EXPECT_TRUE(templated.getEndTemplate() && !templated.getStaticEnd());
    EXPECT_TRUE(broken.isBeginRule()) << "a broken end pattern still opens a scope";
    EXPECT_FALSE(broken.getStaticEnd()->isCompiled());
    EXPECT_FALSE(matchOnly.isBeginRule());
}

TEST(ParserRuleTest, RepositoryNumbersFromOneAndTheFirstNameWins) {
    int before = ParserRule::liveCount();
    {
        corvel::ParserRuleRepository repository;
        ParserRule* first = new ParserRule();
        ParserRule* second = new ParserRule();
        first->setScopeName(L"string.quoted");
        second->setScopeName(L"string.quoted");
        EXPECT_EQ(1u, repository.appendRule(first));
        EXPECT_EQ(2u, repository.appendRule(second));
        EXPECT_EQ(1, first->getId());
        EXPECT_EQ(2, second->getId());
        EXPECT_EQ(&repository, first->getRepository());
        EXPECT_TRUE(repository.addRule(first));
        EXPECT_FALSE(repository.addRule(second));
        EXPECT_EQ(first, repository.findRule(L"string.quoted"));
        EXPECT_EQ(nullptr, repository.findRule(L"string"));
        EXPECT_EQ(second, repository.getRule(2));
        EXPECT_EQ(nullptr, repository.getRule(3));
        EXPECT_EQ(before + 2, ParserRule::liveCount());
    }
    EXPECT_EQ(before, ParserRule::liveCount()) << "the repository deletes its rules";
}

} // namespace
