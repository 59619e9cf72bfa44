// A 32-bit top-down DIB section: pixels in blue, green, red, alpha order, stride width
// x 4. Decoded PNGs carry premultiplied alpha so that AlphaBlend takes them as they are.
#pragma once
#include "zem/base/Object.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <windows.h>

namespace corvel {

class afBitmap : public zem::Object {
public:
    enum Kind {
        KIND_RGB = 2,  // alpha 255
        KIND_RGBA = 6, // premultiplied alpha
    };
    static constexpr uint32_t TYPE_ID = 0xe86d5eacu; // "bitmap"

    // A transparent bitmap of kind RGBA; null when the DIB cannot be made.
    static std::unique_ptr<afBitmap> create(int width, int height);
    // Decodes 8-bit RGB or RGBA PNG data that is not interlaced; null for anything else,
    // silently.
    static std::unique_ptr<afBitmap> decodePng(const void* data, size_t size);
    // A top-down 32-bit DIB section; bits receives its pixels. Null on failure.
    static HBITMAP createDibSection(int width, int height, void** bits);

    // Takes ownership of a DIB section and reads its size and pixels.
    afBitmap(HBITMAP handle, int kind);
    ~afBitmap() override;
    afBitmap(const afBitmap&) = delete;
    afBitmap& operator=(const afBitmap&) = delete;
    uint32_t getType() const override { return TYPE_ID; }

    // Scales the source rectangle of source into the destination rectangle of target
    // (bilinear). Empty rectangles log "Invalid" and draw nothing. Parts of either
    // rectangle outside its bitmap are neither read nor written; the scale stays that
    // of the whole rectangles.
    static void copyScaled(const RECT& sourceRect, const RECT& targetRect, const afBitmap& source, afBitmap& target);
    // Every pixel's alpha becomes 255 - alpha.
    void invertAlpha();

    HBITMAP getHandle() const { return m_handle; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    int getKind() const { return m_kind; }
    uint8_t* getBits() { return m_bits; }
    const uint8_t* getBits() const { return m_bits; }
    // The pixel as 0xAARRGGBB.
    uint32_t getPixel(int x, int y) const;

private:
    uint8_t* m_bits = nullptr; // the section's pixels, width x height x 4 bytes
    HBITMAP m_handle;          // owned
    int m_width = 0;
    int m_height = 0;
    int m_kind;
};

} // namespace corvel
