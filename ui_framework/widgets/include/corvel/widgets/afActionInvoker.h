// Base of the objects that keep the triggers of one or more event types and decide,
// from input, which action runs.
#pragma once

namespace corvel {

class afAction;
class afActionRegistry;
class afActionTrigger;

class afActionInvoker {
public:
    explicit afActionInvoker(afActionRegistry* registry) : m_registry(registry) {}
    virtual ~afActionInvoker() = default;
    afActionInvoker(const afActionInvoker&) = delete;
    afActionInvoker& operator=(const afActionInvoker&) = delete;

    // Unbinds and deletes a trigger of the action; triggers it does not keep are ignored.
    virtual void removeTrigger(afAction* action, afActionTrigger* trigger) = 0;

    afActionRegistry* getRegistry() const { return m_registry; }

private:
    afActionRegistry* m_registry;
};

} // namespace corvel
