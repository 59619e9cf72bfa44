// One visual row of a document: a line and a row (sub-line) of it when lines wrap.
// A plain value; its builder answers how many rows each line has.
#pragma once
#include <cstdint>

namespace corvel {

class SubLineIteratorBuilderInterface;

class SubLineIterator {
public:
    enum State { BEFORE, VALID, AFTER };

    SubLineIterator() = default;
    SubLineIterator(SubLineIteratorBuilderInterface* builder, int32_t line, int32_t subLine)
        : builder(builder), line(line), subLine(subLine) {}

    // The sub-line within the line's rows (lines outside the document have one).
    int32_t clampedSubLine() const;
    State state() const;
    bool isValid() const { return state() == VALID; }

    // Negative counts go the other way.
    SubLineIterator& advance(int32_t n);
    SubLineIterator& retreat(int32_t n);
    SubLineIterator advanced(int32_t n) const { return SubLineIterator(*this).advance(n); }
    SubLineIterator retreated(int32_t n) const { return SubLineIterator(*this).retreat(n); }
    // Pulls a row outside the document onto its first or last row; true when it moved.
    bool normalise();

    bool operator==(const SubLineIterator& other) const;
    bool operator!=(const SubLineIterator& other) const { return !(*this == other); }
    bool operator<(const SubLineIterator& other) const;
    bool operator>(const SubLineIterator& other) const { return other < *this; }
    bool operator<=(const SubLineIterator& other) const { return !(other < *this); }
    bool operator>=(const SubLineIterator& other) const { return !(*this < other); }

    SubLineIteratorBuilderInterface* builder = nullptr;
    int32_t line = 0;
    int32_t subLine = 0;
};

} // namespace corvel
