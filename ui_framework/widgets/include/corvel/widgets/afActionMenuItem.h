// A menu item that runs an action, given directly or by name (resolved in the registry
// when the menu is prepared, or at the latest when the item is chosen). It shows the action's title, key or tab word, and is
// enabled exactly while the action's handler is live.
#pragma once
#include "corvel/widgets/afMenuItem.h"

namespace corvel {

class afAction;

class afActionMenuItem : public afMenuItem {
public:
    afActionMenuItem(const std::wstring& title, const std::wstring& actionName);
    explicit afActionMenuItem(afAction* action);

    std::wstring getTitle() const override;
    const wchar_t* getTabText() const override;
    const wchar_t* getKeyText() const override;
    bool isEnabled() override;
    void activate(void* argument) override;

    virtual afAction* getAction() const { return m_action; }
    virtual const std::wstring& getActionName() const { return m_actionName; }
    // Runs the action with argument as the event's context; logs without an action.
    virtual void execute(void* argument);

private:
    void resolveAction();

    afAction* m_action;
    std::wstring m_actionName;
};

} // namespace corvel
