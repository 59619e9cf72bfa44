// The icons the shell registers at start: the named ones under the ids of their names and
// the ids their users look for, each from an icon the program carries, one per id.
#include "corvel/program/StandardIcons.h"

#include "../../ui_framework/core/tests/support/TestWidgets.h"
#include "corvel/app/TabManager.h"
#include "corvel/ui/afResources.h"
#include "corvel/workspace/BundleEditorAllItemsWindow.h"
#include "zem/base/Crc.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using corvel::STANDARD_ICONS;
using corvel::StandardIcon;

const StandardIcon* iconOf(uint32_t symbol) {
    for (const StandardIcon& icon : STANDARD_ICONS)
        if (icon.symbol == symbol)
            return &icon;
    return nullptr;
}

TEST(StandardIconsTest, NamedIconsAndTheIconsOthersLookForAreThereAtTheirSizes) {
    struct Case {
        std::string what;
        uint32_t symbol;
        int size;
        int resource;
    };
    const Case cases[] = {
        {"corvel", zem::symbolId(L"corvel"), 16, 101},
        {"corvel_32", zem::symbolId(L"corvel_32"), 32, 101},
        {"tab_trigger", zem::symbolId(L"tab_trigger"), 16, 106},
        {"add", zem::symbolId(L"add"), 16, 151},
        {"add_32", zem::symbolId(L"add_32"), 32, 151},
        {"close", zem::symbolId(L"close"), 16, 152},
        {"file", zem::symbolId(L"file"), 16, 107},
        {"folder", zem::symbolId(L"folder"), 16, 108},
        {"folder_virtual", zem::symbolId(L"folder_virtual"), 16, 169},
        {"empty document area", corvel::TabManager::EMPTY_PICTURE, 128, 126},
        {"bundle entry warning", corvel::BundleEditorAllItemsWindow::WARNING_ICON, 16, 168},
    };
    for (const Case& c : cases) {
        const StandardIcon* icon = iconOf(c.symbol);
        ASSERT_NE(nullptr, icon) << c.what;
        EXPECT_EQ(c.size, icon->size) << c.what;
        EXPECT_EQ(c.resource, icon->resource) << c.what;
    }
}

TEST(StandardIconsTest, EveryIconLoadsFromTheProgramOncePerId) {
    std::set<uint32_t> symbols;
    HMODULE module = GetModuleHandleW(nullptr);
    for (const StandardIcon& icon : STANDARD_ICONS) {
        EXPECT_TRUE(symbols.insert(icon.symbol).second) << std::hex << icon.symbol << " twice";
        // A missing one would stop the start with a panic box: fail here instead.
        ASSERT_NE(nullptr, FindResourceW(module, MAKEINTRESOURCEW(icon.resource), MAKEINTRESOURCEW(14) /* group icon */))
            << "no icon " << icon.resource;
    }

    uitest::WithResources resources;
    corvel::registerStandardIcons();
    for (const StandardIcon& icon : STANDARD_ICONS) {
        const corvel::afIcon* found = corvel::afResources::find(icon.symbol);
        ASSERT_NE(nullptr, found) << std::hex << icon.symbol;
        EXPECT_NE(nullptr, found->getHandle()) << std::hex << icon.symbol;
        EXPECT_EQ(icon.size, found->getSize()) << std::hex << icon.symbol;
    }
}

} // namespace
