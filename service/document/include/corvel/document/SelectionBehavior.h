// How a Selection turns its anchor and caret into ranges: the normal behaviour selects
// the text between them, the rectangular one the same columns on every line between.
// One object per kind, bound to a DocumentController.
#pragma once
#include "corvel/document/CellMarks.h"
#include "corvel/document/SelectionRange.h"
#include "corvel/document/TextPosition.h"

#include <cstdint>
#include <utility>

namespace corvel {

class DocumentController;

class SelectionBehavior {
public:
    virtual ~SelectionBehavior() = default;

    // Takes the two ends; a behaviour may add its own bits to the caret options.
    virtual void begin(const TextPosition& anchor, const TextPosition& caret, uint32_t& options) = 0;
    // Told when it becomes, or stops being, the selection's active behaviour.
    virtual void attach() {}
    virtual void detach() {}
    // Greater than 0 when it has something to paint.
    virtual int32_t getRangeCount() = 0;
    virtual void collapse() = 0;
    virtual std::pair<TextPosition, TextPosition> getPositions() const = 0;
    // The selected columns [start, end] of the line (end may be the line-break column),
    // false when the line has none.
    virtual bool getLineRange(int32_t line, int32_t& start, int32_t& end) = 0;
    // Enters its ranges into tree (merging), numbered from index; returns the next index.
    virtual int32_t buildRanges(SelectionRangeMap& tree, int32_t index) = 0;
    virtual bool contains(const TextPosition& position, bool acceptEmpty) = 0;

    // Marks getLineRange(line) in the cells like any other range.
    void highlight(int32_t line, CellMarks& cells, uint8_t bit);
};

} // namespace corvel
