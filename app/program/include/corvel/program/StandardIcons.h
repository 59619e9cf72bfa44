// The icons every part of the shell finds in the resource registry under a symbol id:
// the program's own, the tab-trigger mark, the add and close buttons, files and folders,
// and the rest by the ids their users look for.
#pragma once
#include <cstddef>
#include <cstdint>

namespace corvel {

struct StandardIcon {
    int size; // pixels; square
    int resource;
    uint32_t symbol;
};

constexpr size_t STANDARD_ICON_COUNT = 22;
// In the order they are registered.
extern const StandardIcon STANDARD_ICONS[STANDARD_ICON_COUNT];

// Loads every standard icon and registers it under its symbol; a symbol registered
// already keeps its icon.
void registerStandardIcons();

} // namespace corvel
