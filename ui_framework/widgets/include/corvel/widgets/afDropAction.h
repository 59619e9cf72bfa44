// What a drop would do, as bits (1 none, 4 copy, 8 move, 16 link), and the conversions
// to and from OLE's drop effects. A set of allowed actions derived from OLE always holds 1.
#pragma once
#include "corvel/ui/afEvent.h"

#include <windows.h>

namespace corvel {

class afDropAction {
public:
    enum : int { NONE = 1, COPY = 4, MOVE = 8, LINK = 16 };

    // OLE effects offered by a source -> the allowed set.
    static int fromDropEffects(DWORD effects);
    // One action -> its OLE effect; an unknown value logs and gives DROPEFFECT_NONE.
    static DWORD toDropAction(int action);
    // The allowed set -> OLE effects.
    static DWORD toDropEffects(int allowed) { return static_cast<DWORD>((allowed >> 2) & 7); }
    // The default choice for the event's modifiers: link with Ctrl+Shift, copy with Ctrl,
    // move with Shift or nothing held; each only when allowed, else none.
    static int pick(int allowed, const afEvent& event);
    // The input event of a drag: modifiers and the first held button from OLE's key state,
    // the point as OLE gives it (screen coordinates).
    static afEvent makeDragEvent(DWORD keyState, POINTL point);
};

} // namespace corvel
