// A window-less bar that tells the user something inside a document's area without
// stopping the work: a column of texts on the left and a row of push buttons on the right,
// over a palette fill with a frame line. A hidden bar stays in the view tree for reuse.
// Main thread only.
#pragma once
#include "corvel/ui/afLayoutLinear.h"

#include <string>

namespace corvel {

class afControlButton;
class afLabel;

class InlineMessage : public afLayoutLinear {
public:
    static constexpr int DEFAULT_STYLE = 4; // the palette fill behind the bar
    static constexpr int BUTTON_MARGIN = 5;

    // owner: the platform view that hosts the buttons' windows. The caller adds the bar to
    // its parent layout.
    explicit InlineMessage(afView* owner);

    const wchar_t* getTypeName() const override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    afLayoutLinear* getContentLayout() const { return m_content; }
    afLayoutLinear* getButtonLayout() const { return m_buttons; }
    // 0 paints the frame only.
    void setStyle(int style);
    int getStyle() const { return m_style; }

    // A label in the content column; a push button in the button row, margin 5 all round.
    afLabel* addText(const std::wstring& text);
    afControlButton* addButton(const std::wstring& text);

private:
    int m_style = DEFAULT_STYLE;
    afLayoutLinear* m_content; // owned by the view tree
    afLayoutLinear* m_buttons; // owned by the view tree
};

} // namespace corvel
