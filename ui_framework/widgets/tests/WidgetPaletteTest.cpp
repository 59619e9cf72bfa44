#include "corvel/widgets/WidgetPalette.h"

#include "../../core/tests/support/DibTarget.h"
#include "../../core/tests/support/TestWidgets.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlSplitter.h"
#include "zem/base/Crc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace corvel;

namespace {

std::string hex(COLORREF color) {
    char text[16];
    snprintf(text, sizeof(text), "0x%06lX", static_cast<unsigned long>(color));
    return text;
}

class WidgetPaletteTest : public ::testing::Test {
protected:
    void SetUp() override { palette = std::make_unique<WidgetPalette>(); }

    // Paints fill index into a DIB of height rows (gradient or flat) and compares each row.
    ::testing::AssertionResult paintsRows(int index, int height, bool gradient, const std::vector<COLORREF>& rows) {
        palette->setGradientMode(gradient);
        corveltest::DibTarget dib(4, height + 2, RGB(1, 2, 3));
        auto canvas = afCanvas::create(dib.dc());
        palette->fill(index, *canvas, RECT{0, 1, 4, 1 + height});
        canvas.reset();
        if (dib.pixel(0, 0) != RGB(1, 2, 3) || dib.pixel(3, height + 1) != RGB(1, 2, 3))
            return ::testing::AssertionFailure() << "fill " << index << " painted outside its rectangle";
        for (int row = 0; row < height; ++row) {
            COLORREF expected = rows[row];
            if (dib.pixel(0, 1 + row) != expected || dib.pixel(3, 1 + row) != expected)
                return ::testing::AssertionFailure()
                       << "fill " << index << " height " << height << " row " << row << ": expected " << hex(expected)
                       << ", got " << hex(dib.pixel(0, 1 + row));
        }
        return ::testing::AssertionSuccess();
    }

    uitest::WithResources resources;
    std::unique_ptr<WidgetPalette> palette;
};

::testing::AssertionResult shadesAre(WidgetPalette& palette, COLORREF face, const std::vector<COLORREF>& expected) {
    palette.rebuildFrom(face);
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == CLR_INVALID)
            continue;
        if (palette.color(static_cast<int>(i)) != expected[i])
            return ::testing::AssertionFailure()
                   << "face " << hex(face) << " colour " << i << ": expected " << hex(expected[i]) << ", got "
                   << hex(palette.color(static_cast<int>(i)));
    }
    return ::testing::AssertionSuccess();
}

COLORREF grey(int value) {
    return RGB(value, value, value);
}

} // namespace

TEST_F(WidgetPaletteTest, ShadesKeepTheButtonFaceHueAndReplaceItsLightness) {
    std::vector<COLORREF> greys;
    for (int value : {255, 248, 238, 221, 212, 204, 187, 170, 153, 136, 119, 102, 85, 68, 51, 34})
        greys.push_back(grey(value));
    greys.insert(greys.end(), {0, 0, 0xE2944F, 0xCE7737, 0xCBFFFF, 0x9BFFFF});
    // Any grey face, light or dark, gives the same greys: only hue and saturation are kept.
    EXPECT_TRUE(shadesAre(*palette, grey(0xC0), greys));
    EXPECT_TRUE(shadesAre(*palette, grey(0xF0), greys));
    EXPECT_TRUE(shadesAre(*palette, grey(0), greys));
    // A warm face keeps its tint through every shade.
    const COLORREF x = CLR_INVALID;
    EXPECT_TRUE(shadesAre(*palette, RGB(236, 233, 216),
                          {grey(255), RGB(250, 249, 245), x, x, RGB(227, 222, 197), x, x, x, RGB(188, 177, 117), x, x,
                           x, x, x, x, RGB(45, 42, 22)}));
}

