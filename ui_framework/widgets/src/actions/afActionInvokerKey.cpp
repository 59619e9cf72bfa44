#include "corvel/widgets/afActionInvokerKey.h"

#include "corvel/document/ScopeSelector.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afViewPlatform.h"
#include "corvel/ui/afWindow.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionTriggerKey.h"

#include <iterator>

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
    // The lists borrow the capacity of earlier presses (a press on the typing path should
    // not allocate); a nested press from a handler or the chooser gets fresh ones.
    afActionMatchList all = std::move(m_spareAll);
    afActionMatchList priority = std::move(m_sparePriority);
    all.clear();
    priority.clear();
    auto range = m_keys.equal_range(keyCode);
    size_t bound = static_cast<size_t>(std::distance(range.first, range.second));
    for (auto it = range.first; it != range.second; ++it) {
        afActionTriggerKey* trigger = it->second;
        ScopeMatch result;
        if (!matcher.match(trigger->getAction()->getSelector(), result, false) || result.score < best)
            continue;
        afActionMatch match{result.score, 0, trigger->getAction(), trigger};
        if (trigger->isPriority()) {
            if (priority.empty())
                priority.reserve(bound);
            if (result.score > priorityBest) {
                priority.clear();
                priorityBest = result.score;
            }
            priority.push_back(match);
        }
        if (all.empty())
            all.reserve(bound);
        if (result.score > best) {
            all.clear();
            best = result.score;
        }
        all.push_back(match);
    }
    afActionMatchList& candidates = priority.size() == 1 ? priority : all;
    bool consumed = !candidates.empty();
    if (consumed)
        runChosen(candidates, context, widget);
    m_spareAll = std::move(all);
    m_sparePriority = std::move(priority);
    return consumed;
}

void afActionInvokerKey::runChosen(afActionMatchList& candidates, ScopePath& context, afView* widget) {
    if (candidates.size() > 1)
        sortActionMatchesByScore(candidates);
    int picked = chooseAction(candidates, widget);
    if (picked >= 0 && static_cast<size_t>(picked) < candidates.size()) {
        afActionMatch match = candidates[picked];
        afActionEventKey event(afActionEventType::KEY);
        event.action = match.action;
        event.trigger = match.trigger;
        event.context = &context;
        match.action->execute(&event);
    }
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

namespace corvel {
namespace {

afView* widgetFor(afView* target) {
    if (target)
        return target;
    afView* foreground = afViewPlatform::viewFromHandle(GetForegroundWindow());
    if (foreground)
        return foreground;
    afApp* app = afApp::getInstance();
    return app ? app->m_mainWindow : nullptr;
}

bool isAltKey(WPARAM key) {
    return key == VK_MENU || key == VK_LMENU || key == VK_RMENU;
}

bool isMousePress(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

bool afActionInvokerKey::preTranslateMessage(afView* target, const MSG& message) {
    if (isMousePress(message.message)) {
        // As the system does: a mouse action between Alt's press and release cancels the
        // menu bar that the release would activate.
        if (GetKeyState(VK_MENU) < 0)
            m_altChordConsumed = true;
        return false;
    }
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        break;
    default:
        return false;
    }
    afView* widget = widgetFor(target);
    if (!widget)
        return false;
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return onKeyDown(widget, message);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return onKeyUp(widget, message);
    default:
        if (m_keyHandled)
            return true;
        wchar_t character = static_cast<wchar_t>(message.wParam & 0xFFFF);
        if (character == 0)
            return false;
        return invokeChar(widget->getScopePath(), character);
    }
}

bool afActionInvokerKey::onKeyDown(afView* widget, const MSG& message) {
    // A fresh press of Alt starts over: what ended an earlier one must not swallow this release.
    bool repeat = (message.lParam & (1 << 30)) != 0;
    if (isAltKey(message.wParam) && !repeat)
        m_altChordConsumed = false;
    afEvent event(message, static_cast<unsigned>(message.wParam & 0xFF));
    if (widget->dispatchKeyDown(&event)) {
        m_keyHandled = 1;
        return true;
    }
    int keyCode = event.getKeyCode();
    if (afKey::isModifier(keyCode))
        return false;
    m_keyHandled = 0;
    m_altChordConsumed = false;
    if (keyCode == 0)
        return false;
    if (!invokeKey(widget->getScopePath(), widget, keyCode))
        return false;
    m_keyHandled = 1;
    m_altChordConsumed = (keyCode & (afKey::ALT | afKey::RIGHT_ALT)) != 0;
    return true;
}

bool afActionInvokerKey::onKeyUp(afView* widget, const MSG& message) {
    afEvent event(message, static_cast<unsigned>(message.wParam & 0xFF));
    if (widget->dispatchKeyUp(&event)) {
        m_keyHandled = 1;
        return true;
    }
    if (m_altChordConsumed && isAltKey(message.wParam)) {
        m_altChordConsumed = false;
        return true;
    }
    return false;
}

} // namespace corvel
