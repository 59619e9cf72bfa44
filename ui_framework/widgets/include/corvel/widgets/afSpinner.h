// A 16 x 16 busy indicator: eight frames shown in turn every 50 ms. The frames are loaded
// by the first spinner and released with the last.
#pragma once
#include "corvel/ui/afTimer.h"
#include "corvel/ui/afViewVirtual.h"

namespace corvel {

class afSpinner : public afViewVirtual {
public:
    static constexpr int FRAME_COUNT = 8;
    static constexpr int FRAME_SIZE = 16;
    static constexpr uint32_t FRAME_INTERVAL = 50;

    explicit afSpinner(afView* parent);
    ~afSpinner() override;

    // Null for a null parent.
    static afSpinner* create(afView* parent);

    const wchar_t* getTypeName() const override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    int getFrameIndex() const { return m_frame; }
    bool isAnimating() const { return m_timer.isRunning(); }
    // Spinners alive now; the frames exist exactly while it is above 0.
    static int getInstanceCount();
    static bool framesLoaded();

private:
    bool onTick(afTimer* timer);

    int m_frame = 0; // 0 to FRAME_COUNT - 1
    afTimer m_timer;
};

} // namespace corvel
