#include "corvel/widgets/afSpinner.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afTypeNames.h"

#include <array>
#include <memory>

namespace corvel {

namespace {

// The frames' icon resources, in showing order.
constexpr int FRAME_RESOURCES[afSpinner::FRAME_COUNT] = {119, 120, 121, 122, 123, 124, 125, 110};

struct SharedFrames {
    int users = 0;
    std::array<std::unique_ptr<afIcon>, afSpinner::FRAME_COUNT> icons;
};

SharedFrames& shared() {
    static SharedFrames frames;
    return frames;
}

} // namespace

afSpinner::afSpinner(afView* parent) : afViewVirtual(parent) {
    SharedFrames& frames = shared();
    if (frames.users++ == 0) {
        for (int i = 0; i < FRAME_COUNT; ++i)
            frames.icons[i] = std::make_unique<afIcon>(FRAME_RESOURCES[i], FRAME_SIZE);
    }
    m_timer.setInterval(FRAME_INTERVAL);
    m_timer.setHandler(this, &afSpinner::onTick);
    m_timer.start();
}

afSpinner::~afSpinner() {
    m_timer.stop();
    setVisible(false);
    SharedFrames& frames = shared();
    if (--frames.users == 0) {
        for (auto& icon : frames.icons)
            icon.reset();
    }
}

afSpinner* afSpinner::create(afView* parent) {
    if (!parent)
        return nullptr;
    return new afSpinner(parent);
}

int afSpinner::getInstanceCount() {
    return shared().users;
}

bool afSpinner::framesLoaded() {
    return shared().icons[0] != nullptr;
}

const wchar_t* afSpinner::getTypeName() const {
    return afTypeName::VIEW_VIRTUAL;
}

bool afSpinner::onTick(afTimer*) {
    m_frame = (m_frame + 1) % FRAME_COUNT;
    invalidate();
    return true;
}

void afSpinner::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    const afRect& padding = getPadding();
    int width = FRAME_SIZE + padding.left + padding.right;
    int height = FRAME_SIZE + padding.top + padding.bottom;
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

bool afSpinner::onDraw(afCanvas* canvas, afCanvasRegion*) {
    const afIcon* icon = shared().icons[m_frame].get();
    if (!canvas || !isVisible() || !icon)
        return true;
    afRect frame = getFrame();
    afRect area(0, 0, frame.width(), frame.height());
    area.applyInsets(getPadding(), false);
    canvas->drawIcon(area, *icon, afCanvas::GRAVITY_CENTER);
    return true;
}

} // namespace corvel
