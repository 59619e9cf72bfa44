// Case and word-form commands: each transform on its own, and on a real controller all
// selected ranges in one undo step.
#include "corvel/editor/InflectionCommands.h"
#include "support/ControllerFixture.h"

namespace {

using corvel::InflectionCommands;

::testing::AssertionResult transformsTo(InflectionCommands::Kind kind, const std::wstring& text,
                                        const std::wstring& expected) {
    std::wstring out;
    if (!InflectionCommands::transform(kind, text, out))
        return ::testing::AssertionFailure() << "kind " << kind << " refused " << testing::PrintToString(text);
    if (out != expected)
        return ::testing::AssertionFailure() << "kind " << kind << " on " << testing::PrintToString(text) << " gave "
                                             << testing::PrintToString(out) << ", expected "
                                             << testing::PrintToString(expected);
    return ::testing::AssertionSuccess();
}

TEST(InflectionTransformTest, EveryKind) {
    struct Case {
        InflectionCommands::Kind kind;
        const wchar_t* text;
        const wchar_t* expected;
    } const cases[] = {
        {InflectionCommands::UPPERCASE, L"foo Bar", L"FOO BAR"},
        {InflectionCommands::LOWERCASE, L"FOO Bar", L"foo bar"},
        {InflectionCommands::CAPITALIZE, L"foo", L"Foo"},
        {InflectionCommands::HYPHENIZE, L"foo bar", L"foo-bar"},
        {InflectionCommands::UNDERSCORE, L"foo bar", L"foo_bar"},
        {InflectionCommands::CAMELCASE_UPPER, L"foo bar", L"FooBar"},
        {InflectionCommands::CAMELCASE_LOWER, L"Foo_bar", L"fooBar"},
        {InflectionCommands::SPLIT, L"fooBar", L"foo Bar"},
        {InflectionCommands::SYSTEMIZE, L"caf\x00e9", L"cafe"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(transformsTo(c.kind, c.text, c.expected));
}

class InflectionCommandsTest : public documenttest::ControllerFixture {};

TEST_F(InflectionCommandsTest, TwoRangesChangeInOneUndoStep) {
    setText(L"ab\ncd\nef");
    controller->beginEdit(corvel::DocumentController::EDIT_READ);
    selection()->selectRanges({corvel::SelectionRange(0, 2, 1), corvel::SelectionRange(6, 8, 2)});
    controller->endEdit();
    EXPECT_TRUE(InflectionCommands::apply(*controller, InflectionCommands::UPPERCASE));
    EXPECT_EQ(L"AB\ncd\nEF", text());
    ASSERT_TRUE(controller->undo());
    EXPECT_EQ(L"ab\ncd\nef", text());
}

TEST_F(InflectionCommandsTest, NothingSelectedChangesNothing) {
    setText(L"ab");
    EXPECT_FALSE(InflectionCommands::apply(*controller, InflectionCommands::UPPERCASE));
    EXPECT_EQ(L"ab", text());
}

} // namespace
