// The two steps every control shares: creation under a parent (none without one) and the
// registration of a window class of the framework's own.
#pragma once
#include "corvel/ui/afViewPlatform.h"

namespace corvel {

// A new control of type T constructed with parent (and args) whose window exists; null
// for a null parent. The parent owns it from construction on.
template <class T, class... Args> T* createControl(afView* parent, Args... args) {
    if (!parent)
        return nullptr;
    auto* control = new T(parent, args...);
    control->afViewPlatform::create();
    return control;
}

// Registers, once per flag, a class of the framework's window procedure with the given
// system cursor (the arrow by default).
inline void registerOwnClass(afViewPlatform& view, bool& registered, const wchar_t* className, UINT style = 0,
                             LPCWSTR cursor = IDC_ARROW) {
    afWindowClass windowClass;
    windowClass.className = className;
    windowClass.cursor = LoadCursorW(nullptr, cursor);
    windowClass.style = style;
    view.registerClass(windowClass, registered);
}

} // namespace corvel
