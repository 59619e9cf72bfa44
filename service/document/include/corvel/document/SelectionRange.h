// One selected range in document offsets, possibly running backwards (caret before
// anchor), with the sequence number that tells in which order ranges were made.
#pragma once
#include "corvel/document/TextPosition.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace corvel {

class SelectionRange {
public:
    SelectionRange() = default;
    SelectionRange(int32_t anchorOffset, int32_t caretOffset, int32_t sequenceNumber)
        : anchor(anchorOffset), caret(caretOffset), sequence(sequenceNumber) {}
    virtual ~SelectionRange() = default;

    virtual void reset() { anchor = caret = -1; }
    int32_t start() const { return std::min(anchor, caret); }
    int32_t end() const { return std::max(anchor, caret); }
    bool isEmpty() const { return anchor == caret; }
    bool isForward() const { return anchor <= caret; }
    bool operator==(const SelectionRange& other) const {
        return anchor == other.anchor && caret == other.caret && sequence == other.sequence;
    }

    int32_t anchor = -1;
    int32_t caret = -1;
    int32_t sequence = 0;
};

// The anchor and caret of the active selection behaviour, as selection listeners get them.
struct SelectionBehaviorRange {
    TextPosition anchor;
    TextPosition caret;
};

// Ranges by start offset; entered through addSelectionRange they never overlap or touch.
typedef std::map<int32_t, SelectionRange> SelectionRangeMap;

// Enters (anchor, caret) under its start. With merge, every range that overlaps or
// touches it is taken into it (the union keeps the new range's direction) and removed;
// without merge a range already under the same start wins and the new one is dropped.
void addSelectionRange(SelectionRangeMap& map, bool merge, int32_t anchor, int32_t caret, int32_t sequence);

} // namespace corvel
