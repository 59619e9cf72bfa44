// The icons of projects, registered by the program under these ids: the open and the
// closed project, the project list, and the star in its four looks.
#pragma once
#include "corvel/ui/afResources.h"

#include <cstdint>

namespace corvel {
namespace projecticons {

constexpr uint32_t OPEN_PROJECT = 0x5cba1748u;
constexpr uint32_t CLOSED_PROJECT = 0xe0f1f1aau;
constexpr uint32_t PROJECT_LIST = 0x6c3a29dcu;

// The star's look: starred or not, under the pointer or not.
inline uint32_t star(bool starred, bool hot) {
    if (starred)
        return hot ? 0xfdebd5f7u : 0x9ab43e4fu;
    return hot ? 0x9d2e2d82u : 0x58f349d7u;
}

// The icon, or null where none is registered (a program part running without them).
inline const afIcon* find(uint32_t id) {
    return afResources::exists() ? afResources::find(id) : nullptr;
}

} // namespace projecticons
} // namespace corvel
