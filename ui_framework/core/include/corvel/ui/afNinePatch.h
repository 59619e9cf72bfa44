// A stretchable image: corners keep their size, edges stretch along their length and
// the centre both ways. The hint popup draws its background with the one in the pack.
#pragma once
#include "corvel/ui/afBitmap.h"
#include "corvel/ui/afRect.h"
#include "zem/base/Object.h"

#include <memory>

namespace corvel {

class afNinePatch : public zem::Object {
public:
    static constexpr uint32_t TYPE_ID = 0xb6be96edu; // "9patch"

    // The pack's nine-patch (entry 0), owned by the pack and decoded once; null when the
    // pack is not loaded or its first entry is no nine-patch.
    static afNinePatch* load();
    // Reads one pack entry: type, stretch area (4 x u32), content padding (4 x u32), PNG.
    // Null when the entry is shorter than its header, of another type, or its PNG does
    // not decode.
    static std::unique_ptr<afNinePatch> decode(const uint8_t* entry, size_t size);

    afNinePatch(std::unique_ptr<afBitmap> bitmap, const afRect& stretch, const afRect& padding);
    uint32_t getType() const override { return TYPE_ID; }

    // Draws the nine pieces scaled to fill target. Pieces whose target rectangle is
    // empty are reported ("Invalid") and skipped.
    void renderTo(afBitmap& target) const;

    const afBitmap& getBitmap() const { return *m_bitmap; }
    // Bitmap coordinates of the stretchable band (left, top, right, bottom).
    const afRect& getStretch() const { return m_stretch; }
    // Room the content keeps from each side.
    const afRect& getPadding() const { return m_padding; }

private:
    std::unique_ptr<afBitmap> m_bitmap;
    afRect m_stretch;
    afRect m_padding;
};

} // namespace corvel
