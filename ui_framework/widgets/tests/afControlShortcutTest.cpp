#include "corvel/widgets/afControlShortcut.h"
#include "WidgetHost.h"
#include "corvel/ui/afKey.h"

#include <gtest/gtest.h>

using namespace corvel;
using widgetstest::HostWindow;
using widgetstest::makeEvent;

namespace {

constexpr int CTRL = afKey::CTRL >> 8;
constexpr int SHIFT = afKey::SHIFT >> 8;
constexpr int ALT = afKey::ALT >> 8;

struct ShortcutTest : ::testing::Test {
    void SetUp() override {
        ShowWindow(host.getHandle(), SW_SHOWNOACTIVATE);
        field = afControlShortcut::create(&host);
        field->setFrameRect(10, 10, 150, 28);
        field->changeListeners().add([](void* count, afControlShortcut*) { ++*static_cast<int*>(count); }, &changes);
        SetFocus(field->getHandle());
    }
    bool down(int vk, int modifiers = 0) {
        afEvent event = makeEvent(field->getHandle(), WM_KEYDOWN, vk, 0, 0, modifiers);
        return field->onKeyDown(&event);
    }
    bool up(int vk, int modifiers = 0) {
        afEvent event = makeEvent(field->getHandle(), WM_KEYUP, vk, 0, 0, modifiers);
        return field->onKeyUp(&event);
    }
    ::testing::AssertionResult is(int state, int key, const std::wstring& shown) {
        if (field->getState() == state && field->getKey() == key && field->getShownText() == shown)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "state " << field->getState() << ", key 0x" << std::hex << field->getKey() << ", shown '"
               << std::string(field->getShownText().begin(), field->getShownText().end()) << "'";
    }

    HostWindow host;
    afControlShortcut* field = nullptr;
    int changes = 0;
};

TEST_F(ShortcutTest, HeldModifiersShowAndTheFirstOtherKeyCommits) {
    EXPECT_TRUE(is(afControlShortcut::STATE_FOCUSED, 0, L""));
    EXPECT_FALSE(down('K')); // not capturing: left to others
    EXPECT_TRUE(down(VK_SPACE));
    EXPECT_TRUE(field->hasSelectedLook());
    EXPECT_TRUE(down(VK_CONTROL, CTRL));
    EXPECT_FALSE(field->hasSelectedLook());
    EXPECT_TRUE(down(VK_SHIFT, CTRL | SHIFT));
    EXPECT_TRUE(is(afControlShortcut::STATE_CAPTURING, 0, afKey::toString(afKey::CTRL | afKey::SHIFT)));
    EXPECT_NE(std::wstring::npos, field->getShownText().find(L"Ctrl"));
    EXPECT_TRUE(up(VK_SHIFT, CTRL)); // releasing Shift takes it out of the text
    EXPECT_EQ(afKey::toString(afKey::CTRL), field->getShownText());
    EXPECT_TRUE(down(VK_SHIFT, CTRL | SHIFT));
    EXPECT_EQ(0, changes);
    EXPECT_TRUE(down('K', CTRL | SHIFT));
    int ctrlShiftK = afKey::CTRL | afKey::SHIFT | 'K';
    EXPECT_TRUE(is(afControlShortcut::STATE_FOCUSED, ctrlShiftK, afKey::toString(ctrlShiftK)));
    EXPECT_EQ(1, changes);
    EXPECT_EQ(field->getHandle(), GetFocus());
    EXPECT_FALSE(up('K')); // no longer capturing
}

TEST_F(ShortcutTest, EscapeRestoresAndBackspaceClearsUnlessModified) {
    field->setKey(afKey::CTRL | 'S');
    changes = 0;
    EXPECT_TRUE(down(VK_RETURN));
    EXPECT_TRUE(down(VK_MENU, ALT));
    EXPECT_TRUE(down(VK_ESCAPE, ALT));
    EXPECT_TRUE(is(afControlShortcut::STATE_FOCUSED, afKey::CTRL | 'S', afKey::toString(afKey::CTRL | 'S')));
    EXPECT_TRUE(down(VK_RETURN));
    EXPECT_TRUE(down(VK_BACK, CTRL)); // Ctrl+Backspace is a key like any other
    EXPECT_EQ(afKey::CTRL | VK_BACK, field->getKey());
    EXPECT_TRUE(down(VK_SPACE));
    EXPECT_TRUE(down(VK_DELETE));
    EXPECT_TRUE(is(afControlShortcut::STATE_FOCUSED, 0, L""));
    EXPECT_EQ(2, changes);
}

TEST_F(ShortcutTest, LeavingWithOnlyAModifierShownClearsTheKey) {
    field->setKey(afKey::CTRL | 'S');
    afEvent press = makeEvent(field->getHandle(), WM_LBUTTONDOWN, 1);
    EXPECT_TRUE(field->onMouseDown(&press));
    EXPECT_EQ(afControlShortcut::STATE_CAPTURING, field->getState());
    EXPECT_TRUE(down(VK_MENU, ALT));
    SetFocus(host.getHandle());
    EXPECT_TRUE(is(afControlShortcut::STATE_IDLE, 0, L""));
    // A finished key survives the focus loss.
    SetFocus(field->getHandle());
    field->setKey(afKey::CTRL | 'S');
    SetFocus(host.getHandle());
    EXPECT_EQ(afKey::CTRL | 'S', field->getKey());
}

TEST_F(ShortcutTest, TextSetsTheKeyAndUnreadableTextClearsIt) {
    field->setShortcutText(afKey::toString(afKey::SHIFT | VK_F5));
    EXPECT_EQ(afKey::SHIFT | VK_F5, field->getKey());
    field->setShortcutText(L"Ctrl+Nothing");
    EXPECT_EQ(0, field->getKey());
    EXPECT_EQ(L"", field->getShownText());
    field->measure(0, 0);
    EXPECT_EQ(80, field->getMeasuredWidth()); // empty text: the minimum
    field->setKey(afKey::CTRL | afKey::SHIFT | afKey::ALT | VK_F12);
    field->measure(0, 0);
    EXPECT_GT(field->getMeasuredWidth(), 80);
}

} // namespace
