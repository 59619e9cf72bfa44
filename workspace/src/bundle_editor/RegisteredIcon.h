// The icon registered under a symbol id, or null when there is none (an id nobody
// registered shows no icon rather than failing).
#pragma once
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"

#include <cstdint>

namespace corvel {

inline const afIcon* registeredIcon(uint32_t id) {
    return afResources::exists() ? afResources::find(id) : nullptr;
}

} // namespace corvel
