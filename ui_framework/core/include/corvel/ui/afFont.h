// A font handle with its ownership, and the conversions between points, pixels and
// LOGFONT records that the resources registry and the font manager share.
#pragma once
#include <windows.h>

namespace corvel {

class afFont {
public:
    afFont() = default;
    afFont(HFONT handle, bool owned) : m_owned(owned), m_handle(handle) {}
    ~afFont();
    afFont(const afFont&) = delete;
    afFont& operator=(const afFont&) = delete;

    HFONT getHandle() const { return m_handle; }

private:
    bool m_owned = false; // deleted here when set
    HFONT m_handle = nullptr;
    int m_value = 0; // reserved, always 0
};

// Style bits of makeLogFont.
enum afFontStyle { AF_FONT_BOLD = 1, AF_FONT_ITALIC = 2, AF_FONT_UNDERLINE = 4 };

// A zeroed record with the height for points on the screen, weight 700 for bold (else
// 0), italic and underline from the style bits, and the face cut to 31 characters.
void makeLogFont(int style, const wchar_t* face, int points, LOGFONTW& out);
// CreateFontW with every field of the record.
HFONT createFontFromLogFont(const LOGFONTW& font);
// Screen pixels to points and points to a LOGFONT height (negative: character height).
int pixelsToPoints(int pixels);
int pointsToHeight(int points);

} // namespace corvel
