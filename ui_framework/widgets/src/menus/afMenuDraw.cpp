// Classic owner drawing of menu entries: sizes and colours by item state, the title left
// and the tab word or key text right.
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afMenu.h"

namespace corvel {
namespace {

std::wstring withoutMnemonic(std::wstring title) {
    size_t amp = title.find(L'&');
    if (amp != std::wstring::npos)
        title.erase(amp, 1);
    return title;
}

HFONT menuFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMenuFont);
    }();
    return font;
}

SIZE textSize(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

COLORREF paletteColor(int index, int fallback) {
    return afResources::exists() ? afResources::getColor(index) : GetSysColor(fallback);
}

// The visual style's "MENU" parts.
enum { POPUP_BACKGROUND = 9, POPUP_CHECK = 11, POPUP_CHECK_BACKGROUND = 12, POPUP_ITEM = 14, POPUP_SEPARATOR = 15 };
const int CONTENT_MARGINS = 3602;
const int BORDER_SIZE = 2403;

// The theme of the menu class while it is open; closed again with its holder.
class MenuTheme {
public:
    explicit MenuTheme(HWND owner) : m_theme(afWindowsUX::openThemeData(owner, L"MENU")) {}
    ~MenuTheme() {
        if (m_theme)
            afWindowsUX::closeThemeData(m_theme);
    }
    MenuTheme(const MenuTheme&) = delete;
    MenuTheme& operator=(const MenuTheme&) = delete;
    HTHEME get() const { return m_theme; }

private:
    HTHEME m_theme;
};

// Where the themed layout keeps its check column: the check glyph and its margins.
struct ThemedGutter {
    SIZE check{16, 16};
    MARGINS margins{0, 0, 0, 0};
    int border = 0;
    int width() const { return check.cx + margins.cxLeftWidth + margins.cxRightWidth; }
    int height() const { return check.cy + margins.cyTopHeight + margins.cyBottomHeight; }
};

ThemedGutter themedGutter(HTHEME theme, HDC dc) {
    ThemedGutter gutter;
    afWindowsUX::getThemePartSize(theme, dc, POPUP_CHECK, 1, TS_TRUE, &gutter.check);
    afWindowsUX::getThemeMargins(theme, dc, POPUP_CHECK_BACKGROUND, 1, CONTENT_MARGINS, &gutter.margins);
    afWindowsUX::getThemeInt(theme, POPUP_ITEM, 0, BORDER_SIZE, &gutter.border);
    return gutter;
}

SIZE themedText(HTHEME theme, HDC dc, const std::wstring& text) {
    RECT extent{0, 0, 0, 0};
    afWindowsUX::getThemeTextExtent(theme, dc, POPUP_ITEM, 1, text.c_str(), static_cast<int>(text.size()),
                                    DT_SINGLELINE, nullptr, &extent);
    return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

} // namespace

void afMenu::measureThemed(afMenuNode* node, HTHEME theme, HDC dc, MEASUREITEMSTRUCT& item) {
    if (node->getKind() == SEPARATOR) {
        SIZE size{8, 4};
        afWindowsUX::getThemePartSize(theme, dc, POPUP_SEPARATOR, 0, TS_TRUE, &size);
        item.itemWidth = 8;
        item.itemHeight = static_cast<UINT>(size.cy);
        return;
    }
    ThemedGutter gutter = themedGutter(theme, dc);
    SIZE title = themedText(theme, dc, withoutMnemonic(node->getTitle()));
    int width = gutter.width() + title.cx + 2 * gutter.border + 20;
    if (node->getKind() == ITEM) {
        afMenuItem* menuItem = static_cast<afMenuItem*>(node);
        if (const wchar_t* tab = menuItem->getTabText())
            width += themedText(theme, dc, tab).cx + 26;
        else if (const wchar_t* key = menuItem->getKeyText())
            width += themedText(theme, dc, key).cx + 5;
    }
    item.itemWidth = static_cast<UINT>(width);
    item.itemHeight = static_cast<UINT>(title.cy > gutter.height() ? title.cy : gutter.height());
}

void afMenu::drawThemed(afMenuNode* node, HTHEME theme, HDC dc, const DRAWITEMSTRUCT& item) {
    RECT rect = item.rcItem;
    afWindowsUX::drawThemeBackground(theme, dc, POPUP_BACKGROUND, 0, &rect, nullptr);
    ThemedGutter gutter = themedGutter(theme, dc);
    if (node->getKind() == SEPARATOR) {
        RECT line = rect;
        line.left += gutter.width();
        afWindowsUX::drawThemeBackground(theme, dc, POPUP_SEPARATOR, 0, &line, nullptr);
        return;
    }
    bool disabled = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    bool hot = (item.itemState & (ODS_SELECTED | ODS_FOCUS | ODS_HOTLIGHT)) != 0;
    int state = disabled ? (hot ? 4 : 3) : (hot ? 2 : 1);
    if (hot)
        afWindowsUX::drawThemeBackground(theme, dc, POPUP_ITEM, state, &rect, nullptr);
    if (node->getKind() == ITEM && static_cast<afMenuItem*>(node)->isChecked()) {
        RECT box{rect.left, rect.top, rect.left + gutter.width(), rect.bottom};
        afWindowsUX::drawThemeBackground(theme, dc, POPUP_CHECK_BACKGROUND, 1, &box, nullptr);
        afWindowsUX::drawThemeBackground(theme, dc, POPUP_CHECK, 1, &box, nullptr);
    }
    RECT text = rect;
    text.left += gutter.width() + gutter.border;
    text.right -= gutter.border + 10;
    std::wstring title = node->getTitle();
    const DWORD line = DT_VCENTER | DT_SINGLELINE;
    afWindowsUX::drawThemeText(theme, dc, POPUP_ITEM, state, title.c_str(), static_cast<int>(title.size()),
                               DT_LEFT | line, &text);
    if (node->getKind() != ITEM)
        return;
    afMenuItem* menuItem = static_cast<afMenuItem*>(node);
    const wchar_t* right = menuItem->getTabText() ? menuItem->getTabText() : menuItem->getKeyText();
    if (right)
        afWindowsUX::drawThemeText(theme, dc, POPUP_ITEM, state, right, -1, DT_RIGHT | line, &text);
}

HFONT afMenu::getMenuFont() {
    return menuFont();
}

std::wstring afMenu::getShownTitle(const afMenuNode* node) {
    return withoutMnemonic(node->getTitle());
}

void afMenu::measureItem(afMenuNode* node, afCanvas& canvas, MEASUREITEMSTRUCT& item) {
    if (node->getKind() == SEPARATOR && !MenuTheme(GetActiveWindow()).get()) {
        item.itemWidth = 8;
        item.itemHeight = 4;
        return;
    }
    HDC dc = canvas.getDC();
    HGDIOBJ old = SelectObject(dc, menuFont());
    MenuTheme theme(GetActiveWindow());
    if (theme.get() && !isBar()) {
        measureThemed(node, theme.get(), dc, item);
        SelectObject(dc, old);
        return;
    }
    SIZE title = textSize(dc, withoutMnemonic(node->getTitle()));
    int width = title.cx + 41;
    if (node->getKind() == ITEM) {
        afMenuItem* menuItem = static_cast<afMenuItem*>(node);
        if (const wchar_t* tab = menuItem->getTabText())
            width += textSize(dc, tab).cx + 26;
        else if (const wchar_t* key = menuItem->getKeyText())
            width += textSize(dc, key).cx + 5;
    }
    SelectObject(dc, old);
    item.itemWidth = static_cast<UINT>(width);
    item.itemHeight = static_cast<UINT>(title.cy < 17 ? 20 : title.cy + 4);
}

void afMenu::drawItem(afMenuNode* node, afCanvas& canvas, const DRAWITEMSTRUCT& item) {
    HDC dc = canvas.getDC();
    MenuTheme theme(WindowFromDC(dc));
    if (theme.get() && !isBar()) {
        HGDIOBJ font = SelectObject(dc, menuFont());
        drawThemed(node, theme.get(), dc, item);
        SelectObject(dc, font);
        return;
    }
    RECT rect = item.rcItem;
    bool disabled = (item.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    bool hot = (item.itemState & (ODS_SELECTED | ODS_FOCUS | ODS_HOTLIGHT)) != 0;
    COLORREF background;
    COLORREF foreground;
    if (disabled) {
        background = GetSysColor(COLOR_MENU);
        foreground = GetSysColor(COLOR_GRAYTEXT);
    } else if (hot) {
        background = paletteColor(10, COLOR_HIGHLIGHT);
        foreground = paletteColor(11, COLOR_HIGHLIGHTTEXT);
    } else {
        background = paletteColor(isBar() ? 18 : 17, COLOR_MENU);
        foreground = GetSysColor(COLOR_MENUTEXT);
    }
    canvas.fillRect(background, rect);
    if (node->getKind() == SEPARATOR) {
        RECT line = rect;
        line.top = (rect.top + rect.bottom) / 2;
        line.bottom = line.top + 2;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    HGDIOBJ old = SelectObject(dc, menuFont());
    std::wstring title = node->getTitle();
    if (isBar()) {
        UINT align = node->getIcon() ? DT_LEFT : DT_CENTER;
        canvas.drawText(title, rect, foreground, align | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        return;
    }
    rect.left += 10;
    rect.right -= 10;
    if (node->getIcon() && node->getKind() != ITEM) {
        int size = node->getIcon()->getSize();
        DrawIconEx(dc, rect.left, (rect.top + rect.bottom - size) / 2, node->getIcon()->getHandle(), size, size, 0,
                   nullptr, DI_NORMAL);
    }
    if (node->getKind() == ITEM && static_cast<afMenuItem*>(node)->isChecked()) {
        RECT box{rect.left, (rect.top + rect.bottom - 16) / 2, rect.left + 16, (rect.top + rect.bottom + 16) / 2};
        DrawFrameControl(dc, &box, DFC_MENU, DFCS_MENUCHECK);
    }
    RECT text = rect;
    text.left += 21;
    canvas.drawText(title, text, foreground, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (node->getKind() == ITEM) {
        afMenuItem* menuItem = static_cast<afMenuItem*>(node);
        if (const wchar_t* tab = menuItem->getTabText()) {
            SIZE size = textSize(dc, tab);
            const afIcon* icon = afResources::exists() ? afResources::find(afActionEventType::TAB) : nullptr;
            if (icon) {
                int iconSize = icon->getSize();
                DrawIconEx(dc, text.right - size.cx - iconSize - 2, (text.top + text.bottom - iconSize) / 2,
                           icon->getHandle(), iconSize, iconSize, 0, nullptr, DI_NORMAL);
            }
            canvas.drawText(tab, static_cast<int>(wcslen(tab)), text, foreground,
                            DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        } else if (const wchar_t* key = menuItem->getKeyText()) {
            canvas.drawText(key, static_cast<int>(wcslen(key)), text, foreground,
                            DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        }
    }
    SelectObject(dc, old);
}

} // namespace corvel
