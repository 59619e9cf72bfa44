// One node of a menu definition: a separator, a sub-menu with children, or an item that
// names what it runs (an action name, or an entry's UUID text in bundle menus). Menus are
// built from these trees each time they are shown.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

struct MenuDefNode;
typedef std::shared_ptr<MenuDefNode> MenuDefNodePtr;

struct MenuDefNode {
    uint8_t separator = 0;
    uint8_t menu = 0;
    uint8_t item = 0;
    std::wstring title;
    std::vector<MenuDefNodePtr> children; // never null, in display order
    std::wstring itemId;                  // item nodes only

    static MenuDefNodePtr makeSeparator();
    static MenuDefNodePtr makeMenu(const std::wstring& title);
    static MenuDefNodePtr makeItem(const std::wstring& itemId, const std::wstring& title = std::wstring());
};

} // namespace corvel
