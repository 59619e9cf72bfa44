// A native check box that the framework paints and toggles itself: a plain BS_CHECKBOX,
// so only a click (BN_CLICKED), the mnemonic or toggle change its state.
#pragma once
#include "corvel/widgets/afControl.h"

namespace corvel {

class afControlCheckBox : public afControl {
public:
    typedef void (*ChangeFunction)(void* object, afControlCheckBox* box);

    explicit afControlCheckBox(afView* parent) : afControl(parent) {}

    // Null for a null parent.
    static afControlCheckBox* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    bool onNotify(afMessage* message) override;
    bool onRawMessage(afMessage* message) override;
    bool onMnemonic(wchar_t character) override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // False without a window.
    bool isChecked() const;
    // Silent: the change callback does not run.
    void setChecked(bool checked);
    // Sets the opposite state and runs the change callback.
    void toggle();

    afCallback<ChangeFunction> changeCallback;

private:
    SIZE boxSize(afCanvas& canvas);

    afRect m_boxRect;
    afRect m_textRect;
};

} // namespace corvel
