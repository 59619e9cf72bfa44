#include "corvel/ui/afCanvas.h"

#include "corvel/ui/afBitmap.h"
#include "corvel/ui/afCanvasBuffer.h"
#include "corvel/ui/afCanvasPaint.h"
#include "corvel/ui/afCanvasRegion.h"
#include "corvel/ui/afIcon.h"

namespace corvel {

namespace {

// A memory DC compatible with another, deleted when it goes.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

// Selects an object into a DC and selects the previous one back when it goes.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~Selection() {
        if (m_previous)
            SelectObject(m_dc, m_previous);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace

std::unique_ptr<afCanvas> afCanvas::create(HDC dc) {
    return prepared(new afCanvas(dc));
}

std::unique_ptr<afCanvasBuffer> afCanvas::createBuffer(const afRect& area, afCanvas& source, bool copyBack) {
    return prepared(new afCanvasBuffer(source.getDC(), area, copyBack));
}

std::unique_ptr<afCanvasBuffer> afCanvas::createBufferFor(const afRect& area, HDC target) {
    return prepared(new afCanvasBuffer(target, area, true));
}

std::unique_ptr<afCanvasPaint> afCanvas::createPaint(HWND hwnd, HFONT font, HDC dc) {
    return prepared(new afCanvasPaint(hwnd, font, dc));
}

afCanvas::~afCanvas() {
    restoreDC();
}

void afCanvas::prepare() {
    m_savedLevel = SaveDC(m_dc);
    SelectObject(m_dc, GetStockObject(DC_PEN));
    SelectObject(m_dc, GetStockObject(DC_BRUSH));
}

void afCanvas::bindToWindow(HWND hwnd, HFONT font) {
    RECT client{0, 0, 0, 0};
    GetClientRect(hwnd, &client);
    m_rect.set(0, 0, client.right - client.left, client.bottom - client.top);
    if (font)
        m_oldFont = SelectObject(m_dc, font);
}

void afCanvas::restoreDC() {
    m_metrics.reset();
    if (m_savedLevel > 0)
        RestoreDC(m_dc, m_savedLevel);
    m_savedLevel = 0;
    if (m_oldFont)
        SelectObject(m_dc, m_oldFont);
    m_oldFont = nullptr;
}

void afCanvas::saveState() {
    m_stateLevel = SaveDC(m_dc);
}

void afCanvas::restoreState() {
    if (m_stateLevel > 0)
        RestoreDC(m_dc, m_stateLevel);
    m_stateLevel = 0;
    m_metrics.reset(); // the restored state may carry another font
}

POINT afCanvas::getViewportOrigin() const {
    POINT origin{0, 0};
    GetViewportOrgEx(m_dc, &origin);
    return origin;
}

void afCanvas::setViewportOrigin(int x, int y) {
    SetViewportOrgEx(m_dc, x, y, nullptr);
}

HGDIOBJ afCanvas::selectObject(HGDIOBJ object) {
    HGDIOBJ previous = SelectObject(m_dc, object);
    if (previous != object)
        m_metrics.reset();
    return previous;
}

const TEXTMETRICW& afCanvas::getTextMetrics() {
    if (!m_metrics) {
        m_metrics = std::make_unique<TEXTMETRICW>();
        if (!GetTextMetricsW(m_dc, m_metrics.get()))
            *m_metrics = TEXTMETRICW{};
    }
    return *m_metrics;
}

int afCanvas::getLineHeight() {
    const TEXTMETRICW& metrics = getTextMetrics();
    return metrics.tmHeight + metrics.tmExternalLeading;
}

SIZE afCanvas::menuCheckSize() const {
    return SIZE{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
}

void afCanvas::setClipRegion(const afCanvasRegion* region) {
    SelectClipRgn(m_dc, region ? region->getHandle() : nullptr);
}

std::unique_ptr<afCanvasRegion> afCanvas::getClipRegion() const {
    std::unique_ptr<afCanvasRegion> region = afCanvasRegion::createEmpty();
    if (GetClipRgn(m_dc, region->getHandle()) != 1)
        return nullptr;
    return region;
}

void afCanvas::setPenColor(COLORREF color) {
    SetDCPenColor(m_dc, color);
    SelectObject(m_dc, GetStockObject(DC_PEN));
}

void afCanvas::drawLine(COLORREF color, int x1, int y1, int x2, int y2) {
    setPenColor(color);
    MoveToEx(m_dc, x1, y1, nullptr);
    LineTo(m_dc, x2, y2);
}

void afCanvas::drawTopEdge(COLORREF color, const RECT& rect) {
    drawLine(color, rect.left, rect.top, rect.right, rect.top);
}

void afCanvas::drawLeftEdge(COLORREF color, const RECT& rect) {
    drawLine(color, rect.left, rect.top, rect.left, rect.bottom);
}

void afCanvas::drawRightEdge(COLORREF color, const RECT& rect) {
    drawLine(color, rect.right - 1, rect.top, rect.right - 1, rect.bottom);
}

void afCanvas::drawBottomEdge(COLORREF color, const RECT& rect) {
    drawLine(color, rect.left, rect.bottom - 1, rect.right, rect.bottom - 1);
}

void afCanvas::drawEdges(const RECT& rect, int flags, COLORREF color) {
    if (flags & EDGE_TOP)
        drawTopEdge(color, rect);
    if (flags & EDGE_LEFT)
        drawLeftEdge(color, rect);
    if (flags & EDGE_RIGHT)
        drawRightEdge(color, rect);
    if (flags & EDGE_BOTTOM)
        drawBottomEdge(color, rect);
}

void afCanvas::fillRect(COLORREF color, const RECT& rect) {
    COLORREF previous = SetBkColor(m_dc, color);
    ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(m_dc, previous);
}

void afCanvas::drawText(const wchar_t* text, int length, const RECT& rect, COLORREF color, UINT format) {
    int previousMode = SetBkMode(m_dc, TRANSPARENT);
    COLORREF previousColor = SetTextColor(m_dc, color);
    RECT area = rect;
    DrawTextW(m_dc, text, length, &area, format);
    SetTextColor(m_dc, previousColor);
    SetBkMode(m_dc, previousMode);
}

SIZE afCanvas::measureText(const wchar_t* text, int length, int width) {
    int lineHeight = getLineHeight();
    if (!text || length == 0 || (length < 0 && text[0] == 0))
        return SIZE{0, lineHeight};
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    RECT area{0, 0, width > 0 ? width : 0, 0};
    DrawTextW(m_dc, text, length, &area, format);
    LONG height = area.bottom - area.top;
    if (lineHeight > 0 && height % lineHeight != 0)
        height += lineHeight - height % lineHeight;
    return SIZE{area.right - area.left, height};
}

void afCanvas::drawIcon(const RECT& rect, const afIcon& icon, int gravity) {
    afRect area(rect);
    if (area.isEmpty())
        return;
    int size = icon.getSize();
    int x = area.left + (area.width() - size) / 2;
    if ((gravity & GRAVITY_LEFT) == GRAVITY_LEFT)
        x = area.left;
    else if ((gravity & GRAVITY_RIGHT) == GRAVITY_RIGHT)
        x = area.right - size < area.left ? area.left : area.right - size;
    int y = area.top + (area.height() - size) / 2;
    if ((gravity & GRAVITY_TOP) == GRAVITY_TOP)
        y = area.top;
    else if ((gravity & GRAVITY_BOTTOM) == GRAVITY_BOTTOM)
        y = area.bottom - size;
    DrawIconEx(m_dc, x, y, icon.getHandle(), size, size, 0, nullptr, DI_NORMAL);
}

void afCanvas::drawMenuCheck(const RECT& rect, COLORREF background, COLORREF foreground) {
    int width = rect.right - rect.left;
    int height = GetSystemMetrics(SM_CYMENUCHECK);
    if (width <= 0 || height <= 0)
        return;
    MemoryDC memory(m_dc);
    if (!memory.get())
        return;
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!mask)
        return;
    {
        Selection selected(memory.get(), mask);
        RECT check{0, 0, width, height};
        DrawFrameControl(memory.get(), &check, DFC_MENU, DFCS_MENUCHECK);
        COLORREF previousText = SetTextColor(m_dc, foreground);
        COLORREF previousBack = SetBkColor(m_dc, background);
        int top = rect.top + ((rect.bottom - rect.top) - height) / 2;
        BitBlt(m_dc, rect.left, top, width, height, memory.get(), 0, 0, SRCCOPY);
        SetBkColor(m_dc, previousBack);
        SetTextColor(m_dc, previousText);
    }
    DeleteObject(mask);
}

void afCanvas::alphaBlend(int width, int height, const afBitmap& bitmap, int x, int y) {
    MemoryDC memory(m_dc);
    if (!memory.get())
        return;
    Selection selected(memory.get(), bitmap.getHandle());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(m_dc, x, y, width, height, memory.get(), 0, 0, width, height, blend);
}

void afCanvas::alphaBlendBitmap(const afBitmap& bitmap, int x, int y) {
    alphaBlend(bitmap.getWidth(), bitmap.getHeight(), bitmap, x, y);
}

} // namespace corvel
