#include "corvel/widgets/afControlButton.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWindow.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/createControl.h"
#include "takeFocus.h"

#include <algorithm>
#include <vsstyle.h>
#include <windowsx.h>

namespace corvel {

namespace {

// The frame colour of a classic default button, from the framework's colour table.
constexpr int DEFAULT_FRAME_COLOR = 27;
constexpr UINT TEXT_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

int themedState(int state) {
    if (state & afControlButton::STATE_DISABLED)
        return PBS_DISABLED;
    if (state & afControlButton::STATE_PRESSED)
        return PBS_PRESSED;
    if (state & (afControlButton::STATE_FOCUSED | afControlButton::STATE_DEFAULT))
        return PBS_DEFAULTED;
    if (state & afControlButton::STATE_HOT)
        return PBS_HOT;
    return PBS_NORMAL;
}

void frameRect(afCanvas& canvas, COLORREF color, afRect& rect) {
    canvas.drawTopEdge(color, rect);
    canvas.drawLeftEdge(color, rect);
    canvas.drawRightEdge(color, rect);
    canvas.drawBottomEdge(color, rect);
}

} // namespace

afControlButton::afControlButton(afView* parent) : afWidget(parent) {
    setPadding(20, 6, 20, 8);
    setMinimumSize(80, 25);
}

afControlButton* afControlButton::create(afView* parent) {
    return createControl<afControlButton>(parent);
}

const wchar_t* afControlButton::getTypeName() const {
    return afTypeName::BUTTON;
}

bool afControlButton::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afControlButton");
    seed.className = L"afControlButton";
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    seed.windowName = getText();
    setThemeClass(L"BUTTON");
    return true;
}

void afControlButton::click() {
    if (clickCallback.isBound())
        clickCallback.function(clickCallback.object, this);
}

afWindow* afControlButton::getOwnerWindowView() const {
    for (afView* view = getOwner(); view; view = view->getOwner()) {
        if (auto* window = dynamic_cast<afWindow*>(view))
            return window;
        if (view->getOwner() == view)
            break;
    }
    return nullptr;
}

bool afControlButton::isDefault() const {
    afWindow* window = getOwnerWindowView();
    return window && window->getDefaultButton() == static_cast<const afView*>(this);
}

void afControlButton::makeDefault() {
    if (afWindow* window = getOwnerWindowView())
        window->setDefaultButton(this, false);
}

int afControlButton::getState() const {
    if (m_hwnd && !IsWindowEnabled(m_hwnd))
        return STATE_DISABLED;
    int state = 0;
    if (hasFocus())
        state |= STATE_FOCUSED;
    if (m_hot)
        state |= STATE_HOT;
    if (isDefault())
        state |= STATE_DEFAULT;
    if ((m_mousePressed && m_hot) || m_keyPressed)
        state |= STATE_PRESSED;
    return state;
}

void afControlButton::setHot(bool hot) {
    if (hot == m_hot)
        return;
    m_hot = hot;
    invalidate();
}

void afControlButton::mouseDown() {
    setCapture(true);
    takeFocus(this);
    m_mousePressed = true;
    m_hot = true;
    invalidate();
}

void afControlButton::mouseMove(int x, int y) {
    if (m_mousePressed) {
        RECT client;
        GetClientRect(m_hwnd, &client);
        POINT point{x, y};
        setHot(PtInRect(&client, point) != FALSE);
        return;
    }
    if (!m_hot) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hwnd;
        TrackMouseEvent(&track);
    }
    setHot(true);
}

void afControlButton::mouseUp() {
    if (!m_mousePressed)
        return;
    // Released wherever the pointer is: the capture brings the release here, and a
    // release outside must let the capture go without clicking.
    setCapture(false);
    bool clicked = m_hot;
    m_mousePressed = false;
    invalidate();
    if (clicked)
        click();
}

