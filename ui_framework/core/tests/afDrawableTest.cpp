#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afColorDrawable.h"
#include "corvel/ui/afDrawableNinePatch.h"
#include "corvel/ui/afFrameDrawable.h"
#include "corvel/ui/afHelperWindow.h"
#include "corvel/ui/afLayout.h"
#include "support/TestWidgets.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

// A 32-bit memory surface to read pixels back from.
struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    uint32_t* bits = nullptr;
    int width, height;
    Surface(int w, int h) : width(w), height(h) {
        bitmap = afBitmap::createDibSection(w, h, reinterpret_cast<void**>(&bits));
        old = SelectObject(dc, bitmap);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // COLORREF of a pixel (the section is top-down BGRA).
    COLORREF at(int x, int y) const {
        GdiFlush();
        uint32_t p = bits[y * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    HGDIOBJ old;
};

struct FrameCase {
    int edges;
    int x, y;
    COLORREF expected;
};

::testing::AssertionResult framePixel(const FrameCase& c) {
    Surface surface(12, 12);
    auto frame = afFrameDrawable::create(RGB(255, 0, 0), RGB(0, 0, 255), c.edges);
    frame->setBounds(afRect(1, 1, 11, 11));
    {
        std::unique_ptr<afCanvas> canvas = afCanvas::create(surface.dc);
        frame->draw(*canvas, nullptr);
    }
    COLORREF got = surface.at(c.x, c.y);
    if (got == c.expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "edges " << c.edges << " at " << c.x << "," << c.y << ": " << std::hex
                                         << got;
}

TEST(FrameDrawable, LinesLieInsideTheBounds) {
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), black = RGB(0, 0, 0);
    const FrameCase cases[] = {
        {0, 1, 1, blue},  {0, 10, 10, blue}, {15, 1, 5, red},    {15, 10, 5, red},   {15, 5, 1, red},
        {15, 5, 10, red}, {15, 5, 5, blue},  {15, 11, 5, black}, {15, 5, 11, black}, {4, 1, 5, blue},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(framePixel(c));
}

TEST(ColorDrawable, FillsItsBounds) {
    Surface surface(4, 4);
    auto fill = afColorDrawable::create(RGB(1, 2, 3));
    fill->setBounds(afRect(0, 0, 2, 4));
    std::unique_ptr<afCanvas> canvas = afCanvas::create(surface.dc);
    fill->draw(*canvas, nullptr);
    EXPECT_EQ(RGB(1, 2, 3), surface.at(1, 3));
    EXPECT_EQ(RGB(0, 0, 0), surface.at(2, 0));
}

TEST(NinePatchDrawable, RendersAgainOnlyForANewSize) {
    auto bitmap = afBitmap::create(6, 6);
    afNinePatch patch(std::move(bitmap), afRect(2, 2, 4, 4), afRect(1, 2, 3, 4));
    auto drawable = afDrawableNinePatch::create(&patch);
    Surface surface(40, 40);
    std::unique_ptr<afCanvas> canvas = afCanvas::create(surface.dc);
    drawable->setBounds(afRect(0, 0, 20, 10));
    drawable->draw(*canvas, nullptr);
    drawable->draw(*canvas, nullptr);
    EXPECT_EQ(1, drawable->getRenderCount());
    drawable->setBounds(afRect(5, 5, 25, 15)); // moved, same size
    drawable->draw(*canvas, nullptr);
    EXPECT_EQ(1, drawable->getRenderCount());
    drawable->setBounds(afRect(5, 5, 30, 15));
    drawable->draw(*canvas, nullptr);
    EXPECT_EQ(2, drawable->getRenderCount());
    // A view takes the nine-patch's padding and listens to the drawable.
    afLayout view(nullptr);
    view.setBackground(drawable.release());
    EXPECT_EQ(2, view.getPadding().top);
    EXPECT_EQ(&view, static_cast<afDrawable*>(view.getBackground())->getListener());
}

TEST(Drawable, BoundsWithoutAListenerChangeSilently) {
    afColorDrawable fill(0);
    fill.setBounds(afRect(1, 2, 3, 4));
    EXPECT_EQ(3, fill.getBounds().right);
    RECT padding;
    EXPECT_FALSE(fill.getPadding(padding));
}

class CountingHelper : public afHelperWindow {
public:
    CountingHelper() : afHelperWindow(nullptr) {}
    bool buildSeed(Seed& seed) override {
        afHelperWindow::buildSeed(seed);
        seed.x = 10;
        seed.y = 10;
        seed.width = 30;
        seed.height = 20;
        return true;
    }
    void onLayeredPaint(afCanvas& canvas, int, int, int width, int height) override {
        ++paints;
        canvas.fillRect(RGB(9, 9, 9), afRect(0, 0, width, height));
    }
    int paints = 0;
};

TEST(HelperWindow, PaintsOnceAtCreation) {
    uitest::WithResources resources;
    CountingHelper helper;
    EXPECT_FALSE(helper.isShown());
    helper.create();
    EXPECT_EQ(1, helper.paints);
    EXPECT_EQ(0x000800A8u, helper.getExStyle() & 0x000800A8u);
    helper.updateLayered();
    EXPECT_EQ(2, helper.paints);
}

} // namespace
