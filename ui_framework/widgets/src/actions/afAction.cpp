#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionTrigger.h"

#include "corvel/document/ScopeSelector.h"

#include <algorithm>

namespace corvel {
namespace {

std::wstring textOrEmpty(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring();
}

} // namespace

afAction::afAction(int kind, afActionHandlerClass* handlerClass, const wchar_t* name, const wchar_t* scopeText,
                   int sourceKind, afActionMethod method)
    : m_kind(kind), m_name(textOrEmpty(name)), m_scopeText(textOrEmpty(scopeText)),
      m_selector(ScopeSelector::create(m_scopeText.c_str(), m_scopeText.size())), m_sourceKind(sourceKind),
      m_handlerClass(handlerClass), m_method(std::move(method)) {}

afAction::~afAction() = default;

void afAction::addTrigger(afActionTrigger* trigger) {
    if (!trigger || std::find(m_triggers.begin(), m_triggers.end(), trigger) != m_triggers.end())
        return;
    m_triggers.push_back(trigger);
}

bool afAction::removeTrigger(afActionTrigger* trigger) {
    auto it = std::find(m_triggers.begin(), m_triggers.end(), trigger);
    if (it == m_triggers.end())
        return false;
    m_triggers.erase(it);
    return true;
}

afActionTrigger* afAction::findTrigger(uint32_t eventType) const {
    for (afActionTrigger* trigger : m_triggers) {
        if (trigger->getEventType() == eventType)
            return trigger;
    }
    return nullptr;
}

bool afAction::execute(afActionEvent* event) {
    if (!isEnabled() || !m_method.isSet())
        return false;
    return m_method(*m_handlerClass->liveHandler, event);
}

bool afAction::isEnabled() const {
    return m_handlerClass && m_handlerClass->liveHandler;
}

} // namespace corvel
