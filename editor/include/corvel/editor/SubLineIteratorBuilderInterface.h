// What row iterators ask of the lines they walk.
#pragma once
#include "corvel/editor/SubLineIterator.h"

#include <cstdint>

namespace corvel {

class SubLineIteratorBuilderInterface {
public:
    virtual ~SubLineIteratorBuilderInterface() = default;

    virtual SubLineIterator makeIterator(int32_t line, int32_t subLine) = 0;
    virtual SubLineIterator begin() = 0;
    // One past the last row of the last line.
    virtual SubLineIterator end() = 0;
    virtual int32_t getLineCount() = 0;
    // A line outside the document has one row when fallback is set, else none.
    virtual int32_t getSubLineCount(int32_t line, bool fallback) = 0;
    virtual bool isOneSubLinePerLine() = 0;
    // Signed row steps from a to b.
    virtual int32_t distance(const SubLineIterator& a, const SubLineIterator& b) = 0;
};

} // namespace corvel
