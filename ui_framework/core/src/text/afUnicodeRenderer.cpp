#include "corvel/ui/afUnicodeRenderer.h"

#include "ControlLabel.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afUnicode.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/ui/afUnicodeFont.h"

#include <algorithm>

namespace corvel {

// One drawLine call's state.
struct afUnicodeRenderer::Pass {
    const Request& request;
    afUnicode& line;
    HDC dc;
    ColorF mark;  // the mark colour over the line background
    int lineHeight;
    COLORREF lineBackground; // already filled over request.background
};

afUnicodeRenderer::afUnicodeRenderer(afUnicodeContext* context) : m_context(context), m_colors(new Colors()) {
    m_colors->colors[0] = ColorF(0, 0, 0, 1);
    m_colors->colors[1] = ColorF(1, 1, 1, 1);
}

afUnicodeRenderer::~afUnicodeRenderer() = default;

void afUnicodeRenderer::setWhitespace(bool leading, bool inner, bool trailing) {
    m_leading = leading;
    m_inner = inner;
    m_trailing = trailing;
    m_showWhitespace = leading || inner || trailing;
}

bool afUnicodeRenderer::regionShown(const afUnicode& line, int i) const {
    if (!m_showWhitespace)
        return false;
    int leadingEnd = line.leadingWhitespaceEnd();
    int trailingStart = line.trailingWhitespaceStart();
    return (m_leading && i < leadingEnd) || (m_inner && leadingEnd <= i && i < trailingStart) ||
           (m_trailing && i >= trailingStart);
}

COLORREF afUnicodeRenderer::markOver(Pass& pass, int i) const {
    const ColorF& mark = m_colors->colors[2];
    ColorF background = ColorF::fromPacked(m_context->backgroundColors(pass.line, i, pass.request.overlay).background);
    return background.blend(mark, mark.alpha).toColorRef();
}

void afUnicodeRenderer::drawLine(const Request& request) {
    afCanvas& canvas = *request.canvas;
    afUnicode* layout = request.layout;
    ColorF background = layout ? ColorF::fromPacked(layout->endOfLineColor()) : m_colors->colors[1];
    background = background.blend(request.overlay, request.overlay.alpha);
    canvas.fillRect(background.toColorRef(), request.background);
    if (!layout || request.row < 0 || request.row >= layout->rowCount())
        return; // a row past the last shows only the background
    const ColorF& markColor = m_colors->colors[2];
    Pass pass{request, *layout, canvas.getDC(), background.blend(markColor, markColor.alpha),
              m_context->lineHeight(), background.toColorRef()};

    const std::vector<afUnicodeItem>& items = layout->items();
    const std::vector<int32_t>& order = layout->visualOrder();
    const int first = layout->rowFirstPosition(request.row);
    const int last = layout->rowLastPosition(request.row);
    int x = m_context->getRowIndent(*layout, request.row) + request.scroll;
    int position = first;
    // Items wholly left of the visible area are passed by width.
    while (x < 0 && position <= last && x + items[order[position]].width <= 0) {
        x += items[order[position]].width;
        ++position;
    }
    x += request.textLeft;
    const int firstDrawn = position;
    const int firstX = x;
    int lastDrawn = position - 1;
    for (; position <= last; ++position) {
        const afUnicodeItem& item = items[order[position]];
        drawItemBackgrounds(pass, item, x);
        x += item.width;
        lastDrawn = position;
        if (x >= request.rightClip)
            break;
    }
    if (request.row == layout->rowCount() - 1)
        drawColumnsBeyond(pass, x);
    drawGuides(pass);

    int previousMode = SetBkMode(pass.dc, TRANSPARENT);
    // Fonts and alignment change only between items that differ, and are put back once.
    HGDIOBJ previousFont = GetCurrentObject(pass.dc, OBJ_FONT);
    UINT previousAlign = GetTextAlign(pass.dc);
    x = firstX;
    for (position = firstDrawn; position <= lastDrawn; ++position) {
        const afUnicodeItem& item = items[order[position]];
        switch (item.kind) {
        case afUnicodeItem::TAB:
            if (m_showWhitespace)
                drawTabArrow(pass, item, x);
            break;
        case afUnicodeItem::LINE_BREAK:
            break;
        case afUnicodeItem::CONTROL:
            drawControlBox(pass, item, x);
            break;
        default:
            drawItemText(pass, item, x);
            break;
        }
        x += item.width;
        if (x > request.rightClip)
            break;
    }
    SelectObject(pass.dc, previousFont);
    SetTextAlign(pass.dc, previousAlign);
    SetBkMode(pass.dc, previousMode);
}

void afUnicodeRenderer::fillRun(Pass& pass, int left, int right, COLORREF background, bool hasBar, COLORREF bar,
                                bool barRight) {
    if (right <= left)
        return;
    afCanvas& canvas = *pass.request.canvas;
    RECT area{left, pass.request.rowTop, right, pass.request.rowBottom};
    const RECT& filled = pass.request.background;
    bool alreadyThere = background == pass.lineBackground && filled.top <= area.top &&
                        area.bottom <= filled.bottom && filled.left <= left && right <= filled.right;
    if (!alreadyThere)
        canvas.fillRect(background, area);
    if (!hasBar)
        return;
    RECT strip = area;
    if (barRight)
        strip.left = std::max(left, right - 2);
    else
        strip.right = std::min(right, left + 2);
    canvas.fillRect(bar, strip);
}

void afUnicodeRenderer::drawItemBackgrounds(Pass& pass, const afUnicodeItem& item, int x) {
    afUnicode& line = pass.line;
    const int* advances = line.advances() + item.firstGlyph;
    const WORD* clusters = line.clusters() + item.firstChar;
    const bool mirrored = item.rightToLeft();
    const int rightClip = pass.request.rightClip;
    // Runs of equal colours, in item-relative x from the item's logical start.
    int runStart = 0;
    int at = 0;
    afUnicodeContext::CellColors run{};
    bool open = false;
    auto flush = [&](int end) {
        if (!open)
            return;
        int left = mirrored ? x + item.width - end : x + runStart;
        int right = mirrored ? x + item.width - runStart : x + end;
        fillRun(pass, left, right, run.background, run.hasBar, run.bar, mirrored);
    };
    for (int c = 0; c < item.charCount;) {
        int next = c + 1;
        while (next < item.charCount && clusters[next] == clusters[c])
            ++next;
        int width = 0;
        if (item.kind != afUnicodeItem::TEXT) {
            width = item.width; // one character, whatever glyphs shaping gave it
        } else {
            int firstGlyph = 0, lastGlyph = 0;
            line.clusterGlyphRange(item, c, next, &firstGlyph, &lastGlyph);
            for (int g = firstGlyph; g <= lastGlyph; ++g)
                width += advances[g];
        }
        const int n = next - c;
        for (int k = 0; k < n; ++k) {
            int share = k + 1 < n ? MulDiv(width, 1, n) : width - MulDiv(width, 1, n) * (n - 1);
            afUnicodeContext::CellColors colors =
                m_context->backgroundColors(line, item.firstChar + c + k, pass.request.overlay);
            if (!open || colors.background != run.background || colors.hasBar != run.hasBar ||
                (colors.hasBar && colors.bar != run.bar)) {
                flush(at);
                run = colors;
                runStart = at;
                open = true;
            }
            at += share;
        }
        c = next;
        if (!mirrored && x + at > rightClip)
            break;
    }
    flush(at);
}

void afUnicodeRenderer::drawColumnsBeyond(Pass& pass, int x) {
    const int space = m_context->spaceWidth();
    if (space <= 0)
        return;
    const size_t cells = pass.line.cells().size();
    for (size_t i = pass.line.text().size(); i < cells && x < pass.request.rightClip; ++i, x += space) {
        afUnicodeContext::CellColors colors =
            m_context->backgroundColors(pass.line, static_cast<int>(i), pass.request.overlay);
        fillRun(pass, x, x + space, colors.background, colors.hasBar, colors.bar, false);
    }
}

void afUnicodeRenderer::drawGuides(Pass& pass) {
    const Request& request = pass.request;
    afCanvas& canvas = *request.canvas;
    const COLORREF mark = pass.mark.toColorRef();
    const int origin = request.textLeft + request.scroll;
    const int space = m_context->spaceWidth();
    if (m_margin > 0 && origin + m_margin < request.rightClip + request.scroll)
        canvas.drawLine(mark, origin + m_margin, request.rowTop, origin + m_margin, request.rowBottom);
    const int tabWidth = std::max(1, m_context->tabWidth());
    const bool continuation = request.row > 0;
    if (m_showIndentGuides && pass.line.indent() > tabWidth && (!continuation || m_context->keepIndentOn())) {
        for (int column = tabWidth; column < pass.line.indent(); column += tabWidth) {
            int x = origin + column * space;
            canvas.drawLine(mark, x, request.rowTop, x, request.rowBottom);
        }
    }
    if (continuation && m_context->continuationIndentOn()) {
        int x = origin + m_context->getRowIndent(pass.line, request.row) - space / 2 - space;
        if (request.row == pass.line.rowCount() - 1) {
            int middle = request.rowTop + pass.lineHeight / 2;
            canvas.drawLine(mark, x, request.rowTop, x, middle);
            canvas.drawLine(mark, x, middle, x + space, middle);
        } else {
            canvas.drawLine(mark, x, request.rowTop, x, request.rowBottom);
        }
    }
}

void afUnicodeRenderer::drawItemText(Pass& pass, const afUnicodeItem& item, int x) {
    afUnicode& line = pass.line;
    HDC dc = pass.dc;
    const Request& request = pass.request;
    const int y = request.rowTop + m_context->extraSpacing1();
    const int glyphTop = y + m_context->ascent() - item.font->metrics().tmAscent;
    if (GetCurrentObject(dc, OBJ_FONT) != item.font->handle())
        SelectObject(dc, item.font->handle());
    const bool rightToLeft = item.rightToLeft();
    const UINT align = rightToLeft ? TA_RIGHT : TA_LEFT;
    if ((GetTextAlign(dc) & (TA_RIGHT | TA_CENTER)) != align)
        SetTextAlign(dc, align);
    const wchar_t* text = line.text().c_str() + item.firstChar;
    const WORD* clusters = line.clusters() + item.firstChar;
    const int* advances = line.advances() + item.firstGlyph;
    // Pen position: the left edge of the next piece, or its right edge right to left.
    int pen = rightToLeft ? x + item.width : x;
    // A space draws nothing unless underlined, so its colour never cuts a piece: under
    // Wine every ScriptTextOut costs microseconds.
    const bool blankSpaces = !item.font->metrics().tmUnderlined;
    for (int c = 0; c < item.charCount;) {
        ColorF color;
        bool coloured = false;
        int end = c;
        bool endsWithSpace = false;
        while (end < item.charCount) {
            int next = end + 1;
            while (next < item.charCount && clusters[next] == clusters[end])
                ++next;
            bool blank = blankSpaces && next == end + 1 && text[end] == L' ';
            if (!blank) {
                ColorF own = m_context->textColor(line, item.firstChar + end, request.overlay);
                if (coloured && own != color)
                    break;
                color = own;
                coloured = true;
            }
            endsWithSpace = text[next - 1] == L' ';
            end = next;
            if (m_showWhitespace && endsWithSpace)
                break;
        }
        int firstGlyph = 0, lastGlyph = 0;
        line.clusterGlyphRange(item, c, end, &firstGlyph, &lastGlyph);
        int count = lastGlyph - firstGlyph + 1;
        int width = 0;
        for (int g = firstGlyph; g <= lastGlyph; ++g)
            width += advances[g];
        if (count > 0 && coloured) {
            SetTextColor(dc, color.toColorRef());
            ScriptTextOut(dc, item.font->scriptCache(), pen, glyphTop, 0, nullptr, &item.analysis, nullptr, 0,
                          line.glyphs() + item.firstGlyph + firstGlyph, count, advances + firstGlyph, nullptr,
                          line.glyphOffsets() + item.firstGlyph + firstGlyph);
        }
        int pieceLeft = rightToLeft ? pen - width : pen;
        pen = rightToLeft ? pen - width : pen + width;
        int space = item.firstChar + end - 1;
        if (m_showWhitespace && endsWithSpace && regionShown(line, space)) {
            int spaceFirst = 0, spaceLast = 0;
            line.clusterGlyphRange(item, end - 1, end, &spaceFirst, &spaceLast);
            int advance = spaceLast >= spaceFirst ? advances[spaceFirst] : 0;
            int spaceLeft = rightToLeft ? pieceLeft : pieceLeft + width - advance;
            int cx = spaceLeft + advance / 2;
            int cy = glyphTop + pass.lineHeight / 2;
            COLORREF dot = markOver(pass, space);
            const POINT plus[5] = {{cx, cy}, {cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}};
            for (const POINT& p : plus)
                SetPixel(dc, p.x, p.y, dot);
        }
        c = end;
        if (!rightToLeft && pen > request.rightClip)
            break;
    }
}

void afUnicodeRenderer::drawTabArrow(Pass& pass, const afUnicodeItem& item, int x) {
    const int middle = pass.request.rowTop + m_context->extraSpacing1() + pass.lineHeight / 2;
    const int w = item.width;
    const COLORREF color = markOver(pass, item.firstChar);
    afCanvas& canvas = *pass.request.canvas;
    canvas.drawLine(color, x, middle, x + w - 3, middle);
    MoveToEx(pass.dc, x + w - 5, middle - 2, nullptr);
    LineTo(pass.dc, x + w - 3, middle);
    LineTo(pass.dc, x + w - 6, middle + 3);
}

void afUnicodeRenderer::drawControlBox(Pass& pass, const afUnicodeItem& item, int x) {
    afCanvas& canvas = *pass.request.canvas;
    const int top = pass.request.rowTop + m_context->extraSpacing1();
    const int bottom = top + pass.lineHeight;
    const COLORREF fill = m_colors->colors[0].toColorRef();
    canvas.fillRect(fill, RECT{x + 1, top, x + item.width - 1, bottom});
    // Widened by one and shortened at both ends: notched corners.
    canvas.fillRect(fill, RECT{x, top + 1, x + item.width, bottom - 1});
    std::wstring label = controlLabel(pass.line.text()[item.firstChar]);
    HGDIOBJ previous = SelectObject(pass.dc, item.font->handle());
    canvas.drawText(label, RECT{x, top, x + item.width, bottom}, m_colors->colors[1].toColorRef(),
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(pass.dc, previous);
}

} // namespace corvel
