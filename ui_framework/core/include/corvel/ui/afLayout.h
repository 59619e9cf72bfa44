// The base of container views that arrange virtual children by their layout parameters:
// child measure specs, child insertion with parameter checks, hit-testing and painting
// of the children. The concrete arrangements derive from it.
#pragma once
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afViewVirtual.h"

namespace corvel {

class afLayout : public afViewVirtual {
public:
    explicit afLayout(afView* owner) : afViewVirtual(owner) {}

    const wchar_t* getTypeName() const override;
    void addChild(afView* child, int index) override;
    void setOwner(afView* owner) override;
    void onChildAdded(afView* child, int index) override;
    void onChildRemoved(afView* child) override;
    afView* hitTest(int x, int y) override;
    void paint(afCanvas* canvas, afCanvasRegion* region) override;

    virtual bool checkLayoutParams(const afLayoutParams* params) const { return params != nullptr; }
    virtual afLayoutParams* generateDefaultLayoutParams() const { return new afLayoutParams(); }
    virtual void measureChildren(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec);
    virtual void measureChild(afView* child, afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec);
    virtual void measureChildWithMargins(afView* child, afViewMeasureSpec widthSpec, int widthUsed,
                                         afViewMeasureSpec heightSpec, int heightUsed);

    // The measure spec a child of the given dimension (pixels, FILL_PARENT, WRAP_CONTENT) gets
    // inside parentSpec less padding.
    static afViewMeasureSpec getChildMeasureSpec(int childDimension, afViewMeasureSpec parentSpec, int padding);

    using afView::addChild;
    void addChild(afView* child) { addChild(child, -1); }
    void addChild(afView* child, afLayoutParams* params) { addChild(child, params, -1); }
    void addChild(afView* child, afLayoutParams* params, int index);
    void addChild(afView* child, int index, int width, int height);
    void addChild(afView* child, int width, int height) { addChild(child, -1, width, height); }
    // Moves a child to index (last when at or past the end); false when it is no child.
    bool moveChild(afView* child, int index);

    int getVirtualChildCount() const { return m_virtualChildren; }

private:
    int m_virtualChildren = 0;
};

} // namespace corvel
