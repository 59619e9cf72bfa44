#include "zem/jasmine/JasmineLexer.h"

#include "support/JasmineTestSupport.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineStringReader.h"
#include "zem/jasmine/JasmineTokenStore.h"
#include "zem/jasmine/JasmineTokenStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using jasmine_test::describe;
using jasmine_test::syntaxMessage;
using jasmine_test::visible;
using namespace zem;

// Lexes the whole text: "kind:text|kind:text|...|18:".
std::wstring lexAll(const std::wstring& text) {
    JasmineStringReader reader(text);
    JasmineLexer lexer(reader);
    JasmineToken token;
    std::wstring out;
    do {
        lexer.nextToken(token);
        if (!out.empty())
            out += L"|";
        out += std::to_wstring(token.kind) + L":" + visible(std::wstring(token.text, token.length()));
    } while (token.kind != JASMINE_TOKEN_EOS);
    return out;
}

::testing::AssertionResult lexesAs(const std::wstring& text, const std::wstring& expected) {
    std::wstring actual;
    try {
        actual = lexAll(text);
    } catch (const Exception& e) {
        actual = L"threw " + e.message();
    }
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "input \"" << visible(text) << "\"\n  expected " << expected
                                         << "\n  actual   " << actual;
}

::testing::AssertionResult lexFails(const std::wstring& text, const std::wstring& expectedMessage) {
    std::wstring actual;
    try {
        actual = L"no error: " + lexAll(text);
    } catch (const JasmineSyntaxException& e) {
        actual = e.message();
    }
    if (actual == expectedMessage)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "input \"" << visible(text) << "\"\n  expected " << expectedMessage
                                         << "\n  actual   " << actual;
}

TEST(JasmineLexerTest, TokenKindsAndTexts) {
    EXPECT_TRUE(lexesAs(L"{}[],:", L"1:{|2:}|3:[|4:]|13:,|14::|18:"));
    EXPECT_TRUE(lexesAs(L"\"a\\\"b\\x41\\u00e9\"", L"5:\"a\\\"b\\x41\\u00e9\"|18:"));
    EXPECT_TRUE(lexesAs(L"'it''s'", L"6:'it''s'|18:"));
    // A backslash keeps the apostrophe after it inside the string.
    EXPECT_TRUE(lexesAs(L"'a\\'b' x", L"6:'a\\'b'|17: |7:x|18:"));
    EXPECT_TRUE(lexesAs(L"null true false nullx", L"12:null|17: |10:true|17: |11:false|17: |7:nullx|18:"));
    EXPECT_TRUE(
        lexesAs(L"12 -3 0.5 1e10 1E-5 042", L"8:12|17: |8:-3|17: |8:0.5|17: |8:1e10|17: |8:1E-5|17: |8:042|18:"));
    // Runs that start like a number but do not end as one are words.
    EXPECT_TRUE(lexesAs(L"12abc 1.2.3 1e - -x 1.", L"7:12abc|17: |7:1.2.3|17: |7:1e|17: |7:-|17: |7:-x|17: |7:1.|18:"));
    EXPECT_TRUE(lexesAs(L"_a.b-c .5", L"7:_a.b-c|17: |7:.5|18:"));
    EXPECT_TRUE(lexesAs(L"/ab\\/c/i", L"9:/ab\\/c/|7:i|18:"));
    EXPECT_TRUE(lexesAs(L"// c\r\nx", L"15:// c|17:\\x0D\\x0A|7:x|18:"));
    EXPECT_TRUE(lexesAs(L"/* a * / */x", L"16:/* a * / */|7:x|18:"));
    EXPECT_TRUE(lexesAs(L"1 /", L"8:1|17: |18:")); // a lone final slash ends the stream
    EXPECT_TRUE(lexesAs(std::wstring(L"\x01 \0 x", 5), L"17:\\x01 \\x00 |7:x|18:"));
    EXPECT_TRUE(lexesAs(std::wstring(L"\0abc", 4), L"18:"));
    EXPECT_TRUE(lexesAs(L"", L"18:"));
}

