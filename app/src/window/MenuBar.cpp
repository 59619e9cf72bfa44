#include "corvel/app/MenuBar.h"

#include "corvel/ui/afCanvas.h"

#include <memory>

namespace corvel {

MenuBar* MenuBar::make() {
    std::unique_ptr<MenuBar> bar(new MenuBar());
    if (!bar->afMenuBar::create())
        return nullptr;
    return bar.release();
}

void MenuBar::measureItem(afMenuNode* node, afCanvas& canvas, MEASUREITEMSTRUCT& item) {
    // Entries of the bar's popups keep the menus' own measure.
    if (node->getParent() != this) {
        afMenuBar::measureItem(node, canvas, item);
        return;
    }
    HDC dc = canvas.getDC();
    HGDIOBJ old = SelectObject(dc, getMenuFont());
    std::wstring title = getShownTitle(node);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
    SelectObject(dc, old);
    item.itemWidth = static_cast<UINT>(size.cx);
    if (static_cast<UINT>(size.cy) > item.itemHeight)
        item.itemHeight = static_cast<UINT>(size.cy);
}

} // namespace corvel
