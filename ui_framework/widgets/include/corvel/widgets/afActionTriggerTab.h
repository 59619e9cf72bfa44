// A word that, typed before the caret and followed by Tab, runs an action (snippets).
#pragma once
#include "corvel/widgets/afActionTrigger.h"

namespace corvel {

class afActionTriggerTab : public afActionTrigger {
public:
    afActionTriggerTab(afAction* action, const std::wstring& word);

    const std::wstring& getText() const override { return m_word; }
    const std::wstring& getWord() const { return m_word; }

private:
    std::wstring m_word;
};

} // namespace corvel
