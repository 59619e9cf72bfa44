#include "WidgetHost.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlLister.h"

#include <gtest/gtest.h>

using namespace corvel;

namespace {

// A memory DC over a screen-compatible bitmap that painting goes into.
struct Bitmap {
    Bitmap(int width, int height) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
    }
    ~Bitmap() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

struct ClassicCase {
    int state;
    COLORREF corner; // the top-left pixel: the outermost frame
};

TEST(ButtonPaintTest, TheClassicLookFollowsTheState) {
    uitest::WithResources resources;
    const ClassicCase cases[] = {
        {afControlButton::STATE_DEFAULT, afResources::getColor(27)},
        {afControlButton::STATE_PRESSED, GetSysColor(COLOR_BTNSHADOW)},
        {0, GetSysColor(COLOR_3DLIGHT)},
        {afControlButton::STATE_HOT, GetSysColor(COLOR_3DLIGHT)},
    };
    for (const ClassicCase& c : cases) {
        Bitmap target(80, 25);
        std::unique_ptr<afCanvas> canvas = afCanvas::create(target.dc);
        afControlButton::paintButton(*canvas, nullptr, RECT{0, 0, 80, 25}, c.state, L"OK");
        EXPECT_EQ(c.corner, GetPixel(target.dc, 0, 0)) << "state " << c.state;
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(target.dc, 6, 12)) << "state " << c.state;
    }
}

TEST(ListerPaintTest, AnEmptyListShowsItsTextBelowTheMiddle) {
    widgetstest::HostWindow host;
    afControlLister* lister = afControlLister::create(&host);
    SetWindowPos(lister->getHandle(), nullptr, 0, 0, 200, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    lister->setEmptyText(L"No items to show");
    Bitmap target(200, 200);
    SendMessageW(lister->getHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.dc), PRF_CLIENT);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    int firstInkedRow = -1;
    for (int y = 0; y < 200 && firstInkedRow < 0; ++y) {
        for (int x = 0; x < 180; ++x) {
            if (GetPixel(target.dc, x, y) != window) {
                firstInkedRow = y;
                break;
            }
        }
    }
    // Inset by 20 and lowered by 0.236 of the rest: the text starts no higher than row 56.
    EXPECT_GE(firstInkedRow, 56);
    EXPECT_LT(firstInkedRow, 120);
}

} // namespace
