#include "corvel/ui/afResources.h"
#include "corvel/ui/afApp.h"

#include <gtest/gtest.h>

#include <cstdio>

using corvel::afIcon;
using corvel::afResources;

namespace {

class afResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { afResources::create(); }
    void TearDown() override { afResources::destroy(); }
};

int iconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return -1;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST_F(afResourcesTest, Colours) {
    EXPECT_EQ(GetSysColor(COLOR_ACTIVEBORDER), afResources::getColor(0));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), afResources::getColor(15));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), afResources::getColor(26));
    EXPECT_EQ(0u, afResources::getColor(27));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), afResources::getColor(28));
    EXPECT_EQ(0x993300u, afResources::getColor(29));
    EXPECT_EQ(0x0000CCu, afResources::getColor(30));
}

TEST_F(afResourcesTest, FontsDeriveFromTheUiFont) {
    for (int i = 0; i < afResources::FONT_COUNT; ++i)
        ASSERT_NE(nullptr, afResources::getFont(i).getHandle()) << i;
    const LOGFONTW& ui = afResources::getLogFont(0);
    EXPECT_EQ(700, afResources::getLogFont(1).lfWeight);
    EXPECT_EQ(0, afResources::getLogFont(1).lfUnderline);
    EXPECT_EQ(1, afResources::getLogFont(3).lfUnderline);
    EXPECT_EQ(ui.lfWeight, afResources::getLogFont(3).lfWeight);
    EXPECT_EQ(corvel::pointsToHeight(13), afResources::getLogFont(4).lfHeight);
    EXPECT_EQ(400, afResources::getLogFont(4).lfWeight);
    EXPECT_EQ(corvel::pointsToHeight(7), afResources::getLogFont(2).lfHeight);
    EXPECT_EQ(0, afResources::getLogFont(2).lfWeight);
    for (int i : {1, 2, 3, 4})
        EXPECT_STREQ(ui.lfFaceName, afResources::getLogFont(i).lfFaceName) << i;
    EXPECT_STREQ(L"Courier New", afResources::getLogFont(5).lfFaceName);
    EXPECT_EQ(corvel::pointsToHeight(10), afResources::getLogFont(5).lfHeight);
    EXPECT_STREQ(L"MS Shell Dlg 2", afResources::getLogFont(6).lfFaceName);
    EXPECT_EQ(0, afResources::getLogFont(6).lfWeight);
    EXPECT_EQ(700, afResources::getLogFont(7).lfWeight);
}

TEST_F(afResourcesTest, IconsAndCursorsComeFromTheProgram) {
    const int sizes[] = {16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 32, 32, 32, 32, 16, 16, 16, 16, 16};
    for (int i = 0; i < afResources::ICON_COUNT; ++i) {
        const afIcon& icon = afResources::getIcon(i);
        ASSERT_NE(nullptr, icon.getHandle()) << i;
        EXPECT_EQ(sizes[i], icon.getSize()) << i;
        EXPECT_EQ(sizes[i], iconSize(icon.getHandle())) << i;
    }
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), afResources::getCursor(afResources::CURSOR_ARROW).getHandle());
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), afResources::getCursor(afResources::CURSOR_HAND).getHandle());
    EXPECT_EQ(LoadCursorW(nullptr, IDC_IBEAM), afResources::getCursor(afResources::CURSOR_IBEAM).getHandle());
}

TEST_F(afResourcesTest, EveryShippedIconLoads) {
    const int sixteen[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 119, 120, 121, 122, 123, 124,
                           125, 127, 134, 135, 136, 137, 138, 140, 141, 147, 148, 151, 152, 156, 157, 158,
                           159, 160, 161, 162, 163, 164, 166, 167, 168, 169, 171, 172, 173, 174, 176};
    for (int id : sixteen)
        EXPECT_EQ(16, iconSize(afIcon(id, 16).getHandle())) << id;
    for (int id : {101, 134, 135, 136, 137, 151})
        EXPECT_EQ(32, iconSize(afIcon(id, 32).getHandle())) << id;
    EXPECT_EQ(128, iconSize(afIcon(126, 128).getHandle()));
}

TEST_F(afResourcesTest, FirstRegistrationWins) {
    const uint32_t id = 0xa57b32fdu; // "bundle"
    EXPECT_EQ(nullptr, afResources::find(id));
    EXPECT_TRUE(afResources::add(id, std::make_unique<afIcon>(104, 16)));
    const afIcon* first = afResources::find(id);
    ASSERT_NE(nullptr, first);
    EXPECT_FALSE(afResources::add(id, std::make_unique<afIcon>(140, 16)));
    EXPECT_EQ(first, afResources::find(id));
    EXPECT_EQ(nullptr, afResources::find(0x9775e708u));
}

TEST_F(afResourcesTest, CreateTwiceKeepsTheRegistry) {
    const afIcon* icon = &afResources::getIcon(0);
    afResources::create();
    EXPECT_EQ(icon, &afResources::getIcon(0));
}

TEST(afFontTest, MakeLogFont) {
    LOGFONTW font;
    corvel::makeLogFont(corvel::AF_FONT_BOLD | corvel::AF_FONT_UNDERLINE, L"Consolas", 12, font);
    EXPECT_EQ(700, font.lfWeight);
    EXPECT_EQ(0, font.lfItalic);
    EXPECT_EQ(1, font.lfUnderline);
    EXPECT_EQ(corvel::pointsToHeight(12), font.lfHeight);
    EXPECT_GT(0, font.lfHeight);
    EXPECT_STREQ(L"Consolas", font.lfFaceName);
    corvel::makeLogFont(corvel::AF_FONT_ITALIC, L"A face name that is longer than thirty-one units", 9, font);
    EXPECT_EQ(1, font.lfItalic);
    EXPECT_EQ(0, font.lfWeight);
    EXPECT_EQ(31u, wcslen(font.lfFaceName));
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(MulDiv(20, 72, dpi), corvel::pixelsToPoints(20));
    HFONT handle = corvel::createFontFromLogFont(font);
    LOGFONTW back{};
    GetObjectW(handle, sizeof(back), &back);
    EXPECT_EQ(font.lfHeight, back.lfHeight);
    EXPECT_EQ(font.lfItalic, back.lfItalic);
    DeleteObject(handle);
}

void noticeToStderr(const wchar_t* text, const wchar_t* caption) {
    fwprintf(stderr, L"[%ls] %ls\n", caption, text);
    fflush(stderr);
}

TEST(afResourcesDeathTest, AMissingIconOrCursorIsFatal) {
    corvel::afApp::setPanicNotice(&noticeToStderr);
    EXPECT_EXIT(afIcon(4242, 16), ::testing::ExitedWithCode(1),
                "\\[Application Panic\\] afIcon::afIcon\\( resource constructor \\): Cannot load image from a "
                "resource\\.");
    EXPECT_EXIT(corvel::afCursor(MAKEINTRESOURCEW(4242)), ::testing::ExitedWithCode(1),
                "\\[Application Panic\\] afCursor::afCursor\\( resource constructor \\): Cannot load cursor from a "
                "resource\\.");
    corvel::afApp::setPanicNotice(nullptr);
}

} // namespace
