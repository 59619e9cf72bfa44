// A named command, limited to contexts by a scope selector, that runs a method of its
// handler class's live handler. Command tables make them; the registry owns them once added.
#pragma once
#include "corvel/widgets/afActionHandler.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class afActionEvent;
class afActionTrigger;
class ScopeSelector;

class afAction {
public:
    // Null texts count as empty. A scope text that does not compile throws the selector's
    // exception.
    afAction(int kind, afActionHandlerClass* handlerClass, const wchar_t* name, const wchar_t* scopeText,
             int sourceKind, afActionMethod method);
    virtual ~afAction();
    afAction(const afAction&) = delete;
    afAction& operator=(const afAction&) = delete;

    virtual std::wstring getTitle() const = 0;
    // The name of the action's source: the product for built-in actions, a bundle's name
    // for actions made from bundle entries.
    virtual const std::wstring& getSource() const = 0;

    // Appends unless already listed.
    void addTrigger(afActionTrigger* trigger);
    // False when the trigger was not listed.
    bool removeTrigger(afActionTrigger* trigger);
    // The first listed trigger of the event type, or null.
    afActionTrigger* findTrigger(uint32_t eventType) const;
    const std::vector<afActionTrigger*>& getTriggers() const { return m_triggers; }

    // Runs the handler method on the live handler; false without one. The caller fills
    // the event's action and trigger.
    bool execute(afActionEvent* event);
    bool isEnabled() const;

    int getKind() const { return m_kind; }
    int getSourceKind() const { return m_sourceKind; }
    uint32_t getTypeTag() const { return m_typeTag; }
    const std::wstring& getName() const { return m_name; }
    const std::wstring& getScopeText() const { return m_scopeText; }
    const ScopeSelector& getSelector() const { return *m_selector; }
    afActionHandlerClass* getHandlerClass() const { return m_handlerClass; }
    bool isRegistered() const { return m_registered; }

protected:
    // Kinds of action that carry fields of their own mark themselves, so that a handler
    // can tell them before it reads those fields.
    void setTypeTag(uint32_t tag) { m_typeTag = tag; }

private:
    friend class afActionRegistry;

    bool m_registered = false; // set by afActionRegistry::addAction, cleared by removeAction
    uint32_t m_typeTag = 0x218568E4u;
    int m_kind;
    std::wstring m_name;
    std::wstring m_scopeText;
    std::unique_ptr<ScopeSelector> m_selector; // never null
    int m_sourceKind;
    std::vector<afActionTrigger*> m_triggers; // owned by their invokers, in binding order
    afActionHandlerClass* m_handlerClass;
    afActionMethod m_method;
};

} // namespace corvel
