// The tree's reflected notifications: renaming, deletion, drag start, expansion, check
// boxes, the context menu and the decoration icons.
#include "corvel/widgets/afControlTree.h"

#include "corvel/widgets/afControlTreeInplaceEdit.h"
#include "corvel/widgets/afDataObject.h"
#include "corvel/widgets/afDropAction.h"
#include "corvel/widgets/afDropSource.h"

#include <algorithm>
#include <cstring>

namespace corvel {

namespace {

constexpr int ICON_SIZE = 16;
constexpr int ICON_GAP = 4;

// Clears a flag however the scope is left.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& m_flag;
};

} // namespace

bool afControlTree::onNotify(afMessage* message) {
    if (message->message != WM_NOTIFY || !message->lParam)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(message->lParam);
    // The context menu is left to the native tree when nobody asks for it.
    if (header->code == static_cast<UINT>(NM_RCLICK) && !onContextMenu.function)
        return false;
    message->result = handleNotification(header);
    return true;
}

LRESULT afControlTree::handleNotification(const NMHDR* header) {
    switch (header->code) {
    case TVN_ENDLABELEDITW: {
        // The removal of a refused new item ends its edit again: that second end is ignored.
        if (m_removing)
            return 0;
        const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
        commitRename(getItem(info->item.hItem), info->item.pszText);
        return 0; // the text is set by the commit, never by the native tree
    }
    case TVN_BEGINLABELEDITW: {
        const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
        return beginRename(getItem(info->item.hItem)) ? FALSE : TRUE;
    }
    case TVN_DELETEITEMW: {
        const auto* info = reinterpret_cast<const NMTREEVIEWW*>(header);
        if (auto* item = reinterpret_cast<afControlTreeItem*>(info->itemOld.lParam))
            onItemGone(item);
        return 0;
    }
    case TVN_BEGINDRAGW:
        beginDrag(reinterpret_cast<const NMTREEVIEWW*>(header));
        return 0;
    case TVN_ITEMEXPANDINGW: {
        if (!onItemExpanding.function)
            return FALSE;
        const auto* info = reinterpret_cast<const NMTREEVIEWW*>(header);
        bool expanding = (info->action & 3) == TVE_EXPAND;
        afControlTreeItem* item = reinterpret_cast<afControlTreeItem*>(info->itemNew.lParam);
        if (!item)
            item = getItem(info->itemNew.hItem);
        return onItemExpanding.function(onItemExpanding.object, this, item, expanding) ? FALSE : TRUE;
    }
    case TVN_SELCHANGEDW: {
        const auto* info = reinterpret_cast<const NMTREEVIEWW*>(header);
        if (onSelectionChanged.function)
            onSelectionChanged.function(onSelectionChanged.object, this, getItem(info->itemNew.hItem));
        return 0;
    }
    case TVN_KEYDOWN: {
        const auto* info = reinterpret_cast<const NMTVKEYDOWN*>(header);
        if (info->wVKey == VK_SPACE && (getStyle() & TVS_CHECKBOXES))
            toggleCheck(getSelectedItem());
        return 0;
    }
    case NM_CUSTOMDRAW:
        return customDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
    case NM_RCLICK:
        contextMenu();
        return 1;
    case NM_CLICK: {
        if (!(getStyle() & TVS_CHECKBOXES))
            return 0;
        TVHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(m_hwnd, &hit.pt);
        sendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        afControlTreeItem* item = getItem(hit.hItem);
        if (item && (hit.flags & TVHT_ONITEMSTATEICON)) {
            selectItem(item);
            toggleCheck(item);
        }
        return 0;
    }
    default:
        return 0;
    }
}

bool afControlTree::beginRename(afControlTreeItem* item) {
    if (!item)
        return false;
    if (onBeginRename.function)
        onBeginRename.function(onBeginRename.object, this, item);
    bool allowed = item->isNew() ? onNewItemNamed.function != nullptr
                                 : canRename.function && canRename.function(canRename.object, this, item);
    if (!allowed) {
        if (onRenameEnded.function)
            onRenameEnded.function(onRenameEnded.object, this, item);
        return false;
    }
    m_editing = item;
    HWND edit = reinterpret_cast<HWND>(sendMessage(TVM_GETEDITCONTROL, 0, 0));
    if (edit && !m_edit->getHandle())
        m_edit->adoptHandle(edit);
    if (m_edit->getParent() != this)
        addChild(m_edit, -1);
    return true;
}

