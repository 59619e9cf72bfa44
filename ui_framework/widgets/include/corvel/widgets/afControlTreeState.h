// A tree's view state by item paths ("\folder\item"), so it survives a rebuild of the
// items: what was expanded, what was scrolled to the top and what was selected.
#pragma once
#include <string>
#include <vector>

namespace corvel {

struct afControlTreeState {
    std::wstring selected;              // empty: nothing was selected
    std::wstring firstVisible;          // empty: the tree was empty
    std::vector<std::wstring> expanded; // in pre-order
};

} // namespace corvel
