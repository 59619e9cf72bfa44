#pragma once
#include "corvel/ui/afLayout.h"

namespace corvel {

// Stacks its children at the top-left corner, each at its measured size.
class afLayoutFrame : public afLayout {
public:
    explicit afLayoutFrame(afView* owner) : afLayout(owner) {}
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    void onLayout(bool changed, const afRect& rect) override;
};

} // namespace corvel