TEST_F(WidgetPaletteTest, FillsPaintRowsFromTopToBottomColour) {
    palette->rebuildFrom(grey(0xC0));
    const COLORREF top = 0xFCF9F2, bottom = 0xF6ECD8;
    const COLORREF mid = WidgetPalette::gradientRow(palette->getFill(3), 2, 6);
    EXPECT_TRUE(paintsRows(3, 6, true,
                           {top, WidgetPalette::gradientRow(palette->getFill(3), 1, 6), mid,
                            WidgetPalette::gradientRow(palette->getFill(3), 3, 6), bottom, bottom}));
    // Halfway down a six-row fill the share is exactly one half.
    EXPECT_EQ(RGB((0xF2 + 0xD8) / 2, (0xF9 + 0xEC) / 2, (0xFC + 0xF6) / 2), mid);
    // Strips of two rows or less used to divide by zero; the last row overshot the bottom.
    EXPECT_TRUE(paintsRows(3, 2, true, {top, bottom}));
    EXPECT_TRUE(paintsRows(3, 1, true, {top}));
    EXPECT_TRUE(paintsRows(1, 3, true, {grey(238), grey(221), grey(221)}));
    EXPECT_TRUE(paintsRows(6, 4, true, {grey(248), RGB(243, 243, 243), grey(238), grey(238)}));
    EXPECT_TRUE(paintsRows(2, 3, true, {grey(255), grey(255), grey(255)}));
}

TEST_F(WidgetPaletteTest, WithoutThemedDrawingEveryFillPaintsItsFlatColour) {
    palette->rebuildFrom(grey(0xC0));
    for (int index = 0; index < WidgetPalette::FILL_COUNT; ++index) {
        COLORREF flat = palette->getFill(index).flat;
        EXPECT_TRUE(paintsRows(index, 3, false, {flat, flat, flat}));
    }
    // Fill 20 is a white gradient but the warning accent when flat.
    EXPECT_TRUE(paintsRows(20, 3, false, {0xCBFFFF, 0xCBFFFF, 0xCBFFFF}));
    EXPECT_TRUE(paintsRows(20, 3, true, {grey(255), grey(255), grey(255)}));
    EXPECT_TRUE(paintsRows(4, 2, true, {0xCBFFFF, 0x9BFFFF}));
}

TEST_F(WidgetPaletteTest, IsTheLiveInstanceAndRegistersThePlusIcon) {
    EXPECT_EQ(palette.get(), WidgetPalette::instance());
    const afIcon* plus = afResources::find(zem::symbolId(L"plus"));
    ASSERT_NE(nullptr, plus);
    EXPECT_EQ(16, plus->getSize());
    palette.reset();
    EXPECT_EQ(nullptr, WidgetPalette::instance());
}

namespace {

struct SplitterCase {
    bool left;
    bool active;
    bool targetVisible;
    int fill;       // colour index of the bar
    int firstEdge;  // colour index of the top (bottom splitter) or right (left splitter) line
    int secondEdge; // colour index of the bottom or left line, -1 for none
};

} // namespace

TEST_F(WidgetPaletteTest, SplitterPaintersDrawTheirLinesByStateAndTargetVisibility) {
    const SplitterCase cases[] = {
        {false, false, true, 2, 5, 5},  {false, false, false, 2, 5, -1}, {false, true, true, 3, 7, 5},
        {false, true, false, 3, 7, -1}, {true, false, true, 2, 5, -1},   {true, true, true, 3, 7, 5},
        {true, true, false, 3, 7, -1},
    };
    // Shades of a tinted face differ from each other, so each line's colour is told apart.
    palette->rebuildFrom(RGB(236, 233, 216));
    for (const SplitterCase& c : cases) {
        afLayoutLinear target(nullptr, afLayoutLinear::VERTICAL);
        target.setVisible(c.targetVisible);
        afControlSplitter splitter(nullptr, &target, c.left ? afControlSplitter::HORIZONTAL : 0);
        corveltest::DibTarget dib(8, 8, RGB(1, 2, 3));
        auto canvas = afCanvas::create(dib.dc());
        (c.left ? WidgetPalette::paintLeftSplitter : WidgetPalette::paintBottomSplitter)(
            palette.get(), &splitter, canvas.get(), RECT{0, 0, 8, 8}, c.active);
        canvas.reset();
        SCOPED_TRACE(::testing::Message()
                     << "left " << c.left << " active " << c.active << " visible " << c.targetVisible);
        EXPECT_EQ(palette->color(c.fill), dib.pixel(4, 4));
        EXPECT_EQ(palette->color(c.firstEdge), c.left ? dib.pixel(7, 4) : dib.pixel(4, 0));
        COLORREF second = c.left ? dib.pixel(0, 4) : dib.pixel(4, 7);
        EXPECT_EQ(palette->color(c.secondEdge < 0 ? c.fill : c.secondEdge), second);
    }
}
