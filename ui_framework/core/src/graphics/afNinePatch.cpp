#include "corvel/ui/afNinePatch.h"

#include "corvel/ui/ImagePack.h"

#include <cstring>

namespace corvel {

namespace {

constexpr size_t HEADER_SIZE = 36; // type and eight fields

} // namespace

afNinePatch* afNinePatch::load() {
    ImagePack* pack = ImagePack::instance();
    return pack ? pack->ninePatch() : nullptr;
}

std::unique_ptr<afNinePatch> afNinePatch::decode(const uint8_t* entry, size_t size) {
    if (!entry || size < HEADER_SIZE)
        return nullptr;
    uint32_t fields[9];
    memcpy(fields, entry, sizeof(fields));
    if (fields[0] != TYPE_ID)
        return nullptr;
    std::unique_ptr<afBitmap> bitmap = afBitmap::decodePng(entry + HEADER_SIZE, size - HEADER_SIZE);
    if (!bitmap)
        return nullptr;
    afRect stretch(static_cast<LONG>(fields[1]), static_cast<LONG>(fields[2]), static_cast<LONG>(fields[3]),
                   static_cast<LONG>(fields[4]));
    afRect padding(static_cast<LONG>(fields[5]), static_cast<LONG>(fields[6]), static_cast<LONG>(fields[7]),
                   static_cast<LONG>(fields[8]));
    return std::make_unique<afNinePatch>(std::move(bitmap), stretch, padding);
}

afNinePatch::afNinePatch(std::unique_ptr<afBitmap> bitmap, const afRect& stretch, const afRect& padding)
    : m_bitmap(std::move(bitmap)), m_stretch(stretch), m_padding(padding) {}

void afNinePatch::renderTo(afBitmap& target) const {
    LONG w = target.getWidth();
    LONG h = target.getHeight();
    if (w <= 0 || h <= 0)
        return;
    LONG W = m_bitmap->getWidth();
    LONG H = m_bitmap->getHeight();
    LONG sx1 = m_stretch.left, sy1 = m_stretch.top, sx2 = m_stretch.right, sy2 = m_stretch.bottom;
    LONG dx2 = w - (W - sx2);
    LONG dy2 = h - (H - sy2);
    const struct {
        RECT source;
        RECT target;
    } pieces[] = {
        {{0, 0, sx1, sy1}, {0, 0, sx1, sy1}},         // top-left corner
        {{sx2, 0, W, sy1}, {dx2, 0, w, sy1}},         // top-right corner
        {{0, sy2, sx1, H}, {0, dy2, sx1, h}},         // bottom-left corner
        {{sx2, sy2, W, H}, {dx2, dy2, w, h}},         // bottom-right corner
        {{sx1, 0, sx2, sy1}, {sx1, 0, dx2, sy1}},     // top edge
        {{sx1, sy2, sx2, H}, {sx1, dy2, dx2, h}},     // bottom edge
        {{0, sy1, sx1, sy2}, {0, sy1, sx1, dy2}},     // left edge
        {{sx2, sy1, W, sy2}, {dx2, sy1, w, dy2}},     // right edge
        {{sx1, sy1, sx2, sy2}, {sx1, sy1, dx2, dy2}}, // centre
    };
    // copyScaled reports and skips the empty pieces and clips the others to the target.
    for (const auto& piece : pieces)
        afBitmap::copyScaled(piece.source, piece.target, *m_bitmap, target);
}

} // namespace corvel
