#include "corvel/text/RegExComposite.h"
#include "corvel/text/RegExLiteral.h"
#include "corvel/text/StringScanner.h"
#include "corvel/config/Stream.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

using namespace corvel;

namespace {

::testing::AssertionResult optionsAre(const wchar_t* text, uint32_t bits, uint8_t global) {
    RegExOptions options = parseRegExOptions(text);
    if (options.bits == bits && options.globalFlag == global)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "options of " << ::testing::PrintToString(text ? text : L"(null)")
                                         << ": bits " << options.bits << " global " << int(options.globalFlag)
                                         << ", expected " << bits << " / " << int(global);
}

} // namespace

TEST(RegExOptionsTest, LettersGiveEngineBits) {
    EXPECT_TRUE(optionsAre(L"gix", 259, 1));
    EXPECT_TRUE(optionsAre(L"", 256, 0));
    EXPECT_TRUE(optionsAre(nullptr, 256, 0));
    EXPECT_TRUE(optionsAre(L"q", 256, 0));
    EXPECT_TRUE(optionsAre(L"m", 260, 0));
    EXPECT_TRUE(optionsAre(L"I", 256, 0));
}

TEST(RegExLiteralTest, CompilesWithItsOptionsAndComparesBothTexts) {
    RegExLiteral literal(L"ab+c", L"ig");
    RegExPtr regex = literal.compile();
    ASSERT_TRUE(regex->isCompiled());
    EXPECT_EQ(257u, regex->options());
    EXPECT_EQ(1, regex->globalFlag());
    const wchar_t text[] = L"xABBC";
    std::unique_ptr<MatchResultsRegEx> results(RegEx::search(nullptr, regex.get(), text, text + 5, text, text + 5));
    EXPECT_EQ(1, results->getBegin(0));

    EXPECT_EQ(literal, RegExLiteral(L"ab+c", L"ig"));
    EXPECT_NE(literal, RegExLiteral(L"ab+c", L"i"));
    EXPECT_NE(literal, RegExLiteral(L"ab+", L"ig"));
    EXPECT_FALSE(RegExLiteral(L"(", L"").compile()->isCompiled());
}

TEST(RegExCompositeTest, GroupNumbersAndBuiltText) {
    RegExComposite composite;
    int a = 0, b = 0;
    EXPECT_EQ(1, composite.push(0, L"a", &a));
    EXPECT_EQ(2, composite.push(0, L"(b)(d)", &b));
    EXPECT_EQ(5, composite.nextGroupNumber());
    std::wstring text;
    ASSERT_TRUE(composite.build(&text));
    EXPECT_EQ(L"(a)|((b)(d))", text);
    EXPECT_EQ(&a, composite.payloadForGroup(1));
    EXPECT_EQ(&b, composite.payloadForGroup(2));
    EXPECT_EQ(nullptr, composite.payloadForGroup(3));
}

TEST(RegExCompositeTest, BackReferencesAreRenumberedAsWholeNumbers) {
    RegExComposite composite;
    composite.push(0, L"a", nullptr);
    composite.push(0, L"(b)(d)", nullptr);
    EXPECT_EQ(5, composite.push(0, L"(x)\\1", nullptr));
    EXPECT_EQ(L"(x)\\6", composite.partials().back());
    // An escaped backslash before a digit is no back-reference.
    composite.push(0, L"(y)\\\\1", nullptr);
    EXPECT_EQ(L"(y)\\\\1", composite.partials().back());

    // Twelve groups: \12 is the partial's twelfth, not its first followed by '2'.
    RegExComposite wide;
    wide.push(0, L"a", nullptr);
    wide.push(0, L"(1)(2)(3)(4)(5)(6)(7)(8)(9)(10)(11)(12)\\12", nullptr);
    EXPECT_EQ(L"(1)(2)(3)(4)(5)(6)(7)(8)(9)(10)(11)(12)\\14", wide.partials().back());
    ASSERT_TRUE(wide.build());
    const wchar_t subject[] = L"12345678910111212";
    std::unique_ptr<MatchResultsRegEx> results(wide.match(nullptr, subject, 17, 0));
    EXPECT_EQ(17, results->getEnd(0));
    EXPECT_EQ(2, results->getFirstMatchedGroup());
}

TEST(RegExCompositeTest, OptionsWrapOnlyTheirPartial) {
    RegExComposite composite;
    composite.push(zem::REGEX_IGNORE_CASE, L"abc", nullptr);
    EXPECT_EQ(L"(?i)abc(?-i)", composite.partials().back());
    composite.push(zem::REGEX_IGNORE_CASE | zem::REGEX_MULTILINE | zem::REGEX_EXTENDED, L"d", nullptr);
    EXPECT_EQ(L"(?imx)d(?-imx)", composite.partials().back());
    composite.push(0, L"xyz", nullptr);
    ASSERT_TRUE(composite.build());
    const wchar_t upper[] = L"ABC";
    std::unique_ptr<MatchResultsRegEx> results(composite.match(nullptr, upper, 3, 0));
    EXPECT_EQ(1, results->getFirstMatchedGroup());
    const wchar_t xyz[] = L"XYZ";
    composite.match(results.get(), xyz, 3, 0);
    EXPECT_FALSE(results->isMatched());
}

