// A window-less button drawn with the widget palette: an icon, a label, a lighter text
// and a side icon (a tab's close box). Tabs, status texts and tool buttons are made of it.
// Clicks go to one callback with the event (its detail names the mouse button), the side
// icon has a callback of its own, and pulling the button past the drag distance calls the
// drag callback. Main thread only.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/ui/afViewVirtual.h"

#include <cstdint>
#include <string>

namespace corvel {

class afFont;
class afIcon;

class ViewVirtualButton : public afViewVirtual {
public:
    enum : int { STATE_NORMAL = 0, STATE_HIGHLIGHTED = 1, STATE_PRESSED = 2, STATE_WARNING = 3 };
    enum : int { EDGE_LEFT = 1, EDGE_TOP = 2, EDGE_RIGHT = 4, EDGE_BOTTOM = 8 };
    // Label and text flags: the bold font, the underlined link font in the highlighted
    // colour (exactly 4), an ampersand shown as itself.
    enum : int { TEXT_BOLD = 2, TEXT_LINK = 4, TEXT_NO_PREFIX = 8 };
    static constexpr int GAP = 4; // between icon, label, text and side icon

    // The button and the mouse event that clicked it (detail 1 left, 2 right, 4 middle).
    typedef Callback<void(ViewVirtualButton*, afEvent*)> EventCallback;

    explicit ViewVirtualButton(afView* owner);

    const wchar_t* getTypeName() const override;
    void onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;
    bool onMouseDown(afEvent* event) override;
    bool onMouseMove(afEvent* event) override;
    bool onMouseLeave(afEvent* event) override;
    bool onMouseUp(afEvent* event) override;

    void setLabel(const std::wstring& label);
    void setText(const std::wstring& text);
    void setLabelFlags(int flags);
    void setTextFlags(int flags);
    void setState(int state);
    void setHover(int hover);
    // Non-zero takes the palette's fills 16 higher.
    void setStyle(uint8_t style);
    void setEdges(int edges);
    void setIcon(const afIcon* icon);
    void setSideIcon(const afIcon* icon, const afIcon* hotIcon, void* user, EventCallback::Function function);
    void setClick(void* user, EventCallback::Function function);
    void setDrag(void* user, EventCallback::Function function);

    const std::wstring& getLabel() const { return m_label; }
    const std::wstring& getText() const { return m_text; }
    int getLabelFlags() const { return m_labelFlags; }
    int getTextFlags() const { return m_textFlags; }
    int getState() const { return m_state; }
    int getHover() const { return m_hover; }
    uint8_t getStyle() const { return m_style; }
    int getEdges() const { return m_edges; }
    const afIcon* getIcon() const { return m_icon; }
    // The side icon drawn now: the hot one while the pointer is over it.
    const afIcon* getShownSideIcon() const { return m_sideShown; }
    bool isClickable() const { return m_click.isBound(); }
    // The palette fill the background takes in the current state.
    int backgroundFill() const;
    // Whether a point in the button's own coordinates lies on the side icon's area.
    bool isOverSideIcon(int x) const;

private:
    // The event's point in the button's own coordinates.
    POINT localPoint(const afEvent* event) const;
    void relayout(const char* reason);
    // What the button measures itself at, at least its minimum size; 0 x 0 without a canvas.
    SIZE contentSize();
    void setShownSideIcon(const afIcon* icon);

    std::wstring m_label;
    std::wstring m_text;
    const afIcon* m_icon = nullptr;      // not owned
    const afIcon* m_side = nullptr;      // not owned
    const afIcon* m_sideHot = nullptr;   // not owned
    const afIcon* m_sideShown = nullptr; // m_side or m_sideHot
    EventCallback m_sideClick;
    EventCallback m_click;
    EventCallback m_drag;
    int m_state = STATE_NORMAL;
    int m_hover = 0;
    uint8_t m_style = 0;
    int m_edges = 0;
    int m_labelFlags = 0;
    int m_textFlags = 0;
    POINT m_pressPoint{0, 0}; // screen coordinates of the last press
    bool m_dragArmed = false;
};

} // namespace corvel
