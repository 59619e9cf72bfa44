// The window kinds: the main window (ends the application's loop when destroyed), the
// dialog, the task window (placed relative to its owner) and the hint popup.
#pragma once
#include "corvel/ui/afWindow.h"

#include <string>

namespace corvel {

class afWindowMain : public afWindow {
public:
    afWindowMain() : afWindow(nullptr) { setHideOnClose(false); }
    const wchar_t* getTypeName() const override;
    bool onKeyDown(afEvent*) override { return false; }
    bool onRawMessage(afMessage* message) override;
};

class afWindowDialog : public afWindow {
public:
    explicit afWindowDialog(afView* owner) : afWindow(owner) {}
    bool buildSeed(Seed& seed) override;
};

class afTaskWindow : public afWindow {
public:
    explicit afTaskWindow(afView* owner) : afWindow(owner) {}
    bool buildSeed(Seed& seed) override;
    // The rectangle counts from the owner's top-left corner on the screen.
    void setWindowFrame(const afRect& rect) override;
};

class afWindowHint : public afWindow {
public:
    explicit afWindowHint(afView* owner) : afWindow(owner) {}
    bool buildSeed(Seed& seed) override;
    void onCreated() override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
    void setHintText(const std::wstring& text);
    const std::wstring& getHintText() const { return m_hint; }

private:
    std::wstring m_hint;
};

} // namespace corvel
