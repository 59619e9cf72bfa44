// Turns code-unit offsets of a text into line and column positions for error reports.
// The line starts are found lazily, only as far as the offsets asked for, so a parser
// that fails early never scans the whole text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zem {

struct LinePosition {
    uint32_t line = 0;   // 0-based
    uint32_t column = 0; // 0-based, in code units from the start of the line
    uint32_t offset = 0;
};

class LineMap {
public:
    // The text is not copied: it must outlive the map.
    LineMap(const wchar_t* text, size_t length);

    // CR LF, a lone CR and a lone LF each end a line; an offset between the CR and
    // the LF of a pair stays on the line the pair ends. offset <= length (assertion).
    LinePosition getPosition(uint32_t offset);

    size_t length() const { return m_length; }

private:
    // Records line starts until one lies beyond offset or the text is exhausted.
    void scanPast(uint32_t offset);

    const wchar_t* m_text;
    size_t m_length;
    // Offsets at which the lines after the first begin, ascending; all of them are
    // <= m_scanned <= m_length. The scan is complete when m_scanned == m_length.
    std::vector<uint32_t> m_lineStarts;
    size_t m_scanned = 0;
};

typedef std::shared_ptr<LineMap> LineMapPtr;

} // namespace zem
