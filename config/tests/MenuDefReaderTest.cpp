#include "corvel/config/MenuDefReader.h"

#include "support/LogCapture.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

using corvel::MenuDefNode;
using corvel::MenuDefReader;

namespace {

// "-" separator, "T{...}" sub-menu, "#id" item (with "/title" when it has one).
std::wstring describe(const MenuDefNode& node) {
    std::wstring out;
    for (const auto& child : node.children) {
        if (!out.empty())
            out += L" ";
        if (child->separator)
            out += L"-";
        else if (child->menu)
            out += child->title + L"{" + describe(*child) + L"}";
        else if (child->item)
            out += L"#" + child->itemId + (child->title.empty() ? L"" : L"/" + child->title);
    }
    return out;
}

::testing::AssertionResult readsAs(const wchar_t* text, const wchar_t* expected, size_t expectedLogs) {
    std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
    MenuDefNode root;
    zemtest::LogCapture log(zem::LOG_UNKNOWN_SOURCE);
    if (!MenuDefReader::read(value.get(), root))
        return ::testing::AssertionFailure() << "read refused " << ::testing::PrintToString(std::wstring(text));
    size_t logged = 0;
    for (const auto& line : log.lines())
        logged += line.text == L"MenuDefReader::read(): Ignoring invalid menu entry";
    std::wstring actual = describe(root);
    if (actual != expected || logged != expectedLogs)
        return ::testing::AssertionFailure()
               << ::testing::PrintToString(std::wstring(text)) << " read as " << ::testing::PrintToString(actual)
               << " with " << logged << " logged; expected " << ::testing::PrintToString(std::wstring(expected))
               << " with " << expectedLogs;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(MenuDefReaderTest, ReadsEachShape) {
    EXPECT_TRUE(readsAs(L"[]", L"", 0));
    EXPECT_TRUE(readsAs(L"['---', '', '-', 'plain']", L"- - -", 0));
    EXPECT_TRUE(readsAs(L"[{item_id: 'a'}, {item_id: 'b', title: 'B'}]", L"#a #b/B", 0));
    EXPECT_TRUE(
        readsAs(L"[{title: 'Sub', menu: [{item_id: 'a'}, '---', {title: 'In', menu: []}]}]", L"Sub{#a - In{}}", 0));
    // A "menu" that is no list, with an item id beside it, is an item.
    EXPECT_TRUE(readsAs(L"[{title: 'X', menu: 5, item_id: 'x'}]", L"#x/X", 0));
}

TEST(MenuDefReaderTest, WrongElementsAreLoggedAndSkipped) {
    EXPECT_TRUE(readsAs(L"[5, {title: 'only'}, {item_id: 7}, [], {item_id: 'ok'}]", L"#ok", 4));
    EXPECT_TRUE(readsAs(L"[{title: 'Sub', menu: [null, {item_id: 'a'}]}]", L"Sub{#a}", 1));
}

TEST(MenuDefReaderTest, RefusesWhatIsNoList) {
    MenuDefNode root;
    std::unique_ptr<zem::Value> dict(zem::parseJasmine(L"{item_id: 'a'}"));
    EXPECT_FALSE(MenuDefReader::read(dict.get(), root));
    EXPECT_FALSE(MenuDefReader::read(nullptr, root));
    EXPECT_TRUE(root.children.empty());
}
