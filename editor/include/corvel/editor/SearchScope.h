// A place a search can run in ("Current document", "Current selection") and the
// subscriber that serves it now.
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class SearchSubscriber;

struct SearchScope {
    uint32_t id = 0;
    std::wstring title;
    SearchSubscriber* subscriber = nullptr; // not owned; null when none serves the scope
};

} // namespace corvel
