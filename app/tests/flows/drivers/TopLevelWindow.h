// Finds the program's shown top-level window by a part of its caption, for the flow drivers,
// which look at the program from another process.
#pragma once

#include <windows.h>

#include <cwchar>

namespace flowdriver {

struct TopLevelSearch {
    const wchar_t* title;
    HWND window;
};

// A named function, not a lambda: on i686 a lambda converts only to the default calling
// convention, and the enumeration calls back with the system's.
inline BOOL CALLBACK matchTopLevelWindow(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    wchar_t caption[512] = {};
    GetWindowTextW(hwnd, caption, 512);
    if (IsWindowVisible(hwnd) && std::wcsstr(caption, search->title)) {
        search->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

inline HWND findTopLevelWindow(const wchar_t* title) {
    TopLevelSearch search{title, nullptr};
    EnumWindows(matchTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    return search.window;
}

} // namespace flowdriver
