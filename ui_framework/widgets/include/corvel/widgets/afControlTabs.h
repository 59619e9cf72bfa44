// The native tab control with one page view per tab: only the selected tab's page shows,
// filling the control inside its tab strip. Listeners may refuse a change of tab, and
// Ctrl+Tab can step through the tabs.
#pragma once
#include "corvel/widgets/afControl.h"
#include "zem/base/CallbackList.h"

#include <string>

namespace corvel {

class afLayoutLinear;

class afControlTabs : public afControl {
public:
    // Asked before the shown page changes (current page, new page); false refuses.
    typedef zem::CallbackList<bool(afView*, afView*)> CanChangeListeners;

    explicit afControlTabs(afView* parent) : afControl(parent) {}

    // Null for a null parent.
    static afControlTabs* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onRawMessage(afMessage* message) override;
    bool onNotify(afMessage* message) override;
    bool onKeyDown(afEvent* event) override;

    // Appends a tab showing page (hidden until its tab is selected); returns its index.
    int addTab(const std::wstring& title, afView* page);
    // Nothing for an index outside the tabs.
    void setCurrentTab(int index);
    int getCurrentTab() const;
    int getTabCount() const;
    // Null for an index outside the tabs.
    afView* getPage(int index) const;
    afView* getCurrentPage() const { return m_currentPage; }
    void enableKeyboardSwitching() { m_keyboardSwitching = true; }
    CanChangeListeners& canChangeListeners() { return m_canChange; }

protected:
    virtual void onTabChanged(int index);

private:
    // Keeps the pages clear of the tab strip.
    void updatePagePadding();

    afLayoutLinear* m_pages = nullptr; // the content view; its children are the pages
    afView* m_currentPage = nullptr;
    int m_currentIndex = -1;
    CanChangeListeners m_canChange;
    bool m_keyboardSwitching = false;
};

} // namespace corvel
