// Lists of pointers that hold each object once: the document's controllers, the
// manager's detectors.
#pragma once
#include <algorithm>
#include <vector>

namespace corvel {

// False when the item is already there.
template <typename T> bool addUnique(std::vector<T*>& list, T* item) {
    if (std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

// Keeps the order of the rest; false when the item is not there.
template <typename T> bool removeKeepingOrder(std::vector<T*>& list, T* item) {
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end())
        return false;
    list.erase(found);
    return true;
}

} // namespace corvel
