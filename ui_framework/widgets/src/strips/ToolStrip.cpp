#include "corvel/widgets/ToolStrip.h"

#include "corvel/widgets/createControl.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/ToolStripStatus.h"

namespace corvel {

ToolStrip::ToolStrip(afView* parent) : ToolBar(parent), m_status(new ToolStripStatus(this)) {
    setBackgroundStyle(0);
    // The status takes the room the tools leave and keeps its texts at the right end.
    getContent()->addChild(m_status, new afLayoutParamsLinear(0, afLayoutParams::FILL_PARENT, 1.0));
    setTrailingCount(1);
}

ToolStrip* ToolStrip::create(afView* parent) {
    return createControl<ToolStrip>(parent);
}

} // namespace corvel
