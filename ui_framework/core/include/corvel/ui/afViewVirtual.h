// A view drawn inside its host window: no window handle, a frame relative to its parent.
#pragma once
#include "corvel/ui/afView.h"

namespace corvel {

class afViewVirtual : public afView {
public:
    explicit afViewVirtual(afView* owner) : afView(owner) {}

    const wchar_t* getTypeName() const override;
    afRect getFrame() const override { return m_frame; }
    afRect getClientFrame() const override { return m_frame; }
    // Invalidates the old area when it changes, stores the frame, lays out.
    void setFrame(const afRect& frame) override;
    void setVisible(bool visible) override;
    bool isVisible() const override { return m_visible; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_enabled; }

private:
    afRect m_frame;
    bool m_visible = true;
    bool m_enabled = true;
};

} // namespace corvel
