// One-line queries of the platform that views and controls need: beeps, the system
// version, modifier keys, the cursor, double clicks, mnemonics and the shell.
#pragma once
#include <ctime>
#include <windows.h>

namespace corvel {

class afSystem {
public:
    // 0 and 3 error, 1 question, 2 exclamation.
    static void beep(int kind);
    static bool isXPOrLater();
    // Modifiers held now: 1 Ctrl, 2 Shift, 4 left Alt, 8 right Alt, 16 left Windows key,
    // 32 right Windows key. Alt and the Windows keys are read per side.
    static int getModifierState();
    static void getCursorPos(POINT& point);
    static void getCursorPos(int& x, int& y);
    // Whether (x, y) lies in the double-click rectangle centred on (x0, y0).
    static bool isInDoubleClickRect(int x0, int y0, int x, int y);
    // Whether less than the double-click time passed since last; last becomes now.
    static bool isDoubleClickTime(clock_t& last);
    static bool isDoubleClick(int x0, int y0, int x, int y, clock_t& last);
    // The upper-cased character after the first "&" that has one after it; 0 for none.
    static wchar_t getMnemonicChar(const wchar_t* text);
    // Opens a document with its associated program; the outcome is not reported.
    static void openWithShell(const wchar_t* path);
};

} // namespace corvel
