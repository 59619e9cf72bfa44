#include "corvel/ui/afLayoutFrame.h"

#include <algorithm>

namespace corvel {

void afLayoutFrame::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    int maxWidth = 0;
    int maxHeight = 0;
    for (afView* child : m_children) {
        if (!child->isVisible())
            continue;
        measureChildWithMargins(child, widthSpec, 0, heightSpec, 0);
        maxWidth = std::max(maxWidth, child->getMeasuredWidth());
        maxHeight = std::max(maxHeight, child->getMeasuredHeight());
    }
    const afRect& padding = getPadding();
    int width = std::max(static_cast<int>(maxWidth + padding.left + padding.right), getMinimumWidth());
    int height = std::max(static_cast<int>(maxHeight + padding.top + padding.bottom), getMinimumHeight());
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

void afLayoutFrame::onLayout(bool, const afRect&) {
    const afRect& padding = getPadding();
    for (afView* child : m_children) {
        if (!child->isVisible())
            continue;
        child->setFrame(afRect(padding.left, padding.top, padding.left + child->getMeasuredWidth(),
                               padding.top + child->getMeasuredHeight()));
    }
}

} // namespace corvel
