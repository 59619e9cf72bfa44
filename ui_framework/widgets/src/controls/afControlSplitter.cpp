#include "corvel/widgets/afControlSplitter.h"

#include "../WidgetsLog.h"
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/createControl.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

HCURSOR s_cursorWE = nullptr;
HCURSOR s_cursorNS = nullptr;

} // namespace

afControlSplitter::afControlSplitter(afView* parent, afView* target, int orientation)
    : afWidget(parent), m_target(target), m_orientation(orientation), m_visibleColor(GetSysColor(COLOR_BTNFACE)),
      m_hiddenColor(GetSysColor(COLOR_BTNFACE)), m_draggingColor(GetSysColor(COLOR_BTNSHADOW)),
      m_borderColor(GetSysColor(COLOR_BTNSHADOW)) {}

afControlSplitter* afControlSplitter::create(afView* parent, afView* target, int orientation) {
    return createControl<afControlSplitter>(parent, target, orientation);
}

const wchar_t* afControlSplitter::getTypeName() const {
    return afTypeName::SPLITTER;
}

bool afControlSplitter::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afControlSplitter");
    seed.className = L"afControlSplitter";
    seed.style = WS_CHILD | WS_VISIBLE;
    seed.x = 0;
    seed.y = 0;
    seed.width = 200;
    seed.height = 6;
    return true;
}

void afControlSplitter::onCreated() {
    afWidget::onCreated();
    if (!s_cursorWE) {
        s_cursorWE = LoadCursorW(nullptr, IDC_SIZEWE);
        s_cursorNS = LoadCursorW(nullptr, IDC_SIZENS);
    }
    setCursorCallback.set(this, &afControlSplitter::onSetCursor);
}

bool afControlSplitter::onSetCursor(void* self, afViewPlatform*, int hitTest, int) {
    if (hitTest != HTCLIENT)
        return false;
    SetCursor(static_cast<afControlSplitter*>(self)->horizontal() ? s_cursorWE : s_cursorNS);
    return true;
}

afRect afControlSplitter::rectInHost(const afView* view) const {
    if (!view->isVirtual())
        return view->getFrame();
    afRect rect;
    view->getHostRect(rect);
    return rect;
}

int afControlSplitter::pointerAlongAxis(const afEvent* event) const {
    POINT point{event->x, event->y};
    ScreenToClient(GetParent(m_hwnd), &point);
    return horizontal() ? point.x : point.y;
}

int afControlSplitter::targetLayoutSize() const {
    const afLayoutParams* params = m_target->getLayoutParams();
    return horizontal() ? params->width : params->height;
}

bool afControlSplitter::onMouseDown(afEvent* event) {
    if (!dynamic_cast<afLayoutLinear*>(getParent()))
        throw zem::IllegalStateException(L"afControlSplitter can only be used with linear layouts.");
    if (!m_target || event->getDetail() != 1)
        return false;
    if (event->getClickCount() == 2) {
        if (m_target->isVisible()) {
            m_target->setVisible(false);
        } else {
            // Shown again with the size it had before it went.
            setSize(m_size);
            m_target->setVisible(true);
        }
        getParent()->needLayout("afControlSplitter::onMouseDown");
        return true;
    }
    return startDrag();
}

bool afControlSplitter::startDrag() {
    afView* parent = getParent();
    m_targetBefore = parent->indexOfChild(m_target) < parent->indexOfChild(this);
    afView* neighbour = m_targetBefore ? parent->findVisibleChildAfter(this) : parent->findVisibleChildBefore(this);
    if (!neighbour) {
        zem::logMessage(3, WIDGETS_LOG_SOURCE, L"afControlSplitter::onMouseDown(): Invalid splitter siblings");
        return false;
    }
    afRect bar = rectInHost(this);
    afRect limitRect = m_target->isVisible() ? rectInHost(m_target) : bar;
    afRect other = rectInHost(neighbour);
    if (m_targetBefore) {
        m_lowerLimit = horizontal() ? limitRect.left : limitRect.top;
        m_upperLimit = horizontal() ? other.right : other.bottom;
    } else {
        m_lowerLimit = horizontal() ? other.left : other.top;
        m_upperLimit = horizontal() ? limitRect.right : limitRect.bottom;
    }
    setCapture(true);
    m_dragging = true;
    m_dragPosition = horizontal() ? (bar.left + bar.right) / 2 : (bar.top + bar.bottom) / 2;
    // A hidden target keeps the size it is to come back with.
    if (m_target->isVisible())
        m_size = horizontal() ? rectInHost(m_target).width() : rectInHost(m_target).height();
    if (dragStartCallback.isBound())
        dragStartCallback(this);
    invalidate();
    return true;
}

