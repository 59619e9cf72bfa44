#include "corvel/config/MenuDefNode.h"

namespace corvel {

MenuDefNodePtr MenuDefNode::makeSeparator() {
    MenuDefNodePtr node = std::make_shared<MenuDefNode>();
    node->separator = 1;
    return node;
}

MenuDefNodePtr MenuDefNode::makeMenu(const std::wstring& title) {
    MenuDefNodePtr node = std::make_shared<MenuDefNode>();
    node->menu = 1;
    node->title = title;
    return node;
}

MenuDefNodePtr MenuDefNode::makeItem(const std::wstring& itemId, const std::wstring& title) {
    MenuDefNodePtr node = std::make_shared<MenuDefNode>();
    node->item = 1;
    node->itemId = itemId;
    node->title = title;
    return node;
}

} // namespace corvel
