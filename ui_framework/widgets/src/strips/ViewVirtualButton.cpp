#include "corvel/widgets/ViewVirtualButton.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afFont.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afViewPlatform.h"
#include "corvel/widgets/WidgetPalette.h"

#include <algorithm>
#include <cstdlib>

namespace corvel {

namespace {

constexpr int MIN_CONTENT_HEIGHT = 16;
constexpr int LABEL_COLOR = 11;
constexpr int TEXT_COLOR = 14;
constexpr int DISABLED_TEXT_COLOR = 11;
constexpr int LINK_COLOR = 18;
constexpr int EDGE_COLOR = 5;

HFONT fontFor(int flags) {
    if (!afResources::exists())
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    int index = (flags & ViewVirtualButton::TEXT_LINK) ? 3 : (flags & ViewVirtualButton::TEXT_BOLD) ? 1 : 0;
    return afResources::getFont(index).getHandle();
}

SIZE measureIn(afCanvas& canvas, const std::wstring& text, int flags) {
    canvas.saveState();
    canvas.selectObject(fontFor(flags));
    SIZE size = canvas.measureText(text, 0);
    canvas.restoreState();
    return size;
}

int iconSize(const afIcon* icon) {
    return icon ? icon->getSize() : 0;
}

} // namespace

ViewVirtualButton::ViewVirtualButton(afView* owner) : afViewVirtual(owner) {}

const wchar_t* ViewVirtualButton::getTypeName() const {
    return L"ui.view.virtual.button";
}

void ViewVirtualButton::relayout(const char* reason) {
    needLayout(reason);
    invalidate();
}

void ViewVirtualButton::setLabel(const std::wstring& label) {
    if (label == m_label)
        return;
    m_label = label;
    relayout("ViewVirtualButton::setLabel");
}

void ViewVirtualButton::setText(const std::wstring& text) {
    if (text == m_text)
        return;
    const SIZE before = contentSize();
    m_text = text;
    // The caret's column changes with every key typed: a text that leaves the button's
    // size as it was needs a repaint, not a layout of the whole window.
    const SIZE after = contentSize();
    if (before.cx == after.cx && before.cy == after.cy) {
        invalidate();
        return;
    }
    relayout("ViewVirtualButton::setText");
}

void ViewVirtualButton::setLabelFlags(int flags) {
    if (flags == m_labelFlags)
        return;
    m_labelFlags = flags;
    relayout("ViewVirtualButton::setLabelFlags");
}

void ViewVirtualButton::setTextFlags(int flags) {
    if (flags == m_textFlags)
        return;
    m_textFlags = flags;
    relayout("ViewVirtualButton::setTextFlags");
}

void ViewVirtualButton::setState(int state) {
    if (state == m_state)
        return;
    m_state = state;
    invalidate();
}

void ViewVirtualButton::setHover(int hover) {
    if (hover == m_hover)
        return;
    m_hover = hover;
    invalidate();
}

void ViewVirtualButton::setStyle(uint8_t style) {
    if (style == m_style)
        return;
    m_style = style;
    invalidate();
}

void ViewVirtualButton::setEdges(int edges) {
    if (edges == m_edges)
        return;
    m_edges = edges;
    invalidate();
}

void ViewVirtualButton::setIcon(const afIcon* icon) {
    if (icon == m_icon)
        return;
    bool resized = iconSize(icon) != iconSize(m_icon);
    m_icon = icon;
    if (resized)
        needLayout("ViewVirtualButton::setIcon");
    invalidate();
}

void ViewVirtualButton::setSideIcon(const afIcon* icon, const afIcon* hotIcon, void* user,
                                    EventCallback::Function function) {
    bool resized = iconSize(icon) != iconSize(m_side);
    m_side = icon;
    m_sideHot = hotIcon ? hotIcon : icon;
    m_sideShown = m_side;
    m_sideClick = EventCallback(user, function);
    if (resized)
        needLayout("ViewVirtualButton::setSideIcon");
    invalidate();
}

void ViewVirtualButton::setClick(void* user, EventCallback::Function function) {
    m_click = EventCallback(user, function);
    invalidate();
}

void ViewVirtualButton::setDrag(void* user, EventCallback::Function function) {
    m_drag = EventCallback(user, function);
}

void ViewVirtualButton::setShownSideIcon(const afIcon* icon) {
    if (icon == m_sideShown)
        return;
    m_sideShown = icon;
    invalidate();
}

SIZE ViewVirtualButton::contentSize() {
    SIZE size{0, 0};
    std::unique_ptr<afCanvas> canvas = getCanvas();
    if (!canvas)
        return size;
    const afRect& padding = getPadding();
    int content = MIN_CONTENT_HEIGHT;
    int width = static_cast<int>(padding.left) + iconSize(m_icon);
    if (!m_label.empty()) {
        SIZE label = measureIn(*canvas, m_label, m_labelFlags);
        width += GAP + label.cx;
        content = std::max<int>(content, label.cy);
    }
    if (!m_text.empty()) {
        SIZE text = measureIn(*canvas, m_text, m_textFlags);
        width += GAP + text.cx;
        content = std::max<int>(content, text.cy);
    }
    if (m_side)
        width += GAP + m_side->getSize();
    size.cx = std::max<int>(width + padding.right, getMinimumWidth());
    size.cy = std::max<int>(content + padding.top + padding.bottom, getMinimumHeight());
    return size;
}

void ViewVirtualButton::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    const SIZE size = contentSize();
    setMeasuredDimension(afMeasureSpec::resolveSize(size.cx, widthSpec),
                         afMeasureSpec::resolveSize(size.cy, heightSpec));
}

