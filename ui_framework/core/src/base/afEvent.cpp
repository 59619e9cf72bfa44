#include "corvel/ui/afEvent.h"

#include "corvel/ui/afSystem.h"

namespace corvel {

afEvent::afEvent(const MSG& msg, unsigned detail)
    : hwnd(msg.hwnd), message(msg.message), wParam(msg.wParam), lParam(msg.lParam), time(msg.time) {
    POINT cursor{0, 0};
    afSystem::getCursorPos(cursor);
    x = cursor.x;
    y = cursor.y;
    code = (static_cast<uint32_t>(afSystem::getModifierState()) << 8) | (detail & 0xFF);
}

afEvent afEvent::forChar(const MSG& msg, wchar_t character) {
    afEvent event(msg, 0);
    event.character = character;
    return event;
}

} // namespace corvel
