#include "corvel/widgets/afActionTriggerKey.h"

#include "corvel/ui/afKey.h"
#include "corvel/widgets/afActionEvent.h"

namespace corvel {

afActionTriggerKey::afActionTriggerKey(afAction* action, int keyCode, bool priority)
    : afActionTrigger(action, afActionEventType::KEY), m_keyCode(keyCode), m_character(0),
      m_text(afKey::toString(keyCode)), m_priority(priority ? 1 : 0) {}

afActionTriggerKey::afActionTriggerKey(afAction* action, wchar_t character)
    : afActionTrigger(action, afActionEventType::CHARACTER), m_keyCode(0), m_character(character), m_text(1, character),
      m_priority(1) {}

} // namespace corvel
