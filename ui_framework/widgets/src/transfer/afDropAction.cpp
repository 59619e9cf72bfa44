#include "corvel/widgets/afDropAction.h"

#include "WidgetsLog.h"
#include "zem/log/LogManager.h"

#include <oleidl.h>

namespace corvel {

int afDropAction::fromDropEffects(DWORD effects) {
    int allowed = NONE;
    if (effects & DROPEFFECT_COPY)
        allowed |= COPY;
    if (effects & DROPEFFECT_MOVE)
        allowed |= MOVE;
    if (effects & DROPEFFECT_LINK)
        allowed |= LINK;
    return allowed;
}

DWORD afDropAction::toDropAction(int action) {
    switch (action) {
    case NONE:
        return DROPEFFECT_NONE;
    case COPY:
        return DROPEFFECT_COPY;
    case MOVE:
        return DROPEFFECT_MOVE;
    case LINK:
        return DROPEFFECT_LINK;
    default:
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afDropAction::toDropAction(): Unknown afDropAction #%x.\n", action);
        return DROPEFFECT_NONE;
    }
}

int afDropAction::pick(int allowed, const afEvent& event) {
    int modifiers = event.getModifiers();
    bool ctrl = (modifiers & 1) != 0;
    bool shift = (modifiers & 2) != 0;
    if ((allowed & LINK) && ctrl && shift)
        return LINK;
    if ((allowed & COPY) && ctrl)
        return COPY;
    if ((allowed & MOVE) && (shift || modifiers == 0))
        return MOVE;
    return NONE;
}

afEvent afDropAction::makeDragEvent(DWORD keyState, POINTL point) {
    MSG message{};
    afEvent event(message, 0);
    int modifiers = 0;
    if (keyState & MK_CONTROL)
        modifiers |= 1;
    if (keyState & MK_SHIFT)
        modifiers |= 2;
    if (keyState & MK_ALT)
        modifiers |= 4;
    unsigned button = 0;
    if (keyState & MK_LBUTTON)
        button = 1;
    else if (keyState & MK_RBUTTON)
        button = 2;
    else if (keyState & MK_MBUTTON)
        button = 4;
    event.code = (static_cast<uint32_t>(modifiers) << 8) | button;
    event.x = point.x;
    event.y = point.y;
    return event;
}

} // namespace corvel
