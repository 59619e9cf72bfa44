// Finds the program's shown top-level window by a part of its caption, for the flow drivers,
// which look at the program from another process.
#pragma once

#include <windows.h>

#include <cwchar>

namespace flowdriver {

inline HWND findTopLevelWindow(const wchar_t* title) {
    struct Found {
        const wchar_t* title;
        HWND window;
    } found{title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<Found*>(data);
            wchar_t caption[512] = {};
            GetWindowTextW(hwnd, caption, 512);
            if (IsWindowVisible(hwnd) && std::wcsstr(caption, found->title)) {
                found->window = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

} // namespace flowdriver
