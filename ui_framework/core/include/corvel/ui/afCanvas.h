// The surface views paint on: a device context with its state saved for the canvas's
// lifetime (restored when it ends), cached text metrics and the drawing operations.
// Pens and brushes are the stock DC pen and brush, so colour changes create nothing.
// A canvas lives for one drawing pass. Main thread only.
#pragma once
#include "corvel/ui/afRect.h"

#include <memory>
#include <string>
#include <windows.h>

namespace corvel {

class afBitmap;
class afCanvasBuffer;
class afCanvasPaint;
class afCanvasRegion;
class afIcon;

class afCanvas {
public:
    // Edge flags of drawEdges.
    enum : int { EDGE_LEFT = 1, EDGE_TOP = 2, EDGE_RIGHT = 4, EDGE_BOTTOM = 8 };
    // Gravity bits of drawIcon.
    enum : int {
        GRAVITY_LEFT = 0x3,
        GRAVITY_RIGHT = 0x5,
        GRAVITY_TOP = 0x30,
        GRAVITY_BOTTOM = 0x50,
        GRAVITY_CENTER = 0,
    };

    // A canvas over a DC someone else owns.
    static std::unique_ptr<afCanvas> create(HDC dc);
    // An off-screen buffer for area (in the source's coordinates): pixel (0, 0) of the
    // buffer is the area's top-left. With copyBack it lands on the source when it ends.
    static std::unique_ptr<afCanvasBuffer> createBuffer(const afRect& area, afCanvas& source, bool copyBack);
    static std::unique_ptr<afCanvasBuffer> createBufferFor(const afRect& area, HDC target);
    // The canvas of one WM_PAINT of window hwnd, drawing with font; with no dc the canvas
    // runs BeginPaint and EndPaint itself.
    static std::unique_ptr<afCanvasPaint> createPaint(HWND hwnd, HFONT font, HDC dc = nullptr);

    virtual ~afCanvas();
    afCanvas(const afCanvas&) = delete;
    afCanvas& operator=(const afCanvas&) = delete;

    HDC getDC() const { return m_dc; }
    const afRect& getRect() const { return m_rect; }

    void saveState();
    void restoreState();
    POINT getViewportOrigin() const;
    void setViewportOrigin(int x, int y);
    // Selects a GDI object and returns the one it replaced; a different object drops the
    // cached text metrics.
    HGDIOBJ selectObject(HGDIOBJ object);
    const TEXTMETRICW& getTextMetrics();
    int getLineHeight();
    SIZE menuCheckSize() const;

    // Null removes the clip region.
    void setClipRegion(const afCanvasRegion* region);
    // A copy of the DC's clip region, or null when it has none.
    std::unique_ptr<afCanvasRegion> getClipRegion() const;

    void setPenColor(COLORREF color);
    void drawLine(COLORREF color, int x1, int y1, int x2, int y2);
    void drawTopEdge(COLORREF color, const RECT& rect);
    void drawLeftEdge(COLORREF color, const RECT& rect);
    // One pixel inside: at x = right - 1.
    void drawRightEdge(COLORREF color, const RECT& rect);
    // One pixel inside: at y = bottom - 1.
    void drawBottomEdge(COLORREF color, const RECT& rect);
    // Top, left, right, bottom, as flags ask.
    void drawEdges(const RECT& rect, int flags, COLORREF color);
    void fillRect(COLORREF color, const RECT& rect);
    void drawText(const wchar_t* text, int length, const RECT& rect, COLORREF color, UINT format);
    void drawText(const std::wstring& text, const RECT& rect, COLORREF color, UINT format) {
        drawText(text.c_str(), static_cast<int>(text.size()), rect, color, format);
    }
    // The size text takes: wrapped at width when width > 0, one line otherwise; the height
    // is a whole number of line heights (one for empty text). length -1: up to the zero.
    SIZE measureText(const wchar_t* text, int length, int width);
    SIZE measureText(const std::wstring& text, int width) {
        return measureText(text.c_str(), static_cast<int>(text.size()), width);
    }
    void drawIcon(const RECT& rect, const afIcon& icon, int gravity);
    void drawMenuCheck(const RECT& rect, COLORREF background, COLORREF foreground);
    // Blends a premultiplied bitmap at (x, y), unscaled.
    void alphaBlend(int width, int height, const afBitmap& bitmap, int x, int y);
    void alphaBlendBitmap(const afBitmap& bitmap, int x, int y);

protected:
    explicit afCanvas(HDC dc) : m_dc(dc) {}
    // Binds the DC: saves its state and selects the DC pen and brush.
    virtual void prepare();
    // For the canvases of a window: its client area becomes the canvas's rectangle and
    // font is selected (restoreDC selects the previous one back).
    void bindToWindow(HWND hwnd, HFONT font);
    // Restores the DC to where prepare found it, with the font bindToWindow replaced;
    // once only.
    void restoreDC();
    template <class T> static std::unique_ptr<T> prepared(T* canvas) {
        std::unique_ptr<T> owned(canvas);
        static_cast<afCanvas&>(*owned).prepare();
        return owned;
    }

    std::unique_ptr<TEXTMETRICW> m_metrics; // null until asked, dropped with the font
    int m_savedLevel = 0;                   // of the SaveDC in prepare; 0 once restored
    int m_stateLevel = 0;                   // of saveState
    HDC m_dc;
    afRect m_rect;               // the buffer's area; the client rectangle of a window's canvas
    HGDIOBJ m_oldFont = nullptr; // what bindToWindow's font replaced
};

} // namespace corvel
