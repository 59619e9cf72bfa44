#include "support/JsonTestSupport.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/json/JsonReader.h"
#include "zem/value/Values.h"
#include "zem/writer/ValueWriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

namespace {

using zem::DictionaryValue;
using zem::ListValue;
using zem::ScalarValue;
using zem::StringValue;
using zem::Value;
typedef std::unique_ptr<Value> ValuePtr;

enum class Format { Json, Jasmine };

std::wstring shortened(const std::wstring& text) {
    return text.size() <= 600 ? text : text.substr(0, 600) + L"...";
}

// Writes value, reads the text back and compares the trees.
::testing::AssertionResult readsBackEqual(const Value* value, Format format) {
    std::wstring text;
    ValuePtr back;
    try {
        if (format == Format::Json) {
            zem::formatJson(value, text);
            back.reset(zem::parseJson(zemtest::jsonSettings(true), text));
        } else {
            zem::formatJasmine(value, text);
            back.reset(zem::parseJasmine(text));
        }
    } catch (zem::Exception& e) {
        return ::testing::AssertionFailure() << "text: " << ::testing::PrintToString(shortened(text))
                                             << "\n threw: " << ::testing::PrintToString(e.message());
    }
    if (value->equals(back.get()))
        return ::testing::AssertionSuccess();
    std::wstring again;
    zem::formatJson(back.get(), again);
    return ::testing::AssertionFailure() << "text: " << ::testing::PrintToString(shortened(text))
                                         << "\n read back as: " << ::testing::PrintToString(shortened(again));
}

// Texts that each once failed to survive a write and a read somewhere.
const wchar_t* const AWKWARD[] = {
    L"true",   L"false",   L"null",   L"nullable", L"true1",  L"123",        L"-1",       L"042",
    L"1.5e3",  L"-3.5E-2", L"1e",     L"12abc",    L"-",      L".",          L"-abc",     L".5",
    L"0x10",   L"a b",     L"it's",   L"''",       L"a\\'b",  L"ends\\",     L"\\",       L"\\\\'",
    L"\"",     L"/",       L"//",     L"/*",       L"*/",     L"<>",         L"\x01\x1f", L"\t\n\r\v\f\b",
    L"\u00e9", L"\u2028",  L"\xd800", L"\xdc00x",  L"\xffff", L"key: value", L"{",        L"[",
    L",",      L"a,b",     L"#",      L"Infinity", L"NaN",
};

class TreeGenerator {
public:
    TreeGenerator(uint32_t seed, Format format) : m_random(seed), m_format(format) {}

    ValuePtr tree() {
        ValuePtr root(container(below(4) == 0 ? maxChain() : 0));
        return root;
    }