TEST(JasmineLexerTest, ErrorsWithPositions) {
    EXPECT_TRUE(lexFails(L"\"ab", syntaxMessage(L"Unexpectedly terminated double-quoted string.", 0, 0, 0, 3)));
    EXPECT_TRUE(lexFails(L"\"ab\\", syntaxMessage(L"Unexpectedly terminated double-quoted string.", 0, 0, 0, 4)));
    EXPECT_TRUE(
        lexFails(L"\"a\\q\"", syntaxMessage(L"Invalid escape sequence `\\q` in double-quoted string.", 0, 2, 0, 4)));
    EXPECT_TRUE(
        lexFails(L"\"\\x4", syntaxMessage(L"Too short escape sequence `\\xHH` in double-quoted string.", 0, 1, 0, 4)));
    EXPECT_TRUE(lexFails(L"\"\\u12",
                         syntaxMessage(L"Too short escape sequence `\\uHHHH` in double-quoted string.", 0, 1, 0, 5)));
    EXPECT_TRUE(
        lexFails(L"\"\\x4g\"",
                 syntaxMessage(L"Invalid character in escape sequence `\\xHH` in double-quoted string.", 0, 1, 0, 5)));
    EXPECT_TRUE(
        lexFails(L"\"\\u12\"", syntaxMessage(L"Invalid character in escape sequence `\\uHHHH` in double-quoted string.",
                                             0, 1, 0, 6)));
    EXPECT_TRUE(lexFails(L"'abc", syntaxMessage(L"Unexpectedly terminated single-quoted string.", 0, 0, 0, 4)));
    EXPECT_TRUE(lexFails(L"'abc\\'", syntaxMessage(L"Unexpectedly terminated single-quoted string.", 0, 0, 0, 6)));
    EXPECT_TRUE(lexFails(L"x\n/* abc", syntaxMessage(L"Unexpectedly terminated block comment.", 1, 0, 1, 6)));
    EXPECT_TRUE(lexFails(L"/abc\\/", syntaxMessage(L"Unexpectedly terminated regular expression.", 0, 0, 0, 6)));
    EXPECT_TRUE(lexFails(L"[1+2]", syntaxMessage(L"Invalid token `+`.", 0, 2, 0, 3)));
    EXPECT_TRUE(lexFails(L"  @", syntaxMessage(L"Invalid token `@`.", 0, 2, 0, 3)));
    EXPECT_TRUE(lexFails(L"\x00e9", syntaxMessage(L"Invalid token `\x00e9`.", 0, 0, 0, 1)));
}

// Every line break form puts the next token at column 0 of the next line.
TEST(JasmineLexerTest, PositionsAcrossLineBreaks) {
    std::wstring text = L"a\r\nb\nc\rd\r\re";
    JasmineStringReader reader(text);
    JasmineLexer lexer(reader);
    std::vector<std::wstring> words;
    JasmineToken token;
    for (lexer.nextToken(token); token.kind != JASMINE_TOKEN_EOS; lexer.nextToken(token)) {
        if (token.kind == JASMINE_TOKEN_SYMBOL)
            words.push_back(std::wstring(token.text) + L"@" + describe(token.begin) + L"-" + describe(token.end));
    }
    std::vector<std::wstring> expected = {L"a@0:0:0-0:1:1", L"b@1:0:3-1:1:4", L"c@2:0:5-2:1:6", L"d@3:0:7-3:1:8",
                                          L"e@5:0:10-5:1:11"};
    EXPECT_EQ(expected, words);
    EXPECT_EQ(L"5:1:11", describe(token.begin)); // the end-of-stream token
    EXPECT_EQ(9, token.index);
}

TEST(JasmineLexerTest, KindNames) {
    EXPECT_STREQ(L"double-quoted string", jasmineTokenKindName(JASMINE_TOKEN_DOUBLE_QUOTED));
    EXPECT_STREQ(L"reg-exp", jasmineTokenKindName(JASMINE_TOKEN_REGEXP));
    EXPECT_STREQ(L"block comment (/* .. */)", jasmineTokenKindName(JASMINE_TOKEN_BLOCK_COMMENT));
    EXPECT_STREQ(L"eos", jasmineTokenKindName(JASMINE_TOKEN_EOS));
    EXPECT_STREQ(L"invalid", jasmineTokenKindName(19));
    EXPECT_STREQ(L"invalid", jasmineTokenKindName(-1));
}

