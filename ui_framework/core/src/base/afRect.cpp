#include "corvel/ui/afRect.h"

#include <cstring>

namespace corvel {

void afRect::offset(LONG dx, LONG dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void afRect::deflate(LONG l, LONG t, LONG r, LONG b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
}

void afRect::applyInsets(const RECT& insets, bool outward) {
    if (outward)
        deflate(-insets.left, -insets.top, -insets.right, -insets.bottom);
    else
        deflate(insets.left, insets.top, insets.right, insets.bottom);
}

bool afRect::intersect(const RECT& other) {
    RECT result;
    if (!IntersectRect(&result, this, &other))
        return false;
    *static_cast<RECT*>(this) = result;
    return true;
}

void afRect::centerIn(const RECT& outer) {
    // The arithmetic shift rounds toward minus infinity when this is the larger one.
    LONG newLeft = outer.left + ((outer.right - outer.left - width()) >> 1);
    LONG newTop = outer.top + ((outer.bottom - outer.top - height()) >> 1);
    moveTo(newLeft, newTop);
}

void afRect::keepInside(const RECT& outer) {
    if (right > outer.right)
        offset(outer.right - right, 0);
    if (bottom > outer.bottom)
        offset(0, outer.bottom - bottom);
    if (left < outer.left)
        offset(outer.left - left, 0);
    if (top < outer.top)
        offset(0, outer.top - top);
}

int afRect::compare(const RECT& a, const RECT& b) {
    return memcmp(&a, &b, sizeof(RECT));
}

} // namespace corvel
