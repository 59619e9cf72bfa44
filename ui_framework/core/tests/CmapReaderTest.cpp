#include "corvel/ui/CmapReader.h"

#include "support/ChildTest.h"
#include "support/MadeFont.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using corvel::CmapRange;
using corvel::readCmapRanges;
using uitest::CodeRange;
using uitest::MadeFontSpec;

void put16(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    bytes[at] = static_cast<uint8_t>(v >> 8);
    bytes[at + 1] = static_cast<uint8_t>(v);
}
void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    put16(bytes, at, v >> 16);
    put16(bytes, at + 2, v & 0xFFFF);
}

std::string show(const std::vector<CmapRange>& ranges) {
    std::string text;
    char piece[40];
    for (const CmapRange& r : ranges) {
        snprintf(piece, sizeof(piece), "[%X-%X]", r.first, r.last);
        text += piece;
    }
    return text;
}

struct GoodRow {
    const char* what;
    MadeFontSpec spec;
    std::string ranges;
    bool symbol;
    std::function<void(std::vector<uint8_t>&)> spoil;
};

MadeFontSpec spec(std::vector<CodeRange> bmp, std::vector<CodeRange> full, std::vector<CodeRange> symbol) {
    MadeFontSpec s;
    s.unicodeBmp = std::move(bmp);
    s.unicodeFull = std::move(full);
    s.symbol = std::move(symbol);
    return s;
}

::testing::AssertionResult readsAs(const GoodRow& row) {
    std::vector<uint8_t> table = uitest::buildCmap(row.spec);
    if (row.spoil)
        row.spoil(table);
    std::vector<CmapRange> ranges;
    bool symbol = false;
    if (!readCmapRanges(table.data(), table.size(), &ranges, &symbol))
        return ::testing::AssertionFailure() << row.what << ": refused";
    if (show(ranges) != row.ranges || symbol != row.symbol)
        return ::testing::AssertionFailure() << row.what << ": read " << show(ranges) << " symbol " << symbol;
    return ::testing::AssertionSuccess();
}

TEST(CmapReaderTest, ReadsTheWindowsSubtablesInTheirOrderOfPreference) {
    const std::vector<GoodRow> rows = {
        // The closing segment (FFFF, no range offset) counts like any other.
        {"format 4", spec({{0x20, 0x7E}, {0x391, 0x3A9}}, {}, {}), "[20-7E][391-3A9][FFFF-FFFF]", false, nullptr},
        {"format 12 beats format 4", spec({{0x41, 0x42}}, {{0x1F600, 0x1F601}}, {}), "[1F600-1F601]", false,
         nullptr},
        {"symbol at once", spec({{0x41, 0x42}}, {}, {{0xF020, 0xF022}}), "[F020-F022][FFFF-FFFF]", true, nullptr},
        // The closing segment given a range offset that points at a non-zero glyph id.
        {"a segment through FFFF stops at FFFE", spec({{0xFFF0, 0xFFFE}}, {}, {}), "[FFF0-FFFE]", false,
         [](std::vector<uint8_t>& t) { put16(t, 42, 2); }},
    };
    for (const GoodRow& row : rows)
        EXPECT_TRUE(readsAs(row));
}

TEST(CmapReaderTest, ASegmentWithoutRangeOffsetMarksItsWholeRange) {
    std::vector<uint8_t> table = uitest::buildCmap(spec({{0x30, 0x39}}, {}, {}));
    // Subtable at 12, two segments: ends, pad, starts and deltas put the range offsets at 40.
    put16(table, 40, 0);
    std::vector<CmapRange> ranges;
    bool symbol = false;
    ASSERT_TRUE(readCmapRanges(table.data(), table.size(), &ranges, &symbol));
    EXPECT_EQ(show(ranges), "[30-39][FFFF-FFFF]");
}

struct BadRow {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> spoil;
};

// Runs in a child: a reader that follows a bad offset would crash the test program.
TEST(CmapReaderTest, DISABLED_HostileTablesChild) {
    const MadeFontSpec bmp = spec({{0x20, 0x22}}, {}, {});
    const MadeFontSpec full = spec({}, {{0x20, 0x22}}, {});
    struct Case {
        const char* what;
        const MadeFontSpec* base;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const std::vector<Case> cases = {
        {"empty", &bmp, [](std::vector<uint8_t>& t) { t.clear(); }},
        {"records past the end", &bmp, [](std::vector<uint8_t>& t) { put16(t, 2, 400); }},
        {"subtable offset past the end", &bmp, [](std::vector<uint8_t>& t) { put32(t, 8, 0x7FFFFFF0); }},
        {"subtable offset at the end", &bmp, [](std::vector<uint8_t>& t) { put32(t, 8, static_cast<uint32_t>(t.size())); }},
        {"no Windows subtable", &bmp, [](std::vector<uint8_t>& t) { put16(t, 4, 0); }},
        {"format 4 length past the end", &bmp, [](std::vector<uint8_t>& t) { put16(t, 14, 0xFFF0); }},
        {"format 4 segments past its length", &bmp, [](std::vector<uint8_t>& t) { put16(t, 18, 0x7FFE); }},
        {"format 4 language", &bmp, [](std::vector<uint8_t>& t) { put16(t, 16, 1); }},
        {"glyph ids past the end", &bmp, [](std::vector<uint8_t>& t) { put16(t, 12 + 14 + 4 * 3 + 2, 0x7FFF); }},
        {"format 12 groups past its length", &full, [](std::vector<uint8_t>& t) { put32(t, 24, 0x10000000); }},
        {"format 12 length past the end", &full, [](std::vector<uint8_t>& t) { put32(t, 16, 0x7FFFFFFF); }},
        {"format 12 language", &full, [](std::vector<uint8_t>& t) { put32(t, 20, 1); }},
        {"truncated", &full, [](std::vector<uint8_t>& t) { t.resize(t.size() - 5); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> table = uitest::buildCmap(*c.base);
        c.spoil(table);
        // A copy of exactly the table's size, so a read past it is a read past the buffer.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[table.size() + 1]);
        std::copy(table.begin(), table.end(), exact.get());
        std::vector<CmapRange> ranges;
        bool symbol = false;
        EXPECT_FALSE(readCmapRanges(table.empty() ? nullptr : exact.get(), table.size(), &ranges, &symbol)) << c.what;
    }
}

TEST(CmapReaderTest, HostileTablesAreRefused) { EXPECT_EQ(uitest::runTestInChild("CmapReaderTest.DISABLED_HostileTablesChild"), 0); }

} // namespace
