#include "corvel/widgets/afDockSlotController.h"

namespace corvel {

void afDockSlotController::fillSlotMenu(afDockSlot*, afMenu*) {}

bool afDockSlotController::storeSlot(afDockSlot*, JasmineValue&) {
    return false;
}

bool afDockSlotController::restoreSlot(const JasmineValue&, afDock*, int) {
    return false;
}

void afDockSlotController::onDockEvent(uint32_t, void*) {}
void afDockSlotController::onSlotInserted(afDockSlot*) {}
void afDockSlotController::onSlotRemoved(afDockSlot*, bool) {}
void afDockSlotController::onSlotsClosing(std::vector<afDockSlot*>&) {}
void afDockSlotController::onSlotActivated(afDockSlot*) {}
void afDockSlotController::onSlotDeactivated(afDockSlot*) {}

int afDockSlotController::getSlotDragData(afDockSlot*, afDataObjectComposite*) {
    return 1;
}

void afDockSlotController::getSlotScope(afDockSlot*, ScopePath&) {}

} // namespace corvel
