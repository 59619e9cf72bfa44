#include "corvel/document/SelectionBehavior.h"

namespace corvel {

void SelectionBehavior::highlight(int32_t line, CellMarks& cells, uint8_t bit) {
    int32_t start = 0;
    int32_t end = 0;
    if (getLineRange(line, start, end))
        cells.mark(start, end, bit);
}

} // namespace corvel
