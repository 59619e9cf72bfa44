#include "corvel/ui/afUnicodeRenderer.h"

#include "corvel/ui/afCanvas.h"
#include "support/TextFixture.h"

namespace {

using corvel::afUnicodeBlendedStyle;
using corvel::afUnicodeRenderer;
using corvel::afUnicodeStyleCell;
using corvel::ColorF;
using uitest::MONO_CELL;
using uitest::MONO_HEIGHT;

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF BLACK = 0x000000;
constexpr COLORREF RED = 0x0000FF;
constexpr COLORREF BLUE = 0xFF0000;
constexpr COLORREF GREEN = 0x00FF00;
constexpr COLORREF GREY = 0x808080;

class CellLayer : public corvel::afUnicodeStyleLayer {
public:
    CellLayer(uint32_t background, int from, int to, bool bar = false) : m_from(from), m_to(to), m_bar(bar) {
        m_style.background = ColorF::fromPacked(background);
    }
    void restyle(int, int, int, std::vector<afUnicodeStyleCell>& cells) override {
        for (int i = m_from; i < m_to && i < static_cast<int>(cells.size()); ++i)
            (m_bar ? cells[i].barMask : cells[i].layerMask) |= mask();
    }
    void getStyle(afUnicodeBlendedStyle* style) override { *style = m_style; }

private:
    int m_from, m_to;
    bool m_bar;
    afUnicodeBlendedStyle m_style;
};

// Rows are drawn into a 32-bit top-down DIB whose pixels the tests read back.
class RendererTest : public uitest::TextFixture {
protected:
    static constexpr int WIDTH = 400;
    static constexpr int HEIGHT = 3 * MONO_HEIGHT;

    void SetUp() override {
        uitest::TextFixture::SetUp();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = WIDTH;
        info.bmiHeader.biHeight = -HEIGHT;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        ASSERT_TRUE(m_bitmap);
        m_old = SelectObject(m_dc, m_bitmap);
        renderer.reset(new afUnicodeRenderer(context.get()));
        afUnicodeRenderer::Colors colors = renderer->colors();
        colors.colors[2] = ColorF(0, 0, 0, 1); // marks in black
        renderer->setColors(colors);
        line.setEndOfLineColor(0xFFFFFFFF);
    }
    void TearDown() override {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }

