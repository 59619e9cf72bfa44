// What starts an action: a key, a typed character or a tab word. Triggers belong to the
// invoker of their event type; the action only lists them.
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class afAction;

class afActionTrigger {
public:
    afActionTrigger(afAction* action, uint32_t eventType) : m_action(action), m_eventType(eventType) {}
    virtual ~afActionTrigger() = default;
    afActionTrigger(const afActionTrigger&) = delete;
    afActionTrigger& operator=(const afActionTrigger&) = delete;

    // The text menus and choosers show for the trigger.
    virtual const std::wstring& getText() const = 0;

    afAction* getAction() const { return m_action; }
    uint32_t getEventType() const { return m_eventType; }

private:
    afAction* m_action;
    uint32_t m_eventType;
};

} // namespace corvel
