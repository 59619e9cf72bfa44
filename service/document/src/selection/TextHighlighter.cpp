#include "corvel/document/TextHighlighter.h"

#include <algorithm>

namespace corvel {

bool TextHighlighter::markRangeOnLine(int32_t start, int32_t end, int32_t lineStart, int32_t lineEnd, uint8_t bit,
                                      CellMarks& cells) {
    const bool overlaps = (start >= lineStart && start <= lineEnd) || (end >= lineStart && end <= lineEnd) ||
                          (start < lineStart && end > lineEnd);
    if (!overlaps)
        return false;
    const int32_t from = std::max(std::min(start, lineEnd) - lineStart, 0);
    // The line break counts as selected when the range runs past the line.
    const int32_t to = end > lineEnd ? lineEnd - lineStart + 1 : end - lineStart;
    if (from <= to)
        cells.mark(from, to, bit);
    return true;
}

} // namespace corvel
