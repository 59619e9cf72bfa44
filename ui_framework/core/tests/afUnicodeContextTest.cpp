#include "support/TextFixture.h"

#include "zem/base/Exception.h"

#include <thread>

namespace {

using corvel::afUnicodeBlendedStyle;
using corvel::afUnicodeStyleCell;
using corvel::ColorF;
using uitest::MONO_CELL;

// Covers [from, to) of the line it is asked about, in its layer or bar mask.
class RangeLayer : public corvel::afUnicodeStyleLayer {
public:
    RangeLayer(uint32_t background, uint32_t foreground, uint16_t flags = 0) {
        m_style.background = ColorF::fromPacked(background);
        m_style.foreground = ColorF::fromPacked(foreground);
        m_style.flags = flags;
    }
    void restyle(int lineNumber, int firstOffset, int endOffset, std::vector<afUnicodeStyleCell>& cells) override {
        calls.push_back({lineNumber, firstOffset, endOffset});
        for (int i = from; i < to && i < static_cast<int>(cells.size()); ++i) {
            if (asBar)
                cells[i].barMask |= mask();
            else
                cells[i].layerMask |= mask();
        }
    }
    void getStyle(afUnicodeBlendedStyle* style) override { *style = m_style; }

    int from = 0;
    int to = 0;
    bool asBar = false;
    struct Call {
        int line, first, end;
    };
    std::vector<Call> calls;

private:
    afUnicodeBlendedStyle m_style;
};

class ContextTest : public uitest::TextFixture {};

TEST_F(ContextTest, MetricsComeFromThePrimaryFace) {
    EXPECT_EQ(context->ascent(), uitest::MONO_ASCENT);
    EXPECT_EQ(context->lineHeight(), uitest::MONO_HEIGHT);
    EXPECT_EQ(context->spaceWidth(), MONO_CELL);
    EXPECT_EQ(context->averageCharWidth(), MONO_CELL);
    context->setFontFamily(context->fontFamily(), 1, 2);
    EXPECT_EQ(context->lineHeight(), uitest::MONO_HEIGHT + 3);
    EXPECT_EQ(context->columnsToX(3), 3 * MONO_CELL);
}

TEST_F(ContextTest, WrapWidthIsAtLeastThirtyCharacters) {
    EXPECT_TRUE(context->setWrap(true, 10));
    EXPECT_TRUE(context->wrapEnabled());
    EXPECT_EQ(context->wrapWidth(), 30 * MONO_CELL);
    EXPECT_FALSE(context->setWrap(true, 10));
    EXPECT_TRUE(context->setWrap(true, 1000));
    EXPECT_EQ(context->wrapWidth(), 1000);
    EXPECT_TRUE(context->setWrap(true, 0));
    EXPECT_FALSE(context->wrapEnabled());
    EXPECT_EQ(context->wrapWidth(), 0);
    EXPECT_FALSE(context->setWrap(false, 500));
}

TEST_F(ContextTest, LayersAreBlendedByPosition) {
    for (uint8_t i = 0; i < corvel::afUnicodeContext::BLENDED_COUNT; ++i)
        EXPECT_EQ(context->blendedStyle(i).background, ColorF()) << int(i);
    RangeLayer red(0x800000FF, 0xFF0000FF, 1), green(0x8000FF00, 0x4000FF00, 2), blue(0xFFFF0000, 0x00FF0000, 4);
    context->addStyleLayer(&red);
    context->addStyleLayer(&green);
    context->addStyleLayer(&blue);
    EXPECT_EQ(blue.mask(), 4);
    const afUnicodeBlendedStyle& five = context->blendedStyle(5);
    ColorF expected = ColorF::fromPacked(0x800000FF).blend(ColorF::fromPacked(0xFFFF0000), 1.0f);
    EXPECT_EQ(five.background, expected);
    EXPECT_FLOAT_EQ(five.background.alpha, 128 / 255.0f); // the first layer's alpha stays
    EXPECT_EQ(five.flags, 5);
    EXPECT_EQ(context->blendedStyle(2).foreground, ColorF::fromPacked(0x4000FF00));
    EXPECT_EQ(context->blendedStyle(8).background, ColorF()); // no fourth layer

    // Caught: masks were given at insertion and kept, so after a removal the layer after
    // it marked cells with a bit the blended table no longer gave to it.
    context->removeStyleLayer(&red);
    EXPECT_EQ(green.mask(), 1);
    EXPECT_EQ(blue.mask(), 2);
    EXPECT_EQ(context->blendedStyle(2).background, ColorF::fromPacked(0xFFFF0000));
}

TEST_F(ContextTest, AtMostFiveLayersEachOnce) {
    std::vector<std::unique_ptr<RangeLayer>> layers;
    for (int i = 0; i < 6; ++i) {
        layers.emplace_back(new RangeLayer(0xFF000000u + i, 0));
        context->addStyleLayer(layers.back().get());
        context->addStyleLayer(layers.back().get());
    }
    EXPECT_EQ(context->layerCount(), 5u);
    EXPECT_EQ(layers[5]->mask(), 0);
}

TEST_F(ContextTest, RestylingClearsOldMarksAndRunsOnTheMainThreadOnly) {
    RangeLayer selection(0xFF808080, 0);
    RangeLayer bar(0xFF0000FF, 0);
    bar.asBar = true;
    bar.from = 1;
    bar.to = 2;
    context->addStyleLayer(&selection);
    context->addStyleLayer(&bar);
    ASSERT_TRUE(lay(L"abcdef", 2));
    selection.from = 0;
    selection.to = 8;
    context->applyStyleLayers(line, 7, 100);
    ASSERT_EQ(selection.calls.size(), 1u);
    EXPECT_EQ(selection.calls[0].line, 7);
    EXPECT_EQ(selection.calls[0].first, 100);
    EXPECT_EQ(selection.calls[0].end, 106);
    EXPECT_EQ(line.cells()[7].layerMask, 1);
    EXPECT_EQ(line.cells()[1].barMask, 2);
    EXPECT_FALSE(line.needsRestyle());
    context->applyStyleLayers(line, 7, 100); // no restyle asked: nothing runs
    EXPECT_EQ(selection.calls.size(), 1u);

    // Caught: a shrunk selection stayed painted when only the restyle mark was set.
    selection.to = 2;
    line.setRestyleMark(true);
    context->applyStyleLayers(line, 7, 100);
    EXPECT_EQ(line.cells()[1].layerMask, 1);
    EXPECT_EQ(line.cells()[2].layerMask, 0);
    EXPECT_EQ(line.cells()[7].layerMask, 0);

    line.setRestyleMark(true);
    std::wstring error;
    std::thread worker([&] {
        try {
            context->applyStyleLayers(line, 7, 100);
        } catch (const zem::Exception& e) {
            error = e.message();
        }
    });
    worker.join();
    EXPECT_EQ(error, L"Not a main thread.");
}

TEST_F(ContextTest, ColoursResolveFromStyleEndOfLineOverlayAndLayers) {
    styles.styles[1] = corvel::afUnicodeStyle{0xFF00FFFF, 0x800000FF, 0, 0};
    ASSERT_TRUE(lay(L"ab", 2));
    line.cells()[1].styleId = 1;
    line.setEndOfLineColor(0xFF00FF00);
    const ColorF none;
    const ColorF half = ColorF::fromPacked(0x80000000); // black at half strength
    struct Row {
        int index;
        ColorF overlay;
        COLORREF background;
    };
    const std::vector<Row> rows = {
        {0, none, 0xFFFFFF},   // the default style
        {1, none, 0x00FFFF},   // style 1
        {2, none, 0x00FF00},   // caught: the first column past the text kept its style
        {3, none, 0x00FF00},
        {1, half, ColorF::fromPacked(0xFF00FFFF).blend(ColorF(), 128 / 255.0f).toColorRef()},
    };
    for (const Row& row : rows)
        EXPECT_EQ(context->backgroundColors(line, row.index, row.overlay).background, row.background) << row.index;
    // The foreground is the style's over its own background by its alpha.
    EXPECT_EQ(context->textColor(line, 1, none).toColorRef(),
              ColorF::fromPacked(0xFF00FFFF).blend(ColorF::fromPacked(0x800000FF), 128 / 255.0f).toColorRef());
    EXPECT_FALSE(context->backgroundColors(line, 0, none).hasBar);

    RangeLayer layer(0xFF000000, 0xFFFF0000);
    layer.to = 1;
    RangeLayer bar(0xFF0000FF, 0);
    bar.asBar = true;
    bar.to = 1;
    context->addStyleLayer(&layer);
    context->addStyleLayer(&bar);
    line.setRestyleMark(true);
    context->applyStyleLayers(line, 0, 0);
    auto colors = context->backgroundColors(line, 0, none);
    EXPECT_EQ(colors.background, 0u);
    EXPECT_TRUE(colors.hasBar);
    EXPECT_EQ(colors.bar, 0x0000FFu);
    EXPECT_EQ(context->textColor(line, 0, none).toColorRef(), 0xFF0000u);
}

TEST_F(ContextTest, ContinuationRowsAreIndented) {
    ASSERT_TRUE(lay(L"x"));
    line.setIndent(3);
    EXPECT_EQ(context->continuationIndent(line), 2 * MONO_CELL + 3 * MONO_CELL);
    context->setKeepIndent(false);
    EXPECT_EQ(context->continuationIndent(line), 2 * MONO_CELL);
    context->setContinuationIndent(false);
    EXPECT_EQ(context->continuationIndent(line), 0);
    context->setWrap(true, 400);
    context->setContinuationIndent(true);
    EXPECT_EQ(context->rowRoom(line, 0), 400);
    EXPECT_EQ(context->rowRoom(line, 1), 400 - 2 * MONO_CELL);
    EXPECT_EQ(context->getRowIndent(line, 0), 0);
}

TEST_F(ContextTest, ColumnsRoundToTheNearest) {
    EXPECT_EQ(context->columnFromX(0), 0);
    EXPECT_EQ(context->columnFromX(6), 0);
    EXPECT_EQ(context->columnFromX(7), 1);
    EXPECT_EQ(context->columnFromX(30), 2);
    // Caught: a face without a space width divided by zero.
    corvel::afUnicodeContext bare(&uitest::monoFontManager());
    EXPECT_EQ(bare.columnFromX(5), 5);
}

} // namespace
