// A command table: rows of name, title, context and keys that a manager or window
// registers in one go under its handler class, binding each key with the table's priority.
#pragma once
#include "corvel/widgets/afActionHandler.h"

#include <cstddef>
#include <vector>

namespace corvel {

class afAction;

struct afActionTableRow {
    const wchar_t* name;
    const wchar_t* title;
    const wchar_t* scope;
    const wchar_t* key;       // key text as afKey::parse reads it; null or empty binds nothing
    const wchar_t* secondKey; // bound to the same action; may be null
    afActionMethod method;
};

// Adds one afActionSystem per row, in order, to the handler's registry and binds the keys
// through the registry's key invoker (none bound when it has no key invoker). Returns
// the actions made, in row order; none without a registry.
std::vector<afAction*> registerActionTable(afActionHandler& handler, const afActionTableRow* rows, size_t count,
                                           bool priority = true);

template <size_t N>
std::vector<afAction*> registerActionTable(afActionHandler& handler, const afActionTableRow (&rows)[N],
                                           bool priority = true) {
    return registerActionTable(handler, rows, N, priority);
}

} // namespace corvel
