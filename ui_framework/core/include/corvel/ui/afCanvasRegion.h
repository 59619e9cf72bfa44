// An owned GDI region, for clipping canvases and asking what a paint cycle must update.
#pragma once
#include "corvel/ui/afRect.h"
#include "zem/base/Object.h"

#include <memory>
#include <windows.h>

namespace corvel {

class afCanvasRegion : public zem::Object {
public:
    // Takes ownership of handle; a null handle throws NullPointerException.
    static std::unique_ptr<afCanvasRegion> create(HRGN handle);
    // A region of one pixel at the origin, to be filled by a platform call.
    static std::unique_ptr<afCanvasRegion> createEmpty();
    ~afCanvasRegion() override;
    afCanvasRegion(const afCanvasRegion&) = delete;
    afCanvasRegion& operator=(const afCanvasRegion&) = delete;

    // Throws NullPointerException "Handle to a region is NULL." when there is none.
    HRGN getHandle() const;
    // Gives the handle up to the caller; the region then has none.
    HRGN release();
    bool containsRect(const RECT& rect) const;
    afRect getBox() const;

private:
    explicit afCanvasRegion(HRGN handle) : m_handle(handle) {}

    HRGN m_handle; // owned; null only after release
};

} // namespace corvel
