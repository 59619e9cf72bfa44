// Cost of the canvas layer on the editor's drawing path: 10,000 editor-like rows, each
// drawn through a one-row afCanvas::createBuffer (fill, text, copy back), against the
// same GDI calls made by hand on a memory DC. Prints rows/s of both and the ratio.
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afCanvasBuffer.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

using corvel::afCanvas;
using corvel::afRect;

namespace {

const int ROWS = 10000;
const int WIDTH = 800;
const int ROW_HEIGHT = 16;
const int TARGET_ROWS = 40;
const COLORREF BACKGROUND = RGB(253, 246, 227);
const COLORREF FOREGROUND = RGB(88, 110, 117);
const UINT TEXT_FORMAT = DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;

std::vector<std::wstring> makeLines() {
    static const wchar_t* const lines[] = {
        L"    for (size_t i = 0; i < count; ++i) {",
        L"        const Entry& entry = m_entries[i];",
        L"        if (!entry.function || entry.userData == nullptr)",
        L"            continue; // removed while the list was invoked",
        L"        total += entry.function(entry.userData, args...);",
        L"    }",
        L"    return total;",
        L"}",
    };
    return std::vector<std::wstring>(std::begin(lines), std::end(lines));
}

// The target: a memory DC over a screen-compatible bitmap, as a window's DC would be.
struct Target {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, WIDTH, ROW_HEIGHT* TARGET_ROWS);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH, L"Courier New");
    HGDIOBJ oldFont = SelectObject(dc, font);
    ~Target() {
        SelectObject(dc, oldFont);
        DeleteObject(font);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
};

void drawWithCanvas(afCanvas& target, const std::wstring& line, int top) {
    auto buffer = afCanvas::createBuffer(afRect(0, top, WIDTH, top + ROW_HEIGHT), target, true);
    buffer->fillRect(BACKGROUND, afRect(0, 0, WIDTH, ROW_HEIGHT));
    buffer->drawText(line, afRect(4, 0, WIDTH, ROW_HEIGHT), FOREGROUND, TEXT_FORMAT);
}

// The same work with the calls written out.
void drawByHand(HDC target, const std::wstring& line, int top) {
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, WIDTH, ROW_HEIGHT);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    SelectObject(memory, GetCurrentObject(target, OBJ_FONT));
    int saved = SaveDC(memory);
    SelectObject(memory, GetStockObject(DC_PEN));
    SelectObject(memory, GetStockObject(DC_BRUSH));
    RECT fill{0, 0, WIDTH, ROW_HEIGHT};
    COLORREF oldBack = SetBkColor(memory, BACKGROUND);
    ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
    SetBkColor(memory, oldBack);
    int oldMode = SetBkMode(memory, TRANSPARENT);
    COLORREF oldText = SetTextColor(memory, FOREGROUND);
    RECT text{4, 0, WIDTH, ROW_HEIGHT};
    DrawTextW(memory, line.c_str(), static_cast<int>(line.size()), &text, TEXT_FORMAT);
    SetTextColor(memory, oldText);
    SetBkMode(memory, oldMode);
    BitBlt(target, 0, top, WIDTH, ROW_HEIGHT, memory, 0, 0, SRCCOPY);
    RestoreDC(memory, saved);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

int64_t now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

} // namespace

int main() {
    Target target;
    std::vector<std::wstring> lines = makeLines();
    auto canvas = afCanvas::create(target.dc);
    // Each row is drawn both ways in turn, first one then the other, so that both paths
    // see the same machine load: Wine's GDI timings drift a lot from second to second.
    int64_t canvasTicks = 0, handTicks = 0;
    for (int i = -ROWS / 10; i < ROWS; ++i) { // the first tenth warms caches and is not counted
        const std::wstring& line = lines[static_cast<size_t>(i + ROWS) % lines.size()];
        int top = ((i + ROWS) % TARGET_ROWS) * ROW_HEIGHT;
        for (int turn = 0; turn < 2; ++turn) {
            bool canvasNow = (turn == 0) == (i % 2 == 0);
            int64_t start = now();
            if (canvasNow)
                drawWithCanvas(*canvas, line, top);
            else
                drawByHand(target.dc, line, top);
            GdiFlush();
            int64_t spent = now() - start;
            if (i >= 0)
                (canvasNow ? canvasTicks : handTicks) += spent;
        }
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double canvasRate = canvasTicks > 0 ? ROWS * static_cast<double>(frequency.QuadPart) / canvasTicks : 0;
    double handRate = handTicks > 0 ? ROWS * static_cast<double>(frequency.QuadPart) / handTicks : 0;
    std::printf(
        "canvas rows: %d rows: afCanvas::createBuffer %.0f rows/s, hand-made memory DC %.0f rows/s (baseline)\n", ROWS,
        canvasRate, handRate);
    std::printf("canvas rows: time ratio canvas / baseline %.3f (aim: within 1.2)\n",
                handTicks > 0 ? static_cast<double>(canvasTicks) / handTicks : 0.0);
    return 0;
}
