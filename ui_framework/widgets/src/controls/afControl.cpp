#include "corvel/widgets/afControl.h"

#include "corvel/ui/afApp.h"
#include "corvel/ui/afTypeNames.h"

namespace corvel {

afControl::~afControl() {
    unregisterNotifications();
}

const wchar_t* afControl::getTypeName() const {
    return afTypeName::CONTROL_GENERIC;
}

bool afControl::buildSeed(Seed& seed) {
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    return true;
}

bool afControl::createWindow(Seed& seed) {
    if (seed.className.empty())
        return false;
    HWND hwnd =
        CreateWindowExW(seed.exStyle, seed.className.c_str(), seed.windowName.c_str(), seed.style, seed.x, seed.y,
                        seed.width, seed.height, getOwnerWindow(), seed.menu, afApp::getInstanceHandle(), nullptr);
    if (!hwnd)
        return false;
    if (!adoptHandle(hwnd)) {
        DestroyWindow(hwnd);
        return false;
    }
    onAttached();
    return true;
}

void afControl::onCreated() {
    // The native window is a child of its owner's window: that is where its
    // notifications arrive.
    HWND parent = GetParent(m_hwnd);
    afViewPlatform* notifier = parent ? viewFromHandle(parent) : nullptr;
    if (!notifier || notifier == m_notifier)
        return;
    unregisterNotifications();
    m_notifier = notifier;
    m_notifier->addMessageHook(&notificationHook, this);
}

void afControl::onBeforeDestroy() {
    unregisterNotifications();
}

void afControl::unregisterNotifications() {
    if (!m_notifier)
        return;
    m_notifier->removeMessageHook(&notificationHook, this);
    m_notifier = nullptr;
}

bool afControl::onRawMessage(afMessage* message) {
    if (m_nativePaint &&
        (message->message == WM_PAINT || message->message == WM_PRINTCLIENT || message->message == WM_ERASEBKGND))
        return false;
    return afWidget::onRawMessage(message);
}

bool afControl::onNotify(afMessage*) {
    return false;
}

bool afControl::notificationHook(void* self, afViewPlatform*, afMessage* message) {
    auto* control = static_cast<afControl*>(self);
    if (!control->m_hwnd)
        return false;
    HWND source = nullptr;
    if (message->message == WM_COMMAND)
        source = reinterpret_cast<HWND>(message->lParam);
    else if (message->message == WM_NOTIFY && message->lParam)
        source = reinterpret_cast<const NMHDR*>(message->lParam)->hwndFrom;
    if (!source || source != control->m_hwnd)
        return false;
    return control->onNotify(message);
}

} // namespace corvel
