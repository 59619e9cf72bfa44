// What the file manager and the bundle editor share when tabs of modified documents or
// entries close: the buttons of their questions and the removal of a tab already asked about.
#pragma once
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afMessageBox.h"

namespace corvel {

constexpr uint32_t CLOSE_SAVE = 0x79DCDD47u;
constexpr uint32_t CLOSE_DISCARD = 0x67AA281Fu;
constexpr uint32_t CLOSE_CANCEL = 0x5616C572u;

// "&Save" (the default), "&Discard", "&Cancel" for one; "&Save all", "&Discard all" and
// "&Cancel" (the default) for several. Y and N answer the first two.
inline void addCloseButtons(afMessageBox* box, bool several) {
    box->addButton(several ? L"&Save all" : L"&Save", CLOSE_SAVE, !several, 'Y');
    box->addButton(several ? L"&Discard all" : L"&Discard", CLOSE_DISCARD, false, 'N');
    box->addButton(L"&Cancel", CLOSE_CANCEL, several);
}

// Takes the slot out of its dock, showing a neighbour first when it was the shown one.
// asked is set meanwhile, so that the slot's controller does not put its question again.
inline void removeAskedSlot(afDockSlot* slot, bool& asked) {
    afDock* dock = slot->getDock();
    if (!dock)
        return;
    if (dock->getActiveSlot() == slot) {
        afDockSlot* next = dock->getAdjacentSlot(1);
        if (!next)
            next = dock->getAdjacentSlot(-1);
        dock->setActiveSlot(next);
    }
    asked = true;
    dock->removeSlots({slot});
    asked = false;
}

} // namespace corvel