class JasmineTokenStoreTest : public ::testing::Test {
protected:
    void lexInto(const std::wstring& text) {
        m_text = text;
        JasmineStringReader reader(m_text);
        JasmineLexer lexer(reader);
        JasmineToken token;
        do {
            lexer.nextToken(token);
            m_store.addToken(token);
        } while (token.kind != JASMINE_TOKEN_EOS);
    }

    std::wstring m_text;
    JasmineTokenStore m_store;
};

// Crosses the 64-record blocks and the text arena's chunk size, and rebuilds the text.
TEST_F(JasmineTokenStoreTest, KeepsEveryCharacterAcrossBlocks) {
    std::wstring text = L"[";
    for (int i = 0; i < 100; ++i)
        text += L"'" + std::wstring(static_cast<size_t>(i * 50), L'x') + L"', ";
    text += L"]";
    lexInto(text);
    ASSERT_EQ(1 + 100 * 3 + 1 + 1, m_store.size());
    std::wstring rebuilt;
    m_store.appendText(0, m_store.size() - 1, rebuilt);
    EXPECT_EQ(text, rebuilt);
    const JasmineToken& token = m_store.getToken(3 * 99 + 1);
    EXPECT_EQ(JASMINE_TOKEN_SINGLE_QUOTED, token.kind);
    EXPECT_EQ(99 * 50 + 2, token.length());
    EXPECT_EQ(3 * 99 + 1, token.index);
}

TEST_F(JasmineTokenStoreTest, IndexOutOfRangeThrows) {
    lexInto(L"a b");
    ASSERT_EQ(4, m_store.size());
    EXPECT_NO_THROW(m_store.getToken(3));
    EXPECT_THROW(m_store.getToken(4), IndexOutOfBoundsException);
    EXPECT_THROW(m_store.getToken(-1), IndexOutOfBoundsException);
    std::wstring out = L"keep";
    EXPECT_THROW(m_store.appendText(2, 4, out), IndexOutOfBoundsException);
    EXPECT_EQ(L"keep", out);
    m_store.appendText(3, 2, out); // an empty range is no range
    EXPECT_EQ(L"keep", out);
    m_store.appendText(0, 2, out);
    EXPECT_EQ(L"keepa b", out);
}

TEST_F(JasmineTokenStoreTest, StoreStreamSkipsTriviaAndStopsAtTheEnd) {
    lexInto(L"/*c*/ a // d\n b");
    JasmineStoreTokenStream stream(m_store);
    EXPECT_THROW(stream.current(), AssertionViolationException);
    EXPECT_EQ(JASMINE_TOKEN_BLOCK_COMMENT, stream.advance(false).kind);
    EXPECT_EQ(L"a", std::wstring(stream.advance(true).text));
    EXPECT_EQ(JASMINE_TOKEN_WHITESPACE, stream.advance(false).kind);
    EXPECT_EQ(L"b", std::wstring(stream.advance(true).text));
    EXPECT_EQ(JASMINE_TOKEN_EOS, stream.advance(true).kind);
    EXPECT_EQ(JASMINE_TOKEN_EOS, stream.advance(false).kind);
    EXPECT_EQ(m_store.size() - 1, stream.current().index);
}

TEST(JasmineLexerTokenStreamTest, SkipsTrivia) {
    std::wstring text = L" a /*x*/ b";
    JasmineStringReader reader(text);
    JasmineLexer lexer(reader);
    JasmineLexerTokenStream stream(lexer);
    EXPECT_EQ(JASMINE_TOKEN_WHITESPACE, stream.advance(false).kind);
    EXPECT_EQ(L"a", std::wstring(stream.advance(true).text));
    EXPECT_EQ(L"b", std::wstring(stream.advance(true).text));
    EXPECT_EQ(5, stream.current().index);
    EXPECT_EQ(JASMINE_TOKEN_EOS, stream.advance(true).kind);
}

} // namespace
