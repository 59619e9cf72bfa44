#include "zem/base/Exception.h"
#include "zem/value/Values.h"
#include "zem/writer/JasmineFormatter2.h"
#include "zem/writer/Quoting.h"
#include "zem/writer/ValueWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <memory>

namespace {

using zem::DictionaryValue;
using zem::ListValue;
using zem::ScalarValue;
using zem::StringValue;
typedef std::unique_ptr<zem::Value> ValuePtr;

typedef bool (*Appender)(const std::wstring&, std::wstring&);

::testing::AssertionResult writes(Appender append, const std::wstring& text, const std::wstring& expected,
                                  bool expectedBare) {
    std::wstring out = L"<";
    bool bare = append(text, out);
    if (out == L"<" + expected && bare == expectedBare)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "input: " << ::testing::PrintToString(text)
                                         << "\n expected: " << ::testing::PrintToString(expected) << " bare "
                                         << expectedBare << "\n actual:   " << ::testing::PrintToString(out) << " bare "
                                         << bare;
}

bool appendQuotedAsBool(const std::wstring& text, std::wstring& out) {
    zem::appendJsonQuoted(text, out);
    return false;
}

TEST(WriterTest, DoubleQuotedEscapes) {
    struct Row {
        std::wstring text;
        std::wstring written;
    } rows[] = {
        {L"", L"\"\""},
        {L"a\nb<", L"\"a\\nb\\u003C\""},
        {L"\x01", L"\"\\u0001\""},
        {std::wstring(1, L'\0'), L"\"\\u0000\""},
        {L"\b\t\n\f\r\"\\", L"\"\\b\\t\\n\\f\\r\\\"\\\\\""},
        {L"\v\x1f>", L"\"\\u000B\\u001F\\u003E\""},
        {L"/ \u00e9 \x7f", L"\"/ \u00e9 \x7f\""},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(writes(appendQuotedAsBool, row.text, row.written, false));
}

TEST(WriterTest, EscapeOfTheSevenCharactersOnly) {
    const wchar_t escaped[] = {L'\b', L'\t', L'\n', L'\f', L'\r', L'"', L'\\'};
    const wchar_t* letters = L"btnfr\"\\";
    for (int i = 0; i < 7; ++i) {
        std::wstring out;
        EXPECT_TRUE(zem::appendEscape(out, escaped[i]));
        EXPECT_EQ(std::wstring(L"\\") + letters[i], out);
    }
    std::wstring out;
    EXPECT_FALSE(zem::appendEscape(out, L'a'));
    EXPECT_FALSE(zem::appendEscape(out, L'\v'));
    EXPECT_EQ(L"", out);
}

TEST(WriterTest, BareWordsOnlyWhereTheyReadBack) {
    struct Row {
        Appender append;
        std::wstring text;
        std::wstring written;
        bool bare;
    } rows[] = {
        {zem::appendSymbol, L"my-key.name_2", L"my-key.name_2", true},
        {zem::appendSymbol, L"a b", L"\"a b\"", false},
        {zem::appendSymbol, L"\u00e9t\u00e9", L"\"\u00e9t\u00e9\"", false},
        {zem::appendSymbol, L"", L"\"\"", false},
        {zem::appendSymbol, L"true", L"\"true\"", false},
        {zem::appendSymbol, L"null", L"\"null\"", false},
        {zem::appendSymbol, L"nullable", L"nullable", true},
        {zem::appendSymbol, L"123", L"\"123\"", false},
        {zem::appendSymbol, L"-3.5e2", L"\"-3.5e2\"", false},
        {zem::appendSymbol, L"042", L"\"042\"", false},
        {zem::appendSymbol, L"12abc", L"12abc", true},
        {zem::appendSymbol, L"1e", L"1e", true},
        {zem::appendSymbol, L"1.2.3", L"1.2.3", true},
        {zem::appendSymbol, L"-", L"-", true},
        {zem::appendSymbolKey, L"123", L"123", true},
        {zem::appendSymbolKey, L"-1.5", L"-1.5", true},
        {zem::appendSymbolKey, L"true", L"\"true\"", false},
        {zem::appendSymbolKey, L"false", L"\"false\"", false},
        {zem::appendSymbolKey, L"", L"\"\"", false},
        {zem::appendSymbolKey, L"a:b", L"\"a:b\"", false},
        {zem::appendJsonSymbol, L"x", L"x", true},
        {zem::appendJsonSymbol, L".5x", L".5x", true},
        {zem::appendJsonSymbol, L"_1", L"_1", true},
        {zem::appendJsonSymbol, L"nullable", L"\"nullable\"", false},
        {zem::appendJsonSymbol, L"falsey", L"\"falsey\"", false},
        {zem::appendJsonSymbol, L"12abc", L"\"12abc\"", false},
        {zem::appendJsonSymbol, L"-abc", L"\"-abc\"", false},
        {zem::appendJsonSymbol, L"", L"\"\"", false},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(writes(row.append, row.text, row.written, row.bare));
}

TEST(WriterTest, SingleQuotedDoublesApostrophes) {
    std::wstring out;
    zem::appendSingleQuoted(L"it's", out);
    EXPECT_EQ(L"'it''s'", out);
    EXPECT_TRUE(zem::canWriteSingleQuoted(L"it's \\n"));
    EXPECT_FALSE(zem::canWriteSingleQuoted(L"a\\'b"));
    EXPECT_FALSE(zem::canWriteSingleQuoted(L"ends\\"));
    EXPECT_FALSE(zem::canWriteSingleQuoted(std::wstring(1, L'\0')));
}

TEST(WriterTest, RegExpLiterals) {
    struct Row {
        std::wstring pattern;
        std::wstring options;
        std::wstring written;
    } rows[] = {
        {L"a/b", L"i", L"/a\\/b/i"},
        // Already escaped: kept, not escaped twice.
        {L"a\\/b", L"", L"/a\\/b/"},
        // An escaped backslash, then a slash to escape.
        {L"a\\\\/b", L"", L"/a\\\\\\/b/"},
        {L"ends\\", L"", L"/ends\\\\/"},
        {L"", L"", L"/(?:)/"},
        {L"*a", L"x", L"/\\*a/x"},
        {L"[^/]+", L"", L"/[^\\/]+/"},
    };
    for (const Row& row : rows) {
        std::wstring out;
        zem::appendRegExp(row.pattern, row.options, out);
        EXPECT_EQ(row.written, out) << ::testing::PrintToString(row.pattern);
    }
}

TEST(WriterTest, RealLiterals) {
    struct Row {
        double value;
        const wchar_t* written;
    } rows[] = {
        {3, L"3.0"},
        {100, L"100.0"},
        {0.5, L"0.5"},
        {-0.25, L"-0.25"},
        {-0.5, L"-0.5"},
        {1e6, L"1e+06"},
        {1e-7, L"1e-07"},
        {1e21, L"1e+21"},
        {123456789012.0, L"123456789012.0"},
        {-0.0, L"-0.0"},
        {0.0, L"0.0"},
        {std::numeric_limits<double>::infinity(), L"Infinity"},
        {-std::numeric_limits<double>::infinity(), L"-Infinity"},
        {std::numeric_limits<double>::quiet_NaN(), L"NaN"},
    };
    for (const Row& row : rows) {
        std::wstring out;
        zem::appendRealLiteral(row.value, out);
        EXPECT_EQ(row.written, out) << row.value;
    }
}

DictionaryValue* sampleDictionary() {
    DictionaryValue* dict = new DictionaryValue();
    dict->set(L"a", new ScalarValue(1));
    ListValue* list = new ListValue();
    list->append(new ScalarValue(1));
    list->append(new ScalarValue(2));
    dict->set(L"b", list);
    return dict;
}

TEST(WriterTest, JasmineLayout) {
    std::wstring out = L"old text";
    ValuePtr dict(sampleDictionary());
    zem::formatJasmine(dict.get(), out);
    EXPECT_EQ(L"{\n\ta: 1\n\tb:\n\t[\n\t\t1\n\t\t2\n\t]\n}", out);

    DictionaryValue outer;
    outer.set(L"empty", new DictionaryValue());
    outer.set(L"s", new StringValue(L"it's", StringValue::STYLE_SINGLE_QUOTED));
    outer.set(L"true", new StringValue(L"word", StringValue::STYLE_SYMBOL));
    outer.set(L"r", zem::createRegExpValue(L"a/b", L"i"));
    outer.set(L"n", zem::createNullValue());
    zem::formatJasmine(&outer, out);
    EXPECT_EQ(L"{\n\tempty:\n\t{\n\t}\n\ts: 'it''s'\n\t\"true\": word\n\tr: /a\\/b/i\n\tn: null\n}", out);

    ListValue emptyList;
    zem::formatJasmine(&emptyList, out);
    EXPECT_EQ(L"[\n]", out);
    ScalarValue scalar(INT_MIN);
    zem::formatJasmine(&scalar, out);
    EXPECT_EQ(L"-2147483648", out);
}

TEST(WriterTest, JasmineFormatterCountsLines) {
    auto formatter = std::make_shared<zem::JasmineFormatter2>();
    ValuePtr dict(sampleDictionary());
    std::wstring out;
    zem::ValueWriter(formatter).write(dict.get(), out);
    EXPECT_EQ(7, formatter->lineCount());
    EXPECT_EQ(0, formatter->depth());
    formatter->reset();
    EXPECT_EQ(0, formatter->lineCount());
}

TEST(WriterTest, JsonIsCompactAndKeepsInsertionOrder) {
    DictionaryValue dict;
    dict.set(L"b", new StringValue(L"x", StringValue::STYLE_SYMBOL));
    dict.set(L"a", new ListValue());
    dict.set(L"c", new StringValue(L"1", StringValue::STYLE_SYMBOL));
    dict.set(L"d", new ScalarValue(3.0));
    dict.set(L"e", zem::createBoolValue(false));
    std::wstring out;
    zem::formatJson(&dict, out);
    EXPECT_EQ(L"{\"b\":x,\"a\":[],\"c\":\"1\",\"d\":3.0,\"e\":false}", out);

    ValuePtr copy(dict.clone()); // the clone is in key order
    zem::formatJson(copy.get(), out);
    EXPECT_EQ(L"{\"a\":[],\"b\":\"x\",\"c\":\"1\",\"d\":3.0,\"e\":false}", out);
}

// Single-quoted strings that Jasmine cannot read back were once written single-quoted.
TEST(WriterTest, UnreadableSingleQuotedStringsAreDoubleQuoted) {
    ListValue list;
    list.append(new StringValue(L"a\\'b", StringValue::STYLE_SINGLE_QUOTED));
    list.append(new StringValue(L"ends\\", StringValue::STYLE_SINGLE_QUOTED));
    list.append(new StringValue(L"a\\b", StringValue::STYLE_SINGLE_QUOTED));
    std::wstring out;
    zem::formatJson(&list, out);
    EXPECT_EQ(L"[\"a\\\\'b\",\"ends\\\\\",'a\\b']", out);
}

TEST(WriterTest, UnknownStringStyleThrowsAndKeepsOutput) {
    ListValue list;
    list.append(new ScalarValue(1));
    list.append(new StringValue(L"x", 3));
    std::wstring out;
    try {
        zem::formatJson(&list, out);
        FAIL() << "written";
    } catch (zem::IllegalStateException& e) {
        EXPECT_EQ(L"Unexpected state", e.message());
    }
    EXPECT_EQ(L"[1,", out);
}

// The walk once recursed per level; a deep tree exhausted the stack.
TEST(WriterTest, DeepTreesAreWrittenWithoutRecursion) {
    auto nestedLists = [](int depth) {
        ListValue* root = new ListValue();
        ListValue* inner = root;
        for (int i = 0; i < depth; ++i) {
            ListValue* next = new ListValue();
            inner->append(next);
            inner = next;
        }
        return ValuePtr(root);
    };
    std::wstring out;
    ValuePtr deep(nestedLists(200000));
    zem::formatJson(deep.get(), out);
    EXPECT_EQ(2u * 200001, out.size());
    // The indented layout grows with the square of the depth, so less deep here.
    ValuePtr lessDeep(nestedLists(3000));
    zem::formatJasmine(lessDeep.get(), out);
    EXPECT_EQ(L"[\n\t[\n\t\t[", out.substr(0, 8));
    EXPECT_EQ(3001, std::count(out.begin(), out.end(), L']'));
}

} // namespace
