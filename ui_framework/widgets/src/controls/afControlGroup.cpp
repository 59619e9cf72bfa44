#include "corvel/widgets/afControlGroup.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/createControl.h"

#include <vsstyle.h>

namespace corvel {

afControlGroup::afControlGroup(afView* parent) : afWidget(parent) {
    setParentBackground(true);
}

afControlGroup* afControlGroup::create(afView* parent) {
    return createControl<afControlGroup>(parent);
}

const wchar_t* afControlGroup::getTypeName() const {
    return afTypeName::GROUP;
}

bool afControlGroup::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afControlGroup");
    seed.className = L"afControlGroup";
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    seed.exStyle = WS_EX_CONTROLPARENT;
    setThemeClass(L"BUTTON");
    return true;
}

bool afControlGroup::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (HTHEME theme = afWindowsUX::getInstance() ? getTheme() : nullptr) {
        afWindowsUX::drawThemeBackground(theme, canvas->getDC(), BP_GROUPBOX, GBS_NORMAL, &client, nullptr);
        return true;
    }
    DrawEdge(canvas->getDC(), &client, EDGE_ETCHED, BF_RECT);
    return true;
}

} // namespace corvel
