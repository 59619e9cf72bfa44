// PNG decoding into premultiplied DIB sections through libpng.
#include "corvel/ui/afBitmap.h"

#include <png.h>

#include <cstring>

namespace corvel {

namespace {

// Where the read callback stands in the caller's bytes.
struct PngSource {
    const uint8_t* next;
    size_t left;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->left)
        png_error(png, "truncated"); // a short copy would leave the rest of the row stale
    memcpy(out, source->next, count);
    source->next += count;
    source->left -= count;
}

// libpng's messages are not reported: a bad image is simply no image.
void ignoreError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

void premultiplyRow(uint8_t* row, png_uint_32 width) {
    for (png_uint_32 x = 0; x < width; ++x, row += 4) {
        unsigned alpha = row[3];
        row[0] = static_cast<uint8_t>(row[0] * alpha / 255);
        row[1] = static_cast<uint8_t>(row[1] * alpha / 255);
        row[2] = static_cast<uint8_t>(row[2] * alpha / 255);
    }
}

// The decoding proper. Nothing here has a destructor: a libpng error jumps back to the
// setjmp point across these frames. Returns the section and its kind, or null.
HBITMAP decodeToSection(const uint8_t* data, size_t size, int* kind) {
    PngSource source{data + 8, size - 8};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &ignoreError, &ignoreWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = info ? png_create_info_struct(png) : nullptr;
    if (!info || !endInfo) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return nullptr;
    }
    HBITMAP volatile section = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        if (section)
            DeleteObject(section);
        png_destroy_read_struct(&png, &info, &endInfo);
        return nullptr;
    }
    png_set_read_fn(png, &source, &readFromMemory);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    int colorType = png_get_color_type(png, info);
    bool supported = png_get_interlace_type(png, info) == PNG_INTERLACE_NONE && png_get_bit_depth(png, info) == 8 &&
                     (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA);
    // Over 2^31 pixel bytes the DIB size no longer fits its header.
    bool fits = width > 0 && height > 0 && static_cast<uint64_t>(width) * height * 4 <= 0x80000000ull;
    if (!supported || !fits)
        png_longjmp(png, 1);
    png_set_bgr(png);
    if (colorType == PNG_COLOR_TYPE_RGB)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4)
        png_longjmp(png, 1);
    void* bits = nullptr;
    section = afBitmap::createDibSection(static_cast<int>(width), static_cast<int>(height), &bits);
    if (!section)
        png_longjmp(png, 1);
    uint8_t* row = static_cast<uint8_t*>(bits);
    for (png_uint_32 y = 0; y < height; ++y, row += static_cast<size_t>(width) * 4) {
        png_read_row(png, row, nullptr);
        if (colorType == PNG_COLOR_TYPE_RGB_ALPHA)
            premultiplyRow(row, width);
    }
    *kind = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? afBitmap::KIND_RGBA : afBitmap::KIND_RGB;
    HBITMAP result = section;
    png_destroy_read_struct(&png, &info, &endInfo);
    return result;
}

} // namespace

std::unique_ptr<afBitmap> afBitmap::decodePng(const void* data, size_t size) {
    // Under 8 bytes the signature test would read past the data.
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0)
        return nullptr;
    int kind = 0;
    HBITMAP section = decodeToSection(static_cast<const uint8_t*>(data), size, &kind);
    if (!section)
        return nullptr;
    return std::make_unique<afBitmap>(section, kind);
}

} // namespace corvel
