// Reads a running program's windows and the clipboard from outside, for the user-flow
// scripts: what the program shows without an X window of its own.
//
//   window_driver count TITLE CLASS   how many windows of the class lie inside the window
//   window_driver rect TITLE CLASS    "left top right bottom": the screen rectangle of the
//                                     first visible window of the class inside the window
//   window_driver clipboard           the clipboard's text, as UTF-8
//
// TITLE is a part of the caption of the program's shown top-level window. Exit code 0 on
// success, 1 when the window or the text is not there, 2 for bad arguments.
#include "TopLevelWindow.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Count {
    const wchar_t* className;
    int count = 0;
};

BOOL CALLBACK countClass(HWND hwnd, LPARAM data) {
    auto* count = reinterpret_cast<Count*>(data);
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (std::wcscmp(name, count->className) == 0)
        ++count->count;
    return TRUE;
}

struct FirstShown {
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK findShown(HWND hwnd, LPARAM data) {
    auto* first = reinterpret_cast<FirstShown*>(data);
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (std::wcscmp(name, first->className) != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    first->found = hwnd;
    return FALSE;
}

int printRect(const wchar_t* title, const wchar_t* className) {
    const HWND window = flowdriver::findTopLevelWindow(title);
    if (!window)
        return 1;
    FirstShown first{className};
    EnumChildWindows(window, &findShown, reinterpret_cast<LPARAM>(&first));
    RECT rect{};
    if (!first.found || !GetWindowRect(first.found, &rect))
        return 1;
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

void printUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int countWindows(const wchar_t* title, const wchar_t* className) {
    const HWND window = flowdriver::findTopLevelWindow(title);
    if (!window)
        return 1;
    Count count{className};
    EnumChildWindows(window, &countClass, reinterpret_cast<LPARAM>(&count));
    std::printf("%d\n", count.count);
    return 0;
}

int printClipboard() {
    if (!OpenClipboard(nullptr))
        return 1;
    int result = 1;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            printUtf8(text);
            GlobalUnlock(data);
            result = 0;
        }
    }
    CloseClipboard();
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wcscmp(argv[1], L"count") == 0)
        return countWindows(argv[2], argv[3]);
    if (argc == 4 && std::wcscmp(argv[1], L"rect") == 0)
        return printRect(argv[2], argv[3]);
    if (argc == 2 && std::wcscmp(argv[1], L"clipboard") == 0)
        return printClipboard();
    std::fprintf(stderr, "usage: window_driver count TITLE CLASS | rect TITLE CLASS | clipboard\n");
    return 2;
}