TEST(RegExCompositeTest, FirstMatchedGroupNamesThePartial) {
    RegExComposite composite;
    int number = 0, word = 0;
    composite.push(0, L"\\d+", &number);
    composite.push(0, L"(\\w)\\w*", &word);
    ASSERT_TRUE(composite.build());
    const wchar_t text[] = L"ab 12";
    std::unique_ptr<MatchResultsRegEx> results(composite.match(nullptr, text, 5, 3));
    EXPECT_EQ(&number, composite.payloadForGroup(results->getFirstMatchedGroup()));
    composite.match(results.get(), text, 5, 0);
    EXPECT_EQ(&word, composite.payloadForGroup(results->getFirstMatchedGroup()));
}

TEST(RegExCompositeTest, BadPartialIsLoggedAndRefused) {
    zemtest::LogCapture log(zem::LOG_UNKNOWN_SOURCE);
    RegExComposite composite;
    composite.push(0, L"a", nullptr);
    EXPECT_EQ(0, composite.push(0, L"(", nullptr));
    EXPECT_EQ(2, composite.nextGroupNumber());
    std::wstring text;
    EXPECT_TRUE(composite.build(&text));
    EXPECT_EQ(L"(a)", text);
    auto lines = log.lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(zem::LOG_INFO, lines[0].level);
    EXPECT_EQ(0u, lines[0].text.find(L"RegExComposite::push: Error compiling partial RE: `"));
}

TEST(RegExCompositeTest, UnbuiltCompositeOnlyClearsResults) {
    RegExComposite composite;
    EXPECT_FALSE(composite.build());
    composite.push(0, L"a", nullptr); // pushed, not built
    const wchar_t text[] = L"a";
    std::unique_ptr<MatchResultsRegEx> results(composite.match(nullptr, text, 1, 0));
    EXPECT_FALSE(results->isMatched());
    EXPECT_EQ(0, results->getCount());
}

TEST(StringScannerTest, GetGroupReadsGroupOne) {
    const wchar_t text[] = L"Consolas, Courier New";
    StringScanner scanner(text);
    RegExPtr item = RegEx::create(L"[,\\s]*([^,^\\s]+)[,\\s]*");
    std::wstring group = L"stale";
    EXPECT_FALSE(scanner.getGroup(group)); // nothing scanned yet
    EXPECT_EQ(L"", group);
    ASSERT_TRUE(scanner.scan(item));
    EXPECT_TRUE(scanner.getGroup(group));
    EXPECT_EQ(L"Consolas", group);
    ASSERT_TRUE(scanner.scan(item));
    EXPECT_TRUE(scanner.getGroup(group));
    EXPECT_EQ(L"Courier", group);

    RegExPtr noGroup = RegEx::create(L"\\w+");
    ASSERT_TRUE(scanner.scan(noGroup));
    EXPECT_FALSE(scanner.getGroup(group));
    EXPECT_FALSE(scanner.scan(noGroup));
    EXPECT_FALSE(scanner.getGroup(group));
}

namespace {

// A stream over a byte string; `limit` caps what a write accepts in total.
class BytesStream : public corvel::Stream {
public:
    explicit BytesStream(std::string bytes = std::string(), size_t limit = SIZE_MAX) : m_bytes(bytes), m_limit(limit) {}
    uint32_t write(const void* buffer, uint32_t size) override {
        size_t n = std::min<size_t>(size, m_limit - std::min(m_limit, m_bytes.size()));
        m_bytes.append(static_cast<const char*>(buffer), n);
        return static_cast<uint32_t>(n);
    }
    uint32_t read(void* buffer, uint32_t size) override {
        size_t n = std::min<size_t>(size, m_bytes.size() - m_read);
        memcpy(buffer, m_bytes.data() + m_read, n);
        m_read += n;
        return static_cast<uint32_t>(n);
    }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    size_t m_limit;
    size_t m_read = 0;
};

} // namespace

TEST(RegExLiteralTest, SerialisedFormRoundTrips) {
    RegExLiteral literal(L"a\x00e9", L"i");
    BytesStream stream;
    ASSERT_TRUE(literal.write(stream));
    EXPECT_EQ(std::string("\x02\0\0\0a\0\xe9\0\x01\0\0\0i\0", 14), stream.bytes());
    RegExLiteral back;
    ASSERT_TRUE(back.read(stream));
    EXPECT_EQ(literal, back);

    BytesStream full(std::string(), 5);
    EXPECT_FALSE(literal.write(full));

    // Every cut of the bytes reads as short and leaves the literal alone; so does a
    // count far beyond what the stream holds.
    for (size_t cut = 0; cut < 14; ++cut) {
        BytesStream shortStream(stream.bytes().substr(0, cut));
        RegExLiteral kept(L"k", L"");
        EXPECT_FALSE(kept.read(shortStream)) << cut;
        EXPECT_EQ(RegExLiteral(L"k", L""), kept);
    }
    BytesStream huge(std::string("\xff\xff\xff\x7f" "ab", 6));
    EXPECT_FALSE(back.read(huge));
}
