#include "corvel/ui/ImagePack.h"
#include "corvel/ui/afNinePatch.h"

#include "support/LogCapture.h"
#include "support/PngWriter.h"

#include <gtest/gtest.h>

#include <cstring>

using corvel::afBitmap;
using corvel::afNinePatch;
using corvel::ImagePack;

namespace {

// Each test starts and ends without a loaded pack.
class ImagePackTest : public ::testing::Test {
protected:
    void SetUp() override { ImagePack::release(); }
    void TearDown() override { ImagePack::release(); }
};

void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A pack of the given end offsets (count first) over data bytes.
std::vector<uint8_t> pack(std::vector<uint32_t> ends, const std::vector<uint8_t>& data, uint32_t count) {
    std::vector<uint8_t> out;
    putU32(out, count);
    for (uint32_t end : ends)
        putU32(out, end);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> ninePatchEntry(const std::vector<uint8_t>& png, uint32_t type = afNinePatch::TYPE_ID) {
    std::vector<uint8_t> entry;
    putU32(entry, type);
    for (uint32_t field : {4u, 3u, 34u, 33u, 10u, 5u, 10u, 7u})
        putU32(entry, field);
    entry.insert(entry.end(), png.begin(), png.end());
    return entry;
}

TEST_F(ImagePackTest, LoadsTheProgramsPackOnce) {
    ASSERT_TRUE(ImagePack::load());
    ImagePack* pack = ImagePack::instance();
    ASSERT_NE(nullptr, pack);
    EXPECT_TRUE(ImagePack::load());
    EXPECT_EQ(pack, ImagePack::instance());
    ASSERT_EQ(5u, pack->count());
    EXPECT_EQ(3371u, pack->dataSize() + 4 + 4 * 5);
    EXPECT_EQ(0u, pack->entryStart(0));
    EXPECT_EQ(697u, pack->entrySize(0));
    EXPECT_EQ(pack->entryEnd(0), pack->entryStart(1));
    EXPECT_EQ(pack->dataSize(), pack->entryEnd(4));
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Entry 0: nine-patch header, then a 661-byte PNG of 38 x 38.
    const uint8_t* entry0 = pack->entryData(0);
    EXPECT_EQ(0, memcmp(entry0, "\xED\x96\xBE\xB6", 4));
    EXPECT_EQ(0, memcmp(entry0 + 36, signature, 8));
    auto hint = afBitmap::decodePng(entry0 + 36, 661);
    ASSERT_NE(nullptr, hint);
    EXPECT_EQ(38, hint->getWidth());
    // Entry 4: a plain image whose PNG starts after the type.
    const uint8_t* entry4 = pack->entryData(4);
    EXPECT_EQ(0, memcmp(entry4, "\xAC\x5E\x6D\xE8", 4));
    EXPECT_EQ(0, memcmp(entry4 + 4, signature, 8));
    auto plain = afBitmap::decodePng(entry4 + 4, pack->entrySize(4) - 4);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(15, plain->getWidth());
    EXPECT_EQ(15, plain->getHeight());
    const int sizes[] = {38, 38, 32, 32};
    for (uint32_t i = 1; i < 4; ++i) {
        auto image = afBitmap::decodePng(pack->entryData(i) + 36, pack->entrySize(i) - 36);
        ASSERT_NE(nullptr, image) << "entry " << i;
        EXPECT_EQ(sizes[i], image->getWidth()) << "entry " << i;
        EXPECT_EQ(afBitmap::KIND_RGBA, image->getKind());
    }
}

TEST_F(ImagePackTest, ReleaseDropsTheIndex) {
    ASSERT_TRUE(ImagePack::load());
    ImagePack::release();
    EXPECT_EQ(nullptr, ImagePack::instance());
    EXPECT_EQ(nullptr, afNinePatch::load());
}

::testing::AssertionResult refusesPack(const char* what, const std::vector<uint8_t>& bytes) {
    ImagePack::release();
    bool loaded = ImagePack::load(bytes.data(), bytes.size());
    ImagePack::release();
    if (!loaded)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << " was accepted";
}

TEST_F(ImagePackTest, RefusesPacksThatOverrunOrGoBackwards) {
    std::vector<uint8_t> data(20, 0);
    EXPECT_TRUE(refusesPack("no count", {1, 0}));
    EXPECT_TRUE(refusesPack("count past the data", pack({}, {}, 1)));
    EXPECT_TRUE(refusesPack("huge count", pack({4, 8}, data, 0x40000001)));
    EXPECT_TRUE(refusesPack("end past the data", pack({10, 21}, data, 2)));
    EXPECT_TRUE(refusesPack("ends going backwards", pack({12, 8}, data, 2)));
    EXPECT_FALSE(refusesPack("well formed", pack({12, 20}, data, 2)));
    EXPECT_FALSE(refusesPack("empty", pack({}, {}, 0)));
}

::testing::AssertionResult givesNoNinePatch(const char* what, const std::vector<uint8_t>& bytes) {
    ImagePack::release();
    if (!ImagePack::load(bytes.data(), bytes.size()))
        return ::testing::AssertionFailure() << what << ": pack refused";
    afNinePatch* patch = afNinePatch::load();
    ImagePack::release();
    if (!patch)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << " gave a nine-patch";
}

TEST_F(ImagePackTest, EntryZeroMustBeAWholeNinePatch) {
    std::vector<uint8_t> png = corveltest::solidRgbaPng(8, 8, 255, 0, 0, 255);
    std::vector<uint8_t> good = ninePatchEntry(png);
    EXPECT_FALSE(givesNoNinePatch("good", pack({static_cast<uint32_t>(good.size())}, good, 1)));
    EXPECT_TRUE(givesNoNinePatch("empty pack", pack({}, {}, 0)));
    std::vector<uint8_t> shortEntry(good.begin(), good.begin() + 35);
    EXPECT_TRUE(givesNoNinePatch("under 36 bytes", pack({35}, shortEntry, 1)));
    std::vector<uint8_t> plain = ninePatchEntry(png, afBitmap::TYPE_ID);
    EXPECT_TRUE(givesNoNinePatch("plain image", pack({static_cast<uint32_t>(plain.size())}, plain, 1)));
    std::vector<uint8_t> broken = good;
    broken[40] ^= 0xFF;
    EXPECT_TRUE(givesNoNinePatch("bad PNG", pack({static_cast<uint32_t>(broken.size())}, broken, 1)));
}

TEST_F(ImagePackTest, TheNinePatchIsDecodedOnceAndKeptWithThePack) {
    ASSERT_TRUE(ImagePack::load());
    afNinePatch* patch = afNinePatch::load();
    ASSERT_NE(nullptr, patch);
    EXPECT_EQ(patch, afNinePatch::load());
    EXPECT_EQ(38, patch->getBitmap().getWidth());
    EXPECT_EQ(38, patch->getBitmap().getHeight());
    EXPECT_EQ(0, corvel::afRect::compare(corvel::afRect(4, 3, 34, 33), patch->getStretch()));
    EXPECT_EQ(0, corvel::afRect::compare(corvel::afRect(10, 5, 10, 7), patch->getPadding()));
    // The hint's panel: rounded (transparent) corners, an opaque centre.
    EXPECT_GT(255u, patch->getBitmap().getPixel(0, 0) >> 24);
    EXPECT_EQ(255u, patch->getBitmap().getPixel(19, 17) >> 24);
}

TEST_F(ImagePackTest, NinePatchAtItsOwnSizeReproducesTheBitmap) {
    ASSERT_TRUE(ImagePack::load());
    afNinePatch* patch = afNinePatch::load();
    ASSERT_NE(nullptr, patch);
    const afBitmap& source = patch->getBitmap();
    auto target = afBitmap::create(source.getWidth(), source.getHeight());
    zemtest::LogCapture log(0x629b9e5bu);
    patch->renderTo(*target);
    EXPECT_TRUE(log.lines().empty());
    for (int y = 0; y < source.getHeight(); ++y)
        for (int x = 0; x < source.getWidth(); ++x)
            ASSERT_EQ(source.getPixel(x, y), target->getPixel(x, y)) << x << ", " << y;
}

TEST_F(ImagePackTest, NinePatchStretchedKeepsItsCorners) {
    ASSERT_TRUE(ImagePack::load());
    afNinePatch* patch = afNinePatch::load();
    ASSERT_NE(nullptr, patch);
    const afBitmap& source = patch->getBitmap();
    auto target = afBitmap::create(200, 90);
    patch->renderTo(*target);
    // Corners copied as they are: top-left 4 x 3, bottom-right 4 x 5.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(source.getPixel(x, y), target->getPixel(x, y));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(source.getPixel(34 + x, 33 + y), target->getPixel(196 + x, 85 + y));
    EXPECT_EQ(source.getPixel(19, 17), target->getPixel(100, 45)); // the even centre
}

TEST_F(ImagePackTest, NinePatchTooNarrowSkipsTheMiddleColumn) {
    ASSERT_TRUE(ImagePack::load());
    afNinePatch* patch = afNinePatch::load();
    ASSERT_NE(nullptr, patch);
    const afBitmap& source = patch->getBitmap();
    auto target = afBitmap::create(6, 60); // not above 4 + (38 - 34)
    zemtest::LogCapture log(0x629b9e5bu);
    patch->renderTo(*target);
    auto lines = log.lines();
    ASSERT_EQ(3u, lines.size()); // top edge, bottom edge, centre
    for (const auto& line : lines)
        EXPECT_EQ(L"Invalid", line.text);
    EXPECT_EQ(source.getPixel(0, 0), target->getPixel(0, 0));    // top-left corner
    EXPECT_EQ(source.getPixel(37, 37), target->getPixel(5, 59)); // bottom-right corner
    EXPECT_EQ(source.getPixel(0, 17), target->getPixel(0, 30));  // left edge
    EXPECT_EQ(source.getPixel(37, 17), target->getPixel(5, 30)); // right edge
}

} // namespace
