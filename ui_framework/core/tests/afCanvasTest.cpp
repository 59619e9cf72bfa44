#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afBitmap.h"
#include "corvel/ui/afCanvasBuffer.h"
#include "corvel/ui/afCanvasPaint.h"
#include "corvel/ui/afCanvasRegion.h"
#include "corvel/ui/afCanvasWidget.h"
#include "corvel/ui/afIcon.h"

#include "support/DibTarget.h"
#include "support/TestWindow.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using corvel::afCanvas;
using corvel::afRect;
using corveltest::DibTarget;

namespace {

const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLUE = RGB(0, 0, 255);

TEST(afCanvasTest, EdgesLieInsideTheRectangle) {
    DibTarget target(20, 20);
    {
        auto canvas = afCanvas::create(target.dc());
        canvas->drawEdges(afRect(2, 3, 12, 13), 15, RED);
    }
    EXPECT_EQ(RED, target.pixel(2, 3));   // top-left
    EXPECT_EQ(RED, target.pixel(11, 3));  // top, last column
    EXPECT_EQ(RED, target.pixel(11, 12)); // right and bottom one pixel in
    EXPECT_EQ(RED, target.pixel(2, 12));
    EXPECT_EQ(WHITE, target.pixel(12, 5));
    EXPECT_EQ(WHITE, target.pixel(5, 13));
    EXPECT_EQ(WHITE, target.pixel(6, 7));
    EXPECT_EQ(10 * 2 + 8 * 2, target.count(RED));
}

TEST(afCanvasTest, EdgeFlagsPickTheSides) {
    struct Case {
        int flags;
        POINT inside;  // a pixel the flags draw
        POINT outside; // a pixel of another side
    } cases[] = {{1, {2, 8}, {11, 8}}, {2, {6, 3}, {6, 12}}, {4, {11, 8}, {2, 8}}, {8, {6, 12}, {6, 3}}};
    for (const Case& c : cases) {
        DibTarget target(20, 20);
        afCanvas::create(target.dc())->drawEdges(afRect(2, 3, 12, 13), c.flags, BLUE);
        EXPECT_EQ(BLUE, target.pixel(c.inside.x, c.inside.y)) << "flags " << c.flags;
        EXPECT_EQ(WHITE, target.pixel(c.outside.x, c.outside.y)) << "flags " << c.flags;
    }
}

TEST(afCanvasTest, FillAndTextRestoreTheDCColours) {
    DibTarget target(40, 20);
    SetBkColor(target.dc(), RGB(1, 2, 3));
    SetTextColor(target.dc(), RGB(4, 5, 6));
    SetBkMode(target.dc(), OPAQUE);
    {
        auto canvas = afCanvas::create(target.dc());
        canvas->fillRect(RED, afRect(5, 5, 15, 10));
        canvas->drawText(L"W", afRect(20, 0, 40, 20), BLUE, DT_SINGLELINE);
    }
    EXPECT_EQ(50, target.count(RED));
    EXPECT_EQ(50, target.count(RED, afRect(5, 5, 15, 10)));
    EXPECT_LT(0, target.count(BLUE, afRect(20, 0, 40, 20)));
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(target.dc()));
    EXPECT_EQ(RGB(4, 5, 6), GetTextColor(target.dc()));
    EXPECT_EQ(OPAQUE, GetBkMode(target.dc()));
}

TEST(afCanvasTest, EndingTheCanvasRestoresTheDC) {
    DibTarget target(10, 10);
    HGDIOBJ font = GetCurrentObject(target.dc(), OBJ_FONT);
    HGDIOBJ pen = GetCurrentObject(target.dc(), OBJ_PEN);
    {
        auto canvas = afCanvas::create(target.dc());
        EXPECT_EQ(GetStockObject(DC_PEN), GetCurrentObject(target.dc(), OBJ_PEN));
        canvas->selectObject(GetStockObject(ANSI_FIXED_FONT));
        canvas->setViewportOrigin(3, 4);
        EXPECT_EQ(3, canvas->getViewportOrigin().x);
    }
    EXPECT_EQ(font, GetCurrentObject(target.dc(), OBJ_FONT));
    EXPECT_EQ(pen, GetCurrentObject(target.dc(), OBJ_PEN));
    POINT origin;
    GetViewportOrgEx(target.dc(), &origin);
    EXPECT_EQ(0, origin.x);
}