void afControlTree::commitRename(afControlTreeItem* item, const wchar_t* text) {
    // Only once per edit: the native tree may end an edit again while it hides the edit.
    if (!item || item != m_editing)
        return;
    m_editing = nullptr;
    // The native tree ends an edit without text when it was cancelled (Escape).
    bool cancelled = text == nullptr;
    std::wstring value = text ? text : L"";
    bool wasNew = item->isNew();
    const afCallback<RenameFunction>& decide = wasNew ? onNewItemNamed : onRenamed;
    bool accepted = decide.function && decide.function(decide.object, this, item, value, cancelled) && !cancelled;
    if (accepted) {
        item->setNew(false);
        setItemText(item, value);
    }
    // Told before a refused new item goes, so the receiver never sees a deleted item.
    if (onRenameEnded.function)
        onRenameEnded.function(onRenameEnded.object, this, item);
    if (!accepted && wasNew) {
        FlagGuard removing(m_removing);
        removeItem(item);
    }
}

void afControlTree::beginDrag(const NMTREEVIEWW* info) {
    if (!onBeginDrag.function)
        return;
    afControlTreeItem* item = getItem(info->itemNew.hItem);
    if (!item)
        return;
    selectItem(item);
    int allowed = afDropAction::COPY | afDropAction::MOVE | afDropAction::LINK;
    afDataObject* data = onBeginDrag.function(onBeginDrag.object, this, item, info->ptDrag.x, info->ptDrag.y, allowed);
    if (!data)
        return;
    int effect = runDrag(data, allowed);
    if (onDragEnded.function)
        onDragEnded.function(onDragEnded.object, this, item, data, effect);
    else
        delete data;
}

int afControlTree::runDrag(afDataObject* data, int allowed) {
    afDropSource source;
    source.setDataObject(data);
    return source.drag(allowed);
}

void afControlTree::contextMenu() {
    POINT screen{};
    GetCursorPos(&screen);
    POINT client = screen;
    ScreenToClient(m_hwnd, &client);
    afControlTreeItem* item = itemAt(client.x, client.y);
    if (item) {
        selectItem(item);
        onContextMenu.function(onContextMenu.object, this, item, screen.x, screen.y);
        return;
    }
    // Over no item the menu is about the tree itself: nothing shows selected meanwhile.
    afControlTreeItem* previous = getSelectedItem();
    selectItem(nullptr);
    onContextMenu.function(onContextMenu.object, this, nullptr, screen.x, screen.y);
    selectItem(previous);
}

void afControlTree::toggleCheck(afControlTreeItem* item) {
    if (!item)
        return;
    bool checked = !isChecked(item);
    setCheck(item, checked);
    if (onCheckChanged.function)
        onCheckChanged.function(onCheckChanged.object, this, item, checked);
    // The native toggle that follows lands on the state just announced.
    setCheck(item, !checked);
}

LRESULT afControlTree::customDraw(NMTVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT:
        drawIcons(reinterpret_cast<const afControlTreeItem*>(draw->nmcd.lItemlParam), draw->nmcd.hdc);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void afControlTree::drawIcons(const afControlTreeItem* item, HDC dc) {
    const std::vector<HICON>* icons = item ? item->getIcons() : nullptr;
    if (!icons || icons->empty())
        return;
    RECT text{};
    std::memcpy(&text, &item->m_handle, sizeof(HTREEITEM)); // TVM_GETITEMRECT reads the item from the rectangle
    if (!sendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)))
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    int columns = std::max(m_iconColumns, static_cast<int>(icons->size()));
    int x = std::max<int>(text.right + ICON_GAP, client.right - columns * ICON_SIZE - ICON_GAP);
    int y = text.top + (text.bottom - text.top - ICON_SIZE) / 2;
    for (HICON icon : *icons) {
        DrawIconEx(dc, x, y, icon, ICON_SIZE, ICON_SIZE, 0, nullptr, DI_NORMAL);
        x += ICON_SIZE;
    }
}

} // namespace corvel
