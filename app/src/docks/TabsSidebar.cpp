#include "corvel/app/TabsSidebar.h"

#include "corvel/app/DropMarker.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/afDockSlot.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr int MARKER_OVERHANG = 2;

afLayoutParamsLinear* buttonParams() {
    return new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT);
}

afLayoutParamsLinear* viewParams() {
    return new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT, 1.0);
}

} // namespace

TabsSidebar::TabsSidebar(afView* parent)
    : DockSimple(parent), m_content(new afLayoutLinear(this, afLayoutLinear::VERTICAL)) {
    setContentView(m_content);
}

TabsSidebar* TabsSidebar::create(afView* window) {
    if (!window)
        return nullptr;
    auto* sidebar = new TabsSidebar(window);
    sidebar->afViewPlatform::create();
    return sidebar;
}

const wchar_t* TabsSidebar::getTypeName() const {
    return L"ui.sidebar_dock";
}

bool TabsSidebar::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || getActiveSlot())
        return false;
    afRect client = getClientFrame();
    COLORREF background = emptyBackground();
    canvas->fillRect(background, afRect(0, 0, client.width(), client.height()));
    return true;
}

void TabsSidebar::restack() {
    afDockSlot* active = getActiveSlot();
    int activeIndex = getSlotIndex(active);
    int place = 0;
    std::vector<afView*> placedViews;
    auto putAt = [&](afView* view, afLayoutParamsLinear* params) {
        if (view->getParent() == m_content) {
            delete params;
            m_content->moveChild(view, place);
        } else {
            m_content->addChild(view, params, place);
        }
        ++place;
    };
    for (int index = 0; index < getSlotCount(); ++index) {
        afDockSlot* slot = getSlot(index);
        ViewVirtualButton* button = getButton(slot);
        if (!button)
            continue;
        button->setEdges(activeIndex >= 0 && index < activeIndex ? ViewVirtualButton::EDGE_BOTTOM
                                                                 : ViewVirtualButton::EDGE_TOP);
        putAt(button, buttonParams());
        afView* view = slot->getView();
        if (!view || std::find(placedViews.begin(), placedViews.end(), view) != placedViews.end())
            continue;
        // A view shared by several slots follows the active one among them.
        bool sharedWithActive = active && active != slot && active->getView() == view;
        if (sharedWithActive)
            continue;
        putAt(view, viewParams());
        placedViews.push_back(view);
    }
    needLayout("TabsSidebar::restack");
    invalidate();
}

void TabsSidebar::placeButton(afDockSlot*, ViewVirtualButton* button, int position) {
    int at = std::min<int>(std::max(position, 0), static_cast<int>(m_buttons.size()));
    m_buttons.insert(m_buttons.begin() + at, button);
    restack();
}

void TabsSidebar::removeButton(afDockSlot*, ViewVirtualButton* button) {
    m_buttons.erase(std::remove(m_buttons.begin(), m_buttons.end(), button), m_buttons.end());
    if (button->getParent() == m_content)
        m_content->removeChild(button);
}

void TabsSidebar::moveButton(afDockSlot*, ViewVirtualButton*, int) {
    m_buttons.clear();
    for (int index = 0; index < getSlotCount(); ++index) {
        if (ViewVirtualButton* each = getButton(getSlot(index)))
            m_buttons.push_back(each);
    }
    restack();
}

void TabsSidebar::placeView(afDockSlot*, afView*) {
    // The slot's button comes next (onSlotInserted); restack places both.
}

void TabsSidebar::removeView(afView* view) {
    if (view->getParent() == m_content)
        m_content->removeChild(view);
}

void TabsSidebar::onActiveButtonChanged(afDockSlot*, afDockSlot*) {
    restack();
}

bool TabsSidebar::hitTestDrop(int x, int y, DropHit& hit) {
    afRect client = getClientFrame();
    if (x < 0 || x >= client.width())
        return false;
    afDockSlot* active = getActiveSlot();
    for (int index = 0; index < static_cast<int>(m_buttons.size()); ++index) {
        afRect block;
        m_buttons[index]->getHostRect(block);
        afDockSlot* slot = getSlot(index);
        // The active button and its open view read as one block.
        if (slot && slot == active && slot->getView() && slot->getView()->isVisible()) {
            afRect view;
            slot->getView()->getHostRect(view);
            block.bottom = std::max(block.bottom, view.bottom);
        }
        if (y < block.top || y >= block.bottom)
            continue;
        bool after = y >= block.top + block.height() / 2;
        hit.position = after ? index + 1 : index;
        hit.marker = POINT{0, after ? block.bottom : block.top};
        return true;
    }
    return false;
}

void TabsSidebar::showMarker(const DropHit& hit) {
    DropMarker* bar = marker();
    if (!bar)
        return;
    afRect client = getClientFrame();
    bar->setHorizontal(true);
    bar->setLength(client.width() + 2 * MARKER_OVERHANG);
    POINT point{-MARKER_OVERHANG, hit.marker.y};
    ClientToScreen(getHandle(), &point);
    bar->showAt(point.x, point.y);
}

} // namespace corvel
