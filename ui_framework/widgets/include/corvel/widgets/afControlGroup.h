// A frame around a group of controls; its children lie inside it as child views. No
// caption is drawn.
#pragma once
#include "corvel/ui/afWidget.h"

namespace corvel {

class afControlGroup : public afWidget {
public:
    explicit afControlGroup(afView* parent);

    // Null for a null parent.
    static afControlGroup* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
};

} // namespace corvel
