#include "corvel/ui/afWindowsUX.h"

#include "corvel/ui/afCanvas.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

using corvel::afWindowsUX;

const wchar_t* const DECISION_LINES[] = {
    L"afWindowsUX::getInstance(): Theming is enabled.",
    L"afWindowsUX::getInstance(): Theming is DISABLED.",
};

TEST(afWindowsUXTest, DecidesOnceAndKeepsTheAnswer) {
    zemtest::LogCapture capture(0x629B9E5Bu);
    afWindowsUX* first = afWindowsUX::getInstance();
    afWindowsUX* second = afWindowsUX::getInstance();
    EXPECT_EQ(first, second);
    int decisions = 0;
    for (const auto& line : capture.lines()) {
        for (const wchar_t* text : DECISION_LINES)
            decisions += line.text == text ? 1 : 0;
    }
    EXPECT_LE(decisions, 1);
}

TEST(afWindowsUXTest, CallsGiveZeroWithoutTheming) {
    if (afWindowsUX::getInstance())
        GTEST_SKIP() << "theming is active here";
    RECT rect{0, 0, 10, 10};
    SIZE size{};
    int value = 5;
    EXPECT_EQ(afWindowsUX::openThemeData(nullptr, L"BUTTON"), nullptr);
    EXPECT_EQ(afWindowsUX::closeThemeData(nullptr), 0);
    EXPECT_EQ(afWindowsUX::drawThemeBackground(nullptr, nullptr, 1, 1, &rect, nullptr), 0);
    EXPECT_EQ(afWindowsUX::drawThemeText(nullptr, nullptr, 1, 1, L"a", 1, 0, &rect), 0);
    EXPECT_EQ(afWindowsUX::getThemePartSize(nullptr, nullptr, 1, 1, TS_TRUE, &size), 0);
    EXPECT_EQ(afWindowsUX::getThemeInt(nullptr, 1, 1, 1, &value), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(afWindowsUX::isThemeBackgroundPartiallyTransparent(nullptr, 1, 1), FALSE);
    EXPECT_EQ(afWindowsUX::setExplorerTheme(nullptr), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    {
        std::unique_ptr<corvel::afCanvas> canvas = corvel::afCanvas::create(dc);
        RECT extent{1, 2, 3, 4};
        EXPECT_EQ(afWindowsUX::getThemeTextExtent(nullptr, *canvas, 1, 1, L"a", 1, 0, nullptr, &extent), 0);
        EXPECT_EQ(extent.right, 3);
    }
    DeleteDC(dc);
}

} // namespace
