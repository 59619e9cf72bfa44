#include "corvel/ui/afCanvasRegion.h"

#include "zem/base/Exception.h"

namespace corvel {

namespace {

[[noreturn]] void throwNullRegion() {
    throw zem::NullPointerException(L"Handle to a region is NULL.");
}

} // namespace

std::unique_ptr<afCanvasRegion> afCanvasRegion::create(HRGN handle) {
    if (!handle)
        throwNullRegion();
    return std::unique_ptr<afCanvasRegion>(new afCanvasRegion(handle));
}

std::unique_ptr<afCanvasRegion> afCanvasRegion::createEmpty() {
    return create(CreateRectRgn(0, 0, 1, 1));
}

afCanvasRegion::~afCanvasRegion() {
    if (m_handle)
        DeleteObject(m_handle);
}

HRGN afCanvasRegion::getHandle() const {
    if (!m_handle)
        throwNullRegion();
    return m_handle;
}

HRGN afCanvasRegion::release() {
    HRGN handle = getHandle();
    m_handle = nullptr;
    return handle;
}

bool afCanvasRegion::containsRect(const RECT& rect) const {
    return RectInRegion(getHandle(), &rect) != FALSE;
}

afRect afCanvasRegion::getBox() const {
    RECT box{0, 0, 0, 0};
    GetRgnBox(getHandle(), &box);
    return afRect(box);
}

} // namespace corvel
