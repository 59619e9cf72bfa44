#include "corvel/config/MenuDefReader.h"

#include "zem/log/LogManager.h"
#include "zem/value/Values.h"

namespace corvel {

namespace {

bool isSeparatorText(const std::wstring& text) {
    return text.empty() || text[0] == L'-';
}

// The node a dictionary element stands for, or null when it has neither shape.
MenuDefNodePtr readDictionary(const zem::AbstractDictionaryValue& dict) {
    std::wstring title;
    bool hasTitle = dict.getStringAt(L"title", &title);
    const zem::Value* menu = dict.findTyped(L"menu", zem::Value::KIND_LIST);
    if (hasTitle && menu) {
        MenuDefNodePtr node = MenuDefNode::makeMenu(title);
        MenuDefReader::read(menu, *node);
        return node;
    }
    std::wstring itemId;
    if (dict.getStringAt(L"item_id", &itemId))
        return MenuDefNode::makeItem(itemId, title);
    return nullptr;
}

} // namespace

bool MenuDefReader::read(const zem::Value* value, MenuDefNode& parent) {
    const zem::ListValue* list = dynamic_cast<const zem::ListValue*>(value);
    if (!list)
        return false;
    for (const zem::Value* element : *list) {
        std::wstring text;
        if (element->getString(&text)) {
            if (isSeparatorText(text))
                parent.children.push_back(MenuDefNode::makeSeparator());
            continue;
        }
        MenuDefNodePtr node;
        if (const zem::AbstractDictionaryValue* dict = dynamic_cast<const zem::AbstractDictionaryValue*>(element))
            node = readDictionary(*dict);
        if (!node) {
            zem::logMessage(zem::LOG_WARNING, zem::LOG_UNKNOWN_SOURCE,
                            L"MenuDefReader::read(): Ignoring invalid menu entry\n");
            continue;
        }
        parent.children.push_back(node);
    }
    return true;
}

} // namespace corvel
