// A background of one solid colour.
#pragma once
#include "corvel/ui/afDrawable.h"

#include <memory>

namespace corvel {

class afColorDrawable : public afDrawable {
public:
    static std::unique_ptr<afColorDrawable> create(COLORREF color);
    explicit afColorDrawable(COLORREF color) : m_color(color) {}
    void draw(afCanvas& canvas, void* extra) override;
    COLORREF getColor() const { return m_color; }

    // Fills rect with color through ExtTextOutW, the DC's background colour kept.
    static void fill(HDC dc, COLORREF color, const RECT& rect);

private:
    COLORREF m_color;
};

} // namespace corvel
