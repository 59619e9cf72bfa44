#include "corvel/document/SelectionRange.h"

#include <iterator>

namespace corvel {

void addSelectionRange(SelectionRangeMap& map, bool merge, int32_t anchor, int32_t caret, int32_t sequence) {
    int32_t start = std::min(anchor, caret);
    int32_t end = std::max(anchor, caret);
    if (!merge) {
        map.emplace(start, SelectionRange(anchor, caret, sequence));
        return;
    }
    const bool forward = anchor <= caret;
    // Ranges in the map never overlap, so their ends rise with their starts: the first
    // candidate is the last range starting before ours, when it reaches our start.
    auto it = map.lower_bound(start);
    if (it != map.begin() && std::prev(it)->second.end() >= start)
        --it;
    while (it != map.end() && it->second.start() <= end && it->second.end() >= start) {
        start = std::min(start, it->second.start());
        end = std::max(end, it->second.end());
        it = map.erase(it);
    }
    map[start] = forward ? SelectionRange(start, end, sequence) : SelectionRange(end, start, sequence);
}

} // namespace corvel
