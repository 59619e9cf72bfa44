#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutFrame.h"
#include "corvel/ui/afLayoutHorizontalScroll.h"
#include "support/RecordingView.h"

#include <gtest/gtest.h>

using namespace corvel;
using uitest::RecordingView;

namespace {

constexpr uint32_t EX = afMeasureSpec::EXACTLY;
constexpr uint32_t AM = afMeasureSpec::AT_MOST;

struct WeightCase {
    const char* name;
    std::vector<int> widths;
    std::vector<double> weights;
    afViewMeasureSpec spec;
    double weightSum;
    int minimumWidth;
    std::vector<int> expected;
};

::testing::AssertionResult sharesAre(const WeightCase& c) {
    afLayoutLinear row(nullptr, afLayoutLinear::HORIZONTAL);
    row.setMinimumSize(c.minimumWidth, 0);
    if (c.weightSum > 0)
        row.setWeightSum(c.weightSum);
    std::vector<RecordingView*> children;
    for (size_t i = 0; i < c.widths.size(); ++i) {
        auto* child = new RecordingView(&row, nullptr, "c");
        row.addChild(child, new afLayoutParamsLinear(c.widths[i], 10, c.weights[i]));
        children.push_back(child);
    }
    row.measure(c.spec, EX | 10);
    std::vector<int> got;
    for (auto* child : children)
        got.push_back(child->getMeasuredWidth());
    for (auto* child : children)
        row.removeChild(child);
    if (got == c.expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.name << ": got " << ::testing::PrintToString(got);
}

TEST(LinearLayout, WeightsShareTheSpareRoom) {
    const WeightCase cases[] = {
        {"1:2 of 300", {0, 0}, {1, 2}, EX | 300, 0, 0, {100, 200}},
        {"thirds of 100", {0, 0, 0}, {1, 1, 1}, EX | 100, 0, 0, {33, 33, 34}},
        {"weight sum 4", {0}, {1}, EX | 100, 4, 0, {25}},
        {"at most, grown by the minimum", {50}, {1}, AM | 200, 0, 120, {120}},
        {"shrinking", {80, 80}, {1, 1}, EX | 100, 0, 0, {50, 50}},
        {"shrinking stops at 0", {10, 200}, {1, 0}, EX | 100, 0, 0, {0, 200}},
        {"unweighted keep their size", {30, 0}, {0, 1}, EX | 100, 0, 0, {30, 70}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(sharesAre(c));
}

TEST(LinearLayout, GravityCentresOnBothAxes) {
    afLayoutLinear row(nullptr, afLayoutLinear::HORIZONTAL);
    row.setGravity(0x11);
    auto* child = new RecordingView(&row, nullptr, "c");
    row.addChild(child, new afLayoutParamsLinear(20, 20));
    row.measure(EX | 100, EX | 100);
    row.setFrame(afRect(0, 0, 100, 100));
    EXPECT_EQ(40, child->getFrame().left);
    EXPECT_EQ(40, child->getFrame().top);
    // A child gravity without vertical bits takes the layout's.
    static_cast<afLayoutParamsLinear*>(child->getLayoutParams())->gravity = 5;
    row.needLayout("test");
    row.measure(EX | 100, EX | 100);
    row.layout();
    EXPECT_EQ(40, child->getFrame().top);
    row.removeChild(child);
}

TEST(LinearLayout, SetGravityFillsMissingAxes) {
    afLayoutLinear row(nullptr, afLayoutLinear::VERTICAL);
    row.setGravity(0x10);
    EXPECT_EQ(0x13, row.getGravity());
    row.setGravity(5);
    EXPECT_EQ(0x35, row.getGravity());
}

TEST(LinearLayout, FillingChildrenOfAColumnAreMeasuredAgainAtTheUniformWidth) {
    afLayoutLinear column(nullptr, afLayoutLinear::VERTICAL);
    auto* wide = new RecordingView(&column, nullptr, "wide");
    auto* fill = new RecordingView(&column, nullptr, "fill");
    column.addChild(wide, new afLayoutParamsLinear(80, 10));
    column.addChild(fill, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, 10));
    column.measure(AM | 200, AM | 200);
    EXPECT_EQ(2, fill->measures);
    // The widest fixed child sets the column's width, and the filling child takes it.
    EXPECT_EQ(80, column.getMeasuredWidth());
    EXPECT_EQ(80, fill->getMeasuredWidth());
    EXPECT_EQ(20, column.getMeasuredHeight());
    column.removeChild(wide);
    column.removeChild(fill);
}

TEST(LinearLayout, MarginsAndPaddingPlaceChildren) {
    afLayoutLinear row(nullptr, afLayoutLinear::HORIZONTAL);
    row.setPadding(5, 6, 7, 8);
    auto* a = new RecordingView(&row, nullptr, "a");
    auto* hidden = new RecordingView(&row, nullptr, "h");
    auto* b = new RecordingView(&row, nullptr, "b");
    auto* params = new afLayoutParamsLinear(10, 10);
    params->setMargins(1, 2, 3, 4);
    row.addChild(a, params);
    row.addChild(hidden, new afLayoutParamsLinear(50, 10));
    row.addChild(b, new afLayoutParamsLinear(10, 10));
    hidden->setVisible(false);
    row.measure(AM | 300, AM | 300);
    EXPECT_EQ(5 + 1 + 10 + 3 + 10 + 7, row.getMeasuredWidth());
    EXPECT_EQ(6 + 2 + 10 + 4 + 8, row.getMeasuredHeight());
    row.setFrame(afRect(0, 0, row.getMeasuredWidth(), row.getMeasuredHeight()));
    EXPECT_EQ(afRect(6, 8, 16, 18).left, a->getFrame().left);
    EXPECT_EQ(8, a->getFrame().top);
    EXPECT_EQ(19, b->getFrame().left);
    row.removeChild(a);
    row.removeChild(hidden);
    row.removeChild(b);
}

TEST(FrameLayout, MinimumHeightWinsOverSmallContent) {
    afLayoutFrame frame(nullptr);
    frame.setMinimumSize(0, 90);
    auto* child = new RecordingView(&frame, nullptr, "c");
    frame.addChild(child, new afLayoutParams(30, 20));
    frame.setPadding(2);
    frame.measure(AM | 500, AM | 500);
    EXPECT_EQ(34, frame.getMeasuredWidth());
    EXPECT_EQ(90, frame.getMeasuredHeight());
    frame.setFrame(afRect(0, 0, 34, 90));
    EXPECT_EQ(2, child->getFrame().left);
    EXPECT_EQ(32, child->getFrame().right);
    frame.removeChild(child);
}

struct ScrollStrip : ::testing::Test {
    afLayoutHorizontalScroll strip{nullptr};
    afLayoutLinear* row = nullptr;
    std::vector<RecordingView*> tabs;
    void SetUp() override {
        row = new afLayoutLinear(&strip, afLayoutLinear::HORIZONTAL);
        strip.addChild(row, new afLayoutParams(afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT));
        for (int i = 0; i < 10; ++i) {
            tabs.push_back(new RecordingView(&strip, nullptr, "tab"));
            row->addChild(tabs.back(), new afLayoutParamsLinear(50, 20));
        }
        strip.measure(EX | 120, EX | 20);
        strip.setFrame(afRect(0, 0, 120, 20));
    }
    void TearDown() override {
        for (auto* tab : tabs)
            row->removeChild(tab);
        strip.removeChild(row);
    }
};

TEST_F(ScrollStrip, ScrollingClampsToTheContent) {
    EXPECT_EQ(500, row->getFrame().width());
    strip.scrollTo(-5, 0);
    EXPECT_EQ(0, strip.getScrollX());
    strip.scrollTo(9999, 7);
    EXPECT_EQ(380, strip.getScrollX());
    EXPECT_EQ(0, strip.getScrollY());
}

TEST_F(ScrollStrip, AFocusedChildComesIntoViewWithAMargin) {
    strip.focusChild(tabs[4]); // 200..250
    EXPECT_EQ(250 + 16 - 120, strip.getScrollX());
    strip.focusChild(tabs[1]); // 50..100
    EXPECT_EQ(50 - 16, strip.getScrollX());
    strip.focusChild(tabs[9]); // the last pixel: no margin past the end
    EXPECT_EQ(380, strip.getScrollX());
    strip.focusChild(tabs[0]);
    EXPECT_EQ(0, strip.getScrollX());
}

TEST(ScrollStripFit, ContentNarrowerThanTheViewportNeverScrolls) {
    afLayoutHorizontalScroll strip(nullptr);
    auto* content = new RecordingView(&strip, nullptr, "c");
    strip.addChild(content, new afLayoutParams(40, 20));
    strip.measure(EX | 120, EX | 20);
    strip.setFrame(afRect(0, 0, 120, 20));
    EXPECT_EQ(120, content->getMeasuredWidth()); // filled to the viewport
    strip.scrollTo(30, 0);
    EXPECT_EQ(0, strip.getScrollX());
    strip.removeChild(content);
}

} // namespace
