// A menu entry that can be chosen: callbacks decide whether it is enabled and what it does;
// the key or tab text shows right-aligned.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/widgets/afMenuNode.h"

namespace corvel {

class afMenuItem : public afMenuNode {
public:
    typedef Callback<bool(afMenuItem* item)> EnabledCallback;
    typedef Callback<void(void* argument, afMenuItem* item)> ActivateCallback;

    afMenuItem(const std::wstring& title, int kind = ITEM, const std::wstring& keyText = std::wstring(),
               afIcon* icon = nullptr)
        : afMenuNode(title, kind, icon), m_keyText(keyText) {}

    // Null when empty.
    virtual const wchar_t* getTabText() const { return m_tabText.empty() ? nullptr : m_tabText.c_str(); }
    virtual const wchar_t* getKeyText() const { return m_keyText.empty() ? nullptr : m_keyText.c_str(); }
    // True when no callback decides.
    virtual bool isEnabled();
    virtual void activate(void* argument);
    virtual void setChecked(bool checked) { m_checked = checked ? 1 : 0; }
    virtual void setSecondFlag(bool value) { m_second = value ? 1 : 0; }
    virtual bool isChecked() const { return m_checked != 0; }
    virtual bool getSecondFlag() const { return m_second != 0; }

    void runCommand() override { activate(nullptr); }
    void setTabText(const std::wstring& text) { m_tabText = text; }

    EnabledCallback enabledCallback;
    ActivateCallback activateCallback;

private:
    std::wstring m_keyText;
    std::wstring m_tabText;
    uint8_t m_checked = 0;
    uint8_t m_second = 0; // nothing draws it
};

} // namespace corvel
