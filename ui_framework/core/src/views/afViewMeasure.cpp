// The measure and layout passes of every view.
#include "corvel/ui/afView.h"

#include "zem/base/Exception.h"

namespace corvel {

namespace afMeasureSpec {

int getSize(afViewMeasureSpec spec) {
    uint32_t mode = getMode(spec);
    if (mode != EXACTLY && mode != AT_MOST)
        throw zem::InvalidArgumentException(L"Invalid afViewMeasureSpec mode specified.");
    return getRawSize(spec);
}

int resolveSize(int wanted, afViewMeasureSpec spec) {
    switch (getMode(spec)) {
    case EXACTLY:
        return getRawSize(spec);
    case AT_MOST: {
        int size = getRawSize(spec);
        return wanted < size ? wanted : size;
    }
    default:
        return wanted;
    }
}

} // namespace afMeasureSpec

void afView::setMeasuredDimension(int width, int height) {
    m_measuredWidth = width;
    m_measuredHeight = height;
    m_flags |= FLAG_MEASURED;
}

void afView::measure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    if ((m_flags & FLAG_LAYOUT_NEEDED) || widthSpec != m_lastWidthSpec || heightSpec != m_lastHeightSpec) {
        m_flags &= ~FLAG_MEASURED;
        onMeasure(widthSpec, heightSpec);
        if (!(m_flags & FLAG_MEASURED))
            throw zem::IllegalStateException(L"Measured dimensions not set properly in onMeasure().");
        m_flags |= FLAG_LAYOUT_FORCED;
    }
    m_lastWidthSpec = widthSpec;
    m_lastHeightSpec = heightSpec;
}

void afView::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    auto sizeFor = [](afViewMeasureSpec spec, int minimum) {
        return afMeasureSpec::getMode(spec) == afMeasureSpec::UNSPECIFIED ? minimum : afMeasureSpec::getSize(spec);
    };
    setMeasuredDimension(sizeFor(widthSpec, m_minWidth), sizeFor(heightSpec, m_minHeight));
}

void afView::layout() {
    afRect frame = getFrame();
    bool sizeChanged = !frame.sameSize(m_lastFrame);
    if (sizeChanged)
        onSizeChanged(frame, m_lastFrame);
    bool frameChanged = afRect::compare(frame, m_lastFrame) != 0;
    if (frameChanged) {
        invalidate();
        m_lastFrame = frame;
    }
    if (sizeChanged || (m_flags & FLAG_LAYOUT_FORCED)) {
        onLayout(sizeChanged, afRect(0, 0, frame.width(), frame.height()));
        m_flags &= ~FLAG_LAYOUT_FORCED;
    }
    if (frameChanged) {
        if (m_background)
            m_background->setBounds(afRect(0, 0, frame.width(), frame.height()));
        invalidate();
    }
    m_flags &= ~FLAG_LAYOUT_NEEDED;
}

void afView::onLayout(bool, const afRect&) {}

void afView::requestLayout(const char*) {
    if (!m_parent || (m_parent->m_flags & FLAG_LAYOUT_NEEDED))
        return;
    m_parent->m_flags |= FLAG_LAYOUT_NEEDED;
    m_parent->requestLayout("afView::requestLayout");
}

} // namespace corvel
