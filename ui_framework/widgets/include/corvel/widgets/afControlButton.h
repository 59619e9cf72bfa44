// A push button the framework draws itself: mouse, Space/Enter and mnemonic clicks, and
// the themed and classic looks by its state. It can be its window's default button.
#pragma once
#include "corvel/ui/afWidget.h"
#include "corvel/ui/afWidgetKit.h"

namespace corvel {

class afWindow;

class afControlButton : public afWidget, public afIButton {
public:
    typedef void (*ClickFunction)(void* object, afControlButton* button);

    enum : int { STATE_FOCUSED = 1, STATE_DISABLED = 2, STATE_HOT = 4, STATE_DEFAULT = 8, STATE_PRESSED = 16 };

    explicit afControlButton(afView* parent);

    // Null for a null parent.
    static afControlButton* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    bool onRawMessage(afMessage* message) override;
    bool onKeyDown(afEvent* event) override;
    bool onKeyUp(afEvent* event) override;
    bool onMnemonic(wchar_t character) override;
    void onFocusIn() override;
    void onFocusOut() override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // afIButton: Enter on the window presses its default button.
    void press() override { click(); }

    // Runs the click callback when set.
    void click();
    // The state bits painting goes by.
    int getState() const;
    bool isHot() const { return m_hot; }
    bool isMousePressed() const { return m_mousePressed; }
    bool isKeyPressed() const { return m_keyPressed != 0; }
    // Whether the owner window has this button as its default button.
    virtual bool isDefault() const;
    // Makes this button its owner window's default button (both looks repaint).
    void makeDefault();

    // Paints a push button with the given state bits and text into rect: the "BUTTON"
    // theme when theme is given, else the classic look. The shortcut field draws its
    // resting look with it too.
    static void paintButton(afCanvas& canvas, HTHEME theme, const RECT& rect, int state, const std::wstring& text);

    afCallback<ClickFunction> clickCallback;

private:
    afWindow* getOwnerWindowView() const;
    void setHot(bool hot);
    void mouseDown();
    void mouseMove(int x, int y);
    void mouseUp();

    bool m_hot = false;
    bool m_mousePressed = false;
    int m_keyPressed = 0; // VK_SPACE or VK_RETURN while a key holds the button down
};

} // namespace corvel
