// Gives a platform view the keyboard focus: the view tree is asked first (a window may
// route focus itself); when nothing took it, the view's own window gets it.
#pragma once
#include "corvel/ui/afViewPlatform.h"

namespace corvel {

inline void takeFocus(afViewPlatform* view) {
    view->requestFocus();
    HWND hwnd = view->getHandle();
    if (hwnd && GetFocus() != hwnd)
        SetFocus(hwnd);
}

} // namespace corvel
