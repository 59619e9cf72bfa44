// A stretchable image as a background; the rendering at the current size is cached and
// made again only when the size changes.
#pragma once
#include "corvel/ui/afBitmap.h"
#include "corvel/ui/afDrawable.h"
#include "corvel/ui/afNinePatch.h"

#include <memory>

namespace corvel {

class afDrawableNinePatch : public afDrawable {
public:
    // The nine-patch is not owned.
    static std::unique_ptr<afDrawableNinePatch> create(const afNinePatch* ninePatch);
    explicit afDrawableNinePatch(const afNinePatch* ninePatch) : m_ninePatch(ninePatch) {}
    bool getPadding(RECT& out) const override;
    void draw(afCanvas& canvas, void* extra) override;
    // How often the nine-patch was rendered into the cache.
    int getRenderCount() const { return m_renders; }

private:
    const afNinePatch* m_ninePatch;
    std::unique_ptr<afBitmap> m_cache; // null until first drawn
    int m_renders = 0;
};

} // namespace corvel
