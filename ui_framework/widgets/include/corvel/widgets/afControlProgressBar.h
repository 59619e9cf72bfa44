// A progress bar over the native control, determinate or marquee.
#pragma once
#include "corvel/widgets/afControl.h"

namespace corvel {

class afControlProgressBar : public afControl {
public:
    enum Style { STYLE_MARQUEE = 0, STYLE_DETERMINATE = 1 };
    static constexpr UINT MARQUEE_STEP_MS = 50;

    explicit afControlProgressBar(afView* owner) : afControl(owner) { setNativePaint(true); }

    // Range 0 to 100, position 0; null for a null owner.
    static afControlProgressBar* create(afView* owner);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;

    void setRange(int minimum, int maximum);
    void setPosition(int value);
    void setStyle(int style);
};

} // namespace corvel
