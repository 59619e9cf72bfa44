// Plays the system's part in a slot drag: OLE would call the drop target under the pointer
// from inside the drag; tests hand enter, over and drop (or leave) to a dock's target by
// hand, at a point of its client area.
#pragma once
#include "corvel/widgets/afDataObject.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDropTarget.h"

#include <functional>
#include <oleidl.h>

namespace widgetstest {

struct SlotDropScript {
    POINT at{0, 0};                  // in the dock's client area
    bool leave = false;              // leave after the drag-over instead of dropping
    DWORD overEffect = 0;            // what the drag-over answered
    std::function<void()> afterOver; // looks at the dock between drag-over and drop

    // The drop's effect (0 after a leave).
    DWORD run(corvel::afDock& onto, corvel::afDataObject* data, int allowed) {
        IDropTarget* target = onto.getDropTarget()->getComTarget();
        POINT point = at;
        ClientToScreen(onto.getHandle(), &point);
        POINTL screen{point.x, point.y};
        DWORD offered = static_cast<DWORD>((allowed >> 2) & 7);
        DWORD effect = offered;
        target->DragEnter(data->getAdapter(), MK_LBUTTON, screen, &effect);
        effect = offered;
        target->DragOver(MK_LBUTTON, screen, &effect);
        overEffect = effect;
        if (afterOver)
            afterOver();
        if (leave) {
            target->DragLeave();
            return 0;
        }
        effect = offered;
        target->Drop(data->getAdapter(), 0, screen, &effect);
        return effect;
    }
};

} // namespace widgetstest
