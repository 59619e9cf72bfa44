// A line of Latin, Greek, Chinese and an astral character laid out with a face list that
// has only the first two: every run is drawn by a face whose table maps its characters, with
// a made face and with the faces installed on the machine.
#include "corvel/ui/CmapReader.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afUnicodeRenderer.h"
#include "support/DibTarget.h"
#include "support/TextFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// An installed face whose own table maps the code point, found through the system's
// enumeration rather than the font manager under test; empty when there is none.
struct FaceSearch {
    uint32_t code;
    std::wstring found;
};

int CALLBACK matchFace(const LOGFONTW* logFont, const TEXTMETRICW*, DWORD fontType, LPARAM data) {
    auto* search = reinterpret_cast<FaceSearch*>(data);
    if (!(fontType & TRUETYPE_FONTTYPE) || logFont->lfFaceName[0] == L'@')
        return 1;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, logFont->lfFaceName, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&wanted);
    if (!font)
        return 1;
    FaceTable face = readFace(font);
    DeleteObject(font);
    if (!face.maps(search->code))
        return 1;
    search->found = logFont->lfFaceName;
    return 0;
}

std::wstring installedFaceWith(uint32_t code) {
    FaceSearch search{code, std::wstring()};
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &all, &matchFace, reinterpret_cast<LPARAM>(&search), 0);
    ReleaseDC(nullptr, screen);
    return search.found;
}

// The ink of one column span of a drawn row: which pixels differ from the background.
struct Ink {
    std::vector<bool> pixels;
    int count = 0;
    bool operator==(const Ink& other) const { return pixels == other.pixels; }
};

Ink inkIn(const corveltest::DibTarget& target, int left, int right, COLORREF background) {
    Ink ink;
    for (int y = 0; y < target.height(); ++y) {
        for (int x = left; x < right; ++x) {
            bool set = target.pixel(x, y) != background;
            ink.pixels.push_back(set);
            ink.count += set;
        }
    }
    return ink;
}

// Chinese and emoji painted as boxes in the editor though the machine had faces for them.
// Here the line is laid out with a list of one Latin and Greek face and drawn: the Chinese
// and astral characters are measured and drawn with installed faces that have them, so that
// two different characters draw differently and neither looks like the box of a missing glyph.
TEST(FontFallbackTest, InstalledFacesDrawChineseAndAstralCharactersThatTheListLacks) {
    const uint32_t wanted[] = {0x4E2D, 0x6587, 0x1F600, 0x1F601};
    for (uint32_t code : wanted) {
        if (installedFaceWith(code).empty())
            GTEST_SKIP() << "no installed face has U+" << std::hex << code;
    }
    corvel::afUnicodeFontManager fonts;
    ASSERT_TRUE(fonts.hasFont(L"Courier New"));
    uitest::StyleTable styles;
    corvel::afUnicodeContext context(&fonts);
    context.setFontFamily(fonts.getFontGroup({L"Courier New"}, 12), 0, 0);
    context.setStyleProvider(&styles);

    // Latin, Greek, two Chinese characters and two astral ones, each pair apart by a space.
    const std::wstring text = L"Ab \x3B1\x3B2 \x4E2D \x6587 \xD83D\xDE00 \xD83D\xDE01";
    corvel::afUnicode line;
    line.setText(text);
    line.cells().assign(text.size(), corvel::afUnicodeStyleCell());
    line.setLogicalLength(static_cast<int>(text.size()));
    line.setEndOfLineColor(0xFFFFFFFF);
    ASSERT_TRUE(line.process(context));
    for (const afUnicodeItem& item : line.items()) {
        if (item.kind != afUnicodeItem::TEXT)
            continue;
        ASSERT_NE(nullptr, item.font);
        FaceTable face = readFace(item.font->handle());
        for (int i = item.firstChar; i < item.endChar(); ++i) {
            uint32_t code = codePointAt(text, i);
            EXPECT_TRUE(face.maps(code)) << "U+" << std::hex << code << " measured with a face without it: "
                                         << std::string(face.name.begin(), face.name.end());
        }
        for (int g = item.firstGlyph; g < item.firstGlyph + item.glyphCount; ++g)
            EXPECT_NE(0, line.glyphs()[g]) << "a missing glyph in the run from " << item.firstChar;
    }

    corveltest::DibTarget target(400, 48);
    {
        line.setRestyleMark(true);
        context.applyStyleLayers(line, 0, 0);
        corvel::afUnicodeRenderer renderer(&context);
        std::unique_ptr<corvel::afCanvas> canvas = corvel::afCanvas::create(target.dc());
        corvel::afUnicodeRenderer::Request request;
        request.canvas = canvas.get();
        request.rightClip = target.width();
        request.rowBottom = target.height();
        request.background = RECT{0, 0, target.width(), target.height()};
        request.layout = &line;
        renderer.drawLine(request);
    }
    const COLORREF white = RGB(255, 255, 255);
    struct Drawn {
        int offset;
        int length;
        Ink ink;
        Ink box; // the missing glyph of the face that drew it, at the same place
    };
    std::vector<Drawn> drawn = {{6, 1, {}, {}}, {8, 1, {}, {}}, {10, 2, {}, {}}, {13, 2, {}, {}}};
    for (Drawn& one : drawn) {
        int left = line.getXFromOffset(one.offset, false, 0);
        int right = line.getXFromOffset(one.offset + one.length, false, 0);
        ASSERT_GT(right, left) << "no width measured at " << one.offset;
        one.ink = inkIn(target, left, right, white);
        EXPECT_GT(one.ink.count, 10) << "nothing drawn at " << one.offset;
        // The same place with glyph 0 of the run's face: what a box looks like there.
        const afUnicodeItem* item = nullptr;
        for (const afUnicodeItem& candidate : line.items()) {
            if (one.offset >= candidate.firstChar && one.offset < candidate.endChar())
                item = &candidate;
        }
        ASSERT_NE(nullptr, item);
        corveltest::DibTarget boxes(400, 48);
        HGDIOBJ previous = SelectObject(boxes.dc(), item->font->handle());
        SetBkMode(boxes.dc(), TRANSPARENT);
        const WORD missing = 0;
        ExtTextOutW(boxes.dc(), left, 0, ETO_GLYPH_INDEX, nullptr, reinterpret_cast<const wchar_t*>(&missing), 1,
                    nullptr);
        SelectObject(boxes.dc(), previous);
        one.box = inkIn(boxes, left, right, white);
        EXPECT_FALSE(one.ink == one.box) << "a box drawn at " << one.offset;
    }
    EXPECT_FALSE(drawn[0].ink == drawn[1].ink) << "two Chinese characters drawn alike";
    EXPECT_FALSE(drawn[2].ink == drawn[3].ink) << "two astral characters drawn alike";
}

} // namespace
