#include "corvel/widgets/afControlTreeInplaceEdit.h"

#include "../WidgetsLog.h"
#include "corvel/ui/afEvent.h"
#include "zem/log/LogManager.h"

namespace corvel {

bool afControlTreeInplaceEdit::onKeyDown(afEvent* event) {
    if (!m_hwnd)
        return afControl::onKeyDown(event);
    unsigned key = event->getDetail();
    if (key != VK_RETURN && key != VK_ESCAPE && key != VK_DELETE && key != VK_F2)
        return afControl::onKeyDown(event);
    // A claimed key is never dispatched: the edit must see it here, or Enter and Escape
    // could not end the rename.
    afMessage message{m_hwnd, WM_KEYDOWN, key, event->lParam, 0};
    defaultProc(&message);
    return true;
}

bool afControlTreeInplaceEdit::onRawMessage(afMessage* message) {
    if (message->message != WM_DESTROY)
        return afControl::onRawMessage(message);
    HWND hwnd = m_hwnd;
    defaultProc(message);
    // A tree may take its edit back on WM_DESTROY, restoring the procedure it replaced:
    // this view then sees no WM_NCDESTROY and lets the window go here.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &afWidget::s_WndProc) {
        unbindHandle(hwnd);
        m_prevProc = nullptr;
        m_hwnd = nullptr;
        onDestroyed();
    }
    return true;
}

void afControlTreeInplaceEdit::onDestroyed() {
    zem::logMessage(zem::LOG_INFO, WIDGETS_LOG_SOURCE,
                    L"afControlTreeInplaceEdit::onRawMessage(): WM_NCDESTROY received.");
    afControl::onDestroyed();
}

} // namespace corvel
