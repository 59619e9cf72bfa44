#include "corvel/projects/ProjectItemNames.h"

#include <gtest/gtest.h>

#include <string>

using corvel::ProjectItemNames;

namespace {

::testing::AssertionResult safeAs(const std::wstring& name, bool expected) {
    bool actual = ProjectItemNames::isSafe(name);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(name) << (actual ? " accepted" : " refused");
}

} // namespace

TEST(ProjectItemNamesTest, RefusesNamesThatLeaveTheFolderOrNameADevice) {
    const struct {
        const wchar_t* name;
        bool safe;
    } rows[] = {
        {L"new.txt", true},     {L"dir", true},         {L".gitignore", true},  {L"a b", true},
        {L"console.txt", true}, {L"COM0", true},        {L"LPT10", true},       {L"\u00e9t\u00e9", true},
        {L"", false},           {L".", false},          {L"..", false},         {L"..\\x.txt", false},
        {L"a/b", false},        {L"c:x", false},        {L"a*", false},         {L"what?", false},
        {L"<a>", false},        {L"a|b", false},        {L"say \"hi\"", false}, {L"tab\there", false},
        {L"trail.", false},     {L"trail ", false},     {L"CON", false},        {L"con.txt", false},
        {L"Nul", false},        {L"aux.tar.gz", false}, {L"COM1", false},       {L"lpt9.log", false},
        {L"PRN ", false},       {L"com1 .txt", false},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(safeAs(row.name, row.safe));
    EXPECT_TRUE(safeAs(std::wstring(L"a\0b", 3), false)) << "an embedded NUL would cut the path";
}
