#include "corvel/bundles/BundleEntryError.h"
#include "corvel/bundles/LanguageValidator.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

using namespace corvel;

namespace {

// "E:" for an error, "W:" for a warning, each message, joined by " | ".
::testing::AssertionResult validatesAs(const std::wstring& text, bool passes, const std::wstring& expected) {
    std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
    ValidationErrorList errors;
    LanguageValidator validator;
    bool result = validator.validate(&errors, value.get());
    std::wstring got;
    for (size_t i = 0; i < errors.size(); ++i) {
        const BundleEntryError* error = dynamic_cast<const BundleEntryError*>(errors.at(i));
        got += (i ? L" | " : L"") +
               std::wstring(errors.at(i)->getSeverity() == ValidationError::ERROR_SEVERITY ? L"E:" : L"W:") +
               (error ? error->message() : L"?");
    }
    if (result == passes && got == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::string(text.begin(), text.end()) << "\n  result " << result << ", "
                                         << std::string(got.begin(), got.end());
}

} // namespace

TEST(LanguageValidatorTest, ReportsEachProblemWithItsSeverity) {
    const std::wstring head = L"{ title: 'T', name: 'source.a+b', ";
    EXPECT_TRUE(validatesAs(L"{ title: 'T', name: 'source.a' }", true, L"W:Dictionary key `patterns` not found."));
    EXPECT_TRUE(validatesAs(L"{ title: 'T', name: 'a b', patterns: [] }", false,
                            L"E:Name must not be empty and must only contain uppercase and lowercase characters, "
                            L"numbers, hash, dot and underscore."));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { begin: /(a)/, end: /b/, begin_captures: { 0: { name: 'x' }, 2: "
                                   L"{ name: 'y' } } } ] }",
                            true, L"W:Capture group index does not match the regular expression."));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { begin: /<(\\w+)>/, end: /<\\/\\1>/ } ] }", true, L""));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { match: /a/, patterns: [] } ] }", true,
                            L"W:The `patterns` will be ignored."));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { begin: /a/, end: /b/, captures: { x: { name: 'y' } } } ] }", false,
                            L"E:Capture group index must be a number."));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { match: /a(/ } ] }", false,
                            L"E:Syntax error: `end pattern with unmatched parenthesis`"));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { match: /\\x41/ } ] }", true, L""));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ null, 3 ] }", false,
                            L"E:Value must be `Dictionary`, but `Null` found. | E:Value must be `Dictionary`, but "
                            L"`Integer` found."));
}

// Found by fuzzing: a group's pattern list (in the repository too) and an injection's went
// unchecked, and the grammar reader threw on the element that was no pattern.
TEST(LanguageValidatorTest, ChecksEveryListTheReaderTakesPatternsFrom) {
    const std::wstring head = L"{ title: 'T', name: 'source.a', ";
    const std::wstring notADictionary = L"E:Value must be `Dictionary`, but `Integer` found.";
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { patterns: [ { match: /a/ } 1 ] } ] }", false, notADictionary));
    EXPECT_TRUE(validatesAs(head + L"patterns: [], repository: { n: { patterns: [ 1 ] } } }", false, notADictionary));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { begin: /a/, patterns: [ 1 ] } ] }", false,
                            L"W:Dictionary key `end` not found. | " + notADictionary));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { include: '#n', inject: [ { patterns: [ 1 ] }, 1 ] } ] }", false,
                            notADictionary + L" | " + notADictionary));
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { include: '#n', patterns: [ 1 ] } ] }", true, L""))
        << "an include reads no patterns of its own";
    // An end pattern that refers back to the begin's groups has no count of its own to
    // hold its captures against.
    EXPECT_TRUE(validatesAs(head + L"patterns: [ { patterns: [ { begin: /(a)(b)/, end: /\\2(c)/, "
                                   L"end_captures: { 1: { name: 'x' } } } ] } ] }",
                            true, L""));
}
