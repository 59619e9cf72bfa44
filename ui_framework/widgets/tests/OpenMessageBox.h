// The message box this thread shows now, found among the thread's visible windows rather
// than as the active window: test programs share one display, and another program's
// window may hold the activation.
#pragma once
#include "corvel/widgets/afMessageBox.h"

#include <windows.h>

namespace widgetstest {

inline BOOL CALLBACK collectMessageBox(HWND hwnd, LPARAM data) {
    if (!IsWindowVisible(hwnd))
        return TRUE;
    auto* box = dynamic_cast<corvel::afMessageBox*>(corvel::afViewPlatform::viewFromHandle(hwnd));
    if (!box)
        return TRUE;
    *reinterpret_cast<corvel::afMessageBox**>(data) = box;
    return FALSE;
}

inline corvel::afMessageBox* findOpenMessageBox() {
    corvel::afMessageBox* found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &collectMessageBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace widgetstest
