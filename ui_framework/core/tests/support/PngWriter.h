// Writes small PNG files for decoder tests: any colour type, bit depth and interlace
// flag, with the pixel rows given as they are stored (without filter bytes).
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corveltest {

struct PngSpec {
    uint32_t width = 1;
    uint32_t height = 1;
    int bitDepth = 8;
    int colorType = 6; // 2 RGB, 6 RGBA, 0 grey, 3 palette
    int interlace = 0;
    std::vector<uint8_t> rows; // height rows of packed samples, no filter byte
    std::vector<uint8_t> palette;
};

inline void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void appendChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    appendU32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    appendU32(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

inline std::vector<uint8_t> writePng(const PngSpec& spec) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    appendU32(header, spec.width);
    appendU32(header, spec.height);
    header.push_back(static_cast<uint8_t>(spec.bitDepth));
    header.push_back(static_cast<uint8_t>(spec.colorType));
    header.push_back(0);
    header.push_back(0);
    header.push_back(static_cast<uint8_t>(spec.interlace));
    appendChunk(png, "IHDR", header);
    if (!spec.palette.empty())
        appendChunk(png, "PLTE", spec.palette);
    std::vector<uint8_t> raw;
    size_t stride = spec.height ? spec.rows.size() / spec.height : 0;
    for (uint32_t y = 0; y < spec.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), spec.rows.begin() + y * stride, spec.rows.begin() + (y + 1) * stride);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", {});
    return png;
}

// An 8-bit RGBA image of one colour, given as red, green, blue, alpha.
inline std::vector<uint8_t> solidRgbaPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    for (uint32_t i = 0; i < width * height; ++i)
        spec.rows.insert(spec.rows.end(), {r, g, b, a});
    return writePng(spec);
}

} // namespace corveltest
