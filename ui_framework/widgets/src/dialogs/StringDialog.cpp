#include "corvel/widgets/StringDialog.h"

#include "corvel/widgets/createControl.h"
#include "../controls/takeFocus.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"

namespace corvel {

namespace {

constexpr wchar_t DEFAULT_PROMPT[] = L"Please, enter string:";
constexpr int SIDE_PADDING = 20;
constexpr int END_PADDING = 10;
constexpr int PROMPT_STYLE = 2;
constexpr int ERROR_STYLE = 4;
constexpr int EDIT_FONT = 4;

} // namespace

StringDialog::StringDialog(afView* owner, bool noStandardButtons)
    : afMessageBox(owner), m_noStandardButtons(noStandardButtons) {}

StringDialog* StringDialog::create(afView* owner, bool noStandardButtons) {
    return createControl<StringDialog>(owner, noStandardButtons);
}

void StringDialog::onCreated() {
    afMessageBox::onCreated();
    // The box's root holds the text area and, below it, the button area.
    if (afView* root = getContentView()) {
        for (int i = 0; i < root->getChildCount() && i < 2; ++i)
            root->getChildAt(i)->setPadding(SIDE_PADDING, END_PADDING, SIDE_PADDING, END_PADDING);
    }
    m_prompt = addLabel(DEFAULT_PROMPT, PROMPT_STYLE, 1, afLabel::WRAP_WORDS);
    m_edit = afControlEdit::create(this);
    // Read what the user typed from the native field, not the text last set.
    m_edit->setOptions(m_edit->getOptions() | afViewPlatform::OPTION_NATIVE_TEXT);
    if (afResources::exists())
        m_edit->setFont(&afResources::getFont(EDIT_FONT));
    // The prompt's parent is the box's text column, a linear layout.
    static_cast<afLayoutLinear*>(m_prompt->getParent())
        ->addChild(m_edit, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    m_prompt->setPartner(m_edit);
    if (!m_noStandardButtons) {
        addButton(L"&OK", RESULT_OK, true);
        addButton(L"&Cancel", RESULT_CANCEL, false);
    }
    setIcon(nullptr);
    takeFocus(m_edit);
}

void StringDialog::setPrompt(const std::wstring& text) {
    if (m_prompt)
        m_prompt->setText(text);
}

void StringDialog::setValue(const std::wstring& text) {
    if (!m_edit)
        return;
    m_edit->setText(text.c_str());
    m_edit->selectAll();
}

void StringDialog::onButtonClicked(afControlButton* button) {
    if (m_validator.function && m_edit && getButtonResult(button) == RESULT_OK) {
        std::wstring error;
        if (!m_validator.function(m_validator.object, m_edit->getText(), &error)) {
            if (!error.empty()) {
                m_prompt->setText(error);
                m_prompt->setVisualStyle(ERROR_STYLE);
            }
            focusWholeText();
            return;
        }
    }
    afMessageBox::onButtonClicked(button);
}

void StringDialog::focusWholeText() {
    takeFocus(m_edit);
    m_edit->selectAll();
}

uint32_t StringDialog::enterModal() {
    m_value.clear();
    return afMessageBox::enterModal();
}

void StringDialog::leaveModal() {
    if (m_edit && m_edit->getHandle())
        m_value = m_edit->getText();
    afMessageBox::leaveModal();
}

} // namespace corvel
