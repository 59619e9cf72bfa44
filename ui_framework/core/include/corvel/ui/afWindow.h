// The top-level window of the view tree: result code and nested modal loop, the close
// protocol, keyboard navigation between controls, the default button, one deferred
// layout pass per turn of the message loop, and its placement under "app.windows".
#pragma once
#include "corvel/ui/afWidget.h"

#include <string>

namespace corvel {

class Config;

class afWindow : public afWidget {
public:
    static constexpr uint32_t RESULT_CANCEL = 0x5616c572u;
    static constexpr uint32_t RESULT_OK = 0x79dcdd47u;
    // 1: keep the client size, at least the minimum; 2: take the content's measured size.
    enum SizeMode { SIZE_KEEP = 1, SIZE_CONTENT = 2 };

    typedef bool (*CloseFunction)(void* object, afWindow* window);

    explicit afWindow(afView* owner);

    // afView and platform-view overrides.
    const wchar_t* getTypeName() const override;
    bool isRoot() const override { return m_modal || getOwner() == nullptr; }
    void attach() override;
    void detach() override;
    void onChildAdded(afView* child, int index) override;
    void onChildRemoved(afView* child) override;
    void setFrame(const afRect& frame) override;
    void requestLayout(const char* reason) override;
    bool onKeyDown(afEvent* event) override;
    void requestFocus() override;
    bool setFocus(afView* view) override;
    bool buildSeed(Seed& seed) override;
    void onChildFocus(afView* view, bool gained) override;
    bool preTranslate(MSG* message) override;
    bool onRawMessage(afMessage* message) override;
    void onCreated() override;
    void onAttached() override;

    // Added operations.
    virtual uint32_t runModal();
    virtual void show();
    virtual void close(uint32_t result);
    virtual void accept() { close(RESULT_OK); }
    virtual void cancel();
    virtual bool isModalOrVisible() const { return m_modal || isVisible(); }
    virtual void setTitle(const wchar_t* title);
    virtual void validateLayout();
    virtual void setWindowFrame(const afRect& rect);
    virtual bool onCloseRequest();
    virtual void onActivate(bool active) { (void)active; }
    virtual uint32_t enterModal();
    virtual void leaveModal();
    virtual bool queryClose();
    virtual void restorePlacement(Config& config);
    virtual void savePlacement(Config& config);
    virtual void saveState(Config* config);
    virtual void loadState(Config* config);

    uint32_t runModalLoop();
    void endModal(uint32_t result);
    void setDefaultButton(afView* button, bool temporary);
    afView* getDefaultButton() const { return m_currentDefault; }
    void setSizeModes(int widthMode);
    void setSizeModes(int widthMode, int heightMode) {
        m_widthMode = widthMode;
        m_heightMode = heightMode;
    }
    void disableOwners(bool all);
    void reenableOwners();
    afView* nextTabView(afView* from);
    afView* previousTabView(afView* from);
    bool hideOnOutsideInput(const MSG& message);
    void hide() { setVisible(false, false); }

    void setCloseCallback(void* object, CloseFunction function) { m_close.set(object, function); }
    void setHideOnClose(bool on) { m_hideOnClose = on; }
    void setMnemonicsNeedAlt(bool on) { m_mnemonicsNeedAlt = on; }
    // Names the window's entry under "app.windows" and turns placement on.
    void setPlacementKey(const std::wstring& key) {
        m_placementKey = key;
        m_placementOff = false;
    }
    void setRestoreState(bool on) { m_restoreState = on; }
    bool isModal() const { return m_modal; }
    bool isLayoutPending() const { return m_layoutPending; }
    uint32_t getResult() const { return m_result; }
    const std::wstring& getTitle() const { return m_title; }
    // The registered message of the deferred layout pass.
    static UINT postValidateLayoutMessage();

protected:
    // Alt+character or a plain character (when Alt is not needed): moves the focus.
    bool dispatchMnemonic(wchar_t character, bool alt);
    afView* tabView(afView* from, bool previous);
    void endLoop(uint32_t result);
    // After a modal run: the focus back to the view that had it before.
    static void restoreFocus(HWND focused);

    std::wstring m_title = L"afWindow";
    afCallback<CloseFunction> m_close;
    int m_widthMode = SIZE_KEEP;
    int m_heightMode = SIZE_KEEP;
    bool m_hideOnClose = true;
    bool m_mnemonicsNeedAlt = true;
    bool m_layoutPending = false;
    bool m_modal = false;
    bool m_closing = false;
    bool m_loopEnd = false;
    uint32_t m_result = RESULT_OK;
    afView* m_lastFocus = nullptr;
    HWND m_lastFocusHandle = nullptr;
    afView* m_defaultButton = nullptr;
    afView* m_currentDefault = nullptr;
    bool m_placementOff = true;
    std::wstring m_placementKey;
    bool m_restoreState = false;
    int m_nextControlId = 1;
    HWND m_disabledOwner = nullptr;
};

} // namespace corvel