TEST(afCanvasTest, MetricsFollowTheSelectedFont) {
    DibTarget target(10, 10);
    auto canvas = afCanvas::create(target.dc());
    HFONT small = CreateFontW(-10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    HFONT large = CreateFontW(-30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    canvas->selectObject(small);
    int smallHeight = canvas->getLineHeight();
    canvas->selectObject(large);
    int largeHeight = canvas->getLineHeight();
    EXPECT_LT(smallHeight, largeHeight);
    const TEXTMETRICW& metrics = canvas->getTextMetrics();
    EXPECT_EQ(largeHeight, metrics.tmHeight + metrics.tmExternalLeading);
    canvas.reset();
    DeleteObject(small);
    DeleteObject(large);
}

TEST(afCanvasTest, MeasureTextCountsWholeLines) {
    DibTarget target(10, 10);
    auto canvas = afCanvas::create(target.dc());
    int line = canvas->getLineHeight();
    ASSERT_LT(0, line);
    SIZE empty = canvas->measureText(L"", 100);
    EXPECT_EQ(0, empty.cx);
    EXPECT_EQ(line, empty.cy);
    SIZE one = canvas->measureText(L"one line", 0);
    EXPECT_EQ(line, one.cy);
    EXPECT_LT(0, one.cx);
    SIZE wrapped = canvas->measureText(L"several words that wrap into lines", 40);
    EXPECT_LT(line, wrapped.cy);
    EXPECT_EQ(0, wrapped.cy % line);
    SIZE prefix = canvas->measureText(L"one line and more", 8, 0); // only "one line"
    EXPECT_EQ(one.cx, prefix.cx);
}

TEST(afCanvasTest, ClipRegions) {
    DibTarget target(20, 20);
    auto canvas = afCanvas::create(target.dc());
    EXPECT_EQ(nullptr, canvas->getClipRegion());
    auto clip = corvel::afCanvasRegion::create(CreateRectRgn(5, 5, 10, 10));
    canvas->setClipRegion(clip.get());
    auto read = canvas->getClipRegion();
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(0, afRect::compare(afRect(5, 5, 10, 10), read->getBox()));
    EXPECT_TRUE(read->containsRect(afRect(6, 6, 7, 7)));
    EXPECT_FALSE(read->containsRect(afRect(12, 12, 14, 14)));
    canvas->fillRect(RED, afRect(0, 0, 20, 20));
    EXPECT_EQ(25, target.count(RED));
    canvas->setClipRegion(nullptr);
    EXPECT_EQ(nullptr, canvas->getClipRegion());
}

TEST(afCanvasTest, NullRegionHandlesThrow) {
    try {
        corvel::afCanvasRegion::create(nullptr);
        FAIL() << "no exception";
    } catch (const zem::NullPointerException& e) {
        EXPECT_EQ(L"Handle to a region is NULL.", e.message());
    }
    auto region = corvel::afCanvasRegion::createEmpty();
    HRGN handle = region->release();
    EXPECT_THROW(region->getHandle(), zem::NullPointerException);
    DeleteObject(handle);
}

TEST(afCanvasTest, BufferCopiesBackAtItsArea) {
    DibTarget target(30, 30);
    auto canvas = afCanvas::create(target.dc());
    HBITMAP bitmap;
    {
        auto buffer = afCanvas::createBuffer(afRect(10, 5, 20, 15), *canvas, true);
        EXPECT_EQ(10, buffer->getRect().width());
        buffer->fillRect(RED, afRect(0, 0, 10, 10));
        buffer->fillRect(BLUE, afRect(0, 0, 1, 1));
        EXPECT_EQ(0, target.count(RED)); // nothing lands before the end
        bitmap = buffer->getBitmap();
    }
    EXPECT_EQ(BLUE, target.pixel(10, 5));
    EXPECT_EQ(99, target.count(RED, afRect(10, 5, 20, 15)));
    EXPECT_EQ(99, target.count(RED));
    // Deleted although it was selected into the buffer's DC until the end.
    EXPECT_EQ(0u, GetObjectType(bitmap));
}

TEST(afCanvasTest, BufferWithoutCopyBackLeavesTheTarget) {
    DibTarget target(30, 30);
    auto canvas = afCanvas::create(target.dc());
    {
        auto buffer = afCanvas::createBuffer(afRect(0, 0, 30, 30), *canvas, false);
        buffer->fillRect(RED, afRect(0, 0, 30, 30));
    }
    EXPECT_EQ(0, target.count(RED));
}

TEST(afCanvasTest, FlushIsCutToTheClip) {
    DibTarget target(30, 30);
    auto buffer = afCanvas::createBufferFor(afRect(0, 0, 10, 10), target.dc());
    buffer->fillRect(RED, afRect(0, 0, 10, 10));
    RECT clip{0, 0, 25, 23};
    buffer->flush(20, 20, &clip);
    EXPECT_EQ(5 * 3, target.count(RED));
    buffer->flush(0, 0, nullptr);
    EXPECT_EQ(100 + 15, target.count(RED));
}

TEST(afCanvasTest, AlphaBlendTakesPremultipliedPixels) {
    DibTarget target(10, 10);
    auto bitmap = corvel::afBitmap::create(4, 4);
    ASSERT_NE(nullptr, bitmap);
    uint8_t* bits = bitmap->getBits();
    for (int i = 0; i < 16; ++i) {
        bits[i * 4 + 2] = 128; // red 255 at alpha 128, premultiplied
        bits[i * 4 + 3] = 128;
    }
    afCanvas::create(target.dc())->alphaBlendBitmap(*bitmap, 3, 3);
    COLORREF blended = target.pixel(4, 4);
    EXPECT_NEAR(255, GetRValue(blended), 2);
    EXPECT_NEAR(127, GetGValue(blended), 2);
    EXPECT_EQ(WHITE, target.pixel(2, 2));
    EXPECT_EQ(WHITE, target.pixel(7, 7));
}

HICON solidIcon(int size, COLORREF color) {
    DibTarget image(size, size, color);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, static_cast<HBITMAP>(GetCurrentObject(image.dc(), OBJ_BITMAP))};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    return icon;
}

::testing::AssertionResult iconLandsAt(int gravity, const RECT& rect, int x, int y) {
    DibTarget target(60, 60);
    corvel::afIcon icon(solidIcon(16, RED), 16, true);
    afCanvas::create(target.dc())->drawIcon(rect, icon, gravity);
    bool placed = target.count(RED) == 256 && target.count(RED, afRect(x, y, x + 16, y + 16)) == 256;
    if (placed)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "gravity 0x" << std::hex << gravity << std::dec << ": " << target.count(RED)
                                         << " red pixels, " << target.count(RED, afRect(x, y, x + 16, y + 16))
                                         << " at (" << x << ", " << y << ")";
}

TEST(afCanvasTest, IconGravity) {
    RECT area{10, 10, 50, 40};
    EXPECT_TRUE(iconLandsAt(0, area, 22, 17));
    EXPECT_TRUE(iconLandsAt(0x03, area, 10, 17));
    EXPECT_TRUE(iconLandsAt(0x05, area, 34, 17));
    EXPECT_TRUE(iconLandsAt(0x33, area, 10, 10));
    EXPECT_TRUE(iconLandsAt(0x55, area, 34, 24));
    EXPECT_TRUE(iconLandsAt(0x05, RECT{10, 10, 20, 26}, 10, 10)); // never left of the rectangle
    DibTarget target(20, 20);
    corvel::afIcon icon(solidIcon(16, RED), 16, true);
    afCanvas::create(target.dc())->drawIcon(RECT{5, 5, 5, 20}, icon, 0);
    EXPECT_EQ(0, target.count(RED)); // empty rectangle
}

TEST(afCanvasTest, MenuCheckIsCentredInTheColours) {
    DibTarget target(40, 40);
    SetTextColor(target.dc(), RGB(7, 7, 7));
    int height = GetSystemMetrics(SM_CYMENUCHECK);
    afCanvas::create(target.dc())->drawMenuCheck(RECT{5, 0, 25, 40}, BLUE, RED);
    int top = (40 - height) / 2;
    EXPECT_EQ(20 * height, target.count(BLUE) + target.count(RED));
    EXPECT_LT(0, target.count(RED, afRect(5, top, 25, top + height)));
    EXPECT_EQ(RGB(7, 7, 7), GetTextColor(target.dc()));
}

TEST(afCanvasTest, PaintCanvasReadsTheUpdateRegionAndValidates) {
    zemtest::TestWindow window;
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    window.drain();
    ValidateRect(window.handle(), nullptr);
    RECT dirty{3, 4, 30, 20};
    InvalidateRect(window.handle(), &dirty, FALSE);
    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    {
        auto paint = afCanvas::createPaint(window.handle(), font);
        EXPECT_EQ(0, afRect::compare(dirty, paint->getUpdateBox()));
        RECT client;
        GetClientRect(window.handle(), &client);
        EXPECT_EQ(client.right, paint->getClientRect().width());
        EXPECT_EQ(font, GetCurrentObject(paint->getDC(), OBJ_FONT));
        EXPECT_NE(nullptr, paint->getUpdateRegion());
    }
    EXPECT_FALSE(GetUpdateRect(window.handle(), nullptr, FALSE));
    auto widget = corvel::afCanvasWidget::create(window.handle(), font);
    EXPECT_EQ(font, GetCurrentObject(widget->getDC(), OBJ_FONT));
    widget.reset();

    // Given a DC (as with WM_PRINTCLIENT), the canvas neither begins nor ends a paint cycle.
    InvalidateRect(window.handle(), &dirty, FALSE);
    HDC given = GetDC(window.handle());
    HGDIOBJ givenFont = GetCurrentObject(given, OBJ_FONT);
    {
        auto paint = afCanvas::createPaint(window.handle(), font, given);
        EXPECT_EQ(given, paint->getDC());
        EXPECT_EQ(0, afRect::compare(dirty, paint->getUpdateBox()));
    }
    EXPECT_EQ(givenFont, GetCurrentObject(given, OBJ_FONT));
    ReleaseDC(window.handle(), given);
    EXPECT_TRUE(GetUpdateRect(window.handle(), nullptr, FALSE));
}

} // namespace
