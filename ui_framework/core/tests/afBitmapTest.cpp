#include "corvel/ui/afBitmap.h"

#include "support/LogCapture.h"
#include "support/PngWriter.h"

#include <gtest/gtest.h>

using corvel::afBitmap;
using corveltest::PngSpec;
using corveltest::solidRgbaPng;
using corveltest::writePng;

namespace {

std::unique_ptr<afBitmap> decode(const std::vector<uint8_t>& png) {
    return afBitmap::decodePng(png.data(), png.size());
}

// One pixel decoded from red, green, blue, alpha, expected as 0xAARRGGBB.
::testing::AssertionResult decodesPixelTo(uint8_t r, uint8_t g, uint8_t b, uint8_t a, uint32_t expected) {
    auto bitmap = decode(solidRgbaPng(1, 1, r, g, b, a));
    if (!bitmap)
        return ::testing::AssertionFailure() << "no bitmap";
    uint32_t actual = bitmap->getPixel(0, 0);
    if (actual == expected && bitmap->getKind() == afBitmap::KIND_RGBA)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual << ", expected 0x" << expected << ", kind "
                                         << bitmap->getKind();
}

TEST(afBitmapTest, DecodesWithPremultipliedAlpha) {
    EXPECT_TRUE(decodesPixelTo(10, 20, 30, 0, 0x00000000));
    EXPECT_TRUE(decodesPixelTo(255, 255, 255, 128, 0x80808080));
    EXPECT_TRUE(decodesPixelTo(255, 0, 0, 100, 0x64640000));
    EXPECT_TRUE(decodesPixelTo(12, 34, 56, 255, 0xFF0C2238));
    EXPECT_TRUE(decodesPixelTo(200, 100, 50, 51, 0x3328140A)); // 200*51/255 = 40, 100*51/255 = 20, 50*51/255 = 10
}

TEST(afBitmapTest, DecodesRowsTopDown) {
    PngSpec spec;
    spec.width = 2;
    spec.height = 3;
    spec.rows = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255};
    auto bitmap = decode(writePng(spec));
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(2, bitmap->getWidth());
    EXPECT_EQ(3, bitmap->getHeight());
    EXPECT_EQ(0xFF010203u, bitmap->getPixel(0, 0));
    EXPECT_EQ(0xFF0A0B0Cu, bitmap->getPixel(1, 1));
    EXPECT_EQ(0xFF101112u, bitmap->getPixel(1, 2));
}

TEST(afBitmapTest, RgbGetsOpaqueAlpha) {
    PngSpec spec;
    spec.width = 2;
    spec.colorType = 2;
    spec.rows = {200, 100, 50, 1, 2, 3};
    auto bitmap = decode(writePng(spec));
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(afBitmap::KIND_RGB, bitmap->getKind());
    EXPECT_EQ(0xFFC86432u, bitmap->getPixel(0, 0));
    EXPECT_EQ(0xFF010203u, bitmap->getPixel(1, 0));
}

::testing::AssertionResult refused(const char* what, const std::vector<uint8_t>& bytes) {
    auto bitmap = afBitmap::decodePng(bytes.data(), bytes.size());
    if (!bitmap)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << " decoded to " << bitmap->getWidth() << " x "
                                         << bitmap->getHeight();
}

