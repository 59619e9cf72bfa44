#include "corvel/app/DockSimple.h"

#include "corvel/app/DockManager.h"
#include "corvel/app/DropMarker.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afDockSlotController.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/widgets/afMenuItem.h"
#include "zem/base/Crc.h"
#include "zem/base/Exception.h"

#include <memory>

namespace corvel {

namespace {

// Titles are file and tab names, never mnemonics: "R&D.txt" shows its '&'.
constexpr int BUTTON_TEXT_FLAGS = ViewVirtualButton::TEXT_NO_PREFIX;
constexpr int NO_DROP = 1;     // the drop action "none"
constexpr int COPY_DROP = 4;   // the drop action "copy"
constexpr int EMPTY_COLOR = 4; // of the resource registry's colours

} // namespace

const uint32_t DockSimple::BUTTON_TAG = zem::symbolId(L"button");
const uint32_t DockSimple::STATE_WARNING = zem::symbolId(L"warning");
const uint32_t DockSimple::STATE_HIGHLIGHT = zem::symbolId(L"highlight");
const uint32_t DockSimple::STATE_DEFAULT = zem::symbolId(L"default");

DockSimple::DockSimple(afView* parent) : afDock(parent) {}

DockSimple::~DockSimple() {
    // The main window and its docks go before the dock manager at exit.
    if (DockManager* manager = DockManager::instance())
        manager->unregisterDock(this);
}

const wchar_t* DockSimple::getTypeName() const {
    return L"ui.dock.simple";
}

bool DockSimple::buildSeed(Seed& seed) {
    if (!afDock::buildSeed(seed))
        return false;
    seed.style = WS_CHILD | WS_VISIBLE;
    return true;
}

COLORREF DockSimple::emptyBackground() {
    return afResources::exists() ? afResources::getColor(EMPTY_COLOR) : GetSysColor(COLOR_BTNFACE);
}

ViewVirtualButton* DockSimple::getButton(const afDockSlot* slot) {
    return slot ? static_cast<ViewVirtualButton*>(slot->getTag(BUTTON_TAG)) : nullptr;
}

afDockSlot* DockSimple::getSlotOfButton(const ViewVirtualButton* button) const {
    for (int index = 0; index < getSlotCount(); ++index) {
        afDockSlot* slot = getSlot(index);
        if (getButton(slot) == button)
            return slot;
    }
    return nullptr;
}

afView* DockSimple::getCachedView(void* data) const {
    auto found = m_viewCache.find(data);
    return found == m_viewCache.end() ? nullptr : found->second;
}

void DockSimple::onSlotInserted(afDockSlot* slot, int position) {
    auto* button = new ViewVirtualButton(this);
    button->setLabelFlags(BUTTON_TEXT_FLAGS);
    button->setTextFlags(BUTTON_TEXT_FLAGS);
    slot->setTag(BUTTON_TAG, button);
    button->setClick(this, &DockSimple::onButtonClick);
    button->setDrag(this, &DockSimple::onButtonDrag);
    refreshButtonState(slot);
    placeButton(slot, button, position);
}

void DockSimple::onSlotRemoved(afDockSlot* slot, bool) {
    m_alerts.erase(slot);
    if (ViewVirtualButton* button = getButton(slot)) {
        removeButton(slot, button);
        slot->removeTag(BUTTON_TAG);
        // The button may be the host's hovered view, which the host would tell of the
        // next mouse move.
        if (m_hover == button)
            m_hover = nullptr;
        delete button;
    }
    void* data = slot->getData();
    auto cached = m_viewCache.find(data);
    if (cached == m_viewCache.end() || isDataShown(data, slot))
        return;
    // The view goes with the last slot of its word: the controller may free it, and a
    // later slot whose word reuses the address must not get the freed view.
    afView* view = cached->second;
    m_viewCache.erase(cached);
    if (m_hover && (m_hover == view || view->hasDescendant(m_hover)))
        m_hover = nullptr;
    removeView(view);
}

bool DockSimple::isDataShown(void* data, const afDockSlot* except) const {
    for (int index = 0; index < getSlotCount(); ++index) {
        afDockSlot* other = getSlot(index);
        if (other != except && other->getData() == data)
            return true;
    }
    return false;
}

void DockSimple::onSlotMoved(afDockSlot* slot, int position) {
    if (ViewVirtualButton* button = getButton(slot))
        moveButton(slot, button, position);
}

void DockSimple::refreshButtonState(afDockSlot* slot) {
    ViewVirtualButton* button = getButton(slot);
    if (!button)
        return;
    auto alert = m_alerts.find(slot);
    uint32_t state = alert == m_alerts.end() ? STATE_DEFAULT : alert->second;
    if (state == STATE_WARNING)
        button->setState(ViewVirtualButton::STATE_WARNING);
    else if (state == STATE_HIGHLIGHT)
        button->setState(ViewVirtualButton::STATE_HIGHLIGHTED);
    else
        button->setState(slot == getActiveSlot() ? ViewVirtualButton::STATE_HIGHLIGHTED
                                                 : ViewVirtualButton::STATE_NORMAL);
}

void DockSimple::onActiveSlotChanged(afDockSlot* previous) {
    afDockSlot* active = getActiveSlot();
    if (active)
        refreshButtonState(active);
    if (previous && previous->getDock() == this)
        refreshButtonState(previous);
    onActiveButtonChanged(active, previous);
    afView* oldView = previous ? previous->getView() : nullptr;
    afView* newView = active ? active->getView() : nullptr;
    if (oldView == newView)
        return;
    if (oldView)
        oldView->setVisible(false);
    if (newView) {
        newView->setVisible(true);
        newView->requestFocus();
    }
    needLayout("DockSimple::onActiveSlotChanged");
    invalidate();
}

void DockSimple::createSlotView(afDockSlot* slot) {
    if (afView* cached = getCachedView(slot->getData())) {
        slot->setView(cached);
        return;
    }
    afDockSlotController* controller = slot->getController();
    afView* view = controller ? controller->createSlotView(slot) : nullptr;
    if (!view)
        throw zem::NullPointerException(L"Slot requires a view to be associated.");
    m_viewCache[slot->getData()] = view;
    slot->setView(view);
    view->setVisible(slot == getActiveSlot());
    placeView(slot, view);
}

void DockSimple::onSlotDecorationChanged(afDockSlot* slot) {
    if (ViewVirtualButton* button = getButton(slot)) {
        button->needLayout("DockSimple::onSlotDecorationChanged");
        button->invalidate();
    }
}

void DockSimple::onSlotStateChanged(afDockSlot* slot, int state) {
    uint32_t alert = static_cast<uint32_t>(state);
    if (alert == STATE_WARNING || alert == STATE_HIGHLIGHT)
        m_alerts[slot] = alert;
    else
        m_alerts.erase(slot);
    refreshButtonState(slot);
}

void DockSimple::onButtonClick(void* self, ViewVirtualButton* button, afEvent* event) {
    auto* dock = static_cast<DockSimple*>(self);
    if (afDockSlot* slot = dock->getSlotOfButton(button))
        dock->onButtonEvent(slot, event);
}

void DockSimple::onButtonEvent(afDockSlot* slot, afEvent* event) {
    switch (event->getDetail()) {
    case 1:
        setActiveSlot(slot);
        break;
    case 2:
        showSlotMenu(slot, event->x, event->y);
        break;
    case 4:
        removeSlot(slot);
        break;
    default:
        break;
    }
}

void DockSimple::onButtonDrag(void* self, ViewVirtualButton* button, afEvent*) {
    auto* dock = static_cast<DockSimple*>(self);
    afDockSlot* slot = dock->getSlotOfButton(button);
    if (!slot)
        return;
    int previous = button->getState();
    button->setState(ViewVirtualButton::STATE_PRESSED);
    dock->dragSlot(slot);
    // Dropped on another dock, the slot left and its button with it.
    if (slot->getDock() == dock && getButton(slot) == button)
        button->setState(previous);
}

afMenuNode* DockSimple::runSlotMenu(afMenu* menu, int x, int y) {
    return menu->popup(getHandle(), x, y, false);
}

void DockSimple::showSlotMenu(afDockSlot* slot, int x, int y) {
    std::unique_ptr<afMenu> menu(afMenu::createPopup(L""));
    if (!menu)
        return;
    afMenuItem* close = menu->addItem(new afMenuItem(L"&Close", afMenuNode::ITEM, L"Ctrl+F4"));
    afMenuItem* closeAll = menu->addItem(new afMenuItem(L"&Close All", afMenuNode::ITEM, L"Ctrl+Shift+F4"));
    afMenuItem* closeOthers = menu->addItem(new afMenuItem(L"&Close All Other", afMenuNode::ITEM));
    if (afDockSlotController* controller = slot->getController())
        controller->fillSlotMenu(slot, menu.get());
    afMenuNode* chosen = runSlotMenu(menu.get(), x, y);
    if (!chosen)
        return;
    if (chosen == close)
        removeSlot(slot);
    else if (chosen == closeAll)
        removeAllSlots();
    else if (chosen == closeOthers)
        removeOtherSlots(slot);
    else
        chosen->runCommand();
}

DropMarker* DockSimple::marker() {
    if (!m_marker)
        m_marker = DropMarker::create(this);
    return m_marker;
}

void DockSimple::hideMarker() {
    if (m_marker)
        m_marker->setVisible(false);
}

void DockSimple::onSlotDragLeave(afDropTarget*) {
    if (m_marker) {
        m_marker->setVisible(false);
        delete m_marker;
        m_marker = nullptr;
    }
    m_dropPosition = -1;
}

int DockSimple::dropPosition(int x, int y, POINT* out) {
    DropHit hit;
    if (!hitTestDrop(x, y, hit))
        hit.position = -1;
    if (out)
        *out = hit.marker;
    return hit.position;
}

int DockSimple::onSlotDragOver(afDropTarget*, afEvent* event, int allowed, int last) {
    // Tabs this process drags land here, and other data only where a handler takes it (files
    // on the document tabs, copied in as new tabs).
    if (!getDraggedSlot()) {
        if (!takesForeignDrops() || !(allowed & COPY_DROP)) {
            m_dropPosition = -1;
            return NO_DROP;
        }
        last = COPY_DROP;
    }
    if (getSlotCount() == 0) {
        m_dropPosition = -1;
        hideMarker();
        return last;
    }
    POINT point{event->x, event->y};
    ScreenToClient(getHandle(), &point);
    DropHit hit;
    if (!hitTestDrop(point.x, point.y, hit)) {
        m_dropPosition = -1;
        hideMarker();
        return NO_DROP;
    }
    m_dropPosition = hit.position;
    showMarker(hit);
    return last;
}

} // namespace corvel
