#include "corvel/widgets/afControlEdit.h"

#include "corvel/ui/afEvent.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/widgets/createControl.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr int CTRL_A = 0x100 | 'A';
// Room for the border around the text line.
constexpr int FRAME_ROOM = 6;

} // namespace

afControlEdit* afControlEdit::create(afView* parent) {
    return createControl<afControlEdit>(parent);
}

const wchar_t* afControlEdit::getTypeName() const {
    return afTypeName::EDIT;
}

bool afControlEdit::buildSeed(Seed& seed) {
    seed.className = L"Edit";
    seed.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL;
    seed.exStyle = WS_EX_CLIENTEDGE;
    seed.windowName = getText();
    setThemeClass(L"EDIT");
    return true;
}

void afControlEdit::onCreated() {
    setPadding(4, 2, 0, 2);
    afControl::onCreated();
}

bool afControlEdit::getSelection(int& start, int& end) const {
    DWORD first = 0, last = 0;
    if (m_hwnd)
        SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
    return start != end;
}

void afControlEdit::setSelection(int start, int end) {
    sendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void afControlEdit::selectAll() {
    sendMessage(EM_SETSEL, 0, -1);
}

void afControlEdit::limitToThree() {
    sendMessage(EM_LIMITTEXT, 3, 0);
}

void afControlEdit::setCueText(const std::wstring& text) {
    m_cueText = text;
    if (!m_hwnd)
        return;
    requestLayout("edit cue text");
    InvalidateRect(m_hwnd, nullptr, TRUE);
    UpdateWindow(m_hwnd);
}

int afControlEdit::getLineHeight() const {
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, getFontHandle());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int afControlEdit::getCueWidth() const {
    if (m_cueText.empty() || !m_hwnd)
        return 0;
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, getFontHandle());
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, m_cueText.c_str(), static_cast<int>(m_cueText.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
    return size.cx;
}

bool afControlEdit::onNotify(afMessage* message) {
    if (message->message != WM_COMMAND || HIWORD(message->wParam) != EN_CHANGE)
        return false;
    // The cue text is drawn over the control: the whole field repaints once text appears.
    if (!m_cueText.empty())
        InvalidateRect(m_hwnd, nullptr, TRUE);
    m_changeListeners.invoke(this);
    message->result = 0;
    return true;
}

bool afControlEdit::onKeyDown(afEvent* event) {
    if (keyCallback.isBound() && keyCallback.function(keyCallback.object, this, event))
        return true;
    if (event->getKeyCode() == CTRL_A) {
        selectAll();
        return true;
    }
    return false;
}

void afControlEdit::placeFormattingRect() {
    int height = getLineHeight();
    if (height <= 0)
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    afRect area(client);
    area.applyInsets(getPadding(), false);
    int top = area.top + (area.height() - height) / 2;
    RECT line{area.left, top, area.right, top + height};
    SendMessageW(m_hwnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&line));
    // Setting the selection again scrolls the text into place.
    int start = 0, end = 0;
    getSelection(start, end);
    setSelection(start, end);
}

void afControlEdit::paintCue() {
    if (m_cueText.empty() || GetWindowTextLengthW(m_hwnd) != 0)
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    afRect area(client);
    area.applyInsets(getPadding(), false);
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, getFontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, m_cueText.c_str(), static_cast<int>(m_cueText.size()), &area, DT_RIGHT);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
}

bool afControlEdit::onRawMessage(afMessage* message) {
    switch (message->message) {
    case WM_GETDLGCODE:
        message->result = DIALOG_CODE;
        return true;
    case WM_SIZE:
        defaultProc(message);
        placeFormattingRect();
        return true;
    case WM_PAINT:
        defaultProc(message);
        paintCue();
        return true;
    default:
        return afControl::onRawMessage(message);
    }
}

void afControlEdit::onMeasure(afViewMeasureSpec widthSpec, afViewMeasureSpec heightSpec) {
    const afRect& padding = getPadding();
    int lineHeight = m_hwnd ? getLineHeight() : 0;
    // Wide enough for the cue: a field sized by its content alone was too narrow to show it.
    int width = std::max<int>(padding.left + padding.right + FRAME_ROOM + getCueWidth(), getMinimumWidth());
    int height = std::max<int>(lineHeight + padding.top + padding.bottom + FRAME_ROOM, getMinimumHeight());
    setMeasuredDimension(afMeasureSpec::resolveSize(width, widthSpec), afMeasureSpec::resolveSize(height, heightSpec));
}

} // namespace corvel
