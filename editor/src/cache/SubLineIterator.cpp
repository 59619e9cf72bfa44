#include "corvel/editor/SubLineIterator.h"

#include "corvel/editor/SubLineIteratorBuilderInterface.h"

namespace corvel {

int32_t SubLineIterator::clampedSubLine() const {
    int32_t last = builder->getSubLineCount(line, true) - 1;
    int32_t row = subLine < last ? subLine : last;
    return row < 0 ? 0 : row;
}

SubLineIterator::State SubLineIterator::state() const {
    if (line < 0)
        return BEFORE;
    return line < builder->getLineCount() ? VALID : AFTER;
}

SubLineIterator& SubLineIterator::advance(int32_t n) {
    if (n < 0)
        return retreat(-n);
    if (builder->isOneSubLinePerLine()) {
        line += n;
        subLine = 0;
        return *this;
    }
    subLine = clampedSubLine();
    for (;;) {
        int32_t rows = builder->getSubLineCount(line, true);
        if (subLine + n < rows)
            break;
        n -= rows - subLine;
        ++line;
        subLine = 0;
    }
    subLine += n;
    return *this;
}

SubLineIterator& SubLineIterator::retreat(int32_t n) {
    if (n < 0)
        return advance(-n);
    if (builder->isOneSubLinePerLine()) {
        line -= n;
        subLine = 0;
        return *this;
    }
    subLine = clampedSubLine();
    while (subLine - n < 0) {
        n -= subLine;
        --line;
        subLine = builder->getSubLineCount(line, true);
    }
    subLine -= n;
    return *this;
}

bool SubLineIterator::normalise() {
    if (line < 0) {
        line = 0;
        subLine = 0;
        return true;
    }
    int32_t count = builder->getLineCount();
    if (line >= count && count > 0) {
        line = count - 1;
        subLine = builder->getSubLineCount(line, true);
        return true;
    }
    return false;
}

bool SubLineIterator::operator==(const SubLineIterator& other) const {
    return line == other.line && clampedSubLine() == other.clampedSubLine();
}

bool SubLineIterator::operator<(const SubLineIterator& other) const {
    if (line != other.line)
        return line < other.line;
    return clampedSubLine() < other.clampedSubLine();
}

} // namespace corvel
