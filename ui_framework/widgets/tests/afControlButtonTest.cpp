#include "corvel/widgets/afControlButton.h"
#include "WidgetHost.h"
#include "corvel/widgets/afControlCheckBox.h"

#include <gtest/gtest.h>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

struct ButtonTest : ::testing::Test {
    void SetUp() override {
        ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
        button = afControlButton::create(&host);
        button->setText(L"&Go");
        button->setFrameRect(10, 10, 80, 25);
        button->clickCallback.set(this, &ButtonTest::onClick);
    }
    static void onClick(void* self, afControlButton*) { ++static_cast<ButtonTest*>(self)->clicks; }
    void send(UINT message, int x, int y) {
        SendMessageW(button->getHandle(), message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void key(bool down, int vk) {
        afEvent event = makeEvent(button->getHandle(), down ? WM_KEYDOWN : WM_KEYUP, vk);
        down ? button->onKeyDown(&event) : button->onKeyUp(&event);
    }

    HostWindow host;
    afControlButton* button = nullptr;
    int clicks = 0;
};

TEST_F(ButtonTest, AReleaseOutsideDoesNotClickAndFreesTheMouse) {
    send(WM_LBUTTONDOWN, 5, 5);
    EXPECT_TRUE(button->hasCapture());
    EXPECT_EQ(button->getHandle(), GetFocus());
    send(WM_MOUSEMOVE, 200, 5);
    EXPECT_FALSE(button->isHot());
    send(WM_LBUTTONUP, 200, 5);
    EXPECT_EQ(0, clicks);
    EXPECT_FALSE(button->hasCapture()); // it used to keep the capture and swallow later clicks
    EXPECT_FALSE(button->isMousePressed());
    // Moving back in before releasing clicks.
    send(WM_LBUTTONDOWN, 5, 5);
    send(WM_MOUSEMOVE, 200, 5);
    send(WM_MOUSEMOVE, 6, 6);
    send(WM_LBUTTONUP, 6, 6);
    EXPECT_EQ(1, clicks);
}

TEST_F(ButtonTest, KeysClickOnceAndFocusLossCancels) {
    SetFocus(button->getHandle());
    key(true, VK_SPACE);
    EXPECT_TRUE(button->getState() & afControlButton::STATE_PRESSED);
    key(false, VK_SPACE);
    EXPECT_EQ(1, clicks);
    key(true, VK_RETURN);
    key(false, VK_SPACE); // another key's release does nothing
    key(false, VK_RETURN);
    EXPECT_EQ(2, clicks);
    key(true, VK_SPACE);
    SetFocus(host.getHandle());
    key(false, VK_SPACE);
    EXPECT_EQ(2, clicks);
    afEvent shifted = makeEvent(button->getHandle(), WM_KEYDOWN, VK_SPACE, 0, 0, 2);
    EXPECT_FALSE(button->onKeyDown(&shifted));
    EXPECT_TRUE(button->onMnemonic(L'G'));
    EXPECT_EQ(3, clicks);
    EXPECT_EQ(button->getHandle(), GetFocus());
}

TEST_F(ButtonTest, StateDialogCodeAndSize) {
    SetFocus(button->getHandle());
    EXPECT_EQ(afControlButton::STATE_FOCUSED, button->getState());
    EnableWindow(button->getHandle(), FALSE);
    EXPECT_EQ(afControlButton::STATE_DISABLED, button->getState()); // whatever the focus
    EnableWindow(button->getHandle(), TRUE);
    EXPECT_EQ(DLGC_UNDEFPUSHBUTTON, SendMessageW(button->getHandle(), WM_GETDLGCODE, 0, 0));
    button->setText(L"");
    button->measure(0, 0);
    EXPECT_EQ(80, button->getMeasuredWidth());
    EXPECT_EQ(25, button->getMeasuredHeight());
    EXPECT_EQ(nullptr, afControlButton::create(nullptr));
}

struct ChangeCounter {
    int changes = 0;
    static void onChange(void* self, afControlCheckBox*) { ++static_cast<ChangeCounter*>(self)->changes; }
};

TEST(CheckBoxTest, AClickTogglesOnceSetCheckedIsSilentToggleTells) {
    HostWindow host;
    ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
    afControlCheckBox* box = afControlCheckBox::create(&host);
    box->setText(L"&Remember");
    box->setFrameRect(0, 0, 150, 20);
    ChangeCounter counter;
    box->changeCallback.set(&counter, &ChangeCounter::onChange);
    SendMessageW(box->getHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 8));
    SendMessageW(box->getHandle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 8));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(1, counter.changes);
    box->setChecked(false);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(1, counter.changes);
    box->toggle();
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(2, counter.changes);
    box->onMnemonic(L'R');
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->getHandle(), GetFocus());
    afControlCheckBox unmade(&host);
    EXPECT_FALSE(unmade.isChecked());
}

} // namespace
