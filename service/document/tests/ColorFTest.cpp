#include "corvel/document/ColorF.h"

#include <gtest/gtest.h>

namespace {

using corvel::ColorF;

TEST(ColorFTest, PackedColoursRoundTripThroughFloats) {
    // Caught: 255 x (1/255) truncated to 254, so white came back grey.
    for (uint32_t b = 0; b < 256; ++b)
        ASSERT_EQ(ColorF::fromPacked(b * 0x01010101u).packed(), b * 0x01010101u) << b;
    for (uint32_t packed : {0x00000000u, 0xFFFFFFFFu, 0x40FF0000u, 0x80123456u, 0x01FE7F80u}) {
        EXPECT_EQ(ColorF::fromPacked(packed).packed(), packed) << std::hex << packed;
        EXPECT_EQ(ColorF::fromPacked(packed).toColorRef(), packed & 0xFFFFFF) << std::hex << packed;
    }
    ColorF red = ColorF::fromPacked(0x800000FF);
    EXPECT_FLOAT_EQ(red.red, 1.0f);
    EXPECT_FLOAT_EQ(red.blue, 0.0f);
    EXPECT_NEAR(red.alpha, 128 / 255.0f, 1e-6);
}

TEST(ColorFTest, BlendMovesTheColourAndKeepsItsAlpha) {
    ColorF white(1, 1, 1, 0.25f);
    ColorF black(0, 0, 0, 1);
    ColorF half = white.blend(black, 0.5f);
    EXPECT_FLOAT_EQ(half.red, 0.5f);
    EXPECT_FLOAT_EQ(half.alpha, 0.25f);
    EXPECT_EQ(white.blend(black, 0), white);
    EXPECT_EQ(white.blend(black, 1).toColorRef(), 0u);
    // Out-of-range floats clamp instead of wrapping into other channels.
    EXPECT_EQ(ColorF(1.5f, -0.5f, 0, 0).packed(), 0xFFu);
}

} // namespace
