// A memory DC over a 32-bit top-down DIB, for drawing tests that read back pixels.
#pragma once
#include <cstdint>
#include <windows.h>

namespace corveltest {

class DibTarget {
public:
    DibTarget(int width, int height, COLORREF fill = RGB(255, 255, 255)) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        fill_(fill);
    }
    ~DibTarget() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    DibTarget(const DibTarget&) = delete;
    DibTarget& operator=(const DibTarget&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The pixel as a COLORREF (red in the low byte).
    COLORREF pixel(int x, int y) const {
        GdiFlush();
        const uint8_t* p = m_bits + (static_cast<size_t>(y) * m_width + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
    uint8_t alpha(int x, int y) const {
        GdiFlush();
        return m_bits[(static_cast<size_t>(y) * m_width + x) * 4 + 3];
    }
    // Pixels of colour inside rect, and anywhere.
    int count(COLORREF color, const RECT& rect) const {
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                n += pixel(x, y) == color;
        return n;
    }
    int count(COLORREF color) const { return count(color, RECT{0, 0, m_width, m_height}); }
    void fill_(COLORREF color) {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) {
            m_bits[i * 4] = GetBValue(color);
            m_bits[i * 4 + 1] = GetGValue(color);
            m_bits[i * 4 + 2] = GetRValue(color);
            m_bits[i * 4 + 3] = 0;
        }
    }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    uint8_t* m_bits = nullptr;
};

} // namespace corveltest
