#include "corvel/widgets/afControlProgressBar.h"

#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/createControl.h"

#include <commctrl.h>

namespace corvel {

afControlProgressBar* afControlProgressBar::create(afView* owner) {
    auto* bar = createControl<afControlProgressBar>(owner);
    if (!bar)
        return nullptr;
    bar->setRange(0, 100);
    bar->setPosition(0);
    return bar;
}

const wchar_t* afControlProgressBar::getTypeName() const {
    return afTypeName::PROGRESS_BAR;
}

bool afControlProgressBar::buildSeed(Seed& seed) {
    seed.className = PROGRESS_CLASSW;
    seed.style = WS_CHILD | WS_VISIBLE | PBS_SMOOTH | PBS_MARQUEE;
    seed.x = 0;
    seed.y = 0;
    seed.width = 100;
    seed.height = 20;
    return true;
}

void afControlProgressBar::setRange(int minimum, int maximum) {
    sendMessage(PBM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
}

void afControlProgressBar::setPosition(int value) {
    sendMessage(PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void afControlProgressBar::setStyle(int style) {
    if (style == STYLE_MARQUEE) {
        setStyleBits(PBS_SMOOTH, false, false);
        setStyleBits(PBS_MARQUEE, true, false);
        if (m_hwnd)
            SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        sendMessage(PBM_SETMARQUEE, TRUE, MARQUEE_STEP_MS);
        return;
    }
    sendMessage(PBM_SETMARQUEE, FALSE, 0);
    setStyleBits(PBS_MARQUEE, false, false);
    setStyleBits(PBS_SMOOTH, true, false);
}

} // namespace corvel
