// A thin bar between two views of a linear layout: dragging it resizes one of them (its
// target), a double click hides or shows the target. The sidebar and the bottom panel
// of the main window hang on it.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/ui/afWidget.h"

#include <climits>

namespace corvel {

class afControlSplitter : public afWidget {
public:
    enum : int { HORIZONTAL = 1 }; // moves sideways and sets the target's width
    // Border lines the bar draws along its edges.
    enum : int { BORDER_LEFT = 1, BORDER_TOP = 2, BORDER_RIGHT = 4, BORDER_BOTTOM = 8 };
    // Paints the bar instead of its colours; active while dragged or under the pointer.
    typedef void (*PainterFunction)(void* object, afControlSplitter* splitter, afCanvas* canvas, const RECT& rect,
                                    bool active);

    afControlSplitter(afView* parent, afView* target, int orientation);

    // Null for a null parent.
    static afControlSplitter* create(afView* parent, afView* target, int orientation);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onMouseDown(afEvent* event) override;
    bool onMouseMove(afEvent* event) override;
    bool onMouseUp(afEvent* event) override;
    bool onMouseLeave(afEvent* event) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // The target's width (or height) to keep; negative sizes count as 0.
    void setSize(int size);
    int getSize() const { return m_size; }
    bool isCollapsed() const;
    bool isDragging() const { return m_dragging; }
    bool isHot() const { return m_hot; }
    afView* getTarget() const { return m_target; }
    int getOrientation() const { return m_orientation; }

    void setVisibleColor(COLORREF color);
    void setHiddenColor(COLORREF color);
    void setDraggingColor(COLORREF color);
    void setBorderColor(COLORREF color);
    void setBorders(int flags);
    void setPainter(void* object, PainterFunction function);

    Callback<void(afControlSplitter*)> dragStartCallback;

private:
    bool horizontal() const { return m_orientation == HORIZONTAL; }
    // The pointer's coordinate along the drag axis in the native parent's client area.
    int pointerAlongAxis(const afEvent* event) const;
    // The view's rectangle in the native parent's client area.
    afRect rectInHost(const afView* view) const;
    bool startDrag();
    void dragTo(int position);
    // The target's layout width or height.
    int targetLayoutSize() const;
    void setHot(bool hot);
    static bool onSetCursor(void* self, afViewPlatform* view, int hitTest, int mouseMessage);

    afView* m_target; // not owned
    int m_orientation;
    int m_size = 0; // the target's width or height to come back to
    bool m_dragging = false;
    bool m_hot = false;
    bool m_targetBefore = false;
    int m_dragPosition = 0;
    int m_lowerLimit = INT_MIN;
    int m_upperLimit = INT_MAX;
    COLORREF m_visibleColor;
    COLORREF m_hiddenColor;
    COLORREF m_draggingColor;
    COLORREF m_borderColor;
    int m_borders = 0;
    void* m_painterObject = nullptr;
    PainterFunction m_painter = nullptr;
};

} // namespace corvel
