// A line of Latin, Greek, Chinese and an astral character laid out with a face list that
// has only the first two: every run is drawn by a face whose table maps its characters.
#include "corvel/ui/CmapReader.h"
#include "support/TextFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using corvel::afUnicodeItem;
using corvel::CmapRange;
using uitest::CodeRange;
using uitest::InstalledFont;
using uitest::MadeFontSpec;

constexpr DWORD CMAP_TAG = 0x70616D63;

// The face name and the mapped ranges of a font, read through the display's own calls.
struct FaceTable {
    std::wstring name;
    std::vector<CmapRange> ranges;
    bool maps(uint32_t code) const {
        for (const CmapRange& range : ranges) {
            if (code >= range.first && code <= range.last)
                return true;
        }
        return false;
    }
};

FaceTable readFace(HFONT font) {
    FaceTable face;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t name[LF_FACESIZE] = {0};
    GetTextFaceW(dc, LF_FACESIZE, name);
    face.name = name;
    DWORD size = GetFontData(dc, CMAP_TAG, 0, nullptr, 0);
    if (size != 0 && size != GDI_ERROR) {
        std::vector<uint8_t> table(size);
        bool symbol = false;
        if (GetFontData(dc, CMAP_TAG, 0, table.data(), size) == size)
            corvel::readCmapRanges(table.data(), table.size(), &face.ranges, &symbol);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return face;
}

uint32_t codePointAt(const std::wstring& text, int& i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < static_cast<int>(text.size())) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
    }
    return code;
}

// Chinese and emoji once painted as boxes: only the faces of the list were ever asked,
// although an installed face had the characters.
TEST(FontFallbackTest, EachRunOfAMixedLineIsDrawnByAFaceThatHasItsCharacters) {
    uitest::monoFontManager(); // CorvelMono, with Latin and Greek, is installed from here on
    MadeFontSpec han;
    han.family = L"CorvelHanAstral";
    han.unicodeBmp = {{0x20, 0x20}, {0x4E2D, 0x4E2D}, {0x6587, 0x6587}};
    han.unicodeFull = {{0x20, 0x20}, {0x4E2D, 0x4E2D}, {0x6587, 0x6587}, {0x1F600, 0x1F600}};
    InstalledFont installed(han);
    ASSERT_TRUE(installed.ok());
    // A manager that enumerates the faces as they are now, the made one included.
    corvel::afUnicodeFontManager fonts;
    uitest::StyleTable styles;
    corvel::afUnicodeContext context(&fonts);
    context.setFontFamily(fonts.getFontGroup({L"CorvelMono"}, uitest::MONO_POINTS), 0, 0);
    context.setStyleProvider(&styles);

    const std::wstring text = L"Ab \x3B1\x3B2 \x4E2D\x6587 \xD83D\xDE00";
    corvel::afUnicode line;
    line.setText(text);
    line.cells().assign(text.size(), corvel::afUnicodeStyleCell());
    line.setLogicalLength(static_cast<int>(text.size()));
    ASSERT_TRUE(line.process(context));

    std::vector<uint32_t> drawn;
    for (const afUnicodeItem& item : line.items()) {
        if (item.kind != afUnicodeItem::TEXT)
            continue;
        ASSERT_NE(nullptr, item.font);
        FaceTable face = readFace(item.font->handle());
        for (int i = item.firstChar; i < item.endChar(); ++i) {
            uint32_t code = codePointAt(text, i);
            drawn.push_back(code);
            EXPECT_TRUE(face.maps(code)) << "U+" << std::hex << code << " drawn by a face without it: "
                                         << std::string(face.name.begin(), face.name.end());
        }
        EXPECT_GT(item.width, 0);
        for (int g = item.firstGlyph; g < item.firstGlyph + item.glyphCount; ++g)
            EXPECT_NE(0, line.glyphs()[g]) << "a missing glyph in the run from " << item.firstChar;
    }
    EXPECT_EQ(10u, drawn.size());
    // The list's own face keeps what it has.
    corvel::afUnicodeFontGroup* group = context.fontFamily()->group(0);
    EXPECT_EQ(L"CorvelMono", group->face(fonts.slotForChar(group, L'A'))->name);
    EXPECT_EQ(L"CorvelMono", group->face(fonts.slotForChar(group, 0x3B1))->name);
    EXPECT_EQ(L"CorvelMono", group->face(group->resolveSlot(corvel::afUnicodeFontGroup::PRIMARY_SLOT))->name);
    // A character that no installed face has keeps the page default.
    EXPECT_EQ(1, fonts.slotForChar(group, 0x10FFFD));
}

} // namespace