    // Jasmine also takes a scalar alone.
    ValuePtr scalarRoot() { return ValuePtr(scalar()); }

private:
    uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_random); }

    // Wrappers around a flat container that reach the deepest level each reader takes:
    // JSON counts every value up to 100 levels (98 wrappers, the container, a scalar),
    // Jasmine counts containers up to 512.
    int maxChain() { return m_format == Format::Json ? 98 : 500; }

    std::wstring text(bool allowEmpty) {
        std::wstring out;
        if (below(3) == 0) {
            out = AWKWARD[below(sizeof(AWKWARD) / sizeof(AWKWARD[0]))];
        } else {
            static const wchar_t POOL[] = L"abcXYZ019-._ '\"\\/:,{}[]<>#*\t\n\r\x01\x7f\u00e9\u4e2d\xd83d\xde00";
            const size_t poolSize = sizeof(POOL) / sizeof(POOL[0]) - 1;
            size_t length = below(12);
            for (size_t i = 0; i < length; ++i)
                out += POOL[below(poolSize)];
            if (below(20) == 0)
                out += L'\0';
        }
        if (out.empty() && !allowEmpty)
            out = L"k";
        return out;
    }

    // Patterns as a literal can carry them: every slash escaped and no lone backslash at
    // the end (the reader keeps escapes as written).
    std::wstring pattern() {
        static const wchar_t* const PIECES[] = {L"a",  L"[^x]", L"\\/", L"\\\\", L"\\d+", L"(?:b|c)", L".*",
                                                L"x?", L"\\'",  L"'",   L"\"",   L"\\n",  L"\u00e9",  L" "};
        std::wstring out;
        size_t count = 1 + below(5);
        for (size_t i = 0; i < count; ++i)
            out += PIECES[below(sizeof(PIECES) / sizeof(PIECES[0]))];
        return out;
    }

    double real() {
        static const double SPECIAL[] = {0.0,
                                         -0.0,
                                         0.1,
                                         -0.25,
                                         1e21,
                                         1e-7,
                                         123456789012.0,
                                         2147483648.0,
                                         5e-324,
                                         2.2250738585072014e-308,
                                         1.7976931348623157e308,
                                         3.0};
        if (below(2) == 0)
            return SPECIAL[below(sizeof(SPECIAL) / sizeof(SPECIAL[0]))];
        for (;;) {
            uint64_t bits = (static_cast<uint64_t>(m_random()) << 32) | m_random();
            double d;
            std::memcpy(&d, &bits, sizeof(d));
            if (std::isfinite(d))
                return d;
        }
    }

    Value* scalar() {
        switch (below(8)) {
        case 0:
            return zem::createNullValue();
        case 1:
            return zem::createBoolValue(below(2) == 1);
        case 2: {
            static const int SPECIAL[] = {0, -1, INT_MIN, INT_MAX, 42};
            return new ScalarValue(below(2) ? SPECIAL[below(5)] : static_cast<int>(m_random()));
        }
        case 3:
            return new ScalarValue(real());
        case 4:
            return zem::createRegExpValue(pattern(), below(2) ? L"" : (below(2) ? L"i" : L"mx"));
        default:
            return new StringValue(text(true), static_cast<int32_t>(below(3)));
        }
    }

    Value* container(int wrappers) {
        if (wrappers == 0)
            return shallowContainer(3);
        Value* inner = shallowContainer(0);
        for (int i = 0; i < wrappers; ++i)
            inner = wrap(inner);
        return inner;
    }

    Value* wrap(Value* inner) {
        if (below(2)) {
            ListValue* list = new ListValue();
            list->append(inner);
            return list;
        }
        DictionaryValue* dict = new DictionaryValue();
        dict->set(text(m_format == Format::Jasmine), inner);
        return dict;
    }

    Value* shallowContainer(int levels) {
        size_t count = below(6);
        auto child = [&]() -> Value* {
            if (levels > 0 && below(3) == 0)
                return shallowContainer(levels - 1);
            return scalar();
        };
        if (below(2)) {
            ListValue* list = new ListValue();
            for (size_t i = 0; i < count; ++i)
                list->append(child());
            return list;
        }
        DictionaryValue* dict = new DictionaryValue();
        for (size_t i = 0; i < count; ++i)
            dict->set(text(m_format == Format::Jasmine), child());
        return dict;
    }

    std::mt19937 m_random;
    Format m_format;
};

TEST(WriterRoundTripTest, AwkwardTextsAsKeysAndValuesInEveryStyle) {
    for (Format format : {Format::Json, Format::Jasmine}) {
        for (const wchar_t* text : AWKWARD) {
            for (int32_t style = 0; style < 3; ++style) {
                DictionaryValue dict;
                dict.set(text, new StringValue(text, style));
                ListValue* list = new ListValue();
                list->append(new StringValue(text, style));
                dict.set(L"in list", list);
                EXPECT_TRUE(readsBackEqual(&dict, format)) << "style " << style;
            }
        }
        DictionaryValue empty;
        empty.set(L"s", new StringValue(L"", StringValue::STYLE_SYMBOL));
        empty.set(L"q", new StringValue(L"", StringValue::STYLE_SINGLE_QUOTED));
        if (format == Format::Jasmine)
            empty.set(L"", new ScalarValue(1)); // the JSON reader refuses an empty key
        EXPECT_TRUE(readsBackEqual(&empty, format));
    }
}

TEST(WriterRoundTripTest, RegExpsAndRealsReadBackUnchanged) {
    ListValue list;
    for (const wchar_t* pattern : {L"a\\/b", L"\\\\", L"a\\\\\\/b", L"[^\\/]+\\/", L"it's", L"\\d+\\.\\d*"})
        list.append(zem::createRegExpValue(pattern, L"i"));
    for (double d : {0.0, -0.0, 3.0, 0.5, -0.5, 1e6, 1e-7, 1e21, 2147483648.0, 5e-324, 1.7976931348623157e308})
        list.append(new ScalarValue(d));
    list.append(new ScalarValue(INT_MIN));
    EXPECT_TRUE(readsBackEqual(&list, Format::Json));
    EXPECT_TRUE(readsBackEqual(&list, Format::Jasmine));
}

TEST(WriterRoundTripTest, GeneratedTreesReadBackEqual) {
    for (Format format : {Format::Json, Format::Jasmine}) {
        TreeGenerator generator(format == Format::Json ? 20240611u : 777u, format);
        for (int i = 0; i < 300; ++i) {
            ValuePtr tree = generator.tree();
            EXPECT_TRUE(readsBackEqual(tree.get(), format)) << "tree " << i;
        }
        if (format == Format::Jasmine) {
            for (int i = 0; i < 50; ++i) {
                ValuePtr scalar = generator.scalarRoot();
                EXPECT_TRUE(readsBackEqual(scalar.get(), format)) << "scalar " << i;
            }
        }
    }
}

} // namespace
