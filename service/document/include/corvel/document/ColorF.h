// A colour as four floats 0..1 (red, green, blue, alpha), as themes give colours and
// the text renderer blends them. Packed form: red in the low byte, then green, blue,
// and alpha in the high byte.
#pragma once
#include <cstdint>

namespace corvel {

struct ColorF {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 0;

    ColorF() = default;
    ColorF(float r, float g, float b, float a) : red(r), green(g), blue(b), alpha(a) {}
    static ColorF fromPacked(uint32_t packed) {
        return ColorF((packed & 0xFF) / 255.0f, ((packed >> 8) & 0xFF) / 255.0f, ((packed >> 16) & 0xFF) / 255.0f,
                      ((packed >> 24) & 0xFF) / 255.0f);
    }

    // Each channel c becomes the byte c x 255, truncated; a hair is added first so that a
    // byte read in (b / 255 is not exact in floats) comes back out unchanged.
    uint32_t packed() const {
        return channel(red) | channel(green) << 8 | channel(blue) << 16 | channel(alpha) << 24;
    }
    // The platform's 24-bit colour reference: red in the low byte, alpha dropped.
    uint32_t toColorRef() const { return channel(red) | channel(green) << 8 | channel(blue) << 16; }

    // Moves red, green and blue toward target by amount (0 keeps, 1 reaches it); the
    // alpha stays this colour's.
    ColorF blend(const ColorF& target, float amount) const {
        return ColorF(red - (red - target.red) * amount, green - (green - target.green) * amount,
                      blue - (blue - target.blue) * amount, alpha);
    }

    bool operator==(const ColorF& other) const {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
    bool operator!=(const ColorF& other) const { return !(*this == other); }

private:
    static uint32_t channel(float c) {
        float scaled = c * 255.0f + 0.0005f;
        if (!(scaled > 0.0f))
            return 0;
        return scaled >= 255.0f ? 255u : static_cast<uint32_t>(scaled);
    }
};

} // namespace corvel
