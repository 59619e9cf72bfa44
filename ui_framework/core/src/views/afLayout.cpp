#include "corvel/ui/afLayout.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afCanvasRegion.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/moveToIndex.h"
#include "zem/base/Exception.h"

#include <algorithm>

namespace corvel {

const wchar_t* afLayout::getTypeName() const {
    return afTypeName::LAYOUT;
}

afViewMeasureSpec afLayout::getChildMeasureSpec(int childDimension, afViewMeasureSpec parentSpec, int padding) {
    using namespace afMeasureSpec;
    uint32_t parentMode = getMode(parentSpec);
    if (!isValidMode(parentMode))
        throw zem::InvalidArgumentException(L"Invalid afViewMeasureSpec mode specified.");
    int available = std::max(0, getRawSize(parentSpec) - padding);
    uint32_t mode = UNSPECIFIED;
    int size = 0;
    if (childDimension >= 0) {
        mode = EXACTLY;
        size = childDimension;
    } else if (childDimension == afLayoutParams::FILL_PARENT && parentMode != UNSPECIFIED) {
        mode = parentMode;
        size = available;
    } else if (childDimension == afLayoutParams::WRAP_CONTENT && parentMode != UNSPECIFIED) {
        mode = AT_MOST;
        size = available;
    }
    afViewMeasureSpec spec = make(mode, size);
    if (!isValidMode(getMode(spec)))
        throw zem::IllegalStateException(L"Invalid afViewMeasureSpec mode generated (internal).");
    return spec;
}

void afLayout::measureChildren(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    for (size_t i = 0; i < m_children.size(); ++i) {
        if (m_children[i]->isVisible())
            measureChild(m_children[i], widthSpec, heightSpec);
    }
}

void afLayout::measureChild(afView* child, afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    const afLayoutParams* params = child->getLayoutParams();
    const afRect& padding = getPadding();
    child->measure(getChildMeasureSpec(params->width, widthSpec, padding.left + padding.right),
                   getChildMeasureSpec(params->height, heightSpec, padding.top + padding.bottom));
}

void afLayout::measureChildWithMargins(afView* child, afViewMeasureSpec widthSpec, int widthUsed,
                                       afViewMeasureSpec heightSpec, int heightUsed) {
    const afLayoutParams* params = child->getLayoutParams();
    const afRect& padding = getPadding();
    int horizontal = padding.left + padding.right + params->marginLeft + params->marginRight + widthUsed;
    int vertical = padding.top + padding.bottom + params->marginTop + params->marginBottom + heightUsed;
    child->measure(getChildMeasureSpec(params->width, widthSpec, horizontal),
                   getChildMeasureSpec(params->height, heightSpec, vertical));
}

void afLayout::addChild(afView* child, int index) {
    if (child->getParent() == this)
        return;
    if (!checkLayoutParams(child->getLayoutParams())) {
        afLayoutParams* params = generateDefaultLayoutParams();
        if (!params)
            throw zem::InvalidArgumentException(L"generateDefaultLayoutParams() cannot return NULL.");
        // The old record goes with the new one in place, as setLayoutParams does.
        child->setLayoutParams(params);
    }
    needLayout("afLayout::addChild");
    afViewVirtual::addChild(child, index);
}

void afLayout::addChild(afView* child, afLayoutParams* params, int index) {
    if (params)
        child->setLayoutParams(params);
    addChild(child, index);
}

void afLayout::addChild(afView* child, int index, int width, int height) {
    afLayoutParams* params = generateDefaultLayoutParams();
    if (!params)
        throw zem::InvalidArgumentException(L"generateDefaultLayoutParams() cannot return NULL.");
    params->width = width;
    params->height = height;
    child->setLayoutParams(params);
    addChild(child, index);
}

bool afLayout::moveChild(afView* child, int index) {
    int from = indexOfChild(child);
    if (from < 0)
        return false;
    moveToIndex(m_children, child, static_cast<size_t>(index < 0 ? m_children.size() : index));
    if (indexOfChild(child) != from)
        needLayout("afLayout::moveChild");
    return true;
}

void afLayout::setOwner(afView* owner) {
    afViewVirtual::setOwner(owner);
    for (afView* child : m_children) {
        if (child->isVirtual())
            child->setOwner(owner);
    }
}

void afLayout::onChildAdded(afView* child, int) {
    if (child->getParent() == this && child->isVirtual())
        ++m_virtualChildren;
}

void afLayout::onChildRemoved(afView* child) {
    if (child->getParent() != this)
        return;
    if (child->isVirtual())
        --m_virtualChildren;
    needLayout("afLayout::onChildRemoved");
    invalidate();
}

afView* afLayout::hitTest(int x, int y) {
    afRect frame = getClientFrame();
    if (!frame.contains(x, y))
        return nullptr;
    int localX = x + getScrollX() - frame.left;
    int localY = y + getScrollY() - frame.top;
    for (afView* child : m_children) {
        // A hidden view keeps its old frame: it must not catch clicks.
        if (!child->isVirtual() || !child->isVisible())
            continue;
        if (afView* hit = child->hitTest(localX, localY))
            return hit;
    }
    return this;
}

void afLayout::paint(afCanvas* canvas, afCanvasRegion* region) {
    // Painted once: a second onDraw would cover the paint callback and double any
    // translucent background.
    paintSelf(canvas, region);
    if (m_children.empty() || !canvas)
        return;
    canvas->saveState();
    POINT origin = canvas->getViewportOrigin();
    std::unique_ptr<afCanvasRegion> clip = canvas->getClipRegion();
    for (afView* child : m_children) {
        if (!child->isVirtual() || !child->isVisible())
            continue;
        afRect rect = child->getClientFrame();
        rect.offset(origin.x - getScrollX(), origin.y - getScrollY());
        if (clip && !RectInRegion(clip->getHandle(), &rect))
            continue;
        canvas->setViewportOrigin(rect.left, rect.top);
        child->paint(canvas, region);
    }
    if (clip)
        canvas->setClipRegion(clip.get());
    canvas->restoreState();
}

} // namespace corvel
