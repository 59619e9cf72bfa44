// A plain child window of the framework's own class that holds a layout of child views;
// panels and many windows' content derive from it.
#pragma once
#include "corvel/ui/afWidget.h"

namespace corvel {

class afContainer : public afWidget {
public:
    explicit afContainer(afView* parent);

    // Null for a null parent.
    static afContainer* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    // Gives the focus to the first tab stop among the child windows; nothing when there
    // is none.
    void requestFocus() override;
};

} // namespace corvel
