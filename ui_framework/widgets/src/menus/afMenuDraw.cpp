// Classic owner drawing of menu entries: sizes and colours by item state, the title left
// and the tab word or key text right.
#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
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

} // namespace

void afMenu::measureItem(afMenuNode* node, afCanvas& canvas, MEASUREITEMSTRUCT& item) {
    if (node->getKind() == SEPARATOR) {
        item.itemWidth = 8;
        item.itemHeight = 4;
        return;
    }
    HDC dc = canvas.getDC();
    HGDIOBJ old = SelectObject(dc, menuFont());
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