void afControlSplitter::dragTo(int position) {
    m_dragPosition = position;
    afRect bar = rectInHost(this);
    int thickness = horizontal() ? bar.width() : bar.height();
    int start = position - thickness / 2;
    start = std::max(m_lowerLimit, std::min(start, m_upperLimit - thickness));
    int end = start + thickness;
    int size = std::max(0, m_targetBefore ? start - m_lowerLimit : m_upperLimit - end);
    if (horizontal())
        m_target->requestLayoutWidth(size, true);
    else
        m_target->requestLayoutHeight(size, true);
    if (!m_target->isVisible()) {
        // Collapsed: shown again later with the size it had.
        if (horizontal())
            m_target->requestLayoutWidth(m_size, false);
        else
            m_target->requestLayoutHeight(m_size, false);
    }
    invalidate();
}

bool afControlSplitter::onMouseMove(afEvent* event) {
    setHot(true);
    if (!m_dragging)
        return false;
    dragTo(pointerAlongAxis(event));
    return true;
}

bool afControlSplitter::onMouseUp(afEvent* event) {
    if (!m_dragging)
        return false;
    dragTo(pointerAlongAxis(event));
    if (m_target->isVisible())
        m_size = targetLayoutSize();
    m_dragging = false;
    setCapture(false);
    invalidate();
    return true;
}

bool afControlSplitter::onMouseLeave(afEvent*) {
    setHot(false);
    return false;
}

void afControlSplitter::setHot(bool hot) {
    if (hot == m_hot)
        return;
    m_hot = hot;
    invalidate();
}

void afControlSplitter::setSize(int size) {
    m_size = std::max(0, size);
    if (!m_target)
        return;
    if (horizontal())
        m_target->requestLayoutWidth(m_size, false);
    else
        m_target->requestLayoutHeight(m_size, false);
}

bool afControlSplitter::isCollapsed() const {
    return m_target && !m_target->isVisible();
}

bool afControlSplitter::onDraw(afCanvas* canvas, afCanvasRegion*) {
    RECT client{0, 0, 0, 0};
    GetClientRect(m_hwnd, &client);
    if (m_painter) {
        m_painter(m_painterObject, this, canvas, client, m_dragging || m_hot);
        return true;
    }
    COLORREF fill = m_dragging ? m_draggingColor : (isCollapsed() ? m_hiddenColor : m_visibleColor);
    canvas->fillRect(fill, client);
    int right = client.right - 1;
    int bottom = client.bottom - 1;
    if (m_borders & BORDER_LEFT)
        canvas->drawLine(m_borderColor, 0, 0, 0, client.bottom);
    if (m_borders & BORDER_TOP)
        canvas->drawLine(m_borderColor, 0, 0, client.right, 0);
    if (m_borders & BORDER_RIGHT)
        canvas->drawLine(m_borderColor, right, 0, right, client.bottom);
    if (m_borders & BORDER_BOTTOM)
        canvas->drawLine(m_borderColor, 0, bottom, client.right, bottom);
    return true;
}

void afControlSplitter::setVisibleColor(COLORREF color) {
    m_visibleColor = color;
    invalidate();
}

void afControlSplitter::setHiddenColor(COLORREF color) {
    m_hiddenColor = color;
    invalidate();
}

void afControlSplitter::setDraggingColor(COLORREF color) {
    m_draggingColor = color;
    invalidate();
}

void afControlSplitter::setBorderColor(COLORREF color) {
    m_borderColor = color;
    invalidate();
}

void afControlSplitter::setBorders(int flags) {
    m_borders = flags & (BORDER_LEFT | BORDER_TOP | BORDER_RIGHT | BORDER_BOTTOM);
    invalidate();
}

void afControlSplitter::setPainter(void* object, PainterFunction function) {
    m_painterObject = object;
    m_painter = function;
    invalidate();
}

} // namespace corvel
