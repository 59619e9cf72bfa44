#include "corvel/ui/afSystem.h"
#include "corvel/ui/afEvent.h"

#include <gtest/gtest.h>

using corvel::afEvent;
using corvel::afSystem;

namespace {

// Sets the keys the thread sees as held and restores the previous state afterwards.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys) {
        GetKeyboardState(m_saved);
        BYTE state[256] = {};
        for (int key : keys)
            state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

::testing::AssertionResult modifiersAre(std::initializer_list<int> keys, int expected) {
    HeldKeys held(keys);
    int actual = afSystem::getModifierState();
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "state " << actual << ", expected " << expected;
}

TEST(afSystemTest, ModifierStateReadsAltAndWinPerSide) {
    EXPECT_TRUE(modifiersAre({}, 0));
    EXPECT_TRUE(modifiersAre({VK_CONTROL}, 1));
    EXPECT_TRUE(modifiersAre({VK_SHIFT}, 2));
    EXPECT_TRUE(modifiersAre({VK_LMENU}, 4));
    EXPECT_TRUE(modifiersAre({VK_RMENU}, 8));
    EXPECT_TRUE(modifiersAre({VK_LWIN}, 16));
    EXPECT_TRUE(modifiersAre({VK_RWIN}, 32));
    EXPECT_TRUE(modifiersAre({VK_MENU}, 0)); // side-neutral Alt alone says nothing of a side
    EXPECT_TRUE(modifiersAre({VK_CONTROL, VK_SHIFT, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN}, 63));
}

TEST(afSystemTest, EventsCarryModifiersDetailAndTheCursorAtBuildTime) {
    SetCursorPos(123, 45);
    POINT cursor;
    GetCursorPos(&cursor);
    HeldKeys held({VK_CONTROL, VK_RMENU});
    MSG msg{};
    msg.hwnd = reinterpret_cast<HWND>(0x1234);
    msg.message = WM_KEYDOWN;
    msg.wParam = 'X';
    msg.lParam = 77;
    msg.time = 99;
    msg.pt = POINT{cursor.x + 300, cursor.y + 200}; // where the cursor was when posted
    afEvent key(msg, 'X');
    EXPECT_EQ(cursor.x, key.x);
    EXPECT_EQ(cursor.y, key.y);
    EXPECT_EQ(0x958u, key.code);
    EXPECT_EQ(0x958, key.getKeyCode());
    EXPECT_EQ(0, key.character);
    EXPECT_EQ(msg.hwnd, key.hwnd);
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), key.message);
    EXPECT_EQ(static_cast<WPARAM>('X'), key.wParam);
    EXPECT_EQ(77, key.lParam);
    EXPECT_EQ(99u, key.time);
    key.setClickCount(9);
    EXPECT_EQ(7u, key.getClickCount());
    EXPECT_EQ(0x70958u, key.code);

    msg.message = WM_CHAR;
    afEvent character = afEvent::forChar(msg, L'\x00e9');
    EXPECT_EQ(0x900u, character.code);
    EXPECT_EQ(L'\x00e9', character.character);
}

TEST(afSystemTest, MnemonicChar) {
    EXPECT_EQ(L'F', afSystem::getMnemonicChar(L"&File"));
    EXPECT_EQ(L'A', afSystem::getMnemonicChar(L"Save &as"));
    EXPECT_EQ(0, afSystem::getMnemonicChar(L"Close"));
    EXPECT_EQ(0, afSystem::getMnemonicChar(L"Close&"));
    EXPECT_EQ(L'&', afSystem::getMnemonicChar(L"Fish && &Chips"));
    EXPECT_EQ(0, afSystem::getMnemonicChar(L""));
    EXPECT_EQ(0, afSystem::getMnemonicChar(nullptr));
}

TEST(afSystemTest, DoubleClickRectangleExcludesRightAndBottom) {
    int halfWidth = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    int halfHeight = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    EXPECT_TRUE(afSystem::isInDoubleClickRect(100, 100, 100 - halfWidth, 100));
    EXPECT_FALSE(afSystem::isInDoubleClickRect(100, 100, 100 + halfWidth, 100));
    EXPECT_FALSE(afSystem::isInDoubleClickRect(100, 100, 100 - halfWidth - 1, 100));
    EXPECT_TRUE(afSystem::isInDoubleClickRect(100, 100, 100, 100 - halfHeight));
    EXPECT_FALSE(afSystem::isInDoubleClickRect(100, 100, 100, 100 + halfHeight));
}

TEST(afSystemTest, DoubleClickTimeReplacesTheLastTime) {
    clock_t last = clock() - static_cast<clock_t>(GetDoubleClickTime()) - 1000;
    EXPECT_FALSE(afSystem::isDoubleClickTime(last));
    EXPECT_TRUE(afSystem::isDoubleClickTime(last)); // last is now
    clock_t stale = clock() - static_cast<clock_t>(GetDoubleClickTime()) - 1000;
    EXPECT_FALSE(afSystem::isDoubleClick(0, 0, 0, 0, stale));
    EXPECT_FALSE(afSystem::isDoubleClick(0, 0, 1000, 0, stale)); // in time, too far away
    EXPECT_TRUE(afSystem::isDoubleClick(0, 0, 0, 0, stale));
}

TEST(afSystemTest, VersionIsAtLeastXP) {
    EXPECT_TRUE(afSystem::isXPOrLater());
}

} // namespace
