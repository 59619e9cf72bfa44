#include "support/JsonTestSupport.h"
#include "zem/base/Exception.h"
#include "zem/json/JsonReader.h"
#include "zem/value/Values.h"
#include "zem/writer/ValueWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

typedef std::unique_ptr<zem::Value> ValuePtr;
using zemtest::jsonSettings;

bool positionInText(const zem::SourcePosition& pos, size_t length) {
    return pos.offset >= 0 && static_cast<size_t>(pos.offset) <= length && pos.line >= 0 && pos.column >= 0;
}

// Whatever the input, the reader returns a list or dictionary, or throws one of its own
// exceptions positioned inside the text. A parsed tree is also written and read again.
::testing::AssertionResult readsSafely(const std::wstring& text, bool relaxed) {
    const zem::JsonReaderSettings settings = jsonSettings(relaxed);
    auto failure = [&]() {
        return ::testing::AssertionFailure() << "input (" << (relaxed ? "relaxed" : "strict")
                                             << "): " << ::testing::PrintToString(text.substr(0, 300)) << "\n";
    };
    try {
        ValuePtr value(zem::parseJson(settings, text));
        if (!value || !value->isContainer())
            return failure() << "root is not a container";
        std::wstring written;
        zem::formatJson(value.get(), written);
        ValuePtr again(zem::parseJson(jsonSettings(true), written));
        if (!value->equals(again.get()))
            return failure() << "does not read back from " << ::testing::PrintToString(written);
        return ::testing::AssertionSuccess();
    } catch (zem::ParserException& e) {
        if (!positionInText(e.begin(), text.size()) || !positionInText(e.end(), text.size()) ||
            e.begin().offset > e.end().offset)
            return failure() << "bad positions in " << ::testing::PrintToString(e.message());
        return ::testing::AssertionSuccess();
    } catch (zem::JsonUnexpectedStateException& e) {
        if (!positionInText(e.begin(), text.size()) || !positionInText(e.end(), text.size()))
            return failure() << "bad positions for Unexpected state";
        return ::testing::AssertionSuccess();
    } catch (zem::Exception& e) {
        return failure() << "threw " << typeid(e).name() << ": " << ::testing::PrintToString(e.message());
    } catch (std::exception& e) {
        return failure() << "threw " << e.what();
    }
}

class DocumentMaker {
public:
    explicit DocumentMaker(uint32_t seed) : m_random(seed) {}

    uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_random); }

    std::wstring document() {
        std::wstring out;
        value(out, 0, true);
        return out;
    }

    std::wstring mutated(std::wstring text) {
        static const wchar_t UNITS[] = L"{}[],:\"'/\\*-+.0123456789eEtrufalsnxu \n\r\t#\x01\xd800\xdfff\xfffe";
        const size_t unitCount = sizeof(UNITS) / sizeof(UNITS[0]); // includes the NUL
        size_t edits = 1 + below(4);
        for (size_t i = 0; i < edits; ++i) {
            size_t at = text.empty() ? 0 : below(static_cast<uint32_t>(text.size()));
            switch (below(5)) {
            case 0:
                if (!text.empty())
                    text.erase(at, 1);
                break;
            case 1:
                text.insert(at, 1, UNITS[below(unitCount)]);
                break;
            case 2:
                if (!text.empty())
                    text[at] = UNITS[below(unitCount)];
                break;
            case 3:
                text.resize(at); // truncated
                break;
            default:
                text.insert(at, text.substr(at, below(20)));
                break;
            }
        }
        return text;
    }

    std::wstring binary() {
        std::wstring text(below(200), L'\0');
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(below(0x10000));
        return text;
    }

private:
    void value(std::wstring& out, int depth, bool root) {
        uint32_t pick = root ? below(2) : below(depth > 6 ? 6 : 9);
        switch (pick) {
        case 0:
        case 1: {
            bool dict = pick == 0;
            out += dict ? L'{' : L'[';
            size_t count = below(5);
            for (size_t i = 0; i < count; ++i) {
                if (i)
                    out += L", ";
                if (dict)
                    out += L"\"k" + std::to_wstring(below(4)) + L"\": ";
                value(out, depth + 1, false);
            }
            out += dict ? L'}' : L']';
            return;
        }
        case 2:
            out += L"\"s\\n\\u00e9\\x41 /*x*/\"";
            return;
        case 3:
            out += std::to_wstring(static_cast<int>(m_random())) + (below(2) ? L".5e-3" : L"");
            return;
        case 4:
            out += below(2) ? L"true" : L"null";
            return;
        case 5:
            out += below(3) == 0 ? L"'it''s'" : (below(2) ? L"/re\\/x/i" : L"sym-bol // comment\n");
            return;
        default:
            out += L"[1, 2.5, \"x\"]";
            return;
        }
    }

    std::mt19937 m_random;
};

std::wstring repeated(const std::wstring& piece, int count) {
    std::wstring out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(JsonReaderFuzzTest, MutatedDocuments) {
    DocumentMaker maker(4242u);
    int parsedIntact = 0;
    size_t totalLength = 0;
    for (int i = 0; i < 300; ++i) {
        std::wstring text = maker.document();
        if (i % 4 == 0) { // the intact documents use relaxed features
            ValuePtr value(zem::parseJson(jsonSettings(true), text));
            parsedIntact += value != nullptr;
        } else {
            text = maker.mutated(text);
        }
        totalLength += text.size();
        EXPECT_TRUE(readsSafely(text, false));
        EXPECT_TRUE(readsSafely(text, true));
    }
    EXPECT_EQ(75, parsedIntact);
    EXPECT_LT(300u * 20, totalLength); // the documents are not trivially short
}

TEST(JsonReaderFuzzTest, RandomBinaryText) {
    DocumentMaker maker(99u);
    for (int i = 0; i < 200; ++i) {
        std::wstring text = maker.binary();
        if (i % 2)
            text.insert(0, 1, L'[');
        EXPECT_TRUE(readsSafely(text, i % 3 == 0));
    }
}

TEST(JsonReaderFuzzTest, DeepHugeAndTruncatedInputs) {
    const std::vector<std::wstring> inputs = {
        repeated(L"[", 5000),
        repeated(L"{\"a\":", 5000),
        repeated(L"[{\"k\":", 3000) + L"1",
        repeated(L"[", 100) + repeated(L"]", 100),
        repeated(L"[", 100) + repeated(L"]", 99),
        L"[" + repeated(L"9", 400) + L"]",
        L"[-" + repeated(L"9", 400) + L".5]",
        L"[0." + repeated(L"0", 400) + L"1e-99999999999999999999]",
        L"[1e99999999999999999999]",
        L"[1e-99999999999999999999]",
        L"{\"a\":[1,{\"b\":\"c",
        L"{\"a\":[1,{\"b\":\"c\\",
        L"[/* never closed",
        L"[// to the end",
        std::wstring(L"[\0\0\0]", 5),
        L"[\xd800\xdc00]",
    };
    for (const std::wstring& text : inputs) {
        EXPECT_TRUE(readsSafely(text, false));
        EXPECT_TRUE(readsSafely(text, true));
    }
}

} // namespace
