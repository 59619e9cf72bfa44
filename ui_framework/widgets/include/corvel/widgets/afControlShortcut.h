// A field in which the user presses a key combination to assign it (a snippet's key). At
// rest it looks like a push button showing the combination; clicked, or given Enter or
// Space, it captures: the held modifiers show as they are pressed and the first other key
// with them becomes the combination. Escape cancels, Backspace or Delete clears.
#pragma once
#include "corvel/ui/afWidget.h"
#include "zem/base/CallbackList.h"

#include <string>

namespace corvel {

class afControlShortcut : public afWidget {
public:
    enum State { STATE_IDLE = 0, STATE_FOCUSED = 1, STATE_CAPTURING = 2 };
    // Told when the committed key changes.
    typedef zem::CallbackList<void(afControlShortcut*)> ChangeListeners;

    explicit afControlShortcut(afView* parent) : afWidget(parent) {}
    ~afControlShortcut() override;

    // Null for a null parent.
    static afControlShortcut* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onKeyDown(afEvent* event) override;
    bool onKeyUp(afEvent* event) override;
    bool onMouseDown(afEvent* event) override;
    bool onMouseMove(afEvent* event) override;
    bool onMouseLeave(afEvent* event) override;
    void onFocusIn() override;
    void onFocusOut() override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // The committed key code (modifiers << 8 | virtual key); 0 for none.
    void setKey(int code);
    int getKey() const { return m_key; }
    // Key-name text; text that does not read as a key sets 0.
    void setShortcutText(const std::wstring& text);
    int getShownKey() const { return m_shown; }
    // The shown key's text; empty for key 0.
    const std::wstring& getShownText() const { return m_shownText; }
    State getState() const { return m_state; }
    bool isHot() const { return m_hot; }
    bool hasSelectedLook() const { return m_selectedLook; }
    ChangeListeners& changeListeners() { return m_changeListeners; }

private:
    void showKey(int code);
    void commit(int code);
    void startCapture();
    void setHot(bool hot);
    int buttonState() const;

    int m_key = 0;   // committed
    int m_shown = 0; // what the field shows, modifiers included while they are held
    std::wstring m_shownText;
    State m_state = STATE_IDLE;
    bool m_hot = false;
    bool m_selectedLook = false; // from the start of a capture to its first key press
    HTHEME m_buttonTheme = nullptr;
    ChangeListeners m_changeListeners;
};

} // namespace corvel