    void draw(int row = 0, int scroll = 0, ColorF overlay = ColorF(), bool withLayout = true) {
        if (withLayout) {
            line.setRestyleMark(true);
            context->applyStyleLayers(line, 0, 0);
        }
        std::unique_ptr<corvel::afCanvas> canvas = corvel::afCanvas::create(m_dc);
        afUnicodeRenderer::Request request;
        request.canvas = canvas.get();
        request.row = row;
        request.scroll = scroll;
        request.textLeft = 0;
        request.rowTop = 0;
        request.rightClip = WIDTH;
        request.rowBottom = MONO_HEIGHT;
        request.background = RECT{0, 0, WIDTH, MONO_HEIGHT};
        request.overlay = overlay;
        request.layout = withLayout ? &line : nullptr;
        renderer->drawLine(request);
        GdiFlush();
    }
    COLORREF pixel(int x, int y) const {
        uint32_t bgra = m_bits[y * WIDTH + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }

    struct Spot {
        const char* what;
        int x, y;
        COLORREF color;
    };
    ::testing::AssertionResult shows(const Spot& spot) const {
        COLORREF actual = pixel(spot.x, spot.y);
        if (actual == spot.color)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << spot.what << " at (" << spot.x << ", " << spot.y << "): 0x" << std::hex
                                             << actual << " instead of 0x" << spot.color;
    }
    void expectSpots(const std::vector<Spot>& spots) const {
        for (const Spot& spot : spots)
            EXPECT_TRUE(shows(spot));
    }
    static int centre(int cell) { return cell * MONO_CELL + MONO_CELL / 2; }

    std::unique_ptr<afUnicodeRenderer> renderer;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

TEST_F(RendererTest, WithoutALayoutOnlyTheBackgroundIsFilled) {
    draw(0, 0, ColorF(), false);
    expectSpots({{"background", 5, 5, WHITE}, {"background", 300, 15, WHITE}});
    draw(0, 0, ColorF::fromPacked(0x80000000), false);
    EXPECT_TRUE(shows({"half-black overlay", 5, 5, ColorF(1, 1, 1, 1).blend(ColorF(), 128 / 255.0f).toColorRef()}));
}

TEST_F(RendererTest, TextTakesItsStyleColours) {
    styles.styles[1] = corvel::afUnicodeStyle{0xFF00FF00, 0xFF0000FF, 0, 0};
    ASSERT_TRUE(lay(L"ab cd"));
    line.cells()[3].styleId = 1;
    draw();
    expectSpots({
        {"a", centre(0), 10, BLACK},
        {"space", centre(2), 10, WHITE},
        {"red d on green", centre(3), 10, RED},
        {"green around d", 3 * MONO_CELL, 0, GREEN},
        {"white around a", 0, 0, WHITE},
        {"past the text", centre(10), 10, WHITE},
    });
}

TEST_F(RendererTest, LayersPaintBackgroundsBarsAndColumnsPastTheText) {
    CellLayer selection(0xFFFF0000, 1, 6);
    CellLayer bar(0xFF0000FF, 2, 3, true);
    context->addStyleLayer(&selection);
    context->addStyleLayer(&bar);
    ASSERT_TRUE(lay(L"abc", 4));
    line.setEndOfLineColor(0xFF808080);
    draw();
    expectSpots({
        {"unselected a", 0, 0, WHITE},
        {"selected b", MONO_CELL, 0, BLUE},
        {"bar strip of c", 2 * MONO_CELL, 0, RED},
        {"bar strip of c", 2 * MONO_CELL + 1, 0, RED},
        {"after the strip", 2 * MONO_CELL + 2, 0, BLUE},
        {"selected column past the text", centre(4), 10, BLUE},
        {"selected column past the text", centre(5), 10, BLUE},
        {"unselected cell past the text", centre(6), 10, GREY},
        {"no cells left", centre(9), 10, GREY},
    });
}

TEST_F(RendererTest, SpaceDotsFollowTheRegions) {
    renderer->setWhitespace(false, false, true);
    ASSERT_TRUE(lay(L"a  b  "));
    line.setWhitespaceBounds(0, 4);
    draw();
    expectSpots({
        {"inner space", centre(1), 10, WHITE},
        {"inner space", centre(2), 10, WHITE},
        {"trailing dot", centre(4), 10, BLACK},
        {"trailing dot arm", centre(4) + 1, 10, BLACK},
        {"trailing dot", centre(5), 10, BLACK},
        {"beside the dot", centre(5) + 3, 10, WHITE},
    });
    renderer->setWhitespace(false, true, false);
    draw();
    expectSpots({{"inner dot", centre(1), 10, BLACK}, {"trailing space", centre(4), 10, WHITE}});
}

TEST_F(RendererTest, TabsDrawArrowsAndControlsDrawBoxes) {
    renderer->setWhitespace(true, true, true);
    ASSERT_TRUE(lay(L"\tx\x07"));
    draw();
    const int box = 4 * MONO_CELL + MONO_CELL; // after the tab (48) and x (12)
    expectSpots({
        {"arrow shaft", 20, 10, BLACK},
        {"arrow tip", 45, 10, BLACK},
        {"past the tip", 47, 10, WHITE},
        {"above the shaft", 20, 5, WHITE},
        {"x after the tab", 48 + 6, 10, BLACK},
        {"box", box + 1, 0, BLACK},
        {"notched corner", box, 0, WHITE},
        {"widened side", box, 1, BLACK},
    });
}

TEST_F(RendererTest, GuidesMarginAndWrapMarks) {
    renderer->setShowIndentGuides(true);
    renderer->setMargin(30 * MONO_CELL);
    ASSERT_TRUE(lay(std::wstring(12, L' ') + L"x"));
    line.setIndent(12);
    draw();
    expectSpots({
        {"guide at column 4", 4 * MONO_CELL, 0, BLACK},
        {"guide at column 8", 8 * MONO_CELL, 19, BLACK},
        {"none at column 0", 0, 0, WHITE},
        {"none at column 12", 12 * MONO_CELL, 0, WHITE},
        {"margin", 30 * MONO_CELL, 10, BLACK},
    });

    renderer->setShowIndentGuides(false);
    renderer->setMargin(0);
    context->setWrap(true, 30 * MONO_CELL);
    ASSERT_TRUE(lay(std::wstring(45, L'x')));
    ASSERT_EQ(line.rowCount(), 2);
    draw(1);
    const int mark = 2 * MONO_CELL - MONO_CELL / 2 - MONO_CELL; // 6
    expectSpots({
        {"wrap mark down", mark, 2, BLACK},
        {"wrap mark across", mark + 6, MONO_HEIGHT / 2, BLACK},
        {"wrap mark ends", mark, MONO_HEIGHT - 2, WHITE},
        {"continued text", 2 * MONO_CELL + 6, 10, BLACK},
    });
}

TEST_F(RendererTest, ScrolledRowsAndRowsPastTheLast) {
    ASSERT_TRUE(lay(L"ab\tcd"));
    draw(0, -30);
    // "ab" (24) is passed; the tab (24 wide) starts at -6; c lands at 18.
    expectSpots({{"tab area", 6, 10, WHITE}, {"c", 24, 10, BLACK}, {"d", 36, 10, BLACK}, {"past d", 44, 10, WHITE}});
    draw(5);
    expectSpots({{"row past the last", centre(0), 10, WHITE}});
}

TEST_F(RendererTest, RightToLeftBarsSitAtRightEdges) {
    // The second letter in logical order is drawn in the left cell.
    CellLayer bar(0xFF0000FF, 1, 2, true);
    context->addStyleLayer(&bar);
    ASSERT_TRUE(lay(L"\x5d0\x5d1"));
    ASSERT_TRUE(line.items()[0].rightToLeft());
    draw();
    expectSpots({
        {"right strip of the left cell", MONO_CELL - 1, 0, RED},
        {"right strip of the left cell", MONO_CELL - 2, 0, RED},
        {"left edge of the left cell", 0, 0, WHITE},
        {"right cell has no bar", 2 * MONO_CELL - 1, 0, WHITE},
        {"letter", centre(0), 10, BLACK},
        {"letter", centre(1), 10, BLACK},
    });
}

} // namespace
