#include "corvel/widgets/afContainer.h"

#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/createControl.h"
#include "takeFocus.h"

namespace corvel {

afContainer::afContainer(afView* parent) : afWidget(parent) {
    setParentBackground(true);
}

afContainer* afContainer::create(afView* parent) {
    return createControl<afContainer>(parent);
}

const wchar_t* afContainer::getTypeName() const {
    return afTypeName::CONTAINER;
}

bool afContainer::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afContainer");
    seed.className = L"afContainer";
    seed.style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP;
    seed.exStyle = WS_EX_CONTROLPARENT;
    seed.windowName = getText();
    return true;
}

namespace {

bool isTabStop(HWND hwnd) {
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    return (style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE);
}

// The first tab stop in z-order among parent's child windows, looking inside children
// that hold controls of their own; the system's dialog walk starts from the end when
// no control is given.
HWND findFirstTabStop(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && IsWindowVisible(child)) {
            if (HWND inner = findFirstTabStop(child))
                return inner;
        }
        if (isTabStop(child))
            return child;
    }
    return nullptr;
}

} // namespace

void afContainer::requestFocus() {
    if (!m_hwnd)
        return;
    HWND first = findFirstTabStop(m_hwnd);
    if (!first)
        return;
    if (afViewPlatform* view = viewFromHandle(first)) {
        takeFocus(view);
        return;
    }
    SetFocus(first);
}

} // namespace corvel
