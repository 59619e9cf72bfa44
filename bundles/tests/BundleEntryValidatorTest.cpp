#include "corvel/bundles/BundleEntryValidator.h"

#include "corvel/bundles/BundleEntryChecks.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/text/RegEx.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

using corvel::BundleEntryError;
using corvel::ValidationErrorList;

namespace {

// Each error as "<severity>:<text>", joined with " | ".
std::wstring describe(const ValidationErrorList& errors) {
    std::wstring out;
    for (const corvel::ValidationError* error : errors)
        out += (out.empty() ? L"" : L" | ") + std::to_wstring(error->getSeverity()) + L":" + error->getMessage();
    return out;
}

::testing::AssertionResult validatesAs(corvel::BundleEntryValidator& validator, const wchar_t* text, bool ok,
                                       const std::wstring& expected) {
    ValidationErrorList errors;
    bool result = validator.validateSource(&errors, text, L"user:bundles/a.cvBundle/info.cvInfo");
    std::wstring actual = describe(errors);
    if (result == ok && actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(std::wstring(text)) << " gave " << result << " "
                                         << ::testing::PrintToString(actual) << "; expected " << ok << " "
                                         << ::testing::PrintToString(expected);
}

} // namespace

TEST(BundleEntryValidatorTest, TitleChecks) {
    corvel::BundleEntryValidator validator;
    EXPECT_TRUE(validatesAs(validator, L"{title: 'Web'}", true, L""));
    EXPECT_TRUE(validatesAs(validator, L"{}", false, L"2:Dictionary key `title` not found. (Line 1, Char 1)"));
    EXPECT_TRUE(
        validatesAs(validator, L"\n  {name: 'x'}", false, L"2:Dictionary key `title` not found. (Line 2, Char 3)"));
    EXPECT_TRUE(validatesAs(validator, L"{title: 5}", false,
                            L"2:Value must be `String`, but `Integer` found. (Line 1, Char 9)"));
    EXPECT_TRUE(validatesAs(validator, L"{title: ''}", false, L"2:Value is empty."));
    EXPECT_TRUE(validatesAs(validator, L"[1, 2]", false,
                            L"2:Root value must be `Dictionary`, but `List` found. (Line 1, Char 1)"));
    EXPECT_TRUE(validatesAs(validator, L"'text'", false,
                            L"2:Root value must be `Dictionary`, but `String` found. (Line 1, Char 1)"));
}

TEST(BundleEntryValidatorTest, SyntaxErrorsCarryTheFileAndPosition) {
    corvel::BundleEntryValidator validator;
    ValidationErrorList errors;
    EXPECT_FALSE(validator.validateSource(&errors, L"{title: 'a',\n  ]", L"root:bundles/a.cvBundle/info.cvInfo"));
    ASSERT_EQ(1u, errors.size());
    const BundleEntryError* error = dynamic_cast<const BundleEntryError*>(errors.at(0));
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(L"root:bundles/a.cvBundle/info.cvInfo", error->getLocation());
    EXPECT_TRUE(error->isPositioned());
    EXPECT_EQ(1, error->getStart().line);
    EXPECT_EQ(2, error->getStart().column);
    EXPECT_NE(std::wstring::npos, error->getMessage().find(L"root:bundles/a.cvBundle/info.cvInfo (Line 2, Char 3)"));
}

TEST(BundleEntryValidatorTest, ExecutableItemsCheckTheirScope) {
    corvel::ExecutableBundleItemValidator validator;
    EXPECT_TRUE(validatesAs(validator, L"{title: 'a', scope: 'source.c'}", true, L""));
    EXPECT_TRUE(validatesAs(validator, L"{title: 'a'}", true, L"1:Scope is not set. (Line 1, Char 1)"));
    EXPECT_TRUE(validatesAs(validator, L"{title: 'a', scope: 7}", true,
                            L"1:Value must be `String`, but `Integer` found. (Line 1, Char 21)"));
    EXPECT_TRUE(
        validatesAs(validator, L"{scope: 'source.c'}", false, L"2:Dictionary key `title` not found. (Line 1, Char 1)"));

    ValidationErrorList errors;
    EXPECT_FALSE(validator.validateSource(&errors, L"{title: 'a',\n scope: 'source.c (text'}", L""));
    ASSERT_EQ(1u, errors.size());
    const BundleEntryError* error = dynamic_cast<const BundleEntryError*>(errors.at(0));
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(2u, error->getSeverity());
    // Inside the string, past its opening quote on line 2.
    EXPECT_EQ(1, error->getStart().line);
    EXPECT_GE(error->getStart().column, 9);
}

TEST(BundleEntryValidatorTest, ErrorsCarryTheirTags) {
    corvel::BundleEntryValidator validator;
    struct Case {
        const wchar_t* text;
        int tag;
    } cases[] = {
        {L"{}", BundleEntryError::TAG_TITLE},          {L"{}", BundleEntryError::TAG_VALUE},
        {L"{title: 1}", BundleEntryError::TAG_VALUE},  {L"{title: 1}", BundleEntryError::TAG_TITLE},
        {L"{title: ''}", BundleEntryError::TAG_TITLE},
    };
    for (const Case& c : cases) {
        ValidationErrorList errors;
        validator.validateSource(&errors, c.text, L"");
        ASSERT_EQ(1u, errors.size()) << ::testing::PrintToString(std::wstring(c.text));
        EXPECT_TRUE(errors.at(0)->hasTag(c.tag)) << ::testing::PrintToString(std::wstring(c.text));
    }
}

TEST(BundleEntryValidatorTest, Checks) {
    std::unique_ptr<zem::Value> value(zem::parseJasmine(L"{name: 'abc', ignored: 1}"));
    const zem::AbstractDictionaryValue* dict = static_cast<const zem::AbstractDictionaryValue*>(value.get());
    ValidationErrorList errors;

    zem::RegExPtr digits = zem::RegEx::create(L"^[0-9]+$");
    EXPECT_FALSE(corvel::checkPattern(dict->find(L"name"), &errors, digits.get(), nullptr));
    EXPECT_TRUE(corvel::checkPattern(dict->find(L"name"), &errors, zem::RegEx::create(L"b").get(), nullptr));
    EXPECT_FALSE(corvel::warnIgnoredKey(dict, &errors, 0, L"ignored"));
    EXPECT_TRUE(corvel::warnIgnoredKey(dict, &errors, 0, L"absent"));
    EXPECT_FALSE(corvel::checkValueType(dict->find(L"name"), zem::Value::KIND_LIST, &errors, 0, 1));
    EXPECT_EQ(L"2:Value has invalid format. (Line 1, Char 8) | 1:The `ignored` will be ignored. (Line 1, Char 15) | "
              L"1:Value must be `List`, but `String` found. (Line 1, Char 8)",
              describe(errors));
    EXPECT_TRUE(errors.at(0)->hasTag(BundleEntryError::TAG_PATTERN));

    BundleEntryError located(2, L"Cannot open.", L"user:bundles/");
    EXPECT_EQ(L"Cannot open. user:bundles/", located.getMessage());
    EXPECT_STREQ(L"Null", corvel::valueTypeName(9));
    EXPECT_STREQ(L"RegExp", corvel::valueTypeName(5));

    EXPECT_THROW(corvel::checkNotEmpty(L"", nullptr), zem::NullPointerException);
    corvel::BundleEntryValidator validator;
    EXPECT_THROW(validator.validate(&errors, nullptr), zem::NullPointerException);
}
