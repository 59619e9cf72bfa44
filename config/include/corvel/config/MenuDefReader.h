// Reads a menu definition from a value tree: a list whose elements are "---" separators,
// dictionaries with "title" and a nested "menu" list, and dictionaries with "item_id".
#pragma once
#include "corvel/config/MenuDefNode.h"

namespace zem {
class Value;
}

namespace corvel {

class MenuDefReader {
public:
    // Appends the list's elements to parent's children. A string that is empty or starts
    // with '-' is a separator, other strings are ignored; elements of any other shape are
    // logged and skipped. False when value is not a list (parent is left alone).
    static bool read(const zem::Value* value, MenuDefNode& parent);
};

} // namespace corvel
