// The framework's rectangle: a RECT (left, top, right, bottom in pixels) with the small
// operations views and canvases share. Right and bottom are exclusive for drawing and
// hit tests through the platform, inclusive for contains.
#pragma once
#include <windows.h>

namespace corvel {

class afRect : public RECT {
public:
    afRect() : RECT{0, 0, 0, 0} {}
    afRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    afRect(const RECT& r) : RECT(r) {}

    LONG width() const { return right - left; }
    LONG height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }

    void set(LONG l, LONG t, LONG r, LONG b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void setSize(LONG width, LONG height) {
        right = left + width;
        bottom = top + height;
    }
    void offset(LONG dx, LONG dy);
    // Negative amounts inflate.
    void deflate(LONG dx, LONG dy) { deflate(dx, dy, dx, dy); }
    void deflate(LONG d) { deflate(d, d, d, d); }
    void deflate(LONG l, LONG t, LONG r, LONG b);
    // Moves each side inward by its inset, or outward when outward is set.
    void applyInsets(const RECT& insets, bool outward);

    // Both ends inclusive.
    bool contains(LONG x, LONG y) const { return left <= x && x <= right && top <= y && y <= bottom; }
    // Becomes the intersection; when there is none, false and this stays as it was.
    bool intersect(const RECT& other);
    bool clipTo(LONG width, LONG height) { return intersect(afRect(0, 0, width, height)); }

    void moveTo(LONG x, LONG y) { offset(x - left, y - top); }
    void centerIn(const RECT& outer);
    // Moves (never resizes) into outer; when larger than outer, left and top win.
    void keepInside(const RECT& outer);
    bool sameSize(const RECT& other) const {
        return width() == other.right - other.left && height() == other.bottom - other.top;
    }

    // Byte-wise comparison, 0 when equal: lets callers skip updates that change nothing.
    static int compare(const RECT& a, const RECT& b);
};

} // namespace corvel