bool afControlButton::onRawMessage(afMessage* message) {
    switch (message->message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseDown();
        return true;
    case WM_MOUSEMOVE:
        mouseMove(GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam));
        return true;
    case WM_LBUTTONUP:
        mouseUp();
        return true;
    case WM_MOUSELEAVE:
        if (!m_mousePressed)
            setHot(false);
        return true;
    case WM_CAPTURECHANGED:
        if (m_mousePressed && reinterpret_cast<HWND>(message->lParam) != m_hwnd) {
            m_mousePressed = false;
            invalidate();
        }
        return true;
    case WM_ENABLE:
        invalidate();
        return false;
    case WM_GETDLGCODE:
        message->result = isDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
        return true;
    default:
        return afWidget::onRawMessage(message);
    }
}

bool afControlButton::onKeyDown(afEvent* event) {
    int key = event->getKeyCode();
    if (key != VK_SPACE && key != VK_RETURN)
        return false;
    m_keyPressed = key;
    invalidate();
    return true;
}

bool afControlButton::onKeyUp(afEvent* event) {
    if (!m_keyPressed || (event->getKeyCode() & 0xFF) != m_keyPressed)
        return false;
    m_keyPressed = 0;
    invalidate();
    click();
    return true;
}

bool afControlButton::onMnemonic(wchar_t) {
    takeFocus(this);
    click();
    return true;
}

void afControlButton::onFocusIn() {
    invalidate();
    afWidget::onFocusIn();
}

void afControlButton::onFocusOut() {
    m_keyPressed = 0;
    if (m_mousePressed) {
        m_mousePressed = false;
        if (hasCapture())
            setCapture(false);
    }
    invalidate();
    afWidget::onFocusOut();
}

void afControlButton::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    int width = 0;
    int height = 0;
    const std::wstring& text = getText();
    if (!text.empty()) {
        if (std::unique_ptr<afCanvas> canvas = getCanvas()) {
            SIZE extent = canvas->measureText(text, 0);
            width = extent.cx;
            height = extent.cy;
        }
    }
    const afRect& padding = getPadding();
    width = std::max<int>(width + padding.left + padding.right, getMinimumWidth());
    height = std::max<int>(height + padding.top + padding.bottom, getMinimumHeight());
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

bool afControlButton::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    paintButton(*canvas, afWindowsUX::getInstance() ? getTheme() : nullptr, client, getState(), getText());
    return true;
}

void afControlButton::paintButton(afCanvas& canvas, HTHEME theme, const RECT& rect, int state,
                                  const std::wstring& text) {
    if (theme) {
        int part = BP_PUSHBUTTON;
        int themed = themedState(state);
        if (afWindowsUX::isThemeBackgroundPartiallyTransparent(theme, part, themed))
            canvas.fillRect(GetSysColor(COLOR_BTNFACE), rect);
        afWindowsUX::drawThemeBackground(theme, canvas.getDC(), part, themed, &rect, nullptr);
        if (!text.empty())
            afWindowsUX::drawThemeText(theme, canvas.getDC(), part, themed, text.c_str(), static_cast<int>(text.size()),
                                       TEXT_FORMAT, &rect);
        return;
    }
    afRect area(rect);
    canvas.fillRect(GetSysColor(COLOR_BTNFACE), area);
    bool disabled = (state & STATE_DISABLED) != 0;
    bool pressed = (state & STATE_PRESSED) != 0;
    if (state & STATE_DEFAULT) {
        COLORREF frame =
            afResources::exists() ? afResources::getColor(DEFAULT_FRAME_COLOR) : GetSysColor(COLOR_WINDOWFRAME);
        frameRect(canvas, frame, area);
        area.deflate(1);
    }
    if (pressed) {
        frameRect(canvas, GetSysColor(COLOR_BTNSHADOW), area);
        area.deflate(2);
    } else {
        DrawEdge(canvas.getDC(), &area, EDGE_RAISED, BF_RECT | BF_ADJUST);
    }
    if (state & STATE_FOCUSED) {
        area.deflate(2);
        DrawFocusRect(canvas.getDC(), &area);
    }
    if (text.empty())
        return;
    afRect textArea = area;
    if (pressed)
        textArea.offset(1, 1);
    canvas.drawText(text, textArea, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT), TEXT_FORMAT);
}

} // namespace corvel
