// Asks the user for one line of text; an optional validator can refuse the text, keep the
// dialog open and say why in place of the prompt.
#pragma once
#include "corvel/widgets/afMessageBox.h"

#include <string>

namespace corvel {

class afControlEdit;

class StringDialog : public afMessageBox {
public:
    // True accepts text; false refuses it, with *error (when not left empty) shown to the user.
    typedef bool (*ValidateFunction)(void* object, const std::wstring& text, std::wstring* error);

    StringDialog(afView* owner, bool noStandardButtons);

    // A new dialog whose window exists, with "&OK" and "&Cancel" unless noStandardButtons;
    // null for a null owner.
    static StringDialog* create(afView* owner, bool noStandardButtons = false);

    void onCreated() override;
    void onButtonClicked(afControlButton* button) override;
    uint32_t enterModal() override;
    void leaveModal() override;

    void setPrompt(const std::wstring& text);
    // Puts text into the field with all of it selected.
    void setValue(const std::wstring& text);
    // The text entered: emptied when a modal run starts, taken from the field when it ends.
    const std::wstring& getValue() const { return m_value; }
    void setValidator(void* object, ValidateFunction function) { m_validator.set(object, function); }

    afLabel* getPrompt() const { return m_prompt; }
    afControlEdit* getEdit() const { return m_edit; }

private:
    void focusWholeText();

    afCallback<ValidateFunction> m_validator;
    std::wstring m_value;
    bool m_noStandardButtons;
    afLabel* m_prompt = nullptr;
    afControlEdit* m_edit = nullptr;
};

} // namespace corvel
