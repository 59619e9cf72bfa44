#include "corvel/widgets/afActionInvokerKey.h"

#include "corvel/document/ScopeSelector.h"
#include "corvel/ui/afKey.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionTriggerKey.h"

namespace corvel {

afActionInvokerKey::afActionInvokerKey(afActionRegistry* registry) : afActionInvoker(registry) {}

afActionInvokerKey::~afActionInvokerKey() {
    for (auto& entry : m_keys)
        delete entry.second;
    for (auto& entry : m_chars)
        delete entry.second;
}

afAction* afActionInvokerKey::bindKey(afAction* action, int keyCode, bool priority) {
    if (!action || keyCode == 0)
        return action;
    afActionTriggerKey* trigger = new afActionTriggerKey(action, keyCode, priority);
    m_keys.emplace(keyCode, trigger);
    action->addTrigger(trigger);
    return action;
}

afAction* afActionInvokerKey::bindShortcut(afAction* action, const wchar_t* keyText, bool priority) {
    int keyCode = keyText ? afKey::parse(std::wstring(keyText)) : 0;
    return bindKey(action, keyCode, priority);
}

afAction* afActionInvokerKey::bindChar(afAction* action, wchar_t character) {
    if (!action || character == 0)
        return action;
    afActionTriggerKey* trigger = new afActionTriggerKey(action, character);
    m_chars.emplace(static_cast<int>(character), trigger);
    action->addTrigger(trigger);
    return action;
}

bool afActionInvokerKey::eraseFrom(Table& table, int key, afActionTriggerKey* trigger) {
    auto range = table.equal_range(key);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == trigger) {
            table.erase(it);
            return true;
        }
    }
    return false;
}

void afActionInvokerKey::removeTrigger(afAction* action, afActionTrigger* trigger) {
    if (!action || !trigger || trigger->getAction() != action)
        return;
    afActionTriggerKey* keyTrigger = nullptr;
    bool erased = false;
    if (trigger->getEventType() == afActionEventType::KEY) {
        keyTrigger = static_cast<afActionTriggerKey*>(trigger);
        erased = eraseFrom(m_keys, keyTrigger->getKeyCode(), keyTrigger);
    } else if (trigger->getEventType() == afActionEventType::CHARACTER) {
        keyTrigger = static_cast<afActionTriggerKey*>(trigger);
        erased = eraseFrom(m_chars, keyTrigger->getCharacter(), keyTrigger);
    }
    if (!erased)
        return;
    action->removeTrigger(trigger);
    delete keyTrigger;
}

bool afActionInvokerKey::invokeKey(ScopePath& context, afView* widget, int keyCode) {
    ScopeSelectorMatcher matcher(context);
    uint64_t best = 0;
    uint64_t priorityBest = 0;
    afActionMatchList all;
    afActionMatchList priority;
    auto range = m_keys.equal_range(keyCode);
    for (auto it = range.first; it != range.second; ++it) {
        afActionTriggerKey* trigger = it->second;
        ScopeMatch result;
        if (!matcher.match(trigger->getAction()->getSelector(), result, false) || result.score < best)
            continue;
        afActionMatch match{result.score, 0, trigger->getAction(), trigger};
        if (trigger->isPriority()) {
            if (result.score > priorityBest) {
                priority.clear();
                priorityBest = result.score;
            }
            priority.push_back(match);
        }
        if (result.score > best) {
            all.clear();
            best = result.score;
        }
        all.push_back(match);
    }
    afActionMatchList& candidates = priority.size() == 1 ? priority : all;
    if (candidates.empty())
        return false;
    sortActionMatchesByScore(candidates);
    int picked = chooseAction(candidates, widget);
    if (picked >= 0 && static_cast<size_t>(picked) < candidates.size()) {
        const afActionMatch& match = candidates[picked];
        afActionEventKey event(afActionEventType::KEY);
        event.action = match.action;
        event.trigger = match.trigger;
        event.context = &context;
        match.action->execute(&event);
    }
    return true;
}

bool afActionInvokerKey::invokeChar(ScopePath& context, wchar_t character) {
    ScopeSelectorMatcher matcher(context);
    afActionEventKey event(afActionEventType::CHARACTER);
    uint64_t best = 0;
    auto range = m_chars.equal_range(static_cast<int>(character));
    for (auto it = range.first; it != range.second; ++it) {
        ScopeMatch result;
        if (!matcher.match(it->second->getAction()->getSelector(), result, false) || result.score == 0)
            continue;
        // The best score wins; among equals the last bound, so a later pair of the same
        // scope overrides an earlier one while a language's own pair beats a general one.
        if (result.score < best)
            continue;
        best = result.score;
        event.action = it->second->getAction();
        event.trigger = it->second;
    }
    if (!event.action)
        return false;
    return event.action->execute(&event);
}

} // namespace corvel
