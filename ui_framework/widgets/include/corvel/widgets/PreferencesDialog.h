// A frame of tabs holding the pages the preferences manager's subscribers add, with the
// Apply, OK and Cancel protocol run through the manager's handler lists.
#pragma once
#include "corvel/ui/afWindow.h"

namespace corvel {

class PreferencesManager;
class afControlButton;
class afControlTabs;

class PreferencesDialog : public afWindow {
public:
    static constexpr uint32_t RESULT_APPLY = 0xbd2f8c1fu;

    PreferencesDialog(afView* owner, PreferencesManager* manager);

    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    void onDestroy() override;

    // Adds page as a tab titled with the page's text.
    void addPage(afViewPlatform* page);

    afControlTabs* getTabs() const { return m_tabs; }
    afControlButton* getApplyButton() const { return m_apply; }
    afControlButton* getOkButton() const { return m_ok; }
    afControlButton* getCancelButton() const { return m_cancel; }

private:
    static void onClick(void* self, afControlButton* button);

    PreferencesManager* m_manager; // not owned
    afControlTabs* m_tabs = nullptr;
    afControlButton* m_apply = nullptr;
    afControlButton* m_ok = nullptr;
    afControlButton* m_cancel = nullptr;
};

} // namespace corvel
