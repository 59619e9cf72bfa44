#include "corvel/app/Tabs.h"

#include "corvel/app/DropMarker.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afLayoutHorizontalScroll.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afDockSlot.h"

namespace corvel {

namespace {

constexpr int HEADER_FILL = 1;
constexpr int EDGE_COLOR = 5;
constexpr int BUTTON_EDGES = ViewVirtualButton::EDGE_RIGHT | ViewVirtualButton::EDGE_BOTTOM;
constexpr int MARKER_OVERHANG = 2; // the marker sticks out this far at both ends

afLayoutParamsLinear* params(int width, int height, double weight = 0.0) {
    return new afLayoutParamsLinear(width, height, weight);
}

} // namespace

Tabs::Tabs(afView* parent)
    : DockSimple(parent), m_content(new afLayoutLinear(this, afLayoutLinear::VERTICAL)),
      m_header(new afLayoutLinear(this, afLayoutLinear::HORIZONTAL)),
      m_leading(new afLayoutLinear(this, afLayoutLinear::HORIZONTAL)), m_scroller(new afLayoutHorizontalScroll(this)),
      m_row(new afLayoutLinear(this, afLayoutLinear::HORIZONTAL)),
      m_trailing(new afLayoutLinear(this, afLayoutLinear::HORIZONTAL)) {
    setContentView(m_content);
    m_content->addChild(m_header, params(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    m_header->addChild(m_leading, params(afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT));
    m_header->addChild(m_scroller, params(0, afLayoutParams::WRAP_CONTENT, 1.0));
    m_scroller->addChild(m_row, new afLayoutParams(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT));
    m_header->addChild(m_trailing, params(afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT));
    m_header->setPaintCallback(this, &Tabs::paintHeader);
    m_row->mouseDownListeners().add(&Tabs::onDoubleClickEvent, this);
    m_content->mouseDownListeners().add(&Tabs::onDoubleClickEvent, this);
}

Tabs* Tabs::create(afView* window) {
    if (!window)
        return nullptr;
    auto* tabs = new Tabs(window);
    tabs->afViewPlatform::create();
    return tabs;
}

const wchar_t* Tabs::getTypeName() const {
    return L"ui.dock.tabs";
}

void Tabs::addLeadingView(afView* view) {
    m_trailing->addChild(view, params(afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT), 0);
}

void Tabs::setEmptyPicture(const afIcon* icon) {
    m_emptyPicture = icon;
    if (!getActiveSlot())
        invalidate();
}

void Tabs::setEdgeMode(int mode) {
    m_edgeMode = mode;
    m_header->invalidate();
}

afRect Tabs::getBodyRect() const {
    afRect client = getClientFrame();
    afRect header;
    m_header->getHostRect(header);
    return afRect(0, header.bottom, client.width(), client.height());
}

bool Tabs::paintHeader(void* self, afView* view, afCanvas* canvas, afCanvasRegion*) {
    auto* tabs = static_cast<Tabs*>(self);
    WidgetPalette* palette = WidgetPalette::instance();
    if (!canvas || !palette)
        return false;
    afRect frame = view->getFrame();
    afRect area(0, 0, frame.width(), frame.height());
    palette->fill(HEADER_FILL, *canvas, area);
    if (tabs->m_edgeMode == EDGE_BOTTOM_LINE)
        canvas->drawBottomEdge(palette->color(EDGE_COLOR), area);
    else
        canvas->drawTopEdge(palette->color(EDGE_COLOR), area);
    return true;
}

bool Tabs::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || getActiveSlot())
        return false;
    afRect body = getBodyRect();
    if (body.width() <= 0 || body.height() <= 0)
        return true;
    COLORREF background = emptyBackground();
    canvas->fillRect(background, body);
    if (m_emptyPicture) {
        int size = m_emptyPicture->getSize();
        int x = body.left + (body.width() - size) / 2;
        int y = body.top + (body.height() - size) / 2;
        DrawIconEx(canvas->getDC(), x, y, m_emptyPicture->getHandle(), 0, 0, 0, nullptr, DI_NORMAL);
    }
    return true;
}

bool Tabs::onDoubleClickEvent(void* self, afView*, afEvent* event) {
    auto* tabs = static_cast<Tabs*>(self);
    if (event->getClickCount() != 2 || !tabs->m_doubleClick.isBound())
        return false;
    tabs->m_doubleClick(tabs);
    return true;
}

void Tabs::placeButton(afDockSlot*, ViewVirtualButton* button, int position) {
    button->setEdges(BUTTON_EDGES);
    m_row->addChild(button, params(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT), position);
    invalidate();
}

void Tabs::removeButton(afDockSlot*, ViewVirtualButton* button) {
    if (button->getParent() == m_row)
        m_row->removeChild(button);
}

void Tabs::moveButton(afDockSlot*, ViewVirtualButton* button, int position) {
    // The position is where the slot stands now; the row counts an index past a child
    // that moves forward after taking it out.
    int from = m_row->indexOfChild(button);
    m_row->moveChild(button, from >= 0 && from < position ? position + 1 : position);
}

void Tabs::placeView(afDockSlot*, afView* view) {
    m_content->addChild(view, params(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT, 1.0));
}

void Tabs::removeView(afView* view) {
    if (view->getParent() == m_content)
        m_content->removeChild(view);
}

void Tabs::onActiveButtonChanged(afDockSlot* slot, afDockSlot*) {
    if (ViewVirtualButton* button = getButton(slot))
        m_scroller->focusChild(button);
    invalidate();
}

bool Tabs::hitTestDrop(int x, int y, DropHit& hit) {
    afRect area;
    m_scroller->getHostRect(area);
    if (!area.contains(x, y) || m_row->getChildCount() == 0)
        return false;
    int count = m_row->getChildCount();
    for (int index = 0; index < count; ++index) {
        afRect rect;
        m_row->getChildAt(index)->getHostRect(rect);
        if (x < rect.left || x >= rect.right)
            continue;
        bool after = x >= rect.left + rect.width() / 2;
        hit.position = after ? index + 1 : index;
        hit.marker = POINT{after ? rect.right : rect.left, area.top};
        return true;
    }
    afRect first, last;
    m_row->getChildAt(0)->getHostRect(first);
    m_row->getChildAt(count - 1)->getHostRect(last);
    if (x < first.left) {
        hit.position = 0;
        hit.marker = POINT{first.left, area.top};
        return true;
    }
    hit.position = -1;
    hit.marker = POINT{last.right, area.top};
    return true;
}

void Tabs::showMarker(const DropHit& hit) {
    DropMarker* bar = marker();
    if (!bar)
        return;
    afRect header;
    m_header->getHostRect(header);
    bar->setHorizontal(false);
    bar->setLength(header.height() + 2 * MARKER_OVERHANG);
    POINT point{hit.marker.x, header.top - MARKER_OVERHANG};
    ClientToScreen(getHandle(), &point);
    bar->showAt(point.x, point.y);
}

} // namespace corvel