int ViewVirtualButton::backgroundFill() const {
    int base = m_style ? 16 : 0;
    if (!isClickable())
        return base + 1;
    switch (m_state) {
    case STATE_HIGHLIGHTED:
        return base + 2;
    case STATE_PRESSED:
        return base + 6;
    case STATE_WARNING:
        return m_hover ? 20 : 4;
    default:
        return m_hover ? base + 6 : base + 1;
    }
}

bool ViewVirtualButton::onDraw(afCanvas* canvas, afCanvasRegion*) {
    WidgetPalette* palette = WidgetPalette::instance();
    if (!canvas || !palette)
        return false;
    afRect frame = getFrame();
    afRect area(0, 0, frame.width(), frame.height());
    palette->fill(backgroundFill(), *canvas, area);
    canvas->drawEdges(area, m_edges, palette->color(EDGE_COLOR));

    const afRect& padding = getPadding();
    int x = area.left + padding.left;
    int right = area.right - padding.right;
    afRect inner(x, area.top + padding.top, right, area.bottom - padding.bottom);
    if (m_side) {
        int size = m_side->getSize();
        afRect sideArea(right - size, inner.top, right, inner.bottom);
        if (m_sideShown)
            canvas->drawIcon(sideArea, *m_sideShown, afCanvas::GRAVITY_LEFT);
        right -= size + GAP;
    }
    if (m_icon) {
        afRect iconArea(x, inner.top, x + m_icon->getSize(), inner.bottom);
        canvas->drawIcon(iconArea, *m_icon, afCanvas::GRAVITY_LEFT);
        x += m_icon->getSize();
    }
    auto drawRun = [&](const std::wstring& run, int flags, int colorIndex) {
        if (run.empty() || x + GAP >= right)
            return;
        x += GAP;
        canvas->saveState();
        canvas->selectObject(fontFor(flags));
        int width = canvas->measureText(run, 0).cx;
        afRect runArea(x, inner.top, std::min(x + width, right), inner.bottom);
        palette->drawText(run, *canvas, runArea, colorIndex, (flags & TEXT_NO_PREFIX) == 0);
        canvas->restoreState();
        x += width;
    };
    drawRun(m_label, m_labelFlags, m_labelFlags == TEXT_LINK ? LINK_COLOR : LABEL_COLOR);
    int textColor = m_textFlags == TEXT_LINK ? LINK_COLOR : isEnabled() ? TEXT_COLOR : DISABLED_TEXT_COLOR;
    drawRun(m_text, m_textFlags, textColor);
    return true;
}

POINT ViewVirtualButton::localPoint(const afEvent* event) const {
    POINT point{event->x, event->y};
    auto* host = dynamic_cast<afViewPlatform*>(getOwner());
    if (host && host->getHandle())
        ScreenToClient(host->getHandle(), &point);
    afRect rect;
    getHostRect(rect);
    point.x -= rect.left;
    point.y -= rect.top;
    return point;
}

bool ViewVirtualButton::isOverSideIcon(int x) const {
    if (!m_side)
        return false;
    return x >= getFrame().width() - getPadding().right - GAP - m_side->getSize();
}

bool ViewVirtualButton::onMouseDown(afEvent* event) {
    // Only the left button pulls a tab away; the others click.
    m_dragArmed = event->getDetail() == 1;
    m_pressPoint = POINT{event->x, event->y};
    return true;
}

bool ViewVirtualButton::onMouseMove(afEvent* event) {
    // A release outside the button never reached it: a move without the button held
    // must not start a drag from that old press.
    if (m_dragArmed && event->message == WM_MOUSEMOVE && !(event->wParam & MK_LBUTTON))
        m_dragArmed = false;
    if (m_dragArmed) {
        int dx = std::abs(event->x - m_pressPoint.x);
        int dy = std::abs(event->y - m_pressPoint.y);
        if (dx > GetSystemMetrics(SM_CXDRAG) / 2 || dy > GetSystemMetrics(SM_CYDRAG) / 2) {
            m_dragArmed = false;
            if (m_drag.isBound())
                m_drag(this, event);
            return true;
        }
    }
    if (!isEnabled())
        return true;
    setHover(1);
    if (m_side)
        setShownSideIcon(isOverSideIcon(localPoint(event).x) ? m_sideHot : m_side);
    return true;
}

bool ViewVirtualButton::onMouseLeave(afEvent*) {
    setHover(0);
    setShownSideIcon(m_side);
    return true;
}

bool ViewVirtualButton::onMouseUp(afEvent* event) {
    m_dragArmed = false;
    if (!isEnabled())
        return true;
    if (event->getDetail() == 1 && m_sideClick.isBound() && isOverSideIcon(localPoint(event).x)) {
        m_sideClick(this, event);
        return true;
    }
    if (m_click.isBound())
        m_click(this, event);
    return true;
}

} // namespace corvel
