#include "corvel/ui/afSystem.h"

#include <shellapi.h>

namespace corvel {

namespace {

bool isDown(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

void afSystem::beep(int kind) {
    static const UINT sounds[] = {MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONHAND};
    if (kind < 0 || kind > 3)
        return;
    MessageBeep(sounds[kind]);
}

bool afSystem::isXPOrLater() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info))
        return false;
    return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion != 0);
}

int afSystem::getModifierState() {
    int state = 0;
    if (isDown(VK_CONTROL))
        state |= 1;
    if (isDown(VK_SHIFT))
        state |= 2;
    if (isDown(VK_LMENU))
        state |= 4;
    if (isDown(VK_RMENU))
        state |= 8;
    if (isDown(VK_LWIN))
        state |= 16;
    if (isDown(VK_RWIN))
        state |= 32;
    return state;
}

void afSystem::getCursorPos(POINT& point) {
    if (!GetCursorPos(&point))
        point = POINT{0, 0};
}

void afSystem::getCursorPos(int& x, int& y) {
    POINT point;
    getCursorPos(point);
    x = point.x;
    y = point.y;
}

bool afSystem::isInDoubleClickRect(int x0, int y0, int x, int y) {
    int halfWidth = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    int halfHeight = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    RECT area{x0 - halfWidth, y0 - halfHeight, x0 + halfWidth, y0 + halfHeight};
    return PtInRect(&area, POINT{x, y}) != FALSE;
}

bool afSystem::isDoubleClickTime(clock_t& last) {
    clock_t now = clock();
    bool within = now - last < static_cast<clock_t>(GetDoubleClickTime());
    last = now;
    return within;
}

bool afSystem::isDoubleClick(int x0, int y0, int x, int y, clock_t& last) {
    bool inside = isInDoubleClickRect(x0, y0, x, y);
    bool inTime = isDoubleClickTime(last);
    return inside && inTime;
}

wchar_t afSystem::getMnemonicChar(const wchar_t* text) {
    if (!text)
        return 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p != L'&' || p[1] == 0)
            continue;
        wchar_t mnemonic = p[1];
        CharUpperBuffW(&mnemonic, 1);
        return mnemonic;
    }
    return 0;
}

void afSystem::openWithShell(const wchar_t* path) {
    ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace corvel