TEST(afBitmapTest, RefusesWhatItCannotShow) {
    zemtest::LogCapture log;
    std::vector<uint8_t> good = solidRgbaPng(4, 4, 1, 2, 3, 4);
    ASSERT_NE(nullptr, decode(good));

    PngSpec interlaced;
    interlaced.interlace = 1;
    interlaced.rows = {1, 2, 3, 4};
    PngSpec paletted;
    paletted.colorType = 3;
    paletted.palette = {255, 0, 0};
    paletted.rows = {0};
    PngSpec grey;
    grey.colorType = 0;
    grey.rows = {128};
    PngSpec deep;
    deep.bitDepth = 16;
    deep.rows = {1, 2, 3, 4, 5, 6, 7, 8};
    PngSpec huge; // over 2^31 pixel bytes
    huge.width = 70000;
    huge.height = 70000;
    huge.colorType = 2;

    EXPECT_TRUE(refused("interlaced", writePng(interlaced)));
    EXPECT_TRUE(refused("paletted", writePng(paletted)));
    EXPECT_TRUE(refused("grey", writePng(grey)));
    EXPECT_TRUE(refused("16-bit", writePng(deep)));
    EXPECT_TRUE(refused("huge", writePng(huge)));
    EXPECT_TRUE(refused("truncated", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)));
    EXPECT_TRUE(refused("signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)));
    EXPECT_TRUE(refused("short", std::vector<uint8_t>(good.begin(), good.begin() + 7)));
    std::vector<uint8_t> unsigned_ = good;
    unsigned_[1] = 'Q';
    EXPECT_TRUE(refused("no signature", unsigned_));
    EXPECT_TRUE(refused("empty", {}));
    EXPECT_EQ(nullptr, afBitmap::decodePng(nullptr, 100));
    EXPECT_TRUE(log.lines().empty()); // bad images are refused silently
}

TEST(afBitmapTest, CreateGivesATransparentBitmap) {
    auto bitmap = afBitmap::create(3, 2);
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(afBitmap::KIND_RGBA, bitmap->getKind());
    EXPECT_EQ(3, bitmap->getWidth());
    EXPECT_EQ(2, bitmap->getHeight());
    EXPECT_EQ(0u, bitmap->getPixel(2, 1));
    EXPECT_EQ(nullptr, afBitmap::create(0, 5));
    EXPECT_EQ(nullptr, afBitmap::create(5, -1));
}

TEST(afBitmapTest, InvertAlpha) {
    auto bitmap = decode(solidRgbaPng(2, 2, 255, 255, 255, 255));
    bitmap->getBits()[3] = 55;
    bitmap->invertAlpha();
    EXPECT_EQ(200, bitmap->getBits()[3]);
    EXPECT_EQ(0x00FFFFFFu, bitmap->getPixel(1, 1));
}

// A bitmap whose pixel (x, y) is 0xFF, x * 16, y * 16, 0 as alpha, red, green, blue.
std::unique_ptr<afBitmap> gradient(int width, int height) {
    auto bitmap = afBitmap::create(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = bitmap->getBits() + (y * width + x) * 4;
            p[0] = 0;
            p[1] = static_cast<uint8_t>(y * 16);
            p[2] = static_cast<uint8_t>(x * 16);
            p[3] = 0xFF;
        }
    }
    return bitmap;
}

TEST(afBitmapTest, CopyScaledAtOneToOneCopies) {
    auto source = gradient(5, 4);
    auto target = afBitmap::create(8, 8);
    afBitmap::copyScaled(RECT{1, 1, 4, 3}, RECT{2, 3, 5, 5}, *source, *target);
    EXPECT_EQ(source->getPixel(1, 1), target->getPixel(2, 3));
    EXPECT_EQ(source->getPixel(3, 2), target->getPixel(4, 4));
    EXPECT_EQ(0u, target->getPixel(5, 5));
    EXPECT_EQ(0u, target->getPixel(1, 3));
}

TEST(afBitmapTest, CopyScaledInterpolates) {
    auto source = gradient(2, 1); // red 0 and 16
    auto target = afBitmap::create(4, 1);
    afBitmap::copyScaled(RECT{0, 0, 2, 1}, RECT{0, 0, 4, 1}, *source, *target);
    // Steps of half a source pixel; the right neighbour is clamped at the row's end.
    EXPECT_EQ(0xFF000000u, target->getPixel(0, 0));
    EXPECT_EQ(0xFF080000u, target->getPixel(1, 0));
    EXPECT_EQ(0xFF100000u, target->getPixel(2, 0));
    EXPECT_EQ(0xFF100000u, target->getPixel(3, 0));
}

// Caught: drawing a rectangle that reached past the target wrote across its rows.
TEST(afBitmapTest, CopyScaledClipsAndKeepsTheScale) {
    auto source = gradient(4, 4);
    auto whole = afBitmap::create(12, 12);
    afBitmap::copyScaled(RECT{0, 0, 4, 4}, RECT{0, 0, 12, 12}, *source, *whole);
    auto clipped = afBitmap::create(6, 6);
    afBitmap::copyScaled(RECT{0, 0, 4, 4}, RECT{-3, -4, 9, 8}, *source, *clipped);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(whole->getPixel(x + 3, y + 4), clipped->getPixel(x, y)) << x << ", " << y;
    // A source rectangle reaching past its bitmap reads only what is there.
    auto small = afBitmap::create(2, 2);
    afBitmap::copyScaled(RECT{2, 2, 8, 8}, RECT{0, 0, 2, 2}, *source, *small);
    EXPECT_EQ(source->getPixel(2, 2), small->getPixel(0, 0));
}

TEST(afBitmapTest, CopyScaledReportsEmptyRectangles) {
    zemtest::LogCapture log(0x629b9e5bu);
    auto source = gradient(4, 4);
    auto target = afBitmap::create(4, 4);
    afBitmap::copyScaled(RECT{0, 0, 0, 4}, RECT{0, 0, 4, 4}, *source, *target);
    afBitmap::copyScaled(RECT{0, 0, 4, 4}, RECT{2, 0, 1, 4}, *source, *target);
    EXPECT_EQ(0u, target->getPixel(0, 0));
    auto lines = log.lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"Invalid", lines[0].text);
    EXPECT_EQ(1, lines[0].level);
}

} // namespace
