// Moves a value to a new index within a vector of pointers: the child order of layouts,
// docks and tab strips.
#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

namespace corvel {

// False when value is not in items; otherwise it ends up at index (appended when index
// is at or past the end, counted after its own removal when it stood before index).
template <class T> bool moveToIndex(std::vector<T*>& items, T* value, size_t index) {
    auto found = std::find(items.begin(), items.end(), value);
    if (found == items.end())
        return false;
    size_t from = static_cast<size_t>(found - items.begin());
    if (from == index)
        return true;
    items.erase(found);
    if (from < index)
        --index;
    if (index >= items.size())
        items.push_back(value);
    else
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(index), value);
    return true;
}

} // namespace corvel
