#include "corvel/ui/afLayoutHorizontalScroll.h"

#include "corvel/ui/afTypeNames.h"

#include <algorithm>

namespace corvel {

const wchar_t* afLayoutHorizontalScroll::getTypeName() const {
    return afTypeName::LAYOUT_SCROLL_HORIZONTAL;
}

void afLayoutHorizontalScroll::measureChild(afView* child, afViewMeasureSpec, afViewMeasureSpec heightSpec) {
    const afLayoutParams* params = child->getLayoutParams();
    const afRect& padding = getPadding();
    child->measure(afMeasureSpec::make(afMeasureSpec::UNSPECIFIED, params->marginLeft + params->marginRight),
                   getChildMeasureSpec(params->height, heightSpec, padding.top + padding.bottom));
}

void afLayoutHorizontalScroll::measureChildWithMargins(afView* child, afViewMeasureSpec, int,
                                                       afViewMeasureSpec heightSpec, int heightUsed) {
    const afLayoutParams* params = child->getLayoutParams();
    const afRect& padding = getPadding();
    int vertical = padding.top + padding.bottom + params->marginTop + params->marginBottom + heightUsed;
    child->measure(afMeasureSpec::make(afMeasureSpec::UNSPECIFIED, params->marginLeft + params->marginRight),
                   getChildMeasureSpec(params->height, heightSpec, vertical));
}

void afLayoutHorizontalScroll::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    afLayoutFrame::onMeasure(widthSpec, heightSpec);
    if (!m_fillViewport || afMeasureSpec::getMode(widthSpec) == afMeasureSpec::UNSPECIFIED || m_children.empty())
        return;
    // Content never ends short of the viewport.
    afView* content = m_children.front();
    const afRect& padding = getPadding();
    int viewport = getMeasuredWidth() - padding.left - padding.right;
    if (content->getMeasuredWidth() >= viewport)
        return;
    content->measure(afMeasureSpec::make(afMeasureSpec::EXACTLY, viewport),
                     getChildMeasureSpec(content->getLayoutParams()->height, heightSpec, padding.top + padding.bottom));
}

void afLayoutHorizontalScroll::scrollTo(int x, int y) {
    if (m_children.empty())
        return;
    const afRect& padding = getPadding();
    afRect frame = getFrame();
    afRect content = m_children.front()->getFrame();
    auto clamp = [](int value, int contentSize, int viewport) {
        if (contentSize <= viewport || value < 0)
            return 0;
        return std::min(value, contentSize - viewport);
    };
    int nx = clamp(x, content.width(), frame.width() - padding.left - padding.right);
    int ny = clamp(y, content.height(), frame.height() - padding.top - padding.bottom);
    afLayoutFrame::scrollTo(nx, ny);
}

afRect afLayoutHorizontalScroll::contentRectOf(afView* child) const {
    afRect rect = child->getFrame();
    afView* parent = child->getParent();
    if (parent && parent != this)
        mapDescendantRect(rect, parent);
    return rect;
}

bool afLayoutHorizontalScroll::isFullyVisible(afView* child) const {
    afRect rect = contentRectOf(child);
    const afRect& padding = getPadding();
    int viewport = getFrame().width() - padding.left - padding.right;
    return rect.left >= getScrollX() && rect.right <= getScrollX() + viewport;
}

void afLayoutHorizontalScroll::scrollChildIntoView(afView* child) {
    if (!child || m_children.empty())
        return;
    afRect rect = contentRectOf(child);
    const afRect& padding = getPadding();
    int viewport = getFrame().width() - padding.left - padding.right;
    int contentRight = m_children.back()->getFrame().right;
    int target = getScrollX();
    if (rect.left < target) {
        target = rect.left > 0 ? rect.left - SCROLL_MARGIN : 0;
    } else if (rect.right > target + viewport) {
        target = rect.right < contentRight ? rect.right + SCROLL_MARGIN - viewport : rect.right - viewport;
    }
    target = std::max(0, std::min(target, contentRight - viewport));
    if (target != getScrollX())
        scrollBy(target - getScrollX(), 0);
}

void afLayoutHorizontalScroll::focusChild(afView* child) {
    m_focused = child;
    if (m_layoutPending) {
        m_pendingFocus = child;
        requestLayout("afLayoutHorizontalScroll::focusChild");
        return;
    }
    scrollChildIntoView(child);
}

void afLayoutHorizontalScroll::requestLayout(const char* reason) {
    m_layoutPending = true;
    afLayoutFrame::requestLayout(reason);
}

void afLayoutHorizontalScroll::onLayout(bool changed, const afRect& rect) {
    afLayoutFrame::onLayout(changed, rect);
    m_layoutPending = false;
    if (m_pendingFocus) {
        afView* pending = m_pendingFocus;
        m_pendingFocus = nullptr;
        scrollChildIntoView(pending);
    }
    scrollTo(getScrollX(), getScrollY());
}

void afLayoutHorizontalScroll::onSizeChanged(const afRect& newRect, const afRect& oldRect) {
    afLayoutFrame::onSizeChanged(newRect, oldRect);
    if (m_focused && !isFullyVisible(m_focused))
        scrollChildIntoView(m_focused);
}

void afLayoutHorizontalScroll::onChildRemoved(afView* child) {
    afLayoutFrame::onChildRemoved(child);
    if (m_focused && (m_focused == child || child->hasDescendant(m_focused))) {
        m_focused = nullptr;
        m_pendingFocus = nullptr;
        scrollTo(getScrollX(), getScrollY());
    }
}

} // namespace corvel
