#include "corvel/widgets/afControlShortcut.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afEvent.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afViewMeasureSpec.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/createControl.h"

#include <algorithm>
#include <vssym32.h>

namespace corvel {

namespace {

// A modifier pressed on its own: the combination is still being held down.
bool isModifierKey(int virtualKey) {
    switch (virtualKey) {
    case 0:
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    default:
        return false;
    }
}

} // namespace

afControlShortcut::~afControlShortcut() {
    if (m_buttonTheme)
        afWindowsUX::closeThemeData(m_buttonTheme);
}

afControlShortcut* afControlShortcut::create(afView* parent) {
    return createControl<afControlShortcut>(parent);
}

const wchar_t* afControlShortcut::getTypeName() const {
    return afTypeName::CONTROL_SHORTCUT;
}

bool afControlShortcut::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"afControlShortcut", 0, IDC_IBEAM);
    seed.className = L"afControlShortcut";
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    seed.windowName.clear();
    return true;
}

void afControlShortcut::onCreated() {
    afWidget::onCreated();
    setPadding(15, 6, 15, 6);
    setMinimumSize(80, 0);
    setThemeClass(L"EDIT");
    if (afWindowsUX::getInstance() && !m_buttonTheme)
        m_buttonTheme = afWindowsUX::openThemeData(m_hwnd, L"BUTTON");
}

void afControlShortcut::setKey(int code) {
    if (code != m_key) {
        m_key = code;
        m_changeListeners.invoke(this);
    }
    showKey(code);
}

void afControlShortcut::setShortcutText(const std::wstring& text) {
    setKey(afKey::parse(text));
}

void afControlShortcut::commit(int code) {
    setKey(code);
}

void afControlShortcut::showKey(int code) {
    if (code == m_shown)
        return;
    m_shown = code;
    m_shownText = code ? afKey::toString(code) : std::wstring();
    invalidate();
    needLayout("afControlShortcut::setKey");
}

void afControlShortcut::startCapture() {
    m_state = STATE_CAPTURING;
    m_selectedLook = true;
    invalidate();
}

bool afControlShortcut::onKeyDown(afEvent* event) {
    int code = event->getKeyCode();
    int key = code & afKey::KEY;
    if (m_state != STATE_CAPTURING) {
        if (m_state == STATE_FOCUSED && (key == VK_RETURN || key == VK_SPACE)) {
            startCapture();
            return true;
        }
        return false;
    }
    bool modifiersHeld = (code & afKey::MODIFIERS) != 0;
    if (m_shown != 0 && !modifiersHeld && (key == VK_BACK || key == VK_DELETE)) {
        commit(0);
        m_state = STATE_FOCUSED;
    } else if (key == VK_ESCAPE) {
        showKey(m_key);
        m_state = STATE_FOCUSED;
    } else if (isModifierKey(key)) {
        showKey(code);
    } else {
        commit(code);
        m_state = STATE_FOCUSED;
    }
    m_selectedLook = false;
    invalidate();
    // Every key belongs to the field while it captures, or Escape and Enter would close
    // the dialog it sits in.
    return true;
}

bool afControlShortcut::onKeyUp(afEvent* event) {
    if (m_state != STATE_CAPTURING)
        return false;
    int code = event->getKeyCode();
    if (!m_selectedLook && isModifierKey(code & afKey::KEY))
        showKey(code);
    return true;
}

bool afControlShortcut::onMouseDown(afEvent*) {
    if (m_state == STATE_CAPTURING)
        return false;
    if (m_hwnd && GetFocus() != m_hwnd)
        SetFocus(m_hwnd);
    startCapture();
    return true;
}

bool afControlShortcut::onMouseMove(afEvent*) {
    setHot(true);
    return false;
}

bool afControlShortcut::onMouseLeave(afEvent*) {
    setHot(false);
    return false;
}

void afControlShortcut::setHot(bool hot) {
    if (hot == m_hot)
        return;
    m_hot = hot;
    invalidate();
}

void afControlShortcut::onFocusIn() {
    afWidget::onFocusIn();
    if (m_state == STATE_IDLE)
        m_state = STATE_FOCUSED;
    invalidate();
}

void afControlShortcut::onFocusOut() {
    if (m_state != STATE_IDLE) {
        if (m_shown == 0 || afKey::isModifier(m_shown))
            commit(0);
        m_state = STATE_IDLE;
        m_selectedLook = false;
    }
    afWidget::onFocusOut();
    invalidate();
}

void afControlShortcut::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    SIZE text{0, 0};
    if (!m_shownText.empty()) {
        if (std::unique_ptr<afCanvas> canvas = getCanvas())
            text = canvas->measureText(m_shownText, 0);
    }
    int border = 2 * GetSystemMetrics(SM_CXEDGE);
    const afRect& padding = getPadding();
    int width = std::max(getMinimumWidth(), static_cast<int>(text.cx + padding.left + padding.right + border));
    int height = std::max(getMinimumHeight(), static_cast<int>(text.cy + padding.top + padding.bottom + border));
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

int afControlShortcut::buttonState() const {
    if (!IsWindowEnabled(m_hwnd))
        return 2;
    bool focused = m_state != STATE_IDLE;
    if (m_hot)
        return focused ? 5 : 4;
    return focused ? 1 : 0;
}

bool afControlShortcut::onDraw(afCanvas* canvas, afCanvasRegion*) {
    RECT client{0, 0, 0, 0};
    GetClientRect(m_hwnd, &client);
    bool themed = afWindowsUX::getInstance() != nullptr;
    if (m_state == STATE_CAPTURING) {
        if (themed && getTheme()) {
            afWindowsUX::drawThemeBackground(getTheme(), canvas->getDC(), EP_EDITBORDER_NOSCROLL, 3, &client, nullptr);
        } else {
            RECT edge = client;
            DrawEdge(canvas->getDC(), &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
            canvas->fillRect(GetSysColor(COLOR_WINDOW), edge);
        }
    } else {
        afControlButton::paintButton(*canvas, themed ? m_buttonTheme : nullptr, client, buttonState(), std::wstring());
    }
    const afRect& padding = getPadding();
    RECT text{client.left + padding.left, client.top + padding.top, client.right - padding.right,
              client.bottom - padding.bottom};
    COLORREF color = GetSysColor(COLOR_WINDOWTEXT);
    if (m_selectedLook && m_state == STATE_CAPTURING) {
        canvas->fillRect(GetSysColor(COLOR_HIGHLIGHT), text);
        color = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    canvas->drawText(m_shownText, text, color, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    return true;
}

} // namespace corvel
