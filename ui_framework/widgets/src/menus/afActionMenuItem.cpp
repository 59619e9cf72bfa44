#include "corvel/widgets/afActionMenuItem.h"

#include "WidgetsLog.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afActionTrigger.h"
#include "zem/log/LogManager.h"

namespace corvel {

afActionMenuItem::afActionMenuItem(const std::wstring& title, const std::wstring& actionName)
    : afMenuItem(title), m_action(nullptr), m_actionName(actionName) {}

afActionMenuItem::afActionMenuItem(afAction* action)
    : afMenuItem(std::wstring()), m_action(action), m_actionName(action ? action->getName() : std::wstring()) {}

std::wstring afActionMenuItem::getTitle() const {
    if (!getOwnTitle().empty() || !m_action)
        return getOwnTitle();
    return m_action->getTitle();
}

const wchar_t* afActionMenuItem::getTabText() const {
    afActionTrigger* trigger = m_action ? m_action->findTrigger(afActionEventType::TAB) : nullptr;
    return trigger ? trigger->getText().c_str() : nullptr;
}

const wchar_t* afActionMenuItem::getKeyText() const {
    afActionTrigger* trigger = m_action ? m_action->findTrigger(afActionEventType::KEY) : nullptr;
    return trigger ? trigger->getText().c_str() : nullptr;
}

void afActionMenuItem::resolveAction() {
    if (!m_action && !m_actionName.empty() && afActionRegistry::getInstance())
        m_action = afActionRegistry::getInstance()->findAction(m_actionName.c_str());
}

bool afActionMenuItem::isEnabled() {
    resolveAction();
    return m_action && m_action->isEnabled();
}

void afActionMenuItem::activate(void*) {
    execute(nullptr);
}

void afActionMenuItem::execute(void* argument) {
    // A menu filled by its prepare callback asks its items for no state before one is
    // chosen: an item made by name finds its action here then.
    resolveAction();
    if (!m_action) {
        zem::logMessage(1, WIDGETS_LOG_SOURCE, L"afActionMenuItem::execute(): Command for item is NULL\n");
        return;
    }
    afActionEventMenuItemActivated event(this);
    event.action = m_action;
    event.context = static_cast<ScopePath*>(argument);
    m_action->execute(&event);
}

} // namespace corvel
