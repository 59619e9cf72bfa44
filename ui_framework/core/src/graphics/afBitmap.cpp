#include "corvel/ui/afBitmap.h"

#include "zem/log/LogManager.h"

#include <algorithm>
#include <cstring>

namespace corvel {

namespace {

constexpr uint32_t FRAMEWORK_LOG_SOURCE = 0x629b9e5bu;

// The part of [from, to) that lies inside [0, limit).
void clampSpan(LONG from, LONG to, LONG limit, LONG* first, LONG* end) {
    *first = std::max<LONG>(from, 0);
    *end = std::min<LONG>(to, limit);
}

} // namespace

HBITMAP afBitmap::createDibSection(int width, int height, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (!handle || !*bits) {
        if (handle)
            DeleteObject(handle);
        *bits = nullptr;
        return nullptr;
    }
    return handle;
}

std::unique_ptr<afBitmap> afBitmap::create(int width, int height) {
    void* bits = nullptr;
    HBITMAP handle = createDibSection(width, height, &bits);
    if (!handle)
        return nullptr;
    return std::make_unique<afBitmap>(handle, KIND_RGBA);
}

afBitmap::afBitmap(HBITMAP handle, int kind) : m_handle(handle), m_kind(kind) {
    BITMAP info{};
    if (handle && GetObjectW(handle, sizeof(info), &info) == sizeof(info)) {
        m_bits = static_cast<uint8_t*>(info.bmBits);
        m_width = info.bmWidth;
        m_height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

afBitmap::~afBitmap() {
    if (m_handle)
        DeleteObject(m_handle);
}

uint32_t afBitmap::getPixel(int x, int y) const {
    const uint8_t* p = m_bits + (static_cast<size_t>(y) * m_width + x) * 4;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void afBitmap::invertAlpha() {
    if (!m_bits)
        return;
    size_t count = static_cast<size_t>(m_width) * m_height;
    for (size_t i = 0; i < count; ++i)
        m_bits[i * 4 + 3] = static_cast<uint8_t>(255 - m_bits[i * 4 + 3]);
}

void afBitmap::copyScaled(const RECT& sourceRect, const RECT& targetRect, const afBitmap& source, afBitmap& target) {
    LONG sourceWidth = sourceRect.right - sourceRect.left;
    LONG sourceHeight = sourceRect.bottom - sourceRect.top;
    LONG targetWidth = targetRect.right - targetRect.left;
    LONG targetHeight = targetRect.bottom - targetRect.top;
    if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) {
        zem::logMessage(1, FRAMEWORK_LOG_SOURCE, L"Invalid");
        return;
    }
    // Source pixels that may be read: the source rectangle inside its bitmap.
    LONG readLeft, readRight, readTop, readBottom;
    clampSpan(sourceRect.left, sourceRect.right, source.m_width, &readLeft, &readRight);
    clampSpan(sourceRect.top, sourceRect.bottom, source.m_height, &readTop, &readBottom);
    // Target pixels that may be written: the target rectangle inside its bitmap.
    LONG writeLeft, writeRight, writeTop, writeBottom;
    clampSpan(targetRect.left, targetRect.right, target.m_width, &writeLeft, &writeRight);
    clampSpan(targetRect.top, targetRect.bottom, target.m_height, &writeTop, &writeBottom);
    if (readLeft >= readRight || readTop >= readBottom || writeLeft >= writeRight || writeTop >= writeBottom ||
        !source.m_bits || !target.m_bits)
        return;

    // 8.8 fixed-point steps of the whole rectangles, so clipping never changes the scale.
    int64_t stepX = (static_cast<int64_t>(sourceWidth) * 256) / targetWidth;
    int64_t stepY = (static_cast<int64_t>(sourceHeight) * 256) / targetHeight;
    const uint8_t* sourceBits = source.m_bits;
    size_t sourceStride = static_cast<size_t>(source.m_width) * 4;
    size_t targetStride = static_cast<size_t>(target.m_width) * 4;
    for (LONG ty = writeTop; ty < writeBottom; ++ty) {
        int64_t sy = (ty - targetRect.top) * stepY;
        LONG row = std::min<LONG>(std::max<LONG>(sourceRect.top + static_cast<LONG>(sy >> 8), readTop), readBottom - 1);
        LONG below = std::min<LONG>(row + 1, readBottom - 1);
        uint32_t fy = static_cast<uint32_t>(sy & 0xFF);
        const uint8_t* upperRow = sourceBits + row * sourceStride;
        const uint8_t* lowerRow = sourceBits + below * sourceStride;
        uint8_t* out = target.m_bits + ty * targetStride + static_cast<size_t>(writeLeft) * 4;
        for (LONG tx = writeLeft; tx < writeRight; ++tx, out += 4) {
            int64_t sx = (tx - targetRect.left) * stepX;
            LONG column =
                std::min<LONG>(std::max<LONG>(sourceRect.left + static_cast<LONG>(sx >> 8), readLeft), readRight - 1);
            LONG next = std::min<LONG>(column + 1, readRight - 1);
            uint32_t fx = static_cast<uint32_t>(sx & 0xFF);
            const uint8_t* p = upperRow + column * 4;
            const uint8_t* q = upperRow + next * 4;
            const uint8_t* pBelow = lowerRow + column * 4;
            const uint8_t* qBelow = lowerRow + next * 4;
            for (int channel = 0; channel < 4; ++channel) {
                uint32_t upper = q[channel] * fx + p[channel] * (256 - fx);
                uint32_t lower = qBelow[channel] * fx + pBelow[channel] * (256 - fx);
                out[channel] = static_cast<uint8_t>((fy * lower + (256 - fy) * upper) >> 16);
            }
        }
    }
}

} // namespace corvel
