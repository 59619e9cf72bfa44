#include "corvel/ui/afFont.h"

#include "text/ScreenDC.h"

#include <cwchar>

namespace corvel {

namespace {

int screenPixelsPerInchY() {
    ScreenDC screen;
    return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
}

} // namespace

afFont::~afFont() {
    if (m_owned && m_handle)
        DeleteObject(m_handle);
}

void makeLogFont(int style, const wchar_t* face, int points, LOGFONTW& out) {
    out = LOGFONTW{};
    out.lfHeight = pointsToHeight(points);
    out.lfWeight = (style & AF_FONT_BOLD) ? FW_BOLD : 0;
    out.lfItalic = (style & AF_FONT_ITALIC) ? 1 : 0;
    out.lfUnderline = (style & AF_FONT_UNDERLINE) ? 1 : 0;
    if (face)
        wcsncpy(out.lfFaceName, face, LF_FACESIZE - 1);
    out.lfFaceName[LF_FACESIZE - 1] = 0;
}

HFONT createFontFromLogFont(const LOGFONTW& font) {
    return CreateFontW(font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight, font.lfItalic,
                       font.lfUnderline, font.lfStrikeOut, font.lfCharSet, font.lfOutPrecision, font.lfClipPrecision,
                       font.lfQuality, font.lfPitchAndFamily, font.lfFaceName);
}

int pixelsToPoints(int pixels) {
    return MulDiv(pixels, 72, screenPixelsPerInchY());
}

int pointsToHeight(int points) {
    return -MulDiv(points, screenPixelsPerInchY(), 72);
}

} // namespace corvel
