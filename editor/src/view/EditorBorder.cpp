// The editor's border drawn with the visual style's edit-field frame when one is active.
#include "corvel/editor/Editor.h"

#include "corvel/ui/afWindowsUX.h"

#include <vssym32.h>

namespace corvel {

namespace {

// Closes the theme handle on every way out.
class ThemeHandle {
public:
    ThemeHandle(HWND hwnd, const wchar_t* classList)
        : m_theme(afWindowsUX::getInstance() ? afWindowsUX::openThemeData(hwnd, classList) : nullptr) {}
    ~ThemeHandle() {
        if (m_theme)
            afWindowsUX::closeThemeData(m_theme);
    }
    ThemeHandle(const ThemeHandle&) = delete;
    ThemeHandle& operator=(const ThemeHandle&) = delete;
    HTHEME get() const { return m_theme; }

private:
    HTHEME m_theme;
};

bool hasBorder(HWND hwnd) {
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER) || (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

} // namespace

bool Editor::paintThemedBorder(afMessage* message) {
    if (!hasBorder(message->hwnd))
        return false;
    ThemeHandle theme(message->hwnd, L"EDIT");
    if (!theme.get())
        return false;
    defaultProc(message);
    HDC dc = GetWindowDC(message->hwnd);
    if (!dc)
        return true;
    RECT window;
    GetWindowRect(message->hwnd, &window);
    OffsetRect(&window, -window.left, -window.top);
    RECT inner = window;
    InflateRect(&inner, -1, -1);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    if (afWindowsUX::isThemeBackgroundPartiallyTransparent(theme.get(), EP_EDITBORDER_NOSCROLL, 1))
        afWindowsUX::drawThemeParentBackground(message->hwnd, dc, &window);
    afWindowsUX::drawThemeBackground(theme.get(), dc, EP_EDITBORDER_NOSCROLL, 1, &window, nullptr);
    ReleaseDC(message->hwnd, dc);
    message->result = 0;
    return true;
}

bool Editor::calcThemedClient(afMessage* message) {
    if (!message->wParam || !hasBorder(message->hwnd))
        return false;
    ThemeHandle theme(message->hwnd, L"EDIT");
    if (!theme.get())
        return false;
    defaultProc(message);
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message->lParam);
    RECT bounds = params->rgrc[0];
    RECT content = bounds;
    HDC dc = GetWindowDC(message->hwnd);
    if (SUCCEEDED(afWindowsUX::getThemeBackgroundContentRect(theme.get(), dc, EP_EDITTEXT, 1, &bounds, &content))) {
        InflateRect(&content, -1, -1);
        params->rgrc[0] = content;
    }
    if (dc)
        ReleaseDC(message->hwnd, dc);
    message->result = 0;
    return true;
}

} // namespace corvel
