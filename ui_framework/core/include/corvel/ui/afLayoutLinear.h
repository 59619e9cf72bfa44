// Places its children in a row (HORIZONTAL) or a column (VERTICAL) with margins, weights
// sharing the spare room, and gravity.
#pragma once
#include "corvel/ui/afLayout.h"

namespace corvel {

class afLayoutLinear : public afLayout {
public:
    enum Orientation { VERTICAL = 0, HORIZONTAL = 1 };
    // Gravity bits: horizontal in bits 0-2, vertical in bits 4-6.
    enum : int {
        GRAVITY_CENTER_HORIZONTAL = 1,
        GRAVITY_LEFT = 3,
        GRAVITY_RIGHT = 5,
        GRAVITY_HORIZONTAL_MASK = 7,
        GRAVITY_CENTER_VERTICAL = 0x10,
        GRAVITY_TOP = 0x30,
        GRAVITY_BOTTOM = 0x50,
        GRAVITY_VERTICAL_MASK = 0x70,
    };

    afLayoutLinear(afView* owner, int orientation) : afLayout(owner), m_orientation(orientation) {}

    const wchar_t* getTypeName() const override;
    bool checkLayoutParams(const afLayoutParams* params) const override;
    afLayoutParams* generateDefaultLayoutParams() const override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    void onLayout(bool changed, const afRect& rect) override;
    virtual void measureChildBeforeLayout(afView* child, int index, afViewMeasureSpec widthSpec, int widthUsed,
                                          afViewMeasureSpec heightSpec, int heightUsed);

    // A value without horizontal bits gets left, one without vertical bits gets top.
    void setGravity(int gravity);
    int getGravity() const { return m_gravity; }
    // Not above 0: the sum of the children's weights.
    void setWeightSum(double sum) { m_weightSum = sum; }
    int getOrientation() const { return m_orientation; }
    int getTotalLength() const { return m_totalLength; }

private:
    // Axis-neutral access: main is the orientation's axis, cross the other.
    struct Axis;
    void measureAlong(const Axis& axis, afViewMeasureSpec mainSpec, afViewMeasureSpec crossSpec);
    void forceUniformCross(const Axis& axis, afViewMeasureSpec mainSpec);
    void layoutAlong(const Axis& axis, const afRect& rect);

    int m_orientation;
    int m_totalLength = 0;
    double m_weightSum = -1.0;
    int m_gravity = GRAVITY_LEFT | GRAVITY_TOP;
};

} // namespace corvel
