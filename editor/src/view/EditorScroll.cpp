// The editor's page: how many rows and columns fit, the gutter's width, wrapping and
// centring, the scroll bars and scrolling.
#include "corvel/editor/Editor.h"

#include "corvel/document/Selection.h"
#include "corvel/editor/EditorCaret.h"
#include "corvel/editor/LineCache.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afUnicodeContext.h"

#include <algorithm>

namespace corvel {

int Editor::clientWidth() const {
    RECT client{0, 0, 0, 0};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    return client.right;
}

int Editor::clientHeight() const {
    RECT client{0, 0, 0, 0};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    return client.bottom;
}

void Editor::updatePageSize(bool force) {
    if (!m_cache)
        return;
    const int rows = clientHeight() / getLineHeight();
    const int columns = std::max(0, (clientWidth() - m_leftPadding - m_gutterWidth) / getSpaceWidth());
    if (!force && rows == m_rows && columns == m_columns)
        return;
    m_rows = rows;
    m_columns = columns;
    m_bottom = m_top.advanced(std::max(0, rows - 1));
    beginUpdate();
    bool scrolled = false;
    if (m_pullBackScroll && m_controller) {
        m_pullBackScroll = false;
        const int32_t column = m_hrange < m_hscroll + m_columns ? m_hrange - m_columns : m_hscroll;
        const int32_t top = m_lineCount < m_top.line + m_rows ? m_lineCount - m_rows : m_top.line;
        scrolled = scrollTo(column, top, 0, false);
    }
    if (!scrolled)
        m_scrollBarsDirty = true;
    endUpdate();
}

namespace {

bool sameScrollInfo(const SCROLLINFO& a, const SCROLLINFO& b) {
    return a.fMask == b.fMask && a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

} // namespace

void Editor::updateScrollBars() {
    if (!m_hwnd)
        return;
    SCROLLINFO vertical{};
    vertical.cbSize = sizeof(vertical);
    vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    vertical.nMin = 0;
    vertical.nMax = std::max(0, m_lineCount + m_rows - 1);
    vertical.nPage = static_cast<UINT>(std::max(0, m_rows));
    vertical.nPos = m_top.line;
    if (m_lineCount > 1 && m_top.line == m_lineCount - 1 &&
        m_top.subLine >= m_cache->getSubLineCount(m_top.line, true) - 1)
        vertical.nPos = m_top.line + 1;
    // Setting a scroll bar repaints it: only a change is worth one.
    if (!sameScrollInfo(vertical, m_lastVertical)) {
        SetScrollInfo(m_hwnd, SB_VERT, &vertical, TRUE);
        m_lastVertical = vertical;
    }
    SCROLLINFO horizontal{};
    horizontal.cbSize = sizeof(horizontal);
    horizontal.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    horizontal.nMin = 0;
    horizontal.nMax = m_hrange >= 2 ? m_hrange - 1 : 0;
    horizontal.nPage = static_cast<UINT>(std::max(0, m_columns));
    horizontal.nPos = m_hscroll;
    if (!sameScrollInfo(horizontal, m_lastHorizontal)) {
        SetScrollInfo(m_hwnd, SB_HORZ, &horizontal, TRUE);
        m_lastHorizontal = horizontal;
    }
}

void Editor::setLineCount(int32_t count) {
    if (!m_controller || count == m_lineCount)
        return;
    beginUpdate();
    updateGutterWidth(count);
    m_lineCount = count;
    updatePageSize(true);
    m_scrollBarsDirty = true;
    endUpdate();
}

void Editor::setMaxColumns(int32_t columns) {
    if (!m_controller || columns == m_hrange)
        return;
    m_hrange = columns;
    m_scrollBarsDirty = true;
}

namespace {

int decimalDigits(int32_t value) {
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

} // namespace

void Editor::updateGutterWidth(int32_t lineCount) {
    bool changed = false;
    if (m_preset.gutterLineNumbers) {
        const int digits = std::max<int>(MIN_DIGITS, decimalDigits(std::max(0, lineCount) + 1));
        if (digits != m_digits) {
            m_digits = digits;
            int width = 8;
            if (m_hwnd && afResources::exists()) {
                HDC dc = GetDC(m_hwnd);
                std::unique_ptr<afCanvas> canvas = afCanvas::create(dc);
                canvas->selectObject(afResources::getFont(0).getHandle());
                width = (canvas->measureText(L"0123456789", 10, 0).cx + 9) / 10;
                canvas.reset();
                ReleaseDC(m_hwnd, dc);
            }
            m_digitsWidth = width * digits;
            changed = true;
        }
    } else {
        m_digits = 0;
        m_digitsWidth = 0;
        changed = true;
    }
    const int32_t width = GUTTER_MARGIN + MARKER_WIDTH + SPARE_WIDTH + SHADOW_WIDTH +
                          (m_digits > 0 ? m_digitsWidth + 2 * NUMBER_PADDING : 0);
    if (!changed && width == m_gutterWidth)
        return;
    m_gutterWidth = width;
    beginUpdate();
    m_relayoutPending = true;
    m_scrollBarsDirty = true;
    updatePageSize(true);
    endUpdate();
}

void Editor::updateWrapLayout() {
    if (!m_cache)
        return;
    beginUpdate();
    m_leftPadding = 0;
    m_pullBackScroll = true;
    const int space = getSpaceWidth();
    if (m_preset.wordWrap && m_preset.boundaryBreak) {
        const int wrapWidth = space * m_preset.boundary;
        if (m_context->setWrap(true, wrapWidth))
            forgetWidestLine();
        if (m_preset.center)
            m_leftPadding = std::max(0, clientWidth() - m_gutterWidth - m_context->wrapWidth()) / 2;
        m_relayoutPending = true;
        updatePageSize(true);
    } else if (m_preset.wordWrap) {
        const int wrapWidth = clientWidth() - m_gutterWidth - m_leftPadding;
        if (m_context->setWrap(wrapWidth > 0, wrapWidth)) {
            forgetWidestLine();
            invalidateLines(-1, -1, false, 1);
        } else {
            updatePageSize(true);
        }
    } else {
        if (m_context->setWrap(false, 0)) {
            forgetWidestLine();
            invalidateLines(-1, -1, false, 1);
        }
        updatePageSize(true);
    }
    endUpdate();
}

void Editor::forgetWidestLine() {
    m_cache->resetWidestLine();
    setMaxColumns(0);
}

// --- Scrolling ------------------------------------------------------------------------------

void Editor::scrollBy(int columns, int rows) {
    if (!m_controller)
        return;
    SubLineIterator row = m_top.advanced(rows);
    int32_t column = m_hscroll;
    if (columns != 0)
        column = std::max(0, std::min(m_hscroll + columns, m_hrange));
    scrollTo(column, row.line, row.clampedSubLine(), false);
}

bool Editor::scrollTo(int32_t column, int32_t line, int32_t subLine, bool force) {
    if (!m_controller)
        return false;
    column = std::max(0, column);
    line = std::max(0, line);
    if (line >= m_lineCount) {
        line = std::max(0, m_lineCount - 1);
        subLine = m_cache->getSubLineCount(line, true) - 1;
    } else {
        subLine = std::max(0, std::min(subLine, m_cache->getSubLineCount(line, true) - 1));
    }
    if (!force && column == m_hscroll && line == m_top.line && subLine == m_top.subLine)
        return false;
    m_top = m_cache->makeIterator(line, subLine);
    m_bottom = m_top.advanced(std::max(0, m_rows - 1));
    m_hscroll = column;
    beginUpdate();
    m_relayoutPending = true;
    m_scrollBarsDirty = true;
    updatePageSize(true);
    endUpdate();
    if (m_hwnd && m_depth == 0)
        UpdateWindow(m_hwnd);
    return true;
}

void Editor::scrollToCaret() {
    if (!m_controller || m_rows <= 0)
        return;
    const TextPosition& caret = m_caret->getPosition();
    int32_t column = m_hscroll;
    const int32_t x = m_positions->getXAtPosition(caret, false, nullptr);
    const int32_t inView = x / getSpaceWidth() - m_hscroll;
    const int32_t margin = m_context->wrapEnabled() ? 1 : 5;
    if (inView < margin)
        column = std::max(0, m_hscroll - (margin - inView));
    else if (inView >= m_columns - margin)
        column = m_hscroll + (inView - (m_columns - margin) + 1);
    SubLineIterator row;
    if (!m_positions->getSubLineIterator(caret, row))
        row = m_cache->makeIterator(caret.line, 0);
    SubLineIterator top = m_top;
    if (row < m_top)
        top = row;
    else if (m_bottom < row)
        top = row.retreated(m_rows - 1);
    if (column != m_hscroll || top != m_top)
        scrollTo(column, top.line, top.subLine, false);
}

void Editor::onHScrollNotice(void* self, afViewPlatform*, int request, int position) {
    static_cast<Editor*>(self)->onHScroll(request, position);
}

void Editor::onVScrollNotice(void* self, afViewPlatform*, int request, int position) {
    static_cast<Editor*>(self)->onVScroll(request, position);
}

// Requests of the framework's scroll handlers: 1 top, 2 bottom, 3 line down, 4 line up,
// 5 page down, 6 page up, 7 thumb position, 8 thumb tracking.
void Editor::onVScroll(int request, int position) {
    if (!m_controller)
        return;
    switch (request) {
    case 1:
        scrollTo(m_hscroll, 0, 0, false);
        return;
    case 2:
        scrollTo(m_hscroll, m_lineCount, 0, false);
        return;
    case 3:
        scrollBy(0, 1);
        return;
    case 4:
        scrollBy(0, -1);
        return;
    case 5:
        scrollBy(0, m_rows);
        return;
    case 6:
        scrollBy(0, -m_rows);
        return;
    case 7:
    case 8:
        scrollTo(m_hscroll, position, 0, false);
        return;
    default:
        return;
    }
}

void Editor::onHScroll(int request, int position) {
    if (!m_controller)
        return;
    switch (request) {
    case 1:
        scrollTo(0, m_top.line, m_top.subLine, false);
        return;
    case 2:
        scrollTo(std::max(0, m_hrange - m_columns), m_top.line, m_top.subLine, false);
        return;
    case 3:
        scrollBy(1, 0);
        return;
    case 4:
        scrollBy(-1, 0);
        return;
    case 5:
        scrollBy(m_columns, 0);
        return;
    case 6:
        scrollBy(-m_columns, 0);
        return;
    case 7:
    case 8:
        scrollTo(position, m_top.line, m_top.subLine, false);
        return;
    default:
        return;
    }
}

} // namespace corvel
