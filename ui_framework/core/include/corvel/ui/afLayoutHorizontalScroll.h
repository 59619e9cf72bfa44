// A frame layout whose content scrolls horizontally and keeps a focused child in view
// (tab strips). The content is its first child.
#pragma once
#include "corvel/ui/afLayoutFrame.h"

namespace corvel {

class afLayoutHorizontalScroll : public afLayoutFrame {
public:
    static constexpr int SCROLL_MARGIN = 16; // neighbouring content kept in view

    explicit afLayoutHorizontalScroll(afView* owner) : afLayoutFrame(owner) {}

    const wchar_t* getTypeName() const override;
    void measureChild(afView* child, afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    void measureChildWithMargins(afView* child, afViewMeasureSpec widthSpec, int widthUsed,
                                 afViewMeasureSpec heightSpec, int heightUsed) override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    void onLayout(bool changed, const afRect& rect) override;
    void requestLayout(const char* reason) override;
    void scrollTo(int x, int y) override;
    void onSizeChanged(const afRect& newRect, const afRect& oldRect) override;
    void onChildRemoved(afView* child) override;

    void focusChild(afView* child);
    void scrollChildIntoView(afView* child);
    void setFillViewport(bool on) { m_fillViewport = on; }
    afView* getFocusedChild() const { return m_focused; }

private:
    bool isFullyVisible(afView* child) const;
    afRect contentRectOf(afView* child) const;

    afView* m_focused = nullptr;
    afView* m_pendingFocus = nullptr; // scrolled into view by the next layout pass
    bool m_layoutPending = false;
    bool m_fillViewport = true;
};

} // namespace corvel
