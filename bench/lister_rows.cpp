// Cost of a lister's scroll-and-paint step as the row count grows: 1,000 steps
// (WM_VSCROLL, then WM_PRINTCLIENT into a memory DC) over a lister of 1,000,000 rows and,
// in the same run, over one of 100 rows as the baseline. Each row draws a short text.
// Prints steps/s of both and the ratio; work should follow the visible rows only.
#include "BenchHost.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidget.h"
#include "corvel/widgets/afControlLister.h"

#include <commctrl.h>
#include <cstdio>
#include <string>
#include <windows.h>

using namespace corvel;

namespace {

const int STEPS = 1000;
const int WIDTH = 300;
const int HEIGHT = 400; // 25 rows of 16 pixels

void drawRow(void*, afControlLister*, int index, bool selected, afCanvas* canvas, const afRect& rect, bool) {
    wchar_t text[32];
    int length = swprintf(text, 32, L"Row %d", index);
    canvas->fillRect(GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW), rect);
    canvas->drawText(text, length, rect, GetSysColor(COLOR_WINDOWTEXT), DT_SINGLELINE | DT_VCENTER);
}

// Steps per second over a lister of count rows.
double run(bench::HostWindow& host, HDC dc, int count) {
    afControlLister* lister = afControlLister::create(&host);
    SetWindowPos(lister->getHandle(), nullptr, 0, 0, WIDTH, HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
    lister->drawItemCallback.set(nullptr, &drawRow);
    lister->setCount(count, false);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int step = 0; step < STEPS; ++step) {
        // Down a line, and back to the top every 50 steps, so both lists scroll alike.
        WPARAM request = step % 50 == 49 ? SB_TOP : SB_LINEDOWN;
        SendMessageW(lister->getHandle(), WM_VSCROLL, request, 0);
        SendMessageW(lister->getHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    QueryPerformanceCounter(&end);
    delete lister;
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    return STEPS / seconds;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    afResources::create();
    bench::HostWindow host(WIDTH + 40, HEIGHT + 40);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, WIDTH, HEIGHT);
    HGDIOBJ old = SelectObject(dc, bitmap);
    run(host, dc, 100); // warm-up: fonts, classes, caches
    double small = run(host, dc, 100);
    double large = run(host, dc, 1000000);
    std::printf("lister_rows: %d scroll-and-paint steps\n", STEPS);
    std::printf("  100 rows (baseline):   %10.0f steps/s\n", small);
    std::printf("  1,000,000 rows:        %10.0f steps/s\n", large);
    std::printf("  ratio (time per step, 1,000,000 rows / 100 rows): %.2f (aim: at most 1.2)\n", small / large);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return 0;
}
