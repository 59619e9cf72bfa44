// The framework's modal question window: an icon, text labels, an optional check box and
// a row of push buttons, each closing the box with its own result code.
#pragma once
#include "corvel/ui/afWindow.h"

#include <string>
#include <vector>

namespace corvel {

class afControlButton;
class afControlCheckBox;
class afIcon;
class afLabel;
class afLayoutLinear;

class afMessageBox : public afWindow {
public:
    static constexpr int MINIMUM_WIDTH = 500;

    explicit afMessageBox(afView* owner);

    // A new box whose window exists; null for a null owner.
    static afMessageBox* create(afView* owner);

    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onKeyDown(afEvent* event) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
    uint32_t enterModal() override;
    void leaveModal() override;

    // Called when a button is clicked: closes the box with the button's result.
    virtual void onButtonClicked(afControlButton* button);

    // Shown only when an icon is given.
    void setIcon(const afIcon* icon);
    // Appended to the text column with spacing x 5 pixels below it.
    afLabel* addLabel(const std::wstring& text, int visualStyle, int spacing, int wrapMode);
    // Appended to the button row; a default button becomes the window's default and takes
    // the focus. key, when not 0, is a virtual key that clicks the button when pressed
    // without modifiers anywhere in the box.
    afControlButton* addButton(const std::wstring& text, uint32_t result, bool isDefault, int key = 0);
    // Shows the check box, unchecked. InvalidArgumentException "Label was not set for
    // visible checkbox." for an empty text.
    void setCheckBox(const std::wstring& text);
    // The check box state: from the control while the window exists, else as it was at
    // closing.
    bool isChecked() const;
    // The result a button of this box closes it with; 0 for a button not added here.
    uint32_t getButtonResult(const afControlButton* button) const;

    afLabel* getIconLabel() const { return m_iconLabel; }
    afControlCheckBox* getCheckBox() const { return m_checkBox; }
    const std::vector<afControlButton*>& getButtons() const { return m_buttons; }

private:
    struct ButtonEntry {
        afControlButton* button;
        uint32_t result;
        int key;
    };
    static void onClick(void* self, afControlButton* button);
    void build();

    afLayoutLinear* m_content = nullptr; // the icon label and the text column
    afLabel* m_iconLabel = nullptr;
    afLayoutLinear* m_textColumn = nullptr;
    afLayoutLinear* m_bottom = nullptr; // the check box and the button row
    afControlCheckBox* m_checkBox = nullptr;
    afLayoutLinear* m_buttonRow = nullptr;
    std::vector<afControlButton*> m_buttons;
    std::vector<ButtonEntry> m_entries;
    bool m_built = false;
    bool m_checked = false; // the check box state recorded at closing
};

} // namespace corvel
