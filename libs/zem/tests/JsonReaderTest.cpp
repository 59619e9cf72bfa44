#include "zem/json/JsonReader.h"
#include "support/JsonTestSupport.h"
#include "zem/value/Values.h"
#include "zem/writer/ValueWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

namespace {

using zem::JsonReaderSettings;
using zemtest::jsonSettings;
typedef std::unique_ptr<zem::Value> ValuePtr;

// Parses text and compares the compact JSON of the result with expected.
::testing::AssertionResult parsesTo(const std::wstring& text, const JsonReaderSettings& settings,
                                    const std::wstring& expected) {
    try {
        ValuePtr value(zem::parseJson(settings, text));
        std::wstring actual;
        zem::formatJson(value.get(), actual);
        if (actual == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "input: " << ::testing::PrintToString(text) << "\n expected: " << ::testing::PrintToString(expected)
               << "\n actual:   " << ::testing::PrintToString(actual);
    } catch (zem::Exception& e) {
        return ::testing::AssertionFailure()
               << "input: " << ::testing::PrintToString(text) << "\n threw: " << ::testing::PrintToString(e.message());
    }
}

// Parses text and checks the exact class and message of what it throws.
::testing::AssertionResult failsWith(const std::wstring& text, const JsonReaderSettings& settings,
                                     const std::type_info& type, const std::wstring& message) {
    try {
        ValuePtr value(zem::parseJson(settings, text));
        return ::testing::AssertionFailure() << "input: " << ::testing::PrintToString(text) << "\n parsed instead";
    } catch (zem::Exception& e) {
        if (typeid(e) == type && e.message() == message)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "input: " << ::testing::PrintToString(text) << "\n expected: " << ::testing::PrintToString(message)
               << " (" << type.name() << ")\n actual:   " << ::testing::PrintToString(e.message()) << " ("
               << typeid(e).name() << ")";
    }
}

std::wstring parserMessage(const wchar_t* detail, const wchar_t* from, const wchar_t* to) {
    return std::wstring(L"ParserException: `") + detail + L"` at `" + from + L"` - `" + to + L"`";
}

std::wstring nested(const wchar_t* open, int count, const wchar_t* inner, const wchar_t* close) {
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < count; ++i)
        text += close;
    return text;
}

TEST(JsonReaderTest, AcceptedTexts) {
    struct Row {
        std::wstring text;
        bool relaxed;
        std::wstring json;
    } rows[] = {
        {L"{}", false, L"{}"},
        {L"[]", false, L"[]"},
        {L" [ true , false , null ] ", false, L"[true,false,null]"},
        {L"// note\n{\"a\": /* between */ 1}", false, L"{\"a\":1}"},
        {L"/* a */ [1] // b", false, L"[1]"},
        {L"[5,-0,5.0,1e3,2147483648,-2147483648]", false, L"[5,0,5.0,1000.0,2147483648.0,-2147483648]"},
        {L"[1e-400,-1e-400,0.5E+1]", false, L"[0.0,-0.0,5.0]"},
        {L"{\"a\":1,\"b\":2,\"a\":3}", false, L"{\"a\":3,\"b\":2}"},
        {L"{\"b\":{},\"a\":[[]]}", false, L"{\"b\":{},\"a\":[[]]}"},
        {L"[\"/* not a comment */\"]", false, L"[\"/* not a comment */\"]"},
        {L"[1,]", true, L"[1]"},
        {L"{\"a\":1,}", true, L"{\"a\":1}"},
        {L"{a:1 b:'it''s' c:/x\\/y/i, 'd':-abc, 1:[nullx]}", true,
         L"{\"a\":1,\"b\":\"it's\",\"c\":/x\\/y/i,\"d\":\"-abc\",\"1\":[null,x]}"},
        {L"[1 2 [3]]", true, L"[1,2,[3]]"},
        {L"[_a.b-c, .5x, -1.y]", true, L"[_a.b-c,.5x,\"-1.y\"]"},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(parsesTo(row.text, jsonSettings(row.relaxed), row.json));
}

TEST(JsonReaderTest, RejectedTextsKeepTheirTexts) {
    const std::type_info& badRoot = typeid(zem::JsonBadRootElementTypeException);
    const std::type_info& unexpectedToken = typeid(zem::UnexpectedTokenException);
    const std::type_info& terminated = typeid(zem::UnexpectedlyTerminatedException);
    const std::type_info& escape = typeid(zem::InvalidEscapeInStringException);
    const wchar_t* const badRootText = L"Bad root value type. Should be a dictionary or a list.";
    const wchar_t* const ended = L"Parsing ended unexpectedly.";
    struct Row {
        std::wstring text;
        bool relaxed;
        const std::type_info& type;
        std::wstring message;
    } rows[] = {
        {L"", false, badRoot, parserMessage(badRootText, L"0:0", L"0:0")},
        {L" \n\t", false, badRoot, parserMessage(badRootText, L"1:1", L"1:1")},
        {L"5", false, badRoot, parserMessage(badRootText, L"0:0", L"0:1")},
        {L"\"s\"", false, badRoot, parserMessage(badRootText, L"0:0", L"0:3")},
        {L"{} x", false, typeid(zem::JsonUnexpectedDataAfterRoot),
         parserMessage(L"Unexpected data after root value.", L"0:3", L"0:4")},
        {std::wstring(L"{}\0x", 4), false, typeid(zem::JsonUnexpectedDataAfterRoot),
         parserMessage(L"Unexpected data after root value.", L"0:2", L"0:3")},
        {L"[1,]", false, typeid(zem::JsonTrailingCommaException),
         parserMessage(L"Trailing comma is not allowed.", L"0:2", L"0:3")},
        {L"{\"a\":1,}", false, typeid(zem::JsonTrailingCommaException),
         parserMessage(L"Trailing comma is not allowed.", L"0:6", L"0:7")},
        {L"{\"a\":1 \"b\":2}", false, unexpectedToken,
         parserMessage(L"Unexpected token `string-double-quoted`, expected `}`.", L"0:7", L"0:10")},
        {L"{\"\":1}", false, typeid(zem::JsonInvalidDictionaryKeyException),
         parserMessage(L"Invalid dictionary key.", L"0:1", L"0:3")},
        {L"{'':1}", true, typeid(zem::JsonInvalidDictionaryKeyException),
         parserMessage(L"Invalid dictionary key.", L"0:1", L"0:3")},
        {L"[\"\\q\"]", false, escape, parserMessage(L"Invalid escape sequence `q` in a string.", L"0:2", L"0:4")},
        {L"[\"\\u12\"]", false, escape, parserMessage(L"Invalid escape sequence `u` in a string.", L"0:2", L"0:4")},
        {L"[\"\\x1\"]", false, escape, parserMessage(L"Invalid escape sequence `x` in a string.", L"0:2", L"0:4")},
        {L"[\"\\u12", false, escape, parserMessage(L"Invalid escape sequence `u` in a string.", L"0:2", L"0:4")},
        {L"[", false, terminated, parserMessage(ended, L"0:1", L"0:1")},
        {L"{", false, terminated, parserMessage(ended, L"0:1", L"0:1")},
        {L"{\"a\"", false, terminated, parserMessage(ended, L"0:4", L"0:4")},
        {L"{\"a\":", false, terminated, parserMessage(ended, L"0:5", L"0:5")},
        {L"{\"a\":1", false, terminated, parserMessage(ended, L"0:6", L"0:6")},
        {L"[1,", false, terminated, parserMessage(ended, L"0:3", L"0:3")},
        {L"[1 /* open", false, terminated, parserMessage(ended, L"0:10", L"0:10")},
        {L"[\"abc", false, terminated, parserMessage(ended, L"0:1", L"0:5")},
        {L"[\"ab\\", false, terminated, parserMessage(ended, L"0:1", L"0:5")},
        {L"['ab''", true, terminated, parserMessage(ended, L"0:1", L"0:6")},
        {L"[/ab\\/", true, terminated, parserMessage(ended, L"0:1", L"0:6")},
        {L"[}", false, typeid(zem::ParserException), parserMessage(L"", L"0:1", L"0:2")},
        {L"{\"a\":,}", false, typeid(zem::ParserException), parserMessage(L"", L"0:5", L"0:6")},
        {L"[#]", false, unexpectedToken, parserMessage(L"Unexpected token.", L"0:1", L"0:2")},
        {L"['a']", false, unexpectedToken, parserMessage(L"Unexpected token.", L"0:1", L"0:2")},
        {L"[abc]", false, unexpectedToken, parserMessage(L"Unexpected token.", L"0:1", L"0:2")},
        {L"[/a/]", false, unexpectedToken, parserMessage(L"Unexpected token.", L"0:1", L"0:2")},
        {L"[.5]", false, unexpectedToken, parserMessage(L"Unexpected token.", L"0:1", L"0:2")},
        {L"[01]", false, typeid(zem::JsonUnexpectedStateException), L"Unexpected state"},
        {L"[\n  #]", false, unexpectedToken, parserMessage(L"Unexpected token.", L"1:2", L"1:3")},
        {L"{1:2}", false, unexpectedToken,
         parserMessage(L"Unexpected token `number`, expected `string-double-quoted, string-single-quoted or "
                       L"string-symbol`.",
                       L"0:1", L"0:2")},
        {L"{\"a\" 1}", false, unexpectedToken,
         parserMessage(L"Unexpected token `number`, expected `:`.", L"0:5", L"0:6")},
        {L"{\"a\" #}", false, unexpectedToken,
         parserMessage(L"Unexpected token `invalid`, expected `:`.", L"0:5", L"0:6")},
        {L"[1 2]", false, typeid(zem::JsonUnexpectedStateException), L"Unexpected state"},
        {L"[nullx]", false, typeid(zem::JsonUnexpectedStateException), L"Unexpected state"},
        {L"[1e999]", false, typeid(zem::JsonUnexpectedStateException), L"Unexpected state"},
        {L"[-1e400]", true, typeid(zem::JsonUnexpectedStateException), L"Unexpected state"},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(failsWith(row.text, jsonSettings(row.relaxed), row.type, row.message));
}

TEST(JsonReaderTest, UnexpectedStateIsAnIllegalStateWithPositions) {
    try {
        ValuePtr value(zem::parseJson(jsonSettings(false), L"[1,\n 1e999]"));
        FAIL() << "parsed";
    } catch (zem::IllegalStateException& e) {
        auto* state = dynamic_cast<zem::JsonUnexpectedStateException*>(&e);
        ASSERT_NE(nullptr, state);
        EXPECT_EQ(1, state->begin().line);
        EXPECT_EQ(1, state->begin().column);
        EXPECT_EQ(5, state->begin().offset);
        EXPECT_EQ(10, state->end().offset);
    }
}

TEST(JsonReaderTest, StringsDecodeTheirEscapes) {
    struct Row {
        std::wstring text;
        bool relaxed;
        std::wstring value;
        int32_t style;
    } rows[] = {
        {L"[\"\\b\\f\\n\\r\\t\\v\\\"\\/\\\\\\u0041\\x42\\u00e9\"]", false, L"\b\f\n\r\t\v\"/\\AB\u00e9", 0},
        {std::wstring(L"[\"a\0b\x01\"]", 8), false, std::wstring(L"a\0b\x01", 4), 0},
        {L"['it''s \\n']", true, L"it's \\n", 0},
        {L"['''']", true, L"'", 0},
        {L"[word]", true, L"word", zem::StringValue::STYLE_SYMBOL},
    };
    for (const Row& row : rows) {
        ValuePtr value(zem::parseJson(jsonSettings(row.relaxed), row.text));
        const zem::ListValue* list = static_cast<zem::ListValue*>(value.get());
        ASSERT_EQ(1u, list->size());
        const zem::StringValue* string = dynamic_cast<const zem::StringValue*>(list->at(0));
        ASSERT_NE(nullptr, string) << ::testing::PrintToString(row.text);
        EXPECT_EQ(row.value, string->text()) << ::testing::PrintToString(row.text);
        EXPECT_EQ(row.style, string->style());
    }
}

TEST(JsonReaderTest, RegExpKeepsEscapedSlashAndReadsOptions) {
    ValuePtr value(zem::parseJson(jsonSettings(true), L"[/a\\/b\\\\/im-x, /c/]"));
    const zem::ListValue* list = static_cast<zem::ListValue*>(value.get());
    ASSERT_EQ(2u, list->size());
    const zem::RegExpValue* first = dynamic_cast<const zem::RegExpValue*>(list->at(0));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(L"a\\/b\\\\", first->pattern());
    EXPECT_EQ(L"im-x", first->options());
    const zem::RegExpValue* second = dynamic_cast<const zem::RegExpValue*>(list->at(1));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(L"c", second->pattern());
    EXPECT_EQ(L"", second->options());
}

TEST(JsonReaderTest, NestingLimitAtAndPastTheEdge) {
    const std::wstring tooDeep = L"ParserException: `The structure is too deep.` at `"; // positions vary
    struct Row {
        std::wstring text;
        bool parses;
    } rows[] = {
        {nested(L"[", 100, L"", L"]"), true},
        {nested(L"[", 99, L"1", L"]"), true},
        {nested(L"[", 100, L"1", L"]"), false},
        {nested(L"[", 101, L"", L"]"), false},
        {L"{\"a\":" + nested(L"{\"a\":", 98, L"1", L"}") + L"}", true},
        {L"{\"a\":" + nested(L"{\"a\":", 99, L"1", L"}") + L"}", false},
        {nested(L"[", 100000, L"", L""), false},
        {nested(L"{\"k\":", 100000, L"", L""), false},
    };
    for (const Row& row : rows) {
        try {
            ValuePtr value(zem::parseJson(jsonSettings(false), row.text));
            EXPECT_TRUE(row.parses) << "length " << row.text.size();
        } catch (zem::JsonTooMuchNestingException& e) {
            EXPECT_FALSE(row.parses) << "length " << row.text.size();
            EXPECT_EQ(0u, e.message().find(tooDeep));
            EXPECT_EQ(e.begin().offset, e.end().offset);
        }
    }
}

TEST(JsonReaderTest, SettingsActAlone) {
    JsonReaderSettings trailing;
    trailing.allowTrailingComma = true;
    EXPECT_TRUE(parsesTo(L"[1,2,]", trailing, L"[1,2]"));
    EXPECT_TRUE(failsWith(L"[1 2]", trailing, typeid(zem::JsonUnexpectedStateException), L"Unexpected state"));

    JsonReaderSettings missing;
    missing.allowMissingComma = true;
    EXPECT_TRUE(parsesTo(L"{\"a\":1 \"b\":[2 3]}", missing, L"{\"a\":1,\"b\":[2,3]}"));
    EXPECT_TRUE(failsWith(L"[1,]", missing, typeid(zem::JsonTrailingCommaException),
                          parserMessage(L"Trailing comma is not allowed.", L"0:2", L"0:3")));

    JsonReaderSettings symbols;
    symbols.allowSymbols = true;
    EXPECT_TRUE(parsesTo(L"{7:x}", symbols, L"{\"7\":x}"));
    EXPECT_TRUE(failsWith(L"['x']", symbols, typeid(zem::UnexpectedTokenException),
                          parserMessage(L"Unexpected token.", L"0:1", L"0:2")));

    JsonReaderSettings regExp;
    regExp.allowRegExp = true;
    EXPECT_TRUE(parsesTo(L"[/x/g]", regExp, L"[/x/g]"));
}

} // namespace
