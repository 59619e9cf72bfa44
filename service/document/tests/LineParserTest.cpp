#include "corvel/document/LineParser.h"
#include "support/TestGrammar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvel::Document;
using documenttest::describeRuns;
using documenttest::TestGrammar;

// A grammar built by the test and a document parsed with it.
class GrammarFixture : public ::testing::Test {
protected:
    void loadAndParse(const std::wstring& text) {
        EXPECT_TRUE(documenttest::loadAndParse(grammar, document, text, cache)) << "a line did not parse";
    }

    ::testing::AssertionResult parsesAs(const std::wstring& text, const std::vector<std::string>& expected) {
        loadAndParse(text);
        for (int32_t line = 0; line < document.getLineCount(); ++line) {
            std::string got = describeRuns(document, line);
            std::string want = line < static_cast<int32_t>(expected.size()) ? expected[line] : "<unexpected line>";
            if (got != want)
                return ::testing::AssertionFailure() << "line " << line << ": " << got << ", expected " << want;
        }
        return ::testing::AssertionSuccess();
    }

    TestGrammar grammar{L"source.test"};
    Document document{nullptr};
    corvel::EndPatternCache cache;
};

class LineParserTest : public GrammarFixture {
protected:
    void SetUp() override {
        corvel::ParserRule* root = grammar.root();
        grammar.match(root, L"\\b(?:if|else)\\b", L"keyword");
        grammar.block(root, L"/\\*", L"\\*/", L"comment");
        corvel::ParserRule* string = grammar.block(root, L"\"", L"\"", L"string");
        grammar.match(string, L"\\\\.", L"escape");
        // Key 0 is the whole end match, also for a rule with children.
        grammar.capture(string, 0, L"punct.end", true);
        grammar.block(root, L"<<(\\w+)", L"^\\1$", L"heredoc");
        corvel::ParserRule* tag = grammar.block(root, L"<(?!<)", L">", L"tag");
        grammar.match(tag, L">|x", L"gt");
        grammar.match(root, L"ab", L"first");
        grammar.match(root, L"abc", L"second");
        corvel::ParserRule* nested = grammar.match(root, L"((q)(r))s", L"m");
        grammar.capture(nested, 1, L"outer");
        grammar.capture(nested, 2, L"inner.a");
        grammar.capture(nested, 3, L"inner.b");
    }

    corvel::LineParser parser;
};

struct ParseCase {
    const char* name;
    const wchar_t* text;
    std::vector<std::string> lines;
};

TEST_F(LineParserTest, LinesBecomeScopeChanges) {
    const ParseCase cases[] = {
        {"plain text has its one record at 0", L"plain text", {"0:source.test"}},
        {"a match rule returns to the enclosing scope", L"x if y", {"0:source.test 2:keyword 4:source.test"}},
        {"a block runs over lines", L"a /* b\nc */ d", {"0:source.test 2:comment", "0:comment 4:source.test"}},
        {"a child inside a block", L"\"a\\\"b\" c", {"0:string 2:escape 4:string 5:punct.end 6:source.test"}},
        {"the end pattern beats a child at one position", L"<x>", {"0:tag 1:gt 2:tag"}},
        {"the first child wins over a longer one", L"abc", {"0:first 2:source.test"}},
        {"nested captures", L"qrs", {"0:inner.a 1:inner.b 2:m 3:source.test"}},
        {"an end pattern filled from the begin match",
         L"<<EOF\nEOX\nEOF\ny",
         {"0:heredoc", "0:heredoc", "0:heredoc 3:source.test", "0:source.test"}},
    };
    for (const ParseCase& c : cases)
        EXPECT_TRUE(parsesAs(c.text, c.lines)) << c.name;
}

TEST_F(LineParserTest, BlockIsLaidOutByteForByte) {
    loadAndParse(L"if x\n\"s");
    const corvel::LineHeader* header = document.getLineHeader(0);
    ASSERT_NE(nullptr, header->parserBlock);
    std::vector<uint8_t> bytes(header->parserBlock, header->parserBlock + 32);
    const std::vector<uint8_t> expected = {32, 0, 0, 0, 20, 0, 0, 0, 28, 0, 0, 0, 4, 0, 0, 0, // header
                                           0,  0, 0, 0,                                       // start stack
                                           0,  0, 1, 0, 2,  0, 0, 0,                          // scope changes
                                           0,  0, 0, 0};                                      // end stack
    EXPECT_EQ(expected, bytes);
    EXPECT_EQ(0, header->flags & corvel::LINE_DIRTY);
    // Line 1 ends inside the string: its start stack is line 0's end stack, its end stack
    // holds the string's pair over the bottom one.
    const corvel::ParserBlockHeader* second = document.getLineHeader(1)->blockHeader();
    EXPECT_EQ(20u, second->runsOffset);
    EXPECT_EQ(8u, second->endStateSize);
}

