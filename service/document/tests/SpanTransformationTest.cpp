#include "corvel/document/SpanTransformation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

// expected null: nothing matched (out stays as given).
::testing::AssertionResult transformsAs(const wchar_t* pattern, const wchar_t* format, const wchar_t* options,
                                        const std::wstring& text, const wchar_t* expected) {
    corvel::SpanTransformation transformation(format, pattern, options);
    std::wstring out = L"untouched";
    bool matched = transformation.transform(text, out);
    if ((expected == nullptr) == !matched && out == (expected ? expected : L"untouched"))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << narrow(pattern) << "/" << narrow(format) << "/" << narrow(options)
                                         << " over \"" << narrow(text) << "\" gave " << matched << " \"" << narrow(out)
                                         << "\"";
}

TEST(SpanTransformationTest, SubstitutesFirstOrEveryMatch) {
    EXPECT_TRUE(transformsAs(L"a", L"b", L"g", L"banana", L"bbnbnb"));
    EXPECT_TRUE(transformsAs(L"a", L"b", L"", L"banana", L"bbnana"));
    EXPECT_TRUE(transformsAs(L"x*", L"-", L"g", L"ab", L"-a-b"));
    EXPECT_TRUE(transformsAs(L"(\\w+) (\\w+)", L"$2 $1", L"", L"hello world", L"world hello"));
    EXPECT_TRUE(transformsAs(L"^(.)", L"\\u$1", L"", L"word", L"Word"));
    EXPECT_TRUE(transformsAs(L"A", L"b", L"i", L"aA", L"bA"));
    EXPECT_TRUE(transformsAs(L"z", L"b", L"g", L"banana", nullptr));
    EXPECT_TRUE(transformsAs(L"a", L"b", L"g", L"", nullptr));
    EXPECT_TRUE(transformsAs(L"(", L"b", L"g", L"a(b", nullptr));
}

TEST(SpanTransformationTest, APatternThatDoesNotCompileLeavesNoRegEx) {
    corvel::SpanTransformation transformation(L"b", L"(", L"");
    EXPECT_FALSE(transformation.transformElement());
}

TEST(SpanTransformationTest, TheJournalCanMakeOneByItsTag) {
    corvel::SpanTransformation first(L"b", L"a", L"");
    std::unique_ptr<corvel::Span> span(corvel::Span::create(corvel::SpanTransformation::CLASS_TAG));
    ASSERT_NE(nullptr, span);
    EXPECT_STREQ(L"SpanTransformation", span->getClassName());
}

} // namespace
