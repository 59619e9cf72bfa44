#include "zem/jasmine/JasmineParser.h"

#include "support/JasmineTestSupport.h"
#include "zem/base/Exception.h"
#include "zem/text/StreamTextReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>

namespace {

using jasmine_test::describe;
using jasmine_test::syntaxMessage;
using jasmine_test::visible;
using namespace zem;

typedef std::unique_ptr<Value> ValuePtr;

// Parses through both entry points (on demand and through a token store); they must agree.
::testing::AssertionResult parsesAs(const std::wstring& text, const std::wstring& expected) {
    std::wstring actual, stored;
    try {
        ValuePtr value(parseJasmine(text));
        actual = describe(value.get());
        JasmineTokenStore store;
        ValuePtr again(parseJasmineTokens(store, text));
        stored = describe(again.get());
    } catch (const Exception& e) {
        actual = L"threw " + e.message();
    }
    if (actual == expected && (stored.empty() || stored == actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "input \"" << visible(text) << "\"\n  expected " << visible(expected)
                                         << "\n  actual   " << visible(actual) << "\n  stored   " << visible(stored);
}

::testing::AssertionResult failsWith(const std::wstring& text, const std::wstring& expectedMessage) {
    std::wstring actual, stored;
    try {
        ValuePtr value(parseJasmine(text));
        actual = L"no error: " + describe(value.get());
    } catch (const JasmineSyntaxException& e) {
        actual = e.message();
    }
    try {
        JasmineTokenStore store;
        ValuePtr value(parseJasmineTokens(store, text));
        stored = L"no error: " + describe(value.get());
    } catch (const JasmineSyntaxException& e) {
        stored = e.message();
    }
    if (actual == expectedMessage && stored == expectedMessage)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "input \"" << visible(text) << "\"\n  expected " << expectedMessage
                                         << "\n  actual   " << actual << "\n  stored   " << stored;
}

TEST(JasmineParserTest, Values) {
    EXPECT_TRUE(parsesAs(L"{a:1 b:2}", L"{a:i1,b:i2}"));
    EXPECT_TRUE(parsesAs(L"{a:1, b:2,}", L"{a:i1,b:i2}"));
    EXPECT_TRUE(parsesAs(L"[1 2, 3,]", L"[i1,i2,i3]"));
    EXPECT_TRUE(parsesAs(L"{a:1 a:2 b:3}", L"{a:i2,b:i3}")); // a repeated key keeps its first place
    EXPECT_TRUE(parsesAs(L"{42: 042, -1.5: x}", L"{42:i42,-1.5:x}"));
    EXPECT_TRUE(parsesAs(L"{\"\": 1, '': 2}", L"{:i2}"));
    // Keys that would read as other tokens bare arrive quoted and stay strings.
    EXPECT_TRUE(parsesAs(L"{\"true\": 1, 'null': 2, \"false\": \"1e5\", \"12\": '-0'}",
                         L"{true:i1,null:i2,false:\"1e5\",12:'-0'}"));
    EXPECT_TRUE(parsesAs(L"[-0, 7.0, 1e2, 3000000000, -2147483648, 2147483647]",
                         L"[i0,r7,r100,r3e+09,i-2147483648,i2147483647]"));
    EXPECT_TRUE(parsesAs(L"123456789012345678901234567890", L"r1.2345678901234568e+29"));
    EXPECT_TRUE(parsesAs(L"[null true false sym 'sq' \"dq\"]", L"[null,true,false,sym,'sq',\"dq\"]"));
    EXPECT_TRUE(parsesAs(L"\"\\x41\\u00e9\\/\\\\\\\"\\b\\f\\n\\r\\t\\v\"", L"\"A\x00e9/\\\"\b\f\n\r\t\v\""));
    EXPECT_TRUE(parsesAs(L"\"\\u0000\"", std::wstring(L"\"\0\"", 3)));
    EXPECT_TRUE(parsesAs(L"'it''s'", L"'it's'"));
    EXPECT_TRUE(parsesAs(L"'it\\'s'", L"'it's'"));
    EXPECT_TRUE(parsesAs(L"'a\\\\b\\n'", L"'a\\\\b\\n'")); // other backslashes stay as written
    EXPECT_TRUE(parsesAs(L"/a\\/b/i", L"/a\\/b/i"));
    EXPECT_TRUE(parsesAs(L"[/a/]", L"[/a/]"));
    EXPECT_TRUE(parsesAs(L"[/a/ i]", L"[/a/,i]")); // options only directly after the slash
    EXPECT_TRUE(parsesAs(L"{r:/a/x, s:/b/ , t:/c/}", L"{r:/a/x,s:/b/,t:/c/}"));
    EXPECT_TRUE(parsesAs(L"// lead\n/* c */ {a: /* c */ 1 // c\n}", L"{a:i1}"));
    // On demand nothing after the value is read.
    ValuePtr first(parseJasmine(L"{a:1} @ \"unterminated"));
    EXPECT_EQ(L"{a:i1}", describe(first.get()));
    EXPECT_TRUE(parsesAs(L"{a:{b:[null,{}, []]}}", L"{a:{b:[null,{},[]]}}"));
}

TEST(JasmineParserTest, Errors) {
    EXPECT_TRUE(failsWith(L"", syntaxMessage(L"Expected value token but `eos` found.", 0, 0, 0, 0)));
    EXPECT_TRUE(failsWith(L"  // only\n", syntaxMessage(L"Expected value token but `eos` found.", 1, 0, 1, 0)));
    EXPECT_TRUE(failsWith(L"[1,,2]", syntaxMessage(L"Expected value token but `comma (,)` found.", 0, 3, 0, 4)));
    EXPECT_TRUE(failsWith(L"[1", syntaxMessage(L"Expected value token but `eos` found.", 0, 2, 0, 2)));
    EXPECT_TRUE(
        failsWith(L"{a:1", syntaxMessage(L"Unexpectedly terminated while reading dictionary key.", 0, 4, 0, 4)));
    EXPECT_TRUE(failsWith(L"{a 1}", syntaxMessage(L"Expected `colon (:)` but `number` found.", 0, 3, 0, 4)));
    EXPECT_TRUE(failsWith(L"{a", syntaxMessage(L"Expected `colon (:)` but `eos` found.", 0, 2, 0, 2)));
    EXPECT_TRUE(
        failsWith(L"{true: 1}",
                  syntaxMessage(L"Expected `string`, `number` or a `symbol` but `boolean (true)` found.", 0, 1, 0, 5)));
    EXPECT_TRUE(failsWith(
        L"{,}", syntaxMessage(L"Expected `string`, `number` or a `symbol` but `comma (,)` found.", 0, 1, 0, 2)));
    EXPECT_TRUE(failsWith(L"{a:}", syntaxMessage(L"Expected value token but `}` found.", 0, 3, 0, 4)));
    EXPECT_TRUE(failsWith(L"[1e999]", syntaxMessage(L"Invalid token `number`.", 0, 1, 0, 6)));
    EXPECT_TRUE(failsWith(L"-1e400", syntaxMessage(L"Invalid token `number`.", 0, 0, 0, 6)));
    EXPECT_TRUE(failsWith(L"{a:\n  [1, \"x\\q\"]}",
                          syntaxMessage(L"Invalid escape sequence `\\q` in double-quoted string.", 1, 8, 1, 10)));
    // The lexer errors of the rest of the text count when the text is lexed whole first.
    std::wstring actual;
    try {
        JasmineTokenStore store;
        ValuePtr value(parseJasmineTokens(store, L"{} \"open"));
    } catch (const JasmineSyntaxException& e) {
        actual = e.message();
    }
    EXPECT_EQ(syntaxMessage(L"Unexpectedly terminated double-quoted string.", 0, 3, 0, 8), actual);
}

std::wstring locationOf(const Value* value) {
    const SourceLocation& l = value->location();
    return std::wstring(l.hasLocation ? L"" : L"none ") + std::to_wstring(l.beginToken) + L".." +
           std::to_wstring(l.endToken) + L" " + describe(l.begin) + L"-" + describe(l.end) + L" content " +
           describe(l.contentBegin) + L"-" + describe(l.contentEnd) + L" key " + describe(l.keyBegin) + L"-" +
           describe(l.keyEnd);
}

TEST(JasmineParserTest, SourceLocations) {
    std::wstring text = L"{\n\t\"k\": 'v',\r\n\tn: [1, -2],\n\ts: sym,\n\tr: /x/i,\n\tt: true\n}";
    JasmineTokenStore store;
    ValuePtr root(parseJasmineTokens(store, text));
    ASSERT_EQ(Value::KIND_DICTIONARY, root->kind());
    const DictionaryValue* dict = static_cast<const DictionaryValue*>(root.get());
    EXPECT_EQ(L"0..37 0:0:0-6:1:56 content 0:1:1-6:0:55 key 0:0:0-0:0:0", locationOf(root.get()));
    EXPECT_EQ(L"5..5 1:6:8-1:9:11 content 1:7:9-1:8:10 key 1:1:3-1:4:6", locationOf(dict->find(L"k")));
    EXPECT_EQ(L"11..16 2:4:18-2:11:25 content 2:5:19-2:10:24 key 2:1:15-2:2:16", locationOf(dict->find(L"n")));
    const ListValue* list = static_cast<const ListValue*>(dict->find(L"n"));
    EXPECT_EQ(L"15..15 2:8:22-2:10:24 content 2:8:22-2:10:24 key 0:0:0-0:0:0", locationOf(list->at(1)));
    EXPECT_EQ(L"22..22 3:4:31-3:7:34 content 0:0:0-0:0:0 key 3:1:28-3:2:29", locationOf(dict->find(L"s")));
    EXPECT_EQ(L"28..29 4:4:40-4:8:44 content 4:5:41-4:8:44 key 4:1:37-4:2:38", locationOf(dict->find(L"r")));
    EXPECT_EQ(L"35..35 5:4:50-5:8:54 content 5:4:50-5:8:54 key 5:1:47-5:2:48", locationOf(dict->find(L"t")));
    // Key tokens index the store too.
    for (const DictionaryEntry& entry : dict->inOrder()) {
        std::wstring keyText = store.getToken(entry.keyToken).text;
        EXPECT_TRUE(keyText == entry.key || keyText == L"\"" + entry.key + L"\"") << entry.key;
    }
}

// On demand the values carry the lexer's token numbers, the same as a store's indices.
TEST(JasmineParserTest, OnDemandParsingNumbersTokensLikeTheStore) {
    std::wstring text = L"[ /a/g , {k: 'v'} ]";
    ValuePtr direct(parseJasmine(text));
    JasmineTokenStore store;
    ValuePtr stored(parseJasmineTokens(store, text));
    const ListValue* a = static_cast<const ListValue*>(direct.get());
    const ListValue* b = static_cast<const ListValue*>(stored.get());
    ASSERT_EQ(2u, a->size());
    for (size_t i = 0; i < a->size(); ++i)
        EXPECT_EQ(locationOf(b->at(i)), locationOf(a->at(i)));
    EXPECT_EQ(locationOf(b), locationOf(a));
}

TEST(JasmineParserTest, ReadsThroughAStreamTextReader) {
    std::wstring text = L"{name: 'Caf\x00e9'}";
    std::string bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    std::istringstream stream(bytes);
    StreamTextReader reader(stream);
    ValuePtr value(parseJasmine(reader));
    EXPECT_EQ(L"{name:'Caf\x00e9'}", describe(value.get()));
}

std::wstring nested(const wchar_t* open, const wchar_t* close, int depth, const wchar_t* inner) {
    std::wstring text;
    for (int i = 0; i < depth; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

// Deep nesting is refused with a position instead of running the stack out.
TEST(JasmineParserTest, NestingLimit) {
    ValuePtr deepest(parseJasmine(nested(L"[", L"]", JASMINE_MAX_DEPTH, L"1")));
    ASSERT_TRUE(deepest);
    std::unique_ptr<Value> copy(deepest->clone());
    EXPECT_TRUE(copy->equals(deepest.get()));

    const std::wstring tooDeep =
        syntaxMessage(L"The structure is too deep.", 0, JASMINE_MAX_DEPTH, 0, JASMINE_MAX_DEPTH + 1);
    EXPECT_TRUE(failsWith(nested(L"[", L"]", JASMINE_MAX_DEPTH + 1, L"1"), tooDeep));
    EXPECT_TRUE(failsWith(
        nested(L"{a:", L"}", JASMINE_MAX_DEPTH + 1, L"1"),
        syntaxMessage(L"The structure is too deep.", 0, 3 * JASMINE_MAX_DEPTH, 0, 3 * JASMINE_MAX_DEPTH + 1)));
    EXPECT_TRUE(failsWith(std::wstring(100000, L'['), tooDeep));
    EXPECT_TRUE(
        failsWith(nested(L"[{k:", L"}]", 5000, L"1"), syntaxMessage(L"The structure is too deep.", 0, 1024, 0, 1025)));
}

// Random and mutated documents: each either parses or fails with a syntax exception whose
// positions lie inside the text; nothing else escapes, and the token store holds every
// character that was lexed.
class JasmineFuzzTest : public ::testing::Test {
protected:
    std::mt19937 m_random{20240611u};

    int pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    std::wstring randomValue(int depth) {
        static const wchar_t* const SCALARS[] = {
            L"null",     L"true", L"false", L"-12",      L"3.5e-3",    L"sym_b.c", L"\"d\\\"q\\u00e9\"", L"'s''q\\''",
            L"/r\\/e/i", L"042",  L"1e999", L"'\x00e9'", L"\"\\x7f\"", L"// c\n7", L"/* c */8"};
        int choice = pick(depth > 6 ? 10 : 14);
        if (choice < 10)
            return SCALARS[pick(sizeof(SCALARS) / sizeof(SCALARS[0]))];
        std::wstring out;
        int count = pick(5);
        if (choice < 12) {
            out = L"[";
            for (int i = 0; i < count; ++i)
                out += randomValue(depth + 1) + (pick(2) ? L", " : L" ");
            return out + L"]";
        }
        out = L"{\n";
        for (int i = 0; i < count; ++i)
            out += L"\tk" + std::to_wstring(pick(4)) + L": " + randomValue(depth + 1) + (pick(2) ? L",\n" : L"\n");
        return out + L"}";
    }

    std::wstring mutate(std::wstring text) {
        int edits = 1 + pick(4);
        for (int i = 0; i < edits && !text.empty(); ++i) {
            size_t at = static_cast<size_t>(pick(static_cast<int>(text.size())));
            switch (pick(4)) {
            case 0:
                text.erase(at, 1);
                break;
            case 1:
                text.insert(at, 1, L"{}[]:,'\"/\\*\r\n\x00e9\0"[pick(15)]);
                break;
            case 2:
                text[at] = static_cast<wchar_t>(m_random() & 0xFFFF);
                break;
            default:
                text.resize(at); // truncated
                break;
            }
        }
        return text;
    }

    std::wstring randomUnits(size_t length) {
        std::wstring text;
        for (size_t i = 0; i < length; ++i)
            text.push_back(static_cast<wchar_t>(pick(2) ? m_random() & 0x7F : m_random() & 0xFFFF));
        return text;
    }

    ::testing::AssertionResult survives(const std::wstring& text) {
        try {
            ValuePtr value(parseJasmine(text));
        } catch (const JasmineSyntaxException& e) {
            if (!insideText(e, text))
                return ::testing::AssertionFailure()
                       << "position outside the text: " << e.message() << " for \"" << visible(text) << "\"";
        }
        JasmineTokenStore store;
        try {
            ValuePtr value(parseJasmineTokens(store, text));
            const SourceLocation& l = value->location();
            if (l.end.offset > static_cast<int>(text.size()) || l.begin.offset > l.end.offset)
                return ::testing::AssertionFailure() << "value outside the text: \"" << visible(text) << "\"";
        } catch (const JasmineSyntaxException& e) {
            if (!insideText(e, text))
                return ::testing::AssertionFailure()
                       << "position outside the text: " << e.message() << " for \"" << visible(text) << "\"";
            return ::testing::AssertionSuccess();
        }
        std::wstring rebuilt;
        store.appendText(0, store.size() - 1, rebuilt);
        if (text.compare(0, rebuilt.size(), rebuilt) != 0)
            return ::testing::AssertionFailure() << "tokens do not rebuild the text: \"" << visible(text) << "\"";
        return ::testing::AssertionSuccess();
    }

    static bool insideText(const JasmineSyntaxException& e, const std::wstring& text) {
        int size = static_cast<int>(text.size());
        return e.begin().offset >= 0 && e.begin().offset <= e.end().offset && e.end().offset <= size;
    }
};

TEST_F(JasmineFuzzTest, RandomAndMutatedDocuments) {
    int parsed = 0;
    for (int i = 0; i < 150; ++i) {
        std::wstring document = randomValue(0);
        ASSERT_TRUE(survives(document));
        ASSERT_TRUE(survives(mutate(document)));
        ASSERT_TRUE(survives(randomUnits(static_cast<size_t>(pick(200)))));
        try {
            ValuePtr value(parseJasmine(document));
            ++parsed;
        } catch (const JasmineSyntaxException&) {
            // 1e999 makes a document invalid on purpose
        }
    }
    EXPECT_GT(parsed, 50); // the generator mostly writes valid text
}

} // namespace