TEST_F(LineParserTest, EndPatternsAreCompiledOncePerRuleAndBeginText) {
    loadAndParse(L"<<A\nA\n<<A\nA\n<<B\nB\n");
    EXPECT_EQ(2u, cache.size());
    EXPECT_EQ("0:heredoc 1:source.test", describeRuns(document, 5));
}

TEST_F(LineParserTest, LineIsCurrentWhileItsStartStateHolds) {
    loadAndParse(L"a /* b\nc */ d\ne");
    parser.bind(&document, &cache);
    EXPECT_FALSE(parser.isLineCurrent(0)) << "line 0 is never current";
    EXPECT_TRUE(parser.isLineCurrent(1));
    EXPECT_TRUE(parser.isLineCurrent(2));

    document.removeText(2, 2, 0); // line 0 no longer opens the comment
    ASSERT_TRUE(parser.parseLine(0));
    EXPECT_FALSE(parser.isLineCurrent(1));
    ASSERT_TRUE(parser.parseLine(1));
    EXPECT_TRUE(parser.isLineCurrent(1));
    EXPECT_TRUE(parser.isLineCurrent(2)) << "line 1 ends where it ended before";

    document.insertText(document.getLineStart(2), 1, L"x", 0);
    EXPECT_FALSE(parser.isLineCurrent(2)) << "an edited line is dirty";
    parser.unbind();
}

TEST_F(LineParserTest, ALineNeedsTheBlockOfTheLineAbove) {
    loadAndParse(L"one\ntwo");
    document.lockEdit();
    document.setGrammar(grammar.root(), grammar.root()->getId(), L"source.test", true); // drops the blocks
    document.unlockEdit();
    parser.bind(&document, &cache);
    EXPECT_FALSE(parser.parseLine(1));
    EXPECT_EQ(nullptr, document.getLineHeader(1)->parserBlock);
    EXPECT_FALSE(parser.parseLine(2)) << "no such line";
    EXPECT_TRUE(parser.parseLine(0));
    EXPECT_TRUE(parser.parseLine(1));
    parser.unbind();
}

// Caught: a parser kept the scope indices it had looked up across steps, and named the
// scopes of a store cleared since by the indices of the old one.
TEST_F(LineParserTest, ScopesAreLookedUpAgainInAStoreClearedSinceTheLastStep) {
    auto parseWithOneParser = [&](const std::wstring& text) {
        document.lockEdit();
        document.setGrammar(grammar.root(), grammar.root()->getId(), L"source.test", true);
        document.removeText(document.getLength(), 0, 0);
        document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
        parser.bind(&document, &cache);
        EXPECT_TRUE(parser.parseLine(0));
        parser.unbind();
        document.unlockEdit();
        return describeRuns(document, 0);
    };
    EXPECT_EQ("0:keyword 2:source.test 3:comment", parseWithOneParser(L"if /* c */"));
    // The comment's scope is made first this time, under the index the keyword had.
    EXPECT_EQ("0:comment 7:source.test 8:keyword 10:source.test", parseWithOneParser(L"/* c */ if"));
}

TEST_F(LineParserTest, NothingIsRecordedFromPosition0xFFFF) {
    std::wstring text = L"if " + std::wstring(65530, L'a') + L" if " + std::wstring(4000, L'b') + L" if";
    loadAndParse(text);
    // The keyword at 65534 starts before the limit; its end and everything after lie beyond.
    EXPECT_EQ("0:keyword 2:source.test 65534:keyword", describeRuns(document, 0));
}

// A capture before the match (in a look-behind) lands before records already made: it is
// put in its place, so the records stay in position order.
TEST(LineParserOrderTest, ARecordBeforeTheLastIsInsertedInOrder) {
    TestGrammar grammar(L"source.order");
    corvel::ParserRule* rule = grammar.match(grammar.root(), L"(?<=(x))y", L"why");
    grammar.capture(rule, 1, L"ex");
    Document document(nullptr);
    corvel::EndPatternCache cache;
    ASSERT_TRUE(documenttest::loadAndParse(grammar, document, L"axyz", cache));
    EXPECT_EQ("0:source.order 1:ex 2:why 3:source.order", describeRuns(document, 0));
}

