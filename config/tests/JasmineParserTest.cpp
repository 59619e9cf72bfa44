#include "corvel/jasmine/JasmineParser.h"
#include "corvel/jasmine/ParserException.h"

#include "JasmineTestSupport.h"

#include <gtest/gtest.h>

using namespace corvel;
using corveltest::describe;

namespace {

::testing::AssertionResult parsesAs(const wchar_t* text, const wchar_t* expected) {
    JasmineParser parser;
    JasmineValue value;
    value.setRawText(L"untouched");
    try {
        if (!parser.parse(text, value))
            return ::testing::AssertionFailure() << "parse returned false";
    } catch (const zem::Exception& e) {
        return ::testing::AssertionFailure() << ::testing::PrintToString(text) << " threw "
                                             << ::testing::PrintToString(e.message());
    }
    std::wstring got = describe(value);
    if (got == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(text) << " gave " << ::testing::PrintToString(got)
                                         << ", expected " << ::testing::PrintToString(std::wstring(expected));
}

// expected: the whole message, "(Line n, Column m)" included.
::testing::AssertionResult failsWith(const std::wstring& text, const wchar_t* expected) {
    JasmineParser parser;
    JasmineValue value;
    try {
        parser.parse(text.c_str(), text.size(), value);
    } catch (const ParserException& e) {
        if (e.message() == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << ::testing::PrintToString(text) << " threw "
                                             << ::testing::PrintToString(e.message()) << ", expected "
                                             << ::testing::PrintToString(std::wstring(expected));
    }
    return ::testing::AssertionFailure() << ::testing::PrintToString(text) << " parsed as "
                                         << ::testing::PrintToString(describe(value));
}

} // namespace

TEST(JasmineParserTest, Values) {
    EXPECT_TRUE(parsesAs(L"{ a : 1 b : 'x' }", L"{a:i1 b:s'x'}"));
    EXPECT_TRUE(parsesAs(L"[1 2 3)", L"[i1 i2 i3]"));
    EXPECT_TRUE(parsesAs(L"(a b)", L"[s'a' s'b']"));
    EXPECT_TRUE(parsesAs(L"'it''s'", L"s'it's'"));
    EXPECT_TRUE(parsesAs(L"'a\\n'", L"s'a\\n'"));
    EXPECT_TRUE(parsesAs(L"\"a\\rb\"", L"s'ab'"));
    EXPECT_TRUE(parsesAs(L"\"\\u0041\"", L"s'A'"));
    EXPECT_TRUE(parsesAs(L"\"\\q\"", L"s'\\q'"));
    EXPECT_TRUE(parsesAs(L"\"\\\"\\/\\\\\\t\\n\\b\\f\"", L"s'\"/\\\t\n\b\f'"));
    EXPECT_TRUE(parsesAs(L"/a\\/b\\d/ix", L"/a/b\\d/ix"));
    EXPECT_TRUE(parsesAs(L"/x/-._9 rest", L"/x/-._9"));
    EXPECT_TRUE(parsesAs(L"--verbose", L"s'--verbose'"));
    EXPECT_TRUE(parsesAs(L"_x.y-z", L"s'_x.y-z'"));
    EXPECT_TRUE(parsesAs(L"True", L"s'True'"));
    EXPECT_TRUE(parsesAs(L"true", L"b1"));
    EXPECT_TRUE(parsesAs(L"false", L"b0"));
    EXPECT_TRUE(parsesAs(L"null", L"n"));
    EXPECT_TRUE(parsesAs(L"{ a : 1 a : 2 }", L"{a:i2}"));
    EXPECT_TRUE(parsesAs(L"{ 12 : x 1.5 : y }", L"{12:s'x' 1.5:s'y'}"));
    EXPECT_TRUE(parsesAs(L"{}garbage +", L"{}"));
    EXPECT_TRUE(parsesAs(L"// c\n/* d */ [ /*x*/ 1 // y\n ]", L"[i1]"));
    EXPECT_TRUE(parsesAs(L"'line\nbreak'", L"s'line\nbreak'"));
}

TEST(JasmineParserTest, Numbers) {
    EXPECT_TRUE(parsesAs(L"-5", L"i-5"));
    EXPECT_TRUE(parsesAs(L"0", L"i0"));
    EXPECT_TRUE(parsesAs(L"-", L"i0"));
    EXPECT_TRUE(parsesAs(L"2147483647", L"i2147483647"));
    EXPECT_TRUE(parsesAs(L"2147483648", L"u2147483648"));
    EXPECT_TRUE(parsesAs(L"3000000000", L"u3000000000"));
    EXPECT_TRUE(parsesAs(L"4294967289", L"u4294967289"));
    EXPECT_TRUE(parsesAs(L"4294967290", L"r4294967290"));
    EXPECT_TRUE(parsesAs(L"5000000000", L"r5000000000"));
    EXPECT_TRUE(parsesAs(L"-2147483639", L"i-2147483639"));
    EXPECT_TRUE(parsesAs(L"-2147483648", L"r-2147483648"));
    EXPECT_TRUE(parsesAs(L"1e3", L"r1000"));
    EXPECT_TRUE(parsesAs(L".5", L"r0.5"));
    EXPECT_TRUE(parsesAs(L"7-", L"r7"));
    EXPECT_TRUE(parsesAs(L"1.5.2", L"r1.5"));
    EXPECT_TRUE(parsesAs(L"1e999", L"rinf"));
    EXPECT_TRUE(parsesAs(L"-1e999", L"r-inf"));
    EXPECT_TRUE(parsesAs(L"1e-999", L"r0"));
}

TEST(JasmineParserTest, EmptyTextsLeaveTheTargetAlone) {
    EXPECT_TRUE(parsesAs(L"", L"t'untouched'"));
    EXPECT_TRUE(parsesAs(L"  // only a comment", L"t'untouched'"));
    EXPECT_TRUE(parsesAs(L":", L"t'untouched'"));
    EXPECT_TRUE(parsesAs(L",", L"t'untouched'"));
    JasmineParser parser;
    JasmineValue value;
    EXPECT_TRUE(parser.parse(nullptr, value));
    EXPECT_TRUE(value.isNull());
}

TEST(JasmineParserTest, ErrorMessagesAndPositions) {
    EXPECT_TRUE(failsWith(L"{ a : 1, b : 2 }",
                          L"Unexpected <UNKNOWN_TOKEN>, expecting symbol (not quoted string) or number. (Line 1, Column 8)"));
    EXPECT_TRUE(failsWith(L"{ \"a\" : 1 }",
                          L"Unexpected double-quoted string, expecting symbol (not quoted string) or number. (Line 1, "
                          L"Column 3)"));
    EXPECT_TRUE(failsWith(L"{ a : 1",
                          L"Unexpected end of stream, expecting symbol (not quoted string) or number. (Line 1, Column 8)"));
    EXPECT_TRUE(failsWith(L"{ a 1 }", L"Unexpected number, expecting dictionary key separator (:). (Line 1, Column 5)"));
    EXPECT_TRUE(failsWith(L"{ a : }", L"Unexpected dictionary end '}', expecting value. (Line 1, Column 7)"));
    EXPECT_TRUE(failsWith(L"[1, 2]", L"Unexpected <UNKNOWN_TOKEN>, expecting value or array end ']'. (Line 1, Column 3)"));
    EXPECT_TRUE(failsWith(L"[1 :]", L"Unexpected dictionary key separator (:), expecting value or array end ']'. (Line 1, "
                                    L"Column 4)"));
    EXPECT_TRUE(failsWith(L"  }", L"Unexpected dictionary end '}'. (Line 1, Column 3)"));
    EXPECT_TRUE(failsWith(L")", L"Unexpected array end ']'. (Line 1, Column 1)"));
    EXPECT_TRUE(failsWith(L"[\n  +]", L"Unexpected unknown token. (Line 2, Column 3)"));
    EXPECT_TRUE(failsWith(L"\r\n\r\n =", L"Unexpected unknown token. (Line 3, Column 2)"));
    EXPECT_TRUE(failsWith(L"[\x00e9]", L"Unexpected unknown token. (Line 1, Column 2)"));
    EXPECT_TRUE(failsWith(L"/*x", L"Unexpectedly terminated comment. (Line 1, Column 1)"));
    EXPECT_TRUE(failsWith(L"[ \"abc", L"Unexpectedly terminated double-quoted string. (Line 1, Column 3)"));
    EXPECT_TRUE(failsWith(L"[ 'it''", L"Unexpectedly terminated single-quoted string. (Line 1, Column 3)"));
    EXPECT_TRUE(failsWith(L"/ab", L"Unexpectedly terminated regular expression. (Line 1, Column 1)"));
    EXPECT_TRUE(failsWith(L"\"a\\u00G1\"",
                          L"Incorrect unicode escape sequence. Not a hexadecimal number. (Line 1, Column 3)"));
    EXPECT_TRUE(failsWith(L"\"a\\u00\"",
                          L"Incorrect unicode escape sequence. Format of uXXXX expected. (Line 1, Column 3)"));
    EXPECT_TRUE(failsWith(L"[ -. ]", L"Sequence is not a number (Line 1, Column 3)"));
    // A NUL inside the text is no end: it is a character that starts no token.
    EXPECT_TRUE(failsWith(std::wstring(L"[1\0 2]", 6), L"Unexpected unknown token. (Line 1, Column 3)"));
}

TEST(JasmineParserTest, BackslashLastIsUnterminatedNotAnOverread) {
    // Caught: a backslash as the last unit stepped the scan past the end of the text.
    EXPECT_TRUE(failsWith(std::wstring(L"\"ab\\"), L"Unexpectedly terminated double-quoted string. (Line 1, Column 1)"));
    EXPECT_TRUE(failsWith(std::wstring(L"/ab\\"), L"Unexpectedly terminated regular expression. (Line 1, Column 1)"));
    EXPECT_TRUE(failsWith(std::wstring(L"\"ab\\\""), L"Unexpectedly terminated double-quoted string. (Line 1, Column 1)"));
}

TEST(JasmineParserTest, NestingLimit) {
    std::wstring ok(JasmineParser::MAX_DEPTH, L'[');
    ok.append(JasmineParser::MAX_DEPTH, L']');
    JasmineParser parser;
    JasmineValue value;
    EXPECT_TRUE(parser.parse(ok.c_str(), value));
    std::wstring deep(JasmineParser::MAX_DEPTH + 1, L'[');
    EXPECT_TRUE(failsWith(deep, L"Structure is nested too deeply. (Line 1, Column 513)"));
    std::wstring dictionaries;
    for (int i = 0; i < 600; ++i)
        dictionaries += L"{a:";
    EXPECT_TRUE(failsWith(dictionaries, L"Structure is nested too deeply. (Line 1, Column 1537)"));
}

TEST(JasmineParserTest, ExceptionKeepsPositionsAndIsASyntaxException) {
    JasmineParser parser;
    JasmineValue value;
    try {
        parser.parse(L"{ a : 1\n  b 2 }", value);
        FAIL() << "no exception";
    } catch (const zem::SyntaxException& e) {
        const ParserException* p = dynamic_cast<const ParserException*>(&e);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(1, p->begin().line);
        EXPECT_EQ(4, p->begin().column);
        EXPECT_EQ(12, p->begin().offset);
        EXPECT_EQ(13, p->end().offset);
        EXPECT_EQ(L"Unexpected number, expecting dictionary key separator (:).", p->detail());
        std::unique_ptr<zem::Exception> copy(p->clone());
        EXPECT_EQ(p->message(), copy->message());
        EXPECT_THROW(copy->raise(), ParserException);
    }
    // The parser is reusable after an error.
    EXPECT_TRUE(parser.parse(L"[1]", value));
    EXPECT_EQ(L"[i1]", describe(value));
}

TEST(JasmineParserTest, TokenDisplayNames) {
    EXPECT_STREQ(L"plus operator (+)", JasmineParser::tokenDisplayName(7));
    EXPECT_STREQ(L"<INVALID_TOKEN>", JasmineParser::tokenDisplayName(15));
    EXPECT_STREQ(L"<UNKNOWN_TOKEN>", JasmineParser::tokenDisplayName(16));
    EXPECT_STREQ(L"<UNKNOWN_TOKEN>", JasmineParser::tokenDisplayName(13));
}
