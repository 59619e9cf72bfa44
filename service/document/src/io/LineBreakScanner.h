// Turns decoded units into a document's text as they come: every CR LF, lone CR and lone
// LF becomes one LF at the end of the gap buffer, with the offset past it kept as a line
// start and the break counted by its kind. A CR or LF stays pending until the next unit
// shows which break it belongs to, so a CR LF split between chunks is still one break.
#pragma once
#include "corvel/document/BlockList.h"
#include "corvel/document/GapBuffer.h"
#include "corvel/text/CodePages.h"

#include <cstddef>
#include <cstdint>

namespace corvel {

class LineBreakScanner {
public:
    // Reserves room for `maxUnits` units (and a break still pending) at the end of the text;
    // nothing else may touch the buffer until end().
    void begin(GapBuffer& text, size_t maxUnits) {
        m_text = &text;
        m_base = text.getLength();
        m_start = text.appendRoom(static_cast<int32_t>(maxUnits + 1));
        m_out = m_start;
    }
    void end() { m_text->commitAppend(static_cast<int32_t>(m_out - m_start)); }

    // As a decoder's sink: begin() reserved the room for all it will put.
    size_t roomLeft() const { return SIZE_MAX; }
    void put(wchar_t unit) {
        if (unit > L'\r' || (unit != L'\r' && unit != L'\n')) {
            if (m_pending != NONE)
                flushPending();
            *m_out++ = unit;
            return;
        }
        putBreakUnit(unit);
    }
    // Decodes UTF-8 into the text as decodeUtf8 does, with ASCII and well-formed two- and
    // three-byte sequences handled in the loop itself: the generic decoder's call per unit
    // and checks per byte cost more than the decoding. Returns the bytes consumed.
    size_t putUtf8(const uint8_t* bytes, size_t count, bool final);
    // Emits a break still pending; at the end of the file.
    void flushPending();

    BlockList& lineStarts() { return m_lineStarts; }
    int32_t crlfCount() const { return m_crlfCount; }
    int32_t crCount() const { return m_crCount; }
    int32_t lfCount() const { return m_lfCount; }

private:
    enum Pending { NONE, CR, LF };

    void putBreakUnit(wchar_t unit);
    void emitBreak(int32_t kind);

    GapBuffer* m_text = nullptr;
    int32_t m_base = 0;         // text length at begin()
    wchar_t* m_start = nullptr; // the room begin() reserved
    wchar_t* m_out = nullptr;   // m_start <= m_out <= m_start + maxUnits + 1
    Pending m_pending = NONE;
    int32_t m_crlfCount = 0;
    int32_t m_crCount = 0;
    int32_t m_lfCount = 0;
    BlockList m_lineStarts; // the offset just past each break
};

} // namespace corvel
