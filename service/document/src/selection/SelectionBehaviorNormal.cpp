#include "corvel/document/SelectionBehaviorNormal.h"

#include "corvel/document/DocumentController.h"

#include <algorithm>

namespace corvel {

void SelectionBehaviorNormal::begin(const TextPosition& anchor, const TextPosition& caret, uint32_t& options) {
    (void)options;
    m_anchor = anchor;
    m_caret = caret;
}

bool SelectionBehaviorNormal::lineSpan(int32_t line, int32_t lineLength, const TextPosition& from,
                                       const TextPosition& to, int32_t& start, int32_t& end) {
    if (line < from.line || line > to.line)
        return false;
    start = line == from.line ? std::min(from.offset, lineLength) : 0;
    // Before the last line the line break is selected too.
    end = line == to.line ? std::min(to.offset, lineLength) : lineLength + 1;
    return true;
}

bool SelectionBehaviorNormal::getLineRange(int32_t line, int32_t& start, int32_t& end) {
    if (isEmptySelection())
        return false;
    const int32_t length = m_controller->getLineTextLength(line);
    return lineSpan(line, length, top(), bottom(), start, end);
}

int32_t SelectionBehaviorNormal::buildRanges(SelectionRangeMap& tree, int32_t index) {
    const int32_t anchor = m_controller->positionToOffset(m_anchor);
    const int32_t caret = m_controller->positionToOffset(m_caret);
    addSelectionRange(tree, true, anchor, caret, index);
    return index + 1;
}

bool SelectionBehaviorNormal::contains(const TextPosition& position, bool acceptEmpty) {
    if (isEmptySelection() && !acceptEmpty)
        return false;
    return !position.before(top()) && !bottom().before(position);
}

} // namespace corvel
