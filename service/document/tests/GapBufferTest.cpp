#include "corvel/document/GapBuffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::wstring textOf(const corvel::GapBuffer& buffer) {
    std::wstring text(buffer.getLength(), L'\0');
    buffer.copy(0, buffer.getLength(), &text[0], false);
    return text;
}

TEST(GapBufferTest, NewBufferAndFirstInsertion) {
    corvel::GapBuffer buffer;
    EXPECT_EQ(1024, buffer.getCapacity());
    EXPECT_EQ(0, buffer.getGapStart());
    EXPECT_EQ(0, buffer.getGapEnd());
    buffer.insert(0, 5, L"hello");
    EXPECT_EQ(2 * (5 + 1024), buffer.getCapacity());
    EXPECT_EQ(5, buffer.getGapStart());
    EXPECT_EQ(5 + 1024, buffer.getGapEnd());
    EXPECT_EQ(L"hello", textOf(buffer));
}

TEST(GapBufferTest, GrowthInTheMiddleKeepsTextOnBothSides) {
    corvel::GapBuffer buffer;
    buffer.insert(0, 4, L"abcd");
    const std::wstring big(3000, L'x');
    buffer.insert(2, static_cast<int32_t>(big.size()), big.data());
    EXPECT_EQ(L"ab" + big + L"cd", textOf(buffer));
    EXPECT_EQ(1024, buffer.getGapEnd() - buffer.getGapStart());
    EXPECT_EQ(2 * (4 + 3000 + 1024), buffer.getCapacity());
}

// Random edits against a plain string: every insert, remove and read must agree.
TEST(GapBufferTest, RandomEditsMatchAPlainString) {
    std::mt19937 random(7);
    corvel::GapBuffer buffer;
    std::wstring model;
    for (int step = 0; step < 3000; ++step) {
        const int32_t length = static_cast<int32_t>(model.size());
        const int32_t offset = static_cast<int32_t>(random() % (length + 1));
        if (random() % 3 != 0 || length == 0) {
            const std::wstring piece(random() % 40 + (step % 500 == 0 ? 2000 : 0), wchar_t(L'a' + step % 26));
            buffer.insert(offset, static_cast<int32_t>(piece.size()), piece.data());
            model.insert(offset, piece);
        } else {
            const int32_t count = static_cast<int32_t>(random() % (length - offset + 1));
            buffer.remove(offset, count);
            model.erase(offset, count);
        }
        ASSERT_EQ(static_cast<int32_t>(model.size()), buffer.getLength());
        const int32_t from = static_cast<int32_t>(random() % (model.size() + 1));
        const int32_t count = static_cast<int32_t>(random() % (model.size() - from + 1));
        const corvel::GapBuffer::View view = buffer.read(from, count);
        ASSERT_EQ(model.substr(from, count), std::wstring(view.data(), count)) << "step " << step;
        if (from < static_cast<int32_t>(model.size())) {
            ASSERT_EQ(model[from], buffer.at(from));
        }
    }
    EXPECT_EQ(model, textOf(buffer));
}

TEST(GapBufferTest, ReadPointsIntoTheBufferUnlessTheRangeSpansTheGap) {
    corvel::GapBuffer buffer;
    buffer.insert(0, 6, L"abcdef");
    buffer.moveGapTo(3);
    const corvel::GapBuffer::View before = buffer.read(0, 3);
    const corvel::GapBuffer::View after = buffer.read(3, 3);
    const corvel::GapBuffer::View across = buffer.read(2, 2);
    EXPECT_EQ(after.data(), before.data() + buffer.getGapEnd());
    EXPECT_EQ(L"cd", std::wstring(across.data(), 2));
    EXPECT_NE(before.data() + 2, across.data());

    wchar_t out[8];
    buffer.copy(1, 4, out, true);
    EXPECT_STREQ(L"bcde", out);
}

TEST(GapBufferTest, SpareRoomOfALoadIsGivenBack) {
    corvel::GapBuffer buffer(2 * 1024 * 1024);
    const std::wstring text(300000, L'z');
    buffer.append(text.data(), static_cast<int32_t>(text.size()));
    buffer.releaseSpareRoom();
    EXPECT_GE(buffer.getCapacity(), 300000 + 1024);
    EXPECT_LT(buffer.getCapacity(), 300000 + 1024 + 2048);
    EXPECT_EQ(buffer.getCapacity(), buffer.getGapEnd());
    buffer.append(L"end", 3);
    buffer.insert(0, 5, L"start");
    EXPECT_EQ(L"start" + text + L"end", textOf(buffer));
}

} // namespace
