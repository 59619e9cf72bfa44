#include "corvel/ui/afLayoutLinear.h"

#include "corvel/ui/afTypeNames.h"

#include <algorithm>

namespace corvel {

// One description of each orientation, so that measuring and placing are written once.
struct afLayoutLinear::Axis {
    bool horizontal;

    int& mainSize(afLayoutParams* p) const { return horizontal ? p->width : p->height; }
    int crossSize(const afLayoutParams* p) const { return horizontal ? p->height : p->width; }
    int mainMarginBefore(const afLayoutParams* p) const { return horizontal ? p->marginLeft : p->marginTop; }
    int mainMarginAfter(const afLayoutParams* p) const { return horizontal ? p->marginRight : p->marginBottom; }
    int crossMarginBefore(const afLayoutParams* p) const { return horizontal ? p->marginTop : p->marginLeft; }
    int crossMarginAfter(const afLayoutParams* p) const { return horizontal ? p->marginBottom : p->marginRight; }
    int measuredMain(const afView* v) const { return horizontal ? v->getMeasuredWidth() : v->getMeasuredHeight(); }
    int measuredCross(const afView* v) const { return horizontal ? v->getMeasuredHeight() : v->getMeasuredWidth(); }
    int paddingBefore(const afRect& p) const { return horizontal ? p.left : p.top; }
    int paddingAfter(const afRect& p) const { return horizontal ? p.right : p.bottom; }
    int crossPaddingBefore(const afRect& p) const { return horizontal ? p.top : p.left; }
    int crossPaddingAfter(const afRect& p) const { return horizontal ? p.bottom : p.right; }
    int mainMinimum(const afView* v) const { return horizontal ? v->getMinimumWidth() : v->getMinimumHeight(); }
    int crossMinimum(const afView* v) const { return horizontal ? v->getMinimumHeight() : v->getMinimumWidth(); }
    int mainGravity(int g) const { return horizontal ? (g & 7) : (g & 0x70) >> 4; }
    int crossGravity(int g) const { return horizontal ? (g & 0x70) >> 4 : (g & 7); }
};

const wchar_t* afLayoutLinear::getTypeName() const {
    return afTypeName::LAYOUT_LINEAR;
}

bool afLayoutLinear::checkLayoutParams(const afLayoutParams* params) const {
    return dynamic_cast<const afLayoutParamsLinear*>(params) != nullptr;
}

afLayoutParams* afLayoutLinear::generateDefaultLayoutParams() const {
    return new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
}

void afLayoutLinear::setGravity(int gravity) {
    if (!(gravity & GRAVITY_HORIZONTAL_MASK))
        gravity |= GRAVITY_LEFT;
    if (!(gravity & GRAVITY_VERTICAL_MASK))
        gravity |= GRAVITY_TOP;
    if (gravity == m_gravity)
        return;
    m_gravity = gravity;
    needLayout("afLayoutLinear::setGravity");
}

void afLayoutLinear::measureChildBeforeLayout(afView* child, int, afViewMeasureSpec widthSpec, int widthUsed,
                                              afViewMeasureSpec heightSpec, int heightUsed) {
    measureChildWithMargins(child, widthSpec, widthUsed, heightSpec, heightUsed);
}

void afLayoutLinear::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    Axis axis{m_orientation == HORIZONTAL};
    if (axis.horizontal)
        measureAlong(axis, widthSpec, heightSpec);
    else
        measureAlong(axis, heightSpec, widthSpec);
}

