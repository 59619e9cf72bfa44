#include "corvel/app/DropMarker.h"

#include "corvel/ui/afCanvas.h"

#include <cstdint>

namespace corvel {

namespace {

constexpr int STEM = 2; // the bar's middle, across its thickness
constexpr int CAP = 2;  // the end caps, along its length

} // namespace

DropMarker::DropMarker(afView* owner) : afHelperWindow(owner) {}

DropMarker* DropMarker::create(afView* owner) {
    if (!owner)
        return nullptr;
    auto* marker = new DropMarker(owner);
    marker->afViewPlatform::create();
    return marker;
}

SIZE DropMarker::getBarSize() const {
    return m_horizontal ? SIZE{m_length, THICKNESS} : SIZE{THICKNESS, m_length};
}

void DropMarker::onLayeredSize(SIZE& size) {
    size = getBarSize();
}

void DropMarker::showAt(int x, int y) {
    if (m_horizontal)
        y -= THICKNESS / 2;
    else
        x -= THICKNESS / 2;
    SIZE size = getBarSize();
    SetWindowPos(getHandle(), HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_NOREDRAW);
    updateLayered();
    moveTo(x, y);
    if (!isVisible())
        setVisible(true);
}

void DropMarker::onLayeredPaint(afCanvas& canvas, int, int, int width, int height) {
    // The window takes per-pixel alpha and GDI writes none: the I-beam goes into the
    // section's pixels directly, premultiplied (opaque, so the colour as it is).
    DIBSECTION section{};
    HGDIOBJ bitmap = GetCurrentObject(canvas.getDC(), OBJ_BITMAP);
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits)
        return;
    GdiFlush();
    auto* pixels = static_cast<uint32_t*>(section.dsBm.bmBits);
    uint32_t opaque = 0xFF000000u | (GetRValue(m_color) << 16) | (GetGValue(m_color) << 8) | GetBValue(m_color);
    int length = m_horizontal ? width : height;
    int thickness = m_horizontal ? height : width;
    int stemStart = (thickness - STEM) / 2;
    for (int along = 0; along < length; ++along) {
        bool cap = along < CAP || along >= length - CAP;
        for (int across = 0; across < thickness; ++across) {
            if (!cap && (across < stemStart || across >= stemStart + STEM))
                continue;
            int x = m_horizontal ? along : across;
            int y = m_horizontal ? across : along;
            pixels[y * width + x] = opaque;
        }
    }
}

} // namespace corvel
