#include "corvel/editor/FontFamilies.h"

#include <algorithm>
#include <windows.h>

namespace corvel {

namespace {

struct SizeWalk {
    std::vector<int>* sizes;
    int pixelsPerInch;
    bool scalable;
};

// Enumeration callbacks: nothing may escape into the system's frames.
int CALLBACK addFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
    // Vertical variants ("@name") are not offered.
    if (font->lfFaceName[0] == L'@')
        return 1;
    try {
        FontFamilyInfo info;
        info.name = font->lfFaceName;
        info.fixedPitch = (font->lfPitchAndFamily & 3) == FIXED_PITCH;
        info.scalable = font->lfOutPrecision == OUT_STROKE_PRECIS || (type & TRUETYPE_FONTTYPE) != 0;
        reinterpret_cast<std::vector<FontFamilyInfo>*>(data)->push_back(info);
        return 1;
    } catch (...) {
        return 0;
    }
}

int CALLBACK addSize(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM data) {
    auto* walk = reinterpret_cast<SizeWalk*>(data);
    if (font->lfOutPrecision == OUT_STROKE_PRECIS || (type & TRUETYPE_FONTTYPE)) {
        walk->scalable = true;
        return 0; // every size: no need to look further
    }
    try {
        int points = metrics->tmHeight * 72 / walk->pixelsPerInch;
        if (std::find(walk->sizes->begin(), walk->sizes->end(), points) == walk->sizes->end())
            walk->sizes->push_back(points);
        return 1;
    } catch (...) {
        return 0;
    }
}

} // namespace

const std::vector<int>& FontFamilies::scalableSizes() {
    static const std::vector<int> sizes{6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    return sizes;
}

void SystemFontFamilies::listFamilies(std::vector<FontFamilyInfo>& out) {
    out.clear();
    HDC dc = GetDC(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = ANSI_CHARSET;
    EnumFontFamiliesExW(dc, &wanted, &addFamily, reinterpret_cast<LPARAM>(&out), 0);
    ReleaseDC(nullptr, dc);
}

void SystemFontFamilies::listSizes(const std::wstring& family, std::vector<int>& out) {
    out.clear();
    if (family.empty() || family.size() >= LF_FACESIZE)
        return;
    HDC dc = GetDC(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    family.copy(wanted.lfFaceName, family.size());
    SizeWalk walk{&out, GetDeviceCaps(dc, LOGPIXELSY), false};
    if (walk.pixelsPerInch <= 0)
        walk.pixelsPerInch = 96;
    EnumFontFamiliesExW(dc, &wanted, &addSize, reinterpret_cast<LPARAM>(&walk), 0);
    ReleaseDC(nullptr, dc);
    if (walk.scalable)
        out = scalableSizes();
}

} // namespace corvel
