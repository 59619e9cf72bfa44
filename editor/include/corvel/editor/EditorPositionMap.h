// Between document positions, visual rows and x offsets in the text of an editor's
// lines, and the caret movements built on them. The editor adds its padding, gutter and
// scroll offsets. x here is relative to the start of the text. Main thread only;
// callers hold a read bracket of the controller.
#pragma once
#include "corvel/document/TextPosition.h"
#include "corvel/editor/SubLineIterator.h"

#include <cstdint>

namespace corvel {

class LineCache;
class afUnicode;

class EditorPositionMap {
public:
    // Movement codes of moveCaret and the caret actions.
    enum Code {
        CHAR_RIGHT = 1,
        CHAR_LEFT = 2,
        CHAR_LEFT_IN_LINE = 3,
        WORD_RIGHT = 4,
        WORD_LEFT = 5,
        WORD_LEFT_IN_LINE = 6,
        ROW_UP = 7,
        ROW_DOWN = 8,
        PAGE_UP = 9,
        PAGE_DOWN = 10,
        SMART_END = 11,
        SMART_HOME = 12,
        DOCUMENT_START = 17,
        DOCUMENT_END = 18,
    };
    struct Move {
        TextPosition target;
        bool resetsDesiredX;
    };

    explicit EditorPositionMap(LineCache& cache);

    // Row mode (wholeLine false) writes the position's row to outRow when given.
    int32_t getXAtPosition(const TextPosition& position, bool wholeLine, int32_t* outRow);
    void getPositionAtX(int32_t x, int32_t line, int32_t row, TextPosition& out, bool allowVirtual, bool wholeLine);
    // False when the position's line gives no valid row.
    bool getSubLineIterator(const TextPosition& position, SubLineIterator& out);
    TextPosition getEndPosition();

    // pageRows: the rows a page move covers.
    Move computeMove(const TextPosition& from, int code, bool allowVirtual, int32_t desiredX, int32_t pageRows);

    TextPosition moveCharRight(const TextPosition& p, bool allowVirtual);
    TextPosition moveCharLeft(const TextPosition& p, bool allowVirtual, bool mayLeaveLine);
    TextPosition moveWordRight(const TextPosition& p);
    TextPosition moveWordLeft(const TextPosition& p, bool mayLeaveLine);
    TextPosition moveRowsUp(const TextPosition& p, int32_t rows, int32_t desiredX, bool allowVirtual);
    TextPosition moveRowsDown(const TextPosition& p, int32_t rows, int32_t desiredX, bool allowVirtual);
    TextPosition moveSmartEnd(const TextPosition& p);
    TextPosition moveSmartHome(const TextPosition& p);
    TextPosition wordEnd(const TextPosition& p);
    // As wordEnd, but white space at the position ends the word there: a caret just
    // before a blank stands at the end of the word before it.
    TextPosition wordEndBeforeBlank(const TextPosition& p);
    // The word around a position (a double click's selection).
    void selectWordAt(const TextPosition& p, TextPosition& start, TextPosition& end);

private:
    bool bound();
    // The layout of an existing line, else null.
    afUnicode* lineAt(int32_t line);
    TextPosition endOfLineBeyond(const TextPosition& p);
    // Steps the position's row by rows (negative: up) and places target at desiredX
    // there; false when the step leaves the document.
    bool placeRows(const TextPosition& p, int32_t rows, int32_t desiredX, bool allowVirtual, TextPosition& target);

    LineCache& m_cache;
};

} // namespace corvel