// A substituted end pattern that does not compile never matches, and every begin text
// still gets an entry of its own.
TEST(LineParserBrokenEndTest, AnEndPatternThatDoesNotCompileNeverMatches) {
    TestGrammar grammar(L"source.broken");
    grammar.block(grammar.root(), L"<<(\\S+)", L"\\1(", L"open");
    Document document(nullptr);
    corvel::EndPatternCache cache;
    ASSERT_TRUE(documenttest::loadAndParse(grammar, document, L"<<A\nA\n<<B(\nB(", cache));
    EXPECT_EQ(1u, cache.size()) << "the second begin lies inside the first, which never ends";
    EXPECT_EQ(nullptr, cache.get(0));
    EXPECT_EQ(nullptr, cache.get(1)) << "an index past the cache";
    EXPECT_EQ("0:open", describeRuns(document, 3));
}

// Rules that match empty text: the line still runs to its end, and the stack does not grow.
TEST(LineParserEmptyMatchTest, EmptyMatchesNeitherStallNorPileUp) {
    TestGrammar grammar(L"source.empty");
    grammar.block(grammar.root(), L"(?=a)", L"(?=a)|(?=b)", L"before");
    grammar.match(grammar.root(), L"b", L"bee");
    grammar.match(grammar.root(), L"x*", L"xs");
    Document document(nullptr);
    corvel::EndPatternCache cache;
    ASSERT_TRUE(documenttest::loadAndParse(grammar, document, L"aab" + std::wstring(70000, L'a') + L"xx", cache));
    EXPECT_EQ(1u, documenttest::stackDepth(document, 0));
    EXPECT_EQ("0:source.empty 2:bee 3:source.empty", describeRuns(document, 0));
}

} // namespace

// \G matches only where the enclosing rule's last match ended: at the end of its begin
// match on that line, again there after a child closes, and at the next line's start only
// when the begin match took the line break. It once matched wherever a search stood,
// which kept rules ended by (?!\G) open and let \G rules match at every line's start.
class LineParserAnchorTest : public GrammarFixture {
protected:
    void SetUp() override {
        corvel::ParserRule* root = grammar.root();
        corvel::ParserRule* function = grammar.block(root, L"\\b(\\w+)(?=\\()", L"(?!\\G)(?<=\\))", L"function");
        grammar.block(function, L"\\(", L"\\)", L"parens");
        corvel::ParserRule* braces = grammar.block(root, L"\\{", L"\\}", L"braces");
        grammar.block(braces, L"\\G\\s*(?=\\w)", L"(?<=\\w)(?!\\w)", L"first");
        corvel::ParserRule* tag = grammar.block(root, L"<\\s*", L">", L"tag");
        grammar.match(tag, L"\\G\\w+", L"tag.name");
        corvel::ParserRule* list = grammar.block(root, L"\\[", L"\\]", L"list");
        grammar.match(list, L"\\G\\w+", L"list.head");
        grammar.block(root, L"=\\s*", L"(?!\\G)", L"assign");
    }
};

TEST_F(LineParserAnchorTest, AnchorStandsWhereTheLastMatchEnded) {
    const ParseCase cases[] = {
        {"an end of (?!\\G) closes once a child moved past the begin",
         L"f(a) x",
         {"0:function 1:parens 4:source.test"}},
        {"... also on a later line", L"f(a,\nb) x", {"0:function 1:parens", "0:parens 2:source.test"}},
        {"a \\G begin opens after the enclosing begin, not after its own end",
         L"{ a b }",
         {"0:braces 1:first 3:braces"}},
        {"a \\G match only at the begin's end", L"[ab cd]", {"0:list 1:list.head 3:list"}},
        {"no \\G at the next line's start after a begin that kept the line break", L"[\nab cd]", {"0:list", "0:list"}},
        {"\\G at the next line's start after a begin that took the line break",
         L"<\nab cd>",
         {"0:tag", "0:tag.name 2:tag"}},
        {"an end of (?!\\G) after a begin that took the line break",
         L"a =\n  y",
         {"0:source.test 2:assign", "0:assign 1:source.test"}},
        {"an end of (?!\\G) on the begin's line", L"a = y;", {"0:source.test 2:assign 5:source.test"}},
    };
    for (const ParseCase& c : cases)
        EXPECT_TRUE(parsesAs(c.text, c.lines)) << c.name;
}
