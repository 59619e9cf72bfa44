// The document tab's wrapper: the top area above an editor that takes the rest.
#include "corvel/editor/EditorWrapper.h"
#include "support/EditorFixture.h"

namespace {

class EditorWrapperTest : public edtest::EditorFixture {};

TEST_F(EditorWrapperTest, TheEditorFillsWhatTheTopAreaLeaves) {
    auto* wrapper = new corvel::EditorWrapper(host);
    ASSERT_NE(nullptr, wrapper->getEditor());
    EXPECT_EQ(0, wrapper->getChildCount()); // placed when it joins its parent
    host->addChild(wrapper, -1);
    ASSERT_EQ(2, wrapper->getChildCount());
    EXPECT_EQ(wrapper->getTopArea(), wrapper->getChildAt(0));
    EXPECT_EQ(wrapper->getEditor(), wrapper->getChildAt(1));
    auto* bar = new corvel::afLayoutLinear(host, corvel::afLayoutLinear::HORIZONTAL); // a message bar
    wrapper->getTopArea()->addChild(bar, new corvel::afLayoutParamsLinear(corvel::afLayoutParams::FILL_PARENT, 30));
    using namespace corvel::afMeasureSpec;
    wrapper->measure(make(EXACTLY, 300), make(EXACTLY, 200));
    wrapper->setFrame(corvel::afRect(0, 0, 300, 200));
    wrapper->layout();
    const corvel::afRect frame = wrapper->getEditor()->getFrame();
    EXPECT_EQ(0, frame.left);
    EXPECT_EQ(30, frame.top);
    EXPECT_EQ(300, frame.right);
    EXPECT_EQ(200, frame.bottom);
    EXPECT_TRUE(wrapper->getEditor()->isVisible());
}

} // namespace
