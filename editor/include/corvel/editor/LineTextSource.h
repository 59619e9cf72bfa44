// Where a line cache reads its lines: the text, styles and background of one line of
// the document a view shows. The source opens its own read bracket.
#pragma once
#include <cstdint>

namespace corvel {

class afUnicode;

class LineTextSource {
public:
    virtual ~LineTextSource() = default;

    virtual int32_t getLineCount() = 0;
    virtual int32_t getTabWidth() = 0;
    // Gives the record the line's text (without its break), its length, one style cell
    // per character and the line background; the cache lays it out.
    virtual void readLine(int32_t line, afUnicode& record) = 0;
};

} // namespace corvel
