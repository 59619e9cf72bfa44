#include "corvel/ui/afLayout.h"
#include "support/RecordingView.h"
#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using namespace corvel;
using uitest::RecordingView;

namespace {

constexpr uint32_t EX = afMeasureSpec::EXACTLY;
constexpr uint32_t AM = afMeasureSpec::AT_MOST;
constexpr uint32_t UN = afMeasureSpec::UNSPECIFIED;

struct SpecCase {
    int dimension;
    afViewMeasureSpec parent;
    int padding;
    afViewMeasureSpec expected;
};

::testing::AssertionResult childSpecIs(const SpecCase& c) {
    afViewMeasureSpec got = afLayout::getChildMeasureSpec(c.dimension, c.parent, c.padding);
    if (got == c.expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "dimension " << std::dec << c.dimension << " parent 0x"
                                         << std::hex << c.parent << ": got 0x" << got << " expected 0x" << c.expected;
}

TEST(ChildMeasureSpec, FollowsTheTable) {
    const SpecCase cases[] = {
        {500, EX | 300, 0, EX | 500}, // not clamped to the parent
        {-1, EX | 300, 10, EX | 290},    {-2, EX | 300, 10, AM | 290},
        {-3, EX | 300, 0, UN},           {40, AM | 300, 0, EX | 40},
        {-1, AM | 300, 0, AM | 300},     {-2, AM | 300, 0, AM | 300},
        {-5, AM | 300, 0, UN},           {40, UN, 0, EX | 40},
        {-1, UN | 300, 0, UN},           {-2, UN, 0, UN},
        {-1, EX | 10, 50, EX | 0},       // padding past the size: 0, never negative
        {0x10000005, EX | 1, 0, EX | 5}, // taken modulo 2^28
    };
    for (const auto& c : cases)
        EXPECT_TRUE(childSpecIs(c));
}

TEST(ChildMeasureSpec, InvalidModesRaise) {
    try {
        afLayout::getChildMeasureSpec(1, 0x20000000u, 0);
        FAIL();
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"Invalid afViewMeasureSpec mode specified.", e.message());
    }
    RecordingView view(nullptr, nullptr, "v");
    try {
        view.measure(0x20000010u, EX | 4);
        FAIL();
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"Invalid afViewMeasureSpec mode specified.", e.message());
    }
}

TEST(Measure, CachedUntilSpecsOrLayoutRequestChange) {
    RecordingView view(nullptr, nullptr, "v");
    view.setMinimumSize(7, 9);
    view.measure(EX | 30, UN);
    EXPECT_EQ(1, view.measures);
    EXPECT_EQ(30, view.getMeasuredWidth());
    EXPECT_EQ(9, view.getMeasuredHeight());
    view.layout(); // clears the layout-needed flag that setMinimumSize left
    view.measure(EX | 30, UN);
    EXPECT_EQ(1, view.measures);
    view.measure(AM | 30, UN);
    EXPECT_EQ(2, view.measures);
    view.needLayout("test");
    view.measure(AM | 30, UN);
    EXPECT_EQ(3, view.measures);
}

struct LazyView : RecordingView {
    using RecordingView::RecordingView;
    void onMeasure(afViewMeasureSpec, afViewMeasureSpec) override {}
};

TEST(Measure, OnMeasureMustSetTheDimensions) {
    LazyView view(nullptr, nullptr, "v");
    try {
        view.measure(EX | 1, EX | 1);
        FAIL();
    } catch (const zem::IllegalStateException& e) {
        EXPECT_EQ(L"Measured dimensions not set properly in onMeasure().", e.message());
    }
}

TEST(Layout, ForcedByANewMeasurementOnly) {
    RecordingView view(nullptr, nullptr, "v");
    view.setFrame(afRect(0, 0, 10, 10));
    EXPECT_EQ(1, view.layouts); // the size changed
    view.layout();
    EXPECT_EQ(1, view.layouts);
    view.measure(EX | 10, EX | 10);
    view.layout();
    EXPECT_EQ(2, view.layouts);
    view.layout();
    EXPECT_EQ(2, view.layouts);
}

TEST(Layout, RequestsStopAtAMarkedAncestor) {
    RecordingView top(nullptr, nullptr, "top");
    RecordingView* mid = new RecordingView(&top, nullptr, "mid");
    RecordingView* leaf = new RecordingView(&top, nullptr, "leaf");
    top.addChild(mid, -1);
    mid->addChild(leaf, -1);
    top.layout();
    mid->layout();
    top.requests = mid->requests = 0;
    leaf->needLayout("first");
    EXPECT_EQ(1, mid->requests);
    EXPECT_EQ(1, top.requests);
    EXPECT_TRUE(top.testFlag(afView::FLAG_LAYOUT_NEEDED));
    leaf->needLayout("second");
    EXPECT_EQ(1, mid->requests); // already marked: the walk stops
    mid->removeChild(leaf);
    top.removeChild(mid);
}

TEST(Layout, DefaultParamsReplaceRejectedOnes) {
    struct Picky : RecordingView {
        using RecordingView::RecordingView;
        bool checkLayoutParams(const afLayoutParams* p) const override { return p && p->width == 77; }
        afLayoutParams* generateDefaultLayoutParams() const override { return new afLayoutParams(77, 1); }
    };
    struct Broken : RecordingView {
        using RecordingView::RecordingView;
        bool checkLayoutParams(const afLayoutParams*) const override { return false; }
        afLayoutParams* generateDefaultLayoutParams() const override { return nullptr; }
    };
    Picky picky(nullptr, nullptr, "p");
    RecordingView* child = new RecordingView(&picky, nullptr, "c");
    picky.addChild(child);
    EXPECT_EQ(77, child->getLayoutParams()->width);
    picky.removeChild(child);
    Broken broken(nullptr, nullptr, "b");
    RecordingView* other = new RecordingView(&broken, nullptr, "o");
    try {
        broken.addChild(other);
        FAIL();
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"generateDefaultLayoutParams() cannot return NULL.", e.message());
    }
    EXPECT_EQ(0, broken.getChildCount());
}

TEST(Layout, MoveChild) {
    RecordingView top(nullptr, nullptr, "top");
    RecordingView* a = new RecordingView(&top, nullptr, "a");
    RecordingView* b = new RecordingView(&top, nullptr, "b");
    RecordingView stranger(nullptr, nullptr, "s");
    top.addChild(a);
    top.addChild(b);
    EXPECT_TRUE(top.moveChild(a, 9));
    EXPECT_EQ(a, top.getChildAt(1));
    EXPECT_FALSE(top.moveChild(&stranger, 0));
    top.removeChild(a);
    top.removeChild(b);
}

} // namespace
