// The colours of the application's own widgets (tab strips, tab and status buttons, the
// tool strip, splitters): sixteen shades of the system's button face, a few fixed accents,
// and numbered fills that paint as vertical gradients when themed drawing is available
// and as flat colours otherwise. One palette lives at a time; the application makes it
// during start-up and widgets find it through instance(). Main thread only.
#pragma once
#include <string>
#include <windows.h>

namespace corvel {

class afCanvas;
class afControlSplitter;

class WidgetPalette {
public:
    static constexpr int COLOR_COUNT = 22;
    static constexpr int FILL_COUNT = 23;

    struct Fill {
        COLORREF top;
        COLORREF bottom;
        COLORREF flat;
    };

    // Builds colours and fills (rebuild) and registers the 16-pixel "plus" icon; becomes
    // the live palette. Needs the resource registry.
    WidgetPalette();
    ~WidgetPalette();
    WidgetPalette(const WidgetPalette&) = delete;
    WidgetPalette& operator=(const WidgetPalette&) = delete;

    // The live palette, or null before start-up made one and after exit deleted it.
    static WidgetPalette* instance();

    // Recomputes colours and fills from the current button face and re-reads whether
    // themed drawing is available.
    void rebuild();
    // Colours and fills from a given button face; the gradient mode stays.
    void rebuildFrom(COLORREF buttonFace);
    bool isGradientMode() const { return m_gradient; }
    // Gradients on or off whatever the theme says (tests, and a caller that wants flat fills).
    void setGradientMode(bool gradient) { m_gradient = gradient; }

    // Colour index (0..COLOR_COUNT-1); other indices give black.
    COLORREF color(int index) const;
    // Fill index (0..FILL_COUNT-1); other indices give the all-black fill 0.
    const Fill& getFill(int index) const;
    // Gradient mode: row by row from the fill's top to its bottom colour; else flat.
    void fill(int index, afCanvas& canvas, const RECT& rect) const;
    // The colour of row (0 <= row < height) of a gradient fill: row 0 the top colour,
    // row height - 2 and below the bottom one.
    static COLORREF gradientRow(const Fill& fill, int row, int height);
    // One line, vertically centred, with an end ellipsis; mnemonics off shows '&'.
    void drawText(const std::wstring& text, afCanvas& canvas, const RECT& rect, int colorIndex, bool mnemonics) const;

    // Painters for afControlSplitter::setPainter with the palette as object; the splitter's
    // target is the bottom bar or the sidebar whose visibility adds the second line.
    static void paintBottomSplitter(void* palette, afControlSplitter* splitter, afCanvas* canvas, const RECT& rect,
                                    bool active);
    static void paintLeftSplitter(void* palette, afControlSplitter* splitter, afCanvas* canvas, const RECT& rect,
                                  bool active);

private:
    void buildColors(COLORREF buttonFace);
    void buildFills();

    bool m_gradient = false;
    COLORREF m_colors[COLOR_COUNT] = {};
    Fill m_fills[FILL_COUNT] = {};
};

} // namespace corvel
