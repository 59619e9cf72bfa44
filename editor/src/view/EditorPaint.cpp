// Painting: visible rows one at a time through a one-row buffer, text then gutter.
#include "corvel/editor/Editor.h"

#include "EditorBrackets.h"

#include "corvel/document/LineHeader.h"
#include "corvel/editor/EditorCaret.h"
#include "corvel/editor/LineCache.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afCanvasBuffer.h"
#include "corvel/ui/afCanvasRegion.h"
#include "corvel/ui/afFont.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afUnicode.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/ui/afUnicodeRenderer.h"

#include <algorithm>
#include <string>

namespace corvel {

bool Editor::onDraw(afCanvas* canvas, afCanvasRegion* region) {
    if (!m_controller || !canvas || !m_hwnd)
        return false;
    m_lastPaintTick = GetTickCount();
    RECT client;
    GetClientRect(m_hwnd, &client);
    afRect area = region ? region->getBox() : afRect(client.left, client.top, client.right, client.bottom);
    if (area.right <= area.left || area.bottom <= area.top)
        area = afRect(client.left, client.top, client.right, client.bottom);
    if (area.right <= area.left || area.bottom <= area.top)
        return true;
    const int height = getLineHeight();
    const int firstRow = std::max<LONG>(0, area.top) / height;
    const int lastRow = (area.bottom - 1) / height;
    const int scroll = -(getSpaceWidth() * m_hscroll);
    std::unique_ptr<afCanvasBuffer> buffer =
        afCanvas::createBuffer(afRect(0, 0, std::max<LONG>(1, client.right), height), *canvas, false);
    const int textLeft = m_gutterWidth + m_leftPadding;
    int textRight = client.right;
    const bool centred = m_preset.wordWrap && m_preset.boundaryBreak && m_preset.center;
    if (centred)
        textRight = std::min<int>(client.right - m_leftPadding, textLeft + m_context->wrapWidth());
    const RECT background{textLeft - 2 * height, 0, textRight + 2 * height, height};
    ReadScopeGuard read(m_controller);
    const int32_t caretLine = m_caret->getPosition().line;
    SubLineIterator row = m_top.advanced(firstRow);
    afUnicode* layout = nullptr;
    int32_t layoutLine = -1;
    for (int r = firstRow; r <= lastRow; ++r, row.advance(1)) {
        const bool valid = row.isValid();
        const int32_t line = valid ? row.line : -1;
        if (valid && line != layoutLine) {
            layout = m_cache->getLine(line);
            layoutLine = line;
            if (layout)
                m_context->applyStyleLayers(*layout, line, m_controller->positionToOffset(TextPosition(line, 0)));
        }
        const bool current = valid && line == caretLine;
        if (centred && m_leftPadding > 0)
            buffer->fillRect(current ? m_areaCurrent : m_areaBackground, RECT{0, 0, client.right, height});
        buffer->fillRect(current ? m_textCurrent : m_textBackground, background);
        afUnicodeRenderer::Request request;
        request.canvas = buffer.get();
        request.layout = valid ? layout : nullptr;
        request.row = valid && layout ? std::min(row.clampedSubLine(), layout->rowCount() - 1) : 0;
        request.scroll = scroll;
        request.textLeft = textLeft;
        request.rowTop = 0;
        request.rowBottom = height;
        request.rightClip = textRight;
        request.background = background;
        request.overlay = current ? m_lineHighlight : ColorF();
        if (request.layout) {
            HRGN clip = CreateRectRgn(textLeft, 0, textRight, height);
            SelectClipRgn(buffer->getDC(), clip);
            m_renderer->drawLine(request);
            SelectClipRgn(buffer->getDC(), nullptr);
            DeleteObject(clip);
        }
        paintGutterRow(*buffer, line, valid && row.subLine > 0, current, height);
        const int y = r * height;
        BitBlt(canvas->getDC(), 0, y, std::min<LONG>(client.right, client.right),
               std::min(height, int(client.bottom - y)), buffer->getDC(), 0, 0, SRCCOPY);
    }
    return true;
}

void Editor::paintMarkerIcon(afCanvas& buffer, int32_t line, int left, int rowHeight) {
    const std::vector<LineMarker>* markers = m_controller->getLineMarkers(line);
    if (!markers || markers->empty())
        return;
    int index;
    switch (markers->front().kind) {
    case 1:
        index = 17;
        break;
    case 2:
        index = 19;
        break;
    case 3:
        index = 16;
        break;
    default:
        index = 15;
        break;
    }
    const afIcon& icon = afResources::getIcon(index);
    const int size = icon.getSize();
    DrawIconEx(buffer.getDC(), left + (MARKER_WIDTH - size) / 2, (rowHeight - size) / 2, icon.getHandle(), size, size,
               0, nullptr, DI_NORMAL);
}

void Editor::paintGutterRow(afCanvas& buffer, int32_t line, bool continuation, bool current, int rowHeight) {
    const bool numbers = m_preset.gutterLineNumbers;
    RECT gutter{0, 0, m_gutterWidth - SHADOW_WIDTH, rowHeight + 1};
    buffer.fillRect(numbers ? (current ? m_gutterCurrent : m_gutterOther) : m_textBackground, gutter);
    if (!continuation && line >= 0 && afResources::exists())
        paintMarkerIcon(buffer, line, gutter.left + NUMBER_PADDING, rowHeight);
    if (!continuation && line >= 0 && numbers && afResources::exists()) {
        RECT text = gutter;
        text.left += NUMBER_PADDING;
        text.right -= NUMBER_PADDING;
        COLORREF colour = current ? m_numberCurrent : ((line + 1) % 10 == 0 ? m_numberTenth : m_numberOther);
        HGDIOBJ old = buffer.selectObject(afResources::getFont(0).getHandle());
        buffer.drawText(std::to_wstring(line + 1), text, colour, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        buffer.selectObject(old);
    }
    if (!numbers)
        return;
    buffer.drawLine(current ? m_separatorCurrent : m_separatorOther, gutter.right - 1, 0, gutter.right - 1, rowHeight);
    // The shadow: the gutter's edge fading into the text.
    for (int i = 0; i < SHADOW_WIDTH; ++i)
        buffer.drawLine(m_shadow[i], gutter.right + i, 0, gutter.right + i, rowHeight);
}

} // namespace corvel
