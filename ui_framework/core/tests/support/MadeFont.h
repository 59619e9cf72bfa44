// Tiny TrueType faces made by the tests: every mapped character draws a box that fills
// most of its cell, the space is blank, every glyph has the same advance. The test
// chooses the face's name, its 'cmap' subtables and its OS/2 Unicode ranges, then adds
// the file for this process only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace uitest {

struct CodeRange {
    uint32_t first;
    uint32_t last;
};

struct MadeFontSpec {
    std::wstring family;
    std::vector<CodeRange> unicodeBmp; // (3, 1) format 4; none when empty
    std::vector<CodeRange> unicodeFull; // (3, 10) format 12; none when empty
    std::vector<CodeRange> symbol;      // (3, 0) format 4; none when empty
    uint32_t unicodeRanges[4] = {1, 0, 0, 0}; // OS/2 subrange bits; all zero = none reported
    bool windowsPlatform = true; // false: the same subtables under the Unicode platform only
    int unitsPerEm = 1000;
    int advance = 600; // every glyph's advance, in font units
    int ascender = 800;
    int descender = 200;
};

// The bytes of a TrueType file.
std::vector<uint8_t> buildTrueType(const MadeFontSpec& spec);

// A 'cmap' table alone, as readCmapRanges sees it.
std::vector<uint8_t> buildCmap(const MadeFontSpec& spec);

// Writes the face to a temporary file and adds it for this process; removes both when
// it goes.
class InstalledFont {
public:
    explicit InstalledFont(const MadeFontSpec& spec);
    ~InstalledFont();
    InstalledFont(const InstalledFont&) = delete;
    InstalledFont& operator=(const InstalledFont&) = delete;
    bool ok() const { return m_added; }

private:
    std::wstring m_path;
    bool m_added = false;
};

} // namespace uitest
