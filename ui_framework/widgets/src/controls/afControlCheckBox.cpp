#include "corvel/widgets/afControlCheckBox.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/createControl.h"
#include "takeFocus.h"

#include <algorithm>
#include <vsstyle.h>

namespace corvel {

namespace {

constexpr int TEXT_GAP = 5;

// BP_CHECKBOX states by check state (unchecked, checked, mixed) and look (normal, hot,
// pushed, disabled).
int themedState(int check, bool hot, bool pushed, bool disabled) {
    int base = 1 + 4 * std::min(std::max(check, 0), 2);
    if (disabled)
        return base + 3;
    if (pushed)
        return base + 2;
    if (hot)
        return base + 1;
    return base;
}

} // namespace

afControlCheckBox* afControlCheckBox::create(afView* parent) {
    return createControl<afControlCheckBox>(parent);
}

const wchar_t* afControlCheckBox::getTypeName() const {
    return afTypeName::CHECK_BOX;
}

bool afControlCheckBox::buildSeed(Seed& seed) {
    seed.className = L"Button";
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX;
    seed.windowName = getText();
    setThemeClass(L"BUTTON");
    return true;
}

bool afControlCheckBox::isChecked() const {
    return m_hwnd && SendMessageW(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void afControlCheckBox::setChecked(bool checked) {
    sendMessage(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void afControlCheckBox::toggle() {
    setChecked(!isChecked());
    if (changeCallback.isBound())
        changeCallback.function(changeCallback.object, this);
}

bool afControlCheckBox::onNotify(afMessage* message) {
    if (message->message != WM_COMMAND || HIWORD(message->wParam) != BN_CLICKED)
        return false;
    toggle();
    message->result = 0;
    return true;
}

bool afControlCheckBox::onRawMessage(afMessage* message) {
    if (message->message == WM_UPDATEUISTATE || message->message == WM_ENABLE) {
        defaultProc(message);
        invalidate();
        return true;
    }
    return afControl::onRawMessage(message);
}

bool afControlCheckBox::onMnemonic(wchar_t) {
    takeFocus(this);
    toggle();
    return true;
}

SIZE afControlCheckBox::boxSize(afCanvas& canvas) {
    SIZE size{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
    if (HTHEME theme = afWindowsUX::getInstance() ? getTheme() : nullptr) {
        SIZE themed{};
        if (SUCCEEDED(afWindowsUX::getThemePartSize(theme, canvas.getDC(), BP_CHECKBOX, 1, TS_DRAW, &themed)))
            size = themed;
    }
    return size;
}

void afControlCheckBox::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    std::unique_ptr<afCanvas> canvas = getCanvas();
    SIZE box{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
    SIZE text{0, 0};
    if (canvas) {
        box = boxSize(*canvas);
        text = canvas->measureText(getText(), 0);
    }
    const afRect& padding = getPadding();
    m_boxRect = afRect(padding.left, padding.top + 1, padding.left + box.cx, padding.top + 1 + box.cy);
    m_textRect =
        afRect(m_boxRect.right + TEXT_GAP, padding.top, m_boxRect.right + TEXT_GAP + text.cx, padding.top + text.cy);
    int width = box.cx + TEXT_GAP + text.cx + padding.left + padding.right + 1;
    int height = text.cy + padding.top + padding.bottom + 1;
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

bool afControlCheckBox::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd)
        return false;
    drawParentBackground(canvas);
    LRESULT state = SendMessageW(m_hwnd, BM_GETSTATE, 0, 0);
    int check = static_cast<int>(state & 3);
    bool pushed = (state & BST_PUSHED) != 0;
    bool hot = (state & BST_HOT) != 0;
    bool disabled = !IsWindowEnabled(m_hwnd);
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (m_boxRect.isEmpty()) {
        SIZE box = boxSize(*canvas);
        m_boxRect = afRect(0, 1, box.cx, 1 + box.cy);
        m_textRect = afRect(box.cx + TEXT_GAP, 0, client.right, client.bottom);
    }
    afRect textRect = m_textRect;
    textRect.right = std::max<LONG>(textRect.right, client.right);
    const std::wstring& text = getText();
    HTHEME theme = afWindowsUX::getInstance() ? getTheme() : nullptr;
    if (theme) {
        afWindowsUX::drawThemeBackground(theme, canvas->getDC(), BP_CHECKBOX, themedState(check, hot, pushed, disabled),
                                         &m_boxRect, nullptr);
        afWindowsUX::drawThemeText(theme, canvas->getDC(), BP_PUSHBUTTON, 1, text.c_str(),
                                   static_cast<int>(text.size()), DT_END_ELLIPSIS, &textRect);
    } else {
        UINT flags = DFCS_BUTTONCHECK;
        if (check == BST_CHECKED)
            flags |= DFCS_CHECKED;
        if (check == BST_INDETERMINATE)
            flags |= DFCS_PUSHED;
        if (disabled)
            flags |= DFCS_INACTIVE;
        if (hot)
            flags |= DFCS_HOT;
        else if (pushed)
            flags |= DFCS_PUSHED;
        afRect box = m_boxRect;
        DrawFrameControl(canvas->getDC(), &box, DFC_BUTTON, flags);
        canvas->drawText(text, textRect, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT), DT_END_ELLIPSIS);
    }
    if (state & BST_FOCUS) {
        afRect focus = m_textRect;
        focus.deflate(-1);
        DrawFocusRect(canvas->getDC(), &focus);
    }
    return true;
}

} // namespace corvel
