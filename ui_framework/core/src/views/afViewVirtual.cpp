#include "corvel/ui/afViewVirtual.h"

#include "corvel/ui/afTypeNames.h"

namespace corvel {

const wchar_t* afViewVirtual::getTypeName() const {
    return afTypeName::VIEW_VIRTUAL;
}

void afViewVirtual::setFrame(const afRect& frame) {
    if (afRect::compare(frame, m_frame) != 0)
        invalidate();
    m_frame = frame;
    layout();
}

void afViewVirtual::setVisible(bool visible) {
    if (visible == m_visible)
        return;
    if (!visible)
        invalidate();
    m_visible = visible;
    notifyChildrenVisibility(this, visible);
    if (visible)
        invalidate();
    needLayout("afViewVirtual::setVisible");
}

void afViewVirtual::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    invalidate();
}

} // namespace corvel
