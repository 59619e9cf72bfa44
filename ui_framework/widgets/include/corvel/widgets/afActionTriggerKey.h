// A key code or a typed character bound to an action.
#pragma once
#include "corvel/widgets/afActionTrigger.h"

namespace corvel {

class afActionTriggerKey : public afActionTrigger {
public:
    // A key trigger: its text is the key code's text form.
    afActionTriggerKey(afAction* action, int keyCode, bool priority);
    // A character trigger: its text is the character; always a priority trigger.
    afActionTriggerKey(afAction* action, wchar_t character);

    const std::wstring& getText() const override { return m_text; }

    int getKeyCode() const { return m_keyCode; }
    wchar_t getCharacter() const { return m_character; }
    bool isPriority() const { return m_priority != 0; }

private:
    int m_keyCode;       // 0 for character triggers
    wchar_t m_character; // 0 for key triggers
    std::wstring m_text;
    uint8_t m_priority;
};

} // namespace corvel
