// The window a long file operation shows while it runs: a heading, the current source and
// target, a progress bar, the time left in the caption and Cancel. The operation's front
// end feeds it and decides, through the close callback, whether Cancel really closes it.
#pragma once
#include "corvel/ui/afWindow.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class afControlButton;
class afControlProgressBar;
class afLabel;
class afLayoutLinear;

class OperationProgressDialog : public afWindow {
public:
    static constexpr int MINIMUM_WIDTH = 500;

    explicit OperationProgressDialog(afView* owner);

    // A new, hidden dialog owned by owner whose window exists; null for a null owner.
    static OperationProgressDialog* create(afView* owner);

    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onDestroy() override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    void setHeading(const std::wstring& text);
    void setSource(const std::wstring& text);
    void setTarget(const std::wstring& text);
    // 0 a marquee, 1 a smooth bar; other values leave the bar as it is.
    void setProgressStyle(int style);
    // The bar runs from 0 to maximum.
    void setRange(int maximum);
    void setPosition(int position);
    // Negative while the time is still being estimated.
    void setRemaining(int64_t seconds);

    afControlProgressBar* getProgressBar() const { return m_bar; }
    afLabel* getHeading() const { return m_heading; }
    afLabel* getSource() const { return m_source; }
    afLabel* getTarget() const { return m_target; }
    afLabel* getSourceCaption() const { return m_sourceCaption; }
    afLabel* getTargetCaption() const { return m_targetCaption; }
    afControlButton* getCancelButton() const { return m_cancel; }

private:
    static void onCancel(void* self, afControlButton* button);
    void disableOwnerChain();
    void enableOwnerChain();

    afControlProgressBar* m_bar = nullptr;
    afLayoutLinear* m_header = nullptr;
    afLayoutLinear* m_body = nullptr;
    afLayoutLinear* m_footer = nullptr;
    afLabel* m_heading = nullptr;
    afLabel* m_source = nullptr;
    afLabel* m_sourceCaption = nullptr;
    afLabel* m_target = nullptr;
    afLabel* m_targetCaption = nullptr;
    afControlButton* m_cancel = nullptr;
    // The owners this dialog disabled, nearest first: only these are enabled again, so an
    // owner another modal window keeps disabled stays so.
    std::vector<HWND> m_disabled;
};

} // namespace corvel
