#include "corvel/widgets/afActionRegistry.h"

#include "corvel/document/ScopePath.h"
#include "corvel/document/ScopeSelector.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionInvoker.h"
#include "corvel/widgets/afActionInvokerKey.h"
#include "corvel/widgets/afActionTrigger.h"
#include "zem/base/Crc.h"

#include <algorithm>

namespace corvel {
namespace {

afActionRegistry* liveRegistry = nullptr;

} // namespace

afActionRegistry::afActionRegistry() {
    if (!liveRegistry)
        liveRegistry = this;
}

afActionRegistry::~afActionRegistry() {
    for (afAction* action : m_actions) {
        action->m_registered = false;
        delete action;
    }
    m_actions.clear();
    m_actionsByName.clear();
    if (liveRegistry == this)
        liveRegistry = nullptr;
}

afActionRegistry* afActionRegistry::getInstance() {
    return liveRegistry;
}

afActionHandlerClass* afActionRegistry::getHandlerClass(const wchar_t* name) {
    if (!name || !*name)
        return nullptr;
    std::unique_ptr<afActionHandlerClass>& entry = m_handlerClasses[zem::crc32String(name)];
    if (!entry) {
        entry.reset(new afActionHandlerClass);
        entry->name = name;
    }
    return entry.get();
}

afAction* afActionRegistry::addAction(afAction* action) {
    if (!action)
        return nullptr;
    if (!action->getName().empty())
        m_actionsByName.emplace(zem::crc32String(action->getName().c_str()), action);
    m_actions.push_back(action);
    action->m_registered = true;
    return action;
}

void afActionRegistry::removeAction(afAction* action) {
    auto listed = std::find(m_actions.begin(), m_actions.end(), action);
    if (!action || listed == m_actions.end())
        return;
    m_actions.erase(listed);
    if (!action->getName().empty()) {
        uint32_t symbol = zem::crc32String(action->getName().c_str());
        auto named = m_actionsByName.find(symbol);
        if (named != m_actionsByName.end() && named->second == action) {
            m_actionsByName.erase(named);
            // Another action of the same name, bound before this one went, stays findable.
            for (afAction* other : m_actions) {
                if (zem::crc32String(other->getName().c_str()) == symbol && !other->getName().empty()) {
                    m_actionsByName.emplace(symbol, other);
                    break;
                }
            }
        }
    }
    // A copy: the invokers take the triggers off the action's list.
    std::vector<afActionTrigger*> triggers = action->getTriggers();
    for (auto it = triggers.rbegin(); it != triggers.rend(); ++it) {
        afActionInvoker* invoker = getInvoker((*it)->getEventType());
        if (invoker)
            invoker->removeTrigger(action, *it);
    }
    action->m_registered = false;
    delete action;
}

afAction* afActionRegistry::findAction(const wchar_t* name) const {
    if (!name || !*name)
        return nullptr;
    auto it = m_actionsByName.find(zem::crc32String(name));
    return it == m_actionsByName.end() ? nullptr : it->second;
}

void afActionRegistry::addInvoker(afActionInvoker* invoker, uint32_t eventType) {
    if (invoker)
        m_invokers.emplace(eventType, invoker);
}

void afActionRegistry::removeInvoker(afActionInvoker* invoker) {
    for (auto it = m_invokers.begin(); it != m_invokers.end();) {
        if (it->second == invoker)
            it = m_invokers.erase(it);
        else
            ++it;
    }
}

void afActionRegistry::addInvoker(afIKeyInvoker* invoker, uint32_t eventType) {
    addInvoker(dynamic_cast<afActionInvoker*>(invoker), eventType);
}

void afActionRegistry::removeInvoker(afIKeyInvoker* invoker) {
    afActionInvoker* actionInvoker = dynamic_cast<afActionInvoker*>(invoker);
    if (actionInvoker)
        removeInvoker(actionInvoker);
}

void afActionRegistry::addInvoker(afActionInvokerKey* invoker, uint32_t eventType) {
    addInvoker(static_cast<afActionInvoker*>(invoker), eventType);
}

void afActionRegistry::removeInvoker(afActionInvokerKey* invoker) {
    removeInvoker(static_cast<afActionInvoker*>(invoker));
}

afActionInvoker* afActionRegistry::getInvoker(uint32_t eventType) const {
    auto it = m_invokers.find(eventType);
    return it == m_invokers.end() ? nullptr : it->second;
}

size_t afActionRegistry::findActions(afActionMatchList& matches, ScopePath& context) {
    ScopeSelectorMatcher matcher(context);
    size_t appended = 0;
    for (afAction* action : m_actions) {
        ScopeMatch result;
        if (!matcher.match(action->getSelector(), result, true))
            continue;
        matches.push_back(afActionMatch{result.score, 0, action, nullptr});
        ++appended;
    }
    return appended;
}

} // namespace corvel