void afLayoutLinear::measureAlong(const Axis& axis, afViewMeasureSpec mainSpec, afViewMeasureSpec crossSpec) {
    using namespace afMeasureSpec;
    const afRect& padding = getPadding();
    bool mainExactly = getMode(mainSpec) == EXACTLY;
    bool crossExactly = getMode(crossSpec) == EXACTLY;
    int total = 0;
    int maxCross = 0;
    int alternativeMax = 0;
    int weightedMax = 0;
    double totalWeight = 0.0;
    bool allFill = true;
    bool matchCross = false;
    auto measureChildOnAxes = [&](afView* child, int index, int used) {
        if (axis.horizontal)
            measureChildBeforeLayout(child, index, mainSpec, used, crossSpec, 0);
        else
            measureChildBeforeLayout(child, index, crossSpec, 0, mainSpec, used);
    };
    auto noteCross = [&](afView* child, afLayoutParamsLinear* params, bool weighted) {
        bool matchLocally = !crossExactly && axis.crossSize(params) == afLayoutParams::FILL_PARENT;
        if (matchLocally)
            matchCross = true;
        int margin = axis.crossMarginBefore(params) + axis.crossMarginAfter(params);
        int childCross = margin + axis.measuredCross(child);
        maxCross = std::max(maxCross, childCross);
        allFill = allFill && axis.crossSize(params) == afLayoutParams::FILL_PARENT;
        int value = matchLocally ? margin : childCross;
        if (weighted)
            weightedMax = std::max(weightedMax, value);
        else
            alternativeMax = std::max(alternativeMax, value);
    };

    for (size_t i = 0; i < m_children.size(); ++i) {
        afView* child = m_children[i];
        if (!child->isVisible())
            continue;
        auto* params = static_cast<afLayoutParamsLinear*>(child->getLayoutParams());
        totalWeight += params->weight;
        int& mainSize = axis.mainSize(params);
        if (mainExactly && mainSize == 0 && params->weight > 0) {
            total += axis.mainMarginBefore(params) + axis.mainMarginAfter(params);
        } else {
            bool zeroWeighted = mainSize == 0 && params->weight > 0;
            if (zeroWeighted)
                mainSize = afLayoutParams::WRAP_CONTENT;
            measureChildOnAxes(child, static_cast<int>(i), totalWeight == 0 ? total : 0);
            if (zeroWeighted)
                mainSize = 0;
            total += axis.mainMarginBefore(params) + axis.measuredMain(child) + axis.mainMarginAfter(params);
        }
        noteCross(child, params, params->weight > 0);
    }

    total += axis.paddingBefore(padding) + axis.paddingAfter(padding);
    int size = resolveSize(std::max(total, axis.mainMinimum(this)), mainSpec);
    int delta = size - total;

    if (delta != 0 && totalWeight > 0) {
        double weightSum = m_weightSum > 0 ? m_weightSum : totalWeight;
        total = 0;
        maxCross = -1;
        int crossPadding = axis.crossPaddingBefore(padding) + axis.crossPaddingAfter(padding);
        for (afView* child : m_children) {
            if (!child->isVisible())
                continue;
            auto* params = static_cast<afLayoutParamsLinear*>(child->getLayoutParams());
            if (params->weight > 0) {
                int share = static_cast<int>(params->weight * delta / weightSum);
                delta -= share;
                weightSum -= params->weight;
                int crossMargins = axis.crossMarginBefore(params) + axis.crossMarginAfter(params);
                afViewMeasureSpec childCross =
                    getChildMeasureSpec(axis.crossSize(params), crossSpec, crossMargins + crossPadding);
                int mainSize = (axis.mainSize(params) != 0 || !mainExactly) ? axis.measuredMain(child) + share : share;
                afViewMeasureSpec childMain = make(EXACTLY, std::max(0, mainSize));
                if (axis.horizontal)
                    child->measure(childMain, childCross);
                else
                    child->measure(childCross, childMain);
            }
            total += axis.mainMarginBefore(params) + axis.measuredMain(child) + axis.mainMarginAfter(params);
            bool weightedBefore = false; // the second pass updates alternativeMax only
            noteCross(child, params, weightedBefore);
        }
        total += axis.paddingBefore(padding) + axis.paddingAfter(padding);
    } else {
        alternativeMax = std::max(alternativeMax, weightedMax);
    }

    if (!allFill && !crossExactly)
        maxCross = alternativeMax;
    maxCross += axis.crossPaddingBefore(padding) + axis.crossPaddingAfter(padding);
    maxCross = std::max(maxCross, axis.crossMinimum(this));
    int cross = resolveSize(maxCross, crossSpec);
    m_totalLength = total;
    if (axis.horizontal)
        setMeasuredDimension(size, cross);
    else
        setMeasuredDimension(cross, size);
    if (matchCross)
        forceUniformCross(axis, mainSpec);
}

void afLayoutLinear::forceUniformCross(const Axis& axis, afViewMeasureSpec mainSpec) {
    int cross = axis.horizontal ? getMeasuredHeight() : getMeasuredWidth();
    afViewMeasureSpec uniform = afMeasureSpec::make(afMeasureSpec::EXACTLY, cross);
    for (afView* child : m_children) {
        if (!child->isVisible())
            continue;
        afLayoutParams* params = child->getLayoutParams();
        if (axis.crossSize(params) != afLayoutParams::FILL_PARENT)
            continue;
        int& mainSize = axis.mainSize(params);
        int kept = mainSize;
        mainSize = axis.measuredMain(child);
        if (axis.horizontal)
            measureChildWithMargins(child, mainSpec, 0, uniform, 0);
        else
            measureChildWithMargins(child, uniform, 0, mainSpec, 0);
        mainSize = kept;
    }
}

void afLayoutLinear::onLayout(bool, const afRect& rect) {
    layoutAlong(Axis{m_orientation == HORIZONTAL}, rect);
}

void afLayoutLinear::layoutAlong(const Axis& axis, const afRect& rect) {
    const afRect& padding = getPadding();
    int mainExtent = axis.horizontal ? rect.width() : rect.height();
    int crossExtent = axis.horizontal ? rect.height() : rect.width();
    int position = axis.paddingBefore(padding);
    switch (axis.mainGravity(m_gravity)) {
    case 1: // centre
        position = axis.paddingBefore(padding) + (mainExtent - m_totalLength) / 2;
        break;
    case 5: // right or bottom
        position = mainExtent + axis.paddingBefore(padding) - m_totalLength;
        break;
    default:
        break;
    }
    for (afView* child : m_children) {
        if (!child->isVisible())
            continue;
        auto* params = static_cast<afLayoutParamsLinear*>(child->getLayoutParams());
        int gravity = params->gravity >= 0 ? params->gravity : m_gravity;
        // A child gravity without bits for the cross axis takes the layout's.
        if (axis.crossGravity(gravity) == 0)
            gravity = m_gravity;
        int measuredCross = axis.measuredCross(child);
        int crossStart;
        switch (axis.crossGravity(gravity)) {
        case 1: // centre
            crossStart =
                (crossExtent - axis.crossPaddingBefore(padding) - axis.crossPaddingAfter(padding) - measuredCross) / 2 +
                axis.crossMarginBefore(params) + axis.crossPaddingBefore(padding) - axis.crossMarginAfter(params);
            break;
        case 5: // bottom or right
            crossStart = crossExtent - axis.crossPaddingAfter(padding) - axis.crossMarginAfter(params) - measuredCross;
            break;
        default: // top or left
            crossStart = axis.crossPaddingBefore(padding) + axis.crossMarginBefore(params);
            break;
        }
        position += axis.mainMarginBefore(params);
        int measuredMain = axis.measuredMain(child);
        if (axis.horizontal)
            child->setFrame(afRect(position, crossStart, position + measuredMain, crossStart + measuredCross));
        else
            child->setFrame(afRect(crossStart, position, crossStart + measuredCross, position + measuredMain));
        position += measuredMain + axis.mainMarginAfter(params);
    }
}

} // namespace corvel
