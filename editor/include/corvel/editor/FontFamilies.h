// The display's font families as the fonts page lists them, behind an interface so the
// page can be shown a fixed set; SystemFontFamilies asks the window system.
#pragma once
#include <string>
#include <vector>

namespace corvel {

struct FontFamilyInfo {
    std::wstring name;
    bool fixedPitch = false;
    bool scalable = false; // an outline font: any size
};

class FontFamilies {
public:
    virtual ~FontFamilies() = default;
    // Every family, in any order, possibly repeated.
    virtual void listFamilies(std::vector<FontFamilyInfo>& out) = 0;
    // The point sizes a family offers: the standard list for a scalable family, else
    // each of its heights once. Empty for an unknown family.
    virtual void listSizes(const std::wstring& family, std::vector<int>& out) = 0;

    // 6 to 72, as offered for outline fonts.
    static const std::vector<int>& scalableSizes();
};

class SystemFontFamilies : public FontFamilies {
public:
    void listFamilies(std::vector<FontFamilyInfo>& out) override;
    void listSizes(const std::wstring& family, std::vector<int>& out) override;
};

} // namespace corvel
