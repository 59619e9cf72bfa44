// The application's one table of actions, handler classes and invokers. Actions and
// handler classes are found by the symbol of their name; invokers by event type.
#pragma once
#include "corvel/ui/afWidgetKit.h"
#include "corvel/widgets/afActionMatch.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace corvel {

class afAction;
class afActionInvoker;
class afActionInvokerKey;
struct afActionHandlerClass;
class ScopePath;

class afActionRegistry : public afIActionRegistry {
public:
    // The first registry made becomes the process's live one until it is destroyed.
    afActionRegistry();
    // Deletes every action still registered, then the handler classes. Invokers belong
    // to their owners.
    ~afActionRegistry() override;
    afActionRegistry(const afActionRegistry&) = delete;
    afActionRegistry& operator=(const afActionRegistry&) = delete;

    static afActionRegistry* getInstance();

    // Made on first use with no live handler; null for an empty or null name.
    afActionHandlerClass* getHandlerClass(const wchar_t* name);

    // Takes ownership. A named action enters the name table unless the name is taken.
    afAction* addAction(afAction* action);
    // Unbinds every trigger through its invoker and deletes the action. An action that is
    // not registered here is left alone. When the action held its name, the next
    // registered action of that name takes the name over.
    void removeAction(afAction* action);
    // Null for an empty or unknown name.
    afAction* findAction(const wchar_t* name) const;
    const std::vector<afAction*>& getActions() const { return m_actions; }

    // A type that has an invoker keeps it; null is ignored.
    void addInvoker(afActionInvoker* invoker, uint32_t eventType);
    // Drops every type the invoker serves.
    void removeInvoker(afActionInvoker* invoker);
    // The framework's start-up and shutdown hand the key invoker over through its interface.
    void addInvoker(afIKeyInvoker* invoker, uint32_t eventType) override;
    void removeInvoker(afIKeyInvoker* invoker) override;
    // The key invoker is both kinds: these pick the plain path.
    void addInvoker(afActionInvokerKey* invoker, uint32_t eventType);
    void removeInvoker(afActionInvokerKey* invoker);
    afActionInvoker* getInvoker(uint32_t eventType) const;

    // Appends {score, 0, action, null} for every action, in registration order, whose
    // selector matches the context anchored (empty selectors never match). Returns the
    // number appended.
    size_t findActions(afActionMatchList& matches, ScopePath& context);

private:
    std::map<uint32_t, std::unique_ptr<afActionHandlerClass>> m_handlerClasses;
    std::map<uint32_t, afActionInvoker*> m_invokers;
    std::vector<afAction*> m_actions;              // owned, in registration order
    std::map<uint32_t, afAction*> m_actionsByName; // each entry is in m_actions
};

} // namespace corvel
