#include "zem/text/Indentation.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/text/LineBreak.h"

#include <algorithm>

namespace zem {

namespace {

// Turns columns into whole levels and extra spaces.
typedef void (*Policy)(int columns, int width, int* levels, int* spaces);

void exactPolicy(int columns, int width, int* levels, int* spaces) {
    *levels = columns / width;
    *spaces = columns % width;
}

void roundUpPolicy(int columns, int width, int* levels, int* spaces) {
    *levels = (columns + width - 1) / width;
    *spaces = 0;
}

void roundDownPolicy(int columns, int width, int* levels, int* spaces) {
    *levels = columns / width;
    *spaces = 0;
}

Policy policyFor(int roundingMode) {
    switch (roundingMode) {
    case Indentation::ROUND_EXACT:
        return exactPolicy;
    case Indentation::ROUND_UP:
        return roundUpPolicy;
    case Indentation::ROUND_DOWN:
        return roundDownPolicy;
    default:
        throw IllegalStateException(L"Unexpected state");
    }
}

bool isLineBreak(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

} // namespace

Indentation::Indentation() : m_width(4), m_softTabs(false), m_roundingMode(ROUND_EXACT) {}

Indentation::Indentation(bool softTabs, int width, int roundingMode)
    : m_width(std::min(std::max(width, MIN_WIDTH), MAX_WIDTH)), m_softTabs(softTabs), m_roundingMode(roundingMode) {
    policyFor(roundingMode); // refuses a mode outside the three
}

int Indentation::measure(const wchar_t* text, size_t length, size_t* consumed) const {
    int columns = 0;
    size_t i = 0;
    for (; text && i < length; ++i) {
        if (text[i] == L' ')
            columns += 1;
        else if (text[i] == L'\t')
            columns += m_width - columns % m_width;
        else
            break;
    }
    if (consumed)
        *consumed = i;
    return columns;
}

size_t Indentation::appendIndent(std::wstring* out, int width) const {
    ZEM_ASSERT_MSG(out != nullptr, L"o_string != NULL");
    if (width <= 0)
        return 0;
    int levels = 0;
    int spaces = 0;
    policyFor(m_roundingMode)(width, m_width, &levels, &spaces);
    const size_t indentChars = static_cast<size_t>(levels) * static_cast<size_t>(m_softTabs ? m_width : 1);
    out->append(indentChars, getIndentChar());
    out->append(static_cast<size_t>(spaces), L' ');
    return indentChars + static_cast<size_t>(spaces);
}

size_t Indentation::reindentLine(const wchar_t* text, size_t length, std::wstring* out) const {
    if (!out)
        throw NullPointerException(L"Null reference.");
    if (!text)
        return 0;
    size_t consumed = 0;
    const int columns = measure(text, length, &consumed);
    if (columns > 0)
        appendIndent(out, columns);
    size_t end = consumed;
    while (end < length && !isLineBreak(text[end]))
        ++end;
    out->append(text + consumed, end - consumed);
    return end;
}

void Indentation::reindentText(const wchar_t* text, size_t length, std::wstring* out) const {
    if (!out)
        throw NullPointerException(L"Null reference.");
    if (!text)
        return;
    out->reserve(out->size() + length);
    size_t position = 0;
    while (position < length) {
        position += reindentLine(text + position, length - position, out);
        position += appendLineBreaks(text + position, length - position, *out);
    }
}

} // namespace zem
