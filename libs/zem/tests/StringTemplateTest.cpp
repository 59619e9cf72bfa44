#include "zem/text/StringTemplate.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

using zem::StringTemplate;
typedef StringTemplate::Parameter Parameter;

::testing::AssertionResult expandsTo(const std::wstring& source, const std::map<unsigned, Parameter>& parameters,
                                     const std::wstring& expected) {
    StringTemplate t(source);
    for (const auto& p : parameters)
        t.setParameter(p.first, p.second);
    std::wstring actual = t.getText();
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "template \"" << source << "\"\n  expected \"" << expected
                                         << "\"\n  actual   \"" << actual << "\"";
}

TEST(StringTemplateTest, Placeholders) {
    const Parameter you = Parameter::text(L"you");
    EXPECT_TRUE(expandsTo(L"Hello {1}!", {{1, you}}, L"Hello you!"));
    EXPECT_TRUE(expandsTo(L"Hello {1}!", {}, L"Hello !"));
    EXPECT_TRUE(expandsTo(L"{0}{0}", {{0, Parameter(-5)}}, L"-5-5"));
    EXPECT_TRUE(expandsTo(L"{007}", {{7, Parameter(2147483647)}}, L"2147483647"));
    EXPECT_TRUE(expandsTo(L"{4294967295}", {{4294967295u, you}}, L"you"));
    EXPECT_TRUE(expandsTo(L"", {}, L""));
}

TEST(StringTemplateTest, MalformedPlaceholdersStayAsWritten) {
    const Parameter x = Parameter::text(L"X");
    std::map<unsigned, Parameter> all = {{1, x}, {2, x}, {12, x}};
    EXPECT_TRUE(expandsTo(L"{{1}", all, L"{{1}"));
    EXPECT_TRUE(expandsTo(L"{x}", all, L"{x}"));
    EXPECT_TRUE(expandsTo(L"{12", all, L"{12"));
    EXPECT_TRUE(expandsTo(L"{1{2}", all, L"{1{2}"));
    EXPECT_TRUE(expandsTo(L"{}", all, L"{}"));
    EXPECT_TRUE(expandsTo(L"a{", all, L"a{"));
    EXPECT_TRUE(expandsTo(L"{4294967296}", all, L"{4294967296}")); // does not fit
    EXPECT_TRUE(expandsTo(L"{\n\t\"name\": \"{1}\"\n}", all, L"{\n\t\"name\": \"X\"\n}"));
}

TEST(StringTemplateTest, ParameterTypes) {
    char narrow[] = "caf\xe9";
    wchar_t wide[] = L"abc";
    std::map<unsigned, Parameter> parameters = {{1, Parameter::ascii(narrow)},
                                                {2, Parameter::textCopy(wide)},
                                                {3, Parameter::asciiCopy(narrow)},
                                                {4, Parameter::text(nullptr)},
                                                {5, Parameter::text(wide)}};
    StringTemplate t(L"{1}|{2}|{3}|{4}|{5}");
    for (const auto& p : parameters)
        t.setParameter(p.first, p.second);
    parameters.clear(); // the template keeps its own copies
    EXPECT_EQ(L"caf\x00e9|abc|caf\x00e9||abc", t.getText());

    // Only the plain kinds follow the caller's text.
    narrow[0] = 'C';
    wide[0] = L'A';
    t.setParameter(6, Parameter(0));
    EXPECT_EQ(L"Caf\x00e9|abc|caf\x00e9||Abc", t.getText());
}

TEST(StringTemplateTest, SetParameterReplacesAndRebuilds) {
    StringTemplate t(L"<{1}>");
    t.setParameter(1, Parameter(1));
    EXPECT_EQ(L"<1>", t.getText());
    t.setParameter(1, Parameter::textCopy(L"two"));
    EXPECT_EQ(L"<two>", t.getText());
}

struct OddParameter : Parameter {
    OddParameter() : Parameter(3, 0) {}
};

TEST(StringTemplateTest, UnknownParameterTypeThrowsOnExpansion) {
    StringTemplate t(L"{1}");
    t.setParameter(1, OddParameter());
    try {
        t.getText();
        FAIL() << "no exception";
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Unexpected state", e.message());
    }
}

// caught: the scanner reads up to the first NUL, so text after it was lost.
TEST(StringTemplateTest, NulInsideTheTextIsKept) {
    std::wstring source(L"a\0{1}b", 6);
    StringTemplate t(source);
    t.setParameter(1, Parameter::text(L"X"));
    EXPECT_EQ(std::wstring(L"a\0Xb", 4), t.getText());
}

} // namespace
