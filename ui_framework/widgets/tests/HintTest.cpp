#include "corvel/widgets/Hint.h"

#include "WidgetHost.h"
#include "corvel/ui/afBitmap.h"
#include "corvel/ui/afCanvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using corvel::afBitmap;
using corvel::afCanvas;
using corvel::Hint;

namespace {

// The size of text in the hint's font, on one line.
SIZE textSize(const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    SIZE size;
    {
        std::unique_ptr<afCanvas> canvas = afCanvas::create(memory);
        HGDIOBJ old = canvas->selectObject(corvel::afResources::getFont(0).getHandle());
        size = canvas->measureText(text, 0);
        canvas->selectObject(old);
    }
    DeleteDC(memory);
    return size;
}

// A hint owned by a host window, as the editor owns its hint.
class HintTest : public ::testing::Test {
protected:
    widgetstest::HostWindow host;
    Hint* hint = Hint::create(&host);

    SIZE windowSize() {
        RECT rect;
        GetWindowRect(hint->getHandle(), &rect);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }

    // Paints the hint at its measured size into a fresh transparent bitmap.
    std::unique_ptr<afBitmap> paintHint() {
        SIZE size = hint->measure();
        std::unique_ptr<afBitmap> target = afBitmap::create(size.cx, size.cy);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, target->getHandle());
        {
            std::unique_ptr<afCanvas> canvas = afCanvas::create(memory);
            hint->paint(*canvas, 0, 0, size.cx, size.cy);
        }
        GdiFlush();
        SelectObject(memory, old);
        DeleteDC(memory);
        return target;
    }
};

struct MeasureCase {
    std::vector<std::wstring> lines;
    std::wstring widest; // the line whose width the hint takes
};

::testing::AssertionResult measuresAs(Hint& hint, const MeasureCase& c, SIZE measured) {
    const corvel::afRect& padding = hint.getPadding();
    LONG width = padding.left + padding.right + (c.lines.empty() ? 0 : textSize(c.widest).cx);
    LONG height = padding.top + padding.bottom + static_cast<LONG>(c.lines.size()) * textSize(L"x").cy;
    if (measured.cx == width && measured.cy == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.lines.size() << " lines measured " << measured.cx << " x " << measured.cy
                                         << ", expected " << width << " x " << height;
}

} // namespace

TEST_F(HintTest, TakesThePacksNinePatchPaddingAtCreation) {
    const corvel::afRect& padding = hint->getPadding();
    EXPECT_GT(padding.left + padding.right, 0);
    EXPECT_GT(padding.top + padding.bottom, 0);
    EXPECT_EQ(&host, hint->getOwner());
    EXPECT_FALSE(hint->isShown());
}

TEST_F(HintTest, MeasuresTheWidestLineByTheSumOfTheLineHeights) {
    const MeasureCase cases[] = {
        {{}, L""},
        {{L"One line"}, L"One line"},
        {{L"ab", L"a much longer middle line", L"abc"}, L"a much longer middle line"},
        {{L"", L"after an empty line"}, L"after an empty line"},
    };
    for (const MeasureCase& c : cases) {
        hint->clear();
        for (const std::wstring& line : c.lines)
            hint->addLine(line);
        EXPECT_TRUE(measuresAs(*hint, c, hint->measure()));
        // The window follows the lines at once.
        EXPECT_TRUE(measuresAs(*hint, c, windowSize()));
    }
}

TEST_F(HintTest, KeepsCopiesOfItsLinesUntilCleared) {
    std::wstring text = L"first";
    hint->addLine(text);
    text = L"changed";
    hint->addLine(L"second");
    ASSERT_EQ(2u, hint->getLines().size());
    EXPECT_EQ(L"first", hint->getLines()[0]);
    EXPECT_EQ(L"second", hint->getLines()[1]);
    hint->clear();
    EXPECT_TRUE(hint->getLines().empty());
}

TEST_F(HintTest, PaintsTextOpaqueAndKeepsTheBackgroundsAlpha) {
    std::unique_ptr<afBitmap> bare = paintHint();
    hint->addLine(L"WWWWWWWW");
    std::unique_ptr<afBitmap> withText = paintHint();
    ASSERT_TRUE(bare && withText);
    // The text row starts at the top padding; compare it with the bare background
    // stretched to the same size.
    const corvel::afRect& padding = hint->getPadding();
    ASSERT_EQ(bare->getWidth(), withText->getWidth() - textSize(L"WWWWWWWW").cx);
    hint->clear();
    int textPixels = 0;
    int translucentCorners = 0;
    for (int y = 0; y < withText->getHeight(); ++y) {
        for (int x = 0; x < withText->getWidth(); ++x) {
            uint32_t pixel = withText->getPixel(x, y);
            bool insideText = x >= padding.left && x < withText->getWidth() - padding.right && y >= padding.top &&
                              y < withText->getHeight() - padding.bottom;
            if (!insideText && (pixel >> 24) < 255)
                ++translucentCorners;
            if (insideText && (pixel & 0xFFFFFF) != (withText->getPixel(padding.left - 1, y) & 0xFFFFFF)) {
                ++textPixels;
                EXPECT_EQ(255u, pixel >> 24) << "at " << x << ", " << y;
            }
        }
    }
    EXPECT_GT(textPixels, 20);
    // The nine-patch's rounded or shadowed rim stays see-through.
    EXPECT_GT(translucentCorners, 0);
}
