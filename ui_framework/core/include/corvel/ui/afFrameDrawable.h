// A background colour with one-pixel frame lines on chosen edges, drawn inside the bounds.
#pragma once
#include "corvel/ui/afDrawable.h"

#include <memory>

namespace corvel {

class afFrameDrawable : public afDrawable {
public:
    enum : int { EDGE_LEFT = 1, EDGE_TOP = 2, EDGE_RIGHT = 4, EDGE_BOTTOM = 8 };

    // All four lines in one colour.
    static std::unique_ptr<afFrameDrawable> create(COLORREF line, COLORREF background, int edges);
    afFrameDrawable(COLORREF background, COLORREF top, COLORREF left, COLORREF bottom, COLORREF right, int edges)
        : m_background(background), m_top(top), m_left(left), m_bottom(bottom), m_right(right), m_edges(edges) {}
    void draw(afCanvas& canvas, void* extra) override;

private:
    COLORREF m_background;
    COLORREF m_top;
    COLORREF m_left;
    COLORREF m_bottom;
    COLORREF m_right;
    int m_edges;
};

} // namespace corvel
