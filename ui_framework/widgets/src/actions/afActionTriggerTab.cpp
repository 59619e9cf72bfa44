#include "corvel/widgets/afActionTriggerTab.h"

#include "corvel/widgets/afActionEvent.h"

namespace corvel {

afActionTriggerTab::afActionTriggerTab(afAction* action, const std::wstring& word)
    : afActionTrigger(action, afActionEventType::TAB), m_word(word) {}

} // namespace corvel
