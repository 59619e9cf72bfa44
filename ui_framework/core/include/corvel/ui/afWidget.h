// The concrete platform view of controls and containers, and the one window procedure
// of every framework window and subclassed native control.
#pragma once
#include "corvel/ui/afViewPlatform.h"

#include <set>

namespace corvel {

class afWidget : public afViewPlatform {
public:
    explicit afWidget(afView* owner) : afViewPlatform(owner) {}
    // Destroys the window when it still exists.
    ~afWidget() override;

    const wchar_t* getTypeName() const override;
    bool isMnemonic(wchar_t character) const override;
    void setFrame(const afRect& frame) override;
    bool onMnemonic(wchar_t character) override;

    void addMnemonic(wchar_t character);

    static LRESULT CALLBACK s_WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Raises, once, the exception that a WM_CREATE handler raised during the last
    // CreateWindowExW; nothing when there was none.
    static void rethrowCreateFailure();

private:
    static LRESULT dispatchMessage(afViewPlatform* view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::set<wchar_t> m_mnemonics; // upper-cased
    afRect m_lastMapped;           // the native window's last position in its host
    bool m_positioned = false;
};

} // namespace corvel
