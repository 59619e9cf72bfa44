#include "corvel/widgets/afControlTree.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afTypeNames.h"
#include "corvel/ui/afWindowsUX.h"
#include "corvel/widgets/afControlTreeInplaceEdit.h"
#include "corvel/widgets/createControl.h"
#include "paintEmptyText.h"
#include "zem/thread/Thread.h"

#include <cstring>

namespace corvel {

namespace {

// The native tree stores at most this many characters of an item's text.
constexpr int TEXT_LIMIT = 260;

struct SortCall {
    const afCallback<afControlTree::CompareFunction>* comparer;
    LPARAM first;
    LPARAM second;
    int result;
};

void runComparer(void* data) {
    auto* call = static_cast<SortCall*>(data);
    call->result = call->comparer->function(call->comparer->object, reinterpret_cast<afControlTreeItem*>(call->first),
                                            reinterpret_cast<afControlTreeItem*>(call->second));
}

int CALLBACK compareItems(LPARAM first, LPARAM second, LPARAM comparer) {
    // Items always carry their object; a bare entry keeps the native order of the words.
    if (!first || !second)
        return second < first ? -1 : (second > first ? 1 : 0);
    SortCall call{reinterpret_cast<const afCallback<afControlTree::CompareFunction>*>(comparer), first, second, 0};
    zem::runGuarded(&runComparer, &call);
    return call.result;
}

// The path components: the runs between backslashes.
std::vector<std::wstring> splitPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start < path.size()) {
        if (path[start] == L'\\') {
            ++start;
            continue;
        }
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end;
    }
    return parts;
}

} // namespace

afControlTree::afControlTree(afView* parent) : afControl(parent) {}

afControlTree::~afControlTree() {
    // The window outlives this part of the object: its deletion notifications must find
    // no items left to report.
    dropItems();
}

afControlTree* afControlTree::create(afView* parent) {
    afControlTree* tree = createControl<afControlTree>(parent);
    if (tree)
        tree->sendMessage(TVM_SETINDENT, 0, 0);
    return tree;
}

const wchar_t* afControlTree::getTypeName() const {
    return afTypeName::TREE;
}

bool afControlTree::buildSeed(Seed& seed) {
    seed.className = WC_TREEVIEWW;
    seed.style =
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS;
    return true;
}

void afControlTree::onCreated() {
    sendMessage(CCM_SETVERSION, 6, 0);
    afControl::onCreated();
    if (afWindowsUX::getInstance())
        afWindowsUX::setExplorerTheme(m_hwnd);
    if (!m_edit)
        m_edit = new afControlTreeInplaceEdit(this);
}

bool afControlTree::onRawMessage(afMessage* message) {
    switch (message->message) {
    case WM_PAINT:
        // Only the empty text is ours to paint.
        if (!m_empty)
            return false;
        break;
    case WM_ERASEBKGND:
        // Not erased: the tree then fills its background while it paints, without flicker.
        message->result = 0;
        return true;
    case WM_RBUTTONDBLCLK:
        message->result = 0;
        return true;
    case WM_LBUTTONDBLCLK: {
        // Swallowed, so a double click never toggles the item natively.
        TVHITTESTINFO hit{};
        hit.pt = POINT{static_cast<short>(LOWORD(message->lParam)), static_cast<short>(HIWORD(message->lParam))};
        sendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        afControlTreeItem* item = getItem(hit.hItem);
        if (item && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT)) && onItemActivated.function)
            onItemActivated.function(onItemActivated.object, this, item);
        message->result = 0;
        return true;
    }
    case WM_DESTROY:
        dropItems();
        break;
    default:
        break;
    }
    return afControl::onRawMessage(message);
}

bool afControlTree::onDraw(afCanvas* canvas, afCanvasRegion*) {
    if (!canvas || !m_hwnd || !m_empty)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    paintEmptyText(*canvas, client, m_emptyText);
    return true;
}

// --- items ---

afControlTreeItem* afControlTree::insertItem(afControlTreeItem* parent, const std::wstring& text) {
    if (!m_hwnd)
        return nullptr;
    auto* item = new afControlTreeItem(this, nullptr);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent->m_handle : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(item);
    item->m_handle = reinterpret_cast<HTREEITEM>(sendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item->m_handle) {
        delete item;
        return nullptr;
    }
    ++m_count;
    if (m_empty)
        setEmpty(false);
    // The marker is set with the first child and cleared with the last: unmarked, the
    // parent had no children before this one.
    if (parent && !(parent->m_flags & afControlTreeItem::FLAG_CHILDREN_MARKED)) {
        setChildrenMarker(parent, true);
        // A lazily filled folder opened before its contents came shows them at once.
        if (parent->m_flags & afControlTreeItem::FLAG_REMEMBERED_EXPANDED) {
            expandNative(parent, true);
            parent->setFlag(afControlTreeItem::FLAG_REMEMBERED_EXPANDED, true);
        }
    }
    return item;
}

void afControlTree::removeItem(afControlTreeItem* item) {
    if (!item || !m_hwnd)
        return;
    afControlTreeItem* parent = getParentItem(item);
    // The deletion notifications free the item objects and count them down.
    sendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item->m_handle));
    if (parent && !parent->hasChildren())
        setChildrenMarker(parent, false);
}

void afControlTree::clear() {
    if (!m_hwnd)
        return;
    sendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    m_count = 0;
    if (!m_empty)
        setEmpty(true);
}

void afControlTree::onItemGone(afControlTreeItem* item) {
    if (item == m_editing)
        m_editing = nullptr;
    if (onItemDeleted.function)
        onItemDeleted.function(onItemDeleted.object, this, item);
    delete item;
    if (m_count > 0)
        --m_count;
    if (m_count == 0 && !m_empty)
        setEmpty(true);
}

void afControlTree::dropItems() {
    if (!m_hwnd || m_count == 0)
        return;
    // Pre-order over the native handles: the entries' words are cleared on the way.
    auto next = [this](HTREEITEM from, UINT relation) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(m_hwnd, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
    };
    HTREEITEM handle = next(nullptr, TVGN_ROOT);
    while (handle) {
        HTREEITEM following = next(handle, TVGN_CHILD);
        for (HTREEITEM up = handle; !following && up; up = next(up, TVGN_PARENT))
            following = next(up, TVGN_NEXT);
        afControlTreeItem* item = getItem(handle);
        TVITEMW entry{};
        entry.mask = TVIF_HANDLE | TVIF_PARAM;
        entry.hItem = handle;
        entry.lParam = 0;
        SendMessageW(m_hwnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        delete item;
        handle = following;
    }
    m_count = 0;
    m_empty = true;
}

void afControlTree::setEmpty(bool empty) {
    m_empty = empty;
    invalidate();
}

void afControlTree::setChildrenMarker(afControlTreeItem* item, bool on) {
    item->setFlag(afControlTreeItem::FLAG_CHILDREN_MARKED, on);
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_CHILDREN;
    entry.hItem = item->m_handle;
    entry.cChildren = on ? 1 : 0;
    sendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

void afControlTree::setItemText(afControlTreeItem* item, const std::wstring& text) {
    if (!item || !m_hwnd)
        return;
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_TEXT;
    entry.hItem = item->m_handle;
    entry.pszText = const_cast<wchar_t*>(text.c_str());
    sendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

std::wstring afControlTree::getItemText(const afControlTreeItem* item) const {
    if (!item || !m_hwnd)
        return std::wstring();
    return textOf(item->m_handle);
}

void afControlTree::setItemBold(afControlTreeItem* item, bool bold) {
    if (!item || !m_hwnd)
        return;
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_STATE;
    entry.hItem = item->m_handle;
    entry.stateMask = TVIS_BOLD;
    entry.state = bold ? TVIS_BOLD : 0;
    sendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

// --- lookups ---

afControlTreeItem* afControlTree::getItem(HTREEITEM handle) const {
    if (!handle || !m_hwnd)
        return nullptr;
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_PARAM;
    entry.hItem = handle;
    if (!SendMessageW(m_hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry)))
        return nullptr;
    return reinterpret_cast<afControlTreeItem*>(entry.lParam);
}

afControlTreeItem* afControlTree::nextItem(const afControlTreeItem* item, UINT relation) const {
    if (!m_hwnd)
        return nullptr;
    HTREEITEM from = item ? item->m_handle : nullptr;
    return getItem(
        reinterpret_cast<HTREEITEM>(SendMessageW(m_hwnd, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from))));
}

HTREEITEM afControlTree::nextHandle(HTREEITEM from, UINT relation) const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(m_hwnd, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

std::wstring afControlTree::textOf(HTREEITEM handle) const {
    wchar_t text[TEXT_LIMIT + 1] = {};
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_TEXT;
    entry.hItem = handle;
    entry.pszText = text;
    entry.cchTextMax = TEXT_LIMIT + 1;
    SendMessageW(m_hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    return text;
}

afControlTreeItem* afControlTree::getParentItem(const afControlTreeItem* item) const {
    return item ? nextItem(item, TVGN_PARENT) : nullptr;
}

afControlTreeItem* afControlTree::getFirstChild(const afControlTreeItem* item) const {
    return item ? nextItem(item, TVGN_CHILD) : nullptr;
}

afControlTreeItem* afControlTree::getNextSibling(const afControlTreeItem* item) const {
    return item ? nextItem(item, TVGN_NEXT) : nullptr;
}

afControlTreeItem* afControlTree::getFirstItem() const {
    return nextItem(nullptr, TVGN_ROOT);
}

afControlTreeItem* afControlTree::getSelectedItem() const {
    return nextItem(nullptr, TVGN_CARET);
}

afControlTreeItem* afControlTree::getFirstVisibleItem() const {
    return nextItem(nullptr, TVGN_FIRSTVISIBLE);
}

void afControlTree::selectItem(afControlTreeItem* item) {
    sendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item ? item->m_handle : nullptr));
}

void afControlTree::ensureVisible(afControlTreeItem* item) {
    if (item)
        sendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item->m_handle));
}

void afControlTree::setFirstVisible(afControlTreeItem* item) {
    if (item)
        sendMessage(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(item->m_handle));
}

afControlTreeItem* afControlTree::itemAt(int x, int y) const {
    if (!m_hwnd)
        return nullptr;
    TVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    SendMessageW(m_hwnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return getItem(hit.hItem);
}

void afControlTree::invalidateItem(afControlTreeItem* item) {
    if (!item || !m_hwnd)
        return;
    RECT rect{};
    std::memcpy(&rect, &item->m_handle, sizeof(HTREEITEM)); // TVM_GETITEMRECT reads the item from the rectangle
    if (sendMessage(TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(m_hwnd, &rect, TRUE);
}

// --- expansion and checks ---

bool afControlTree::isExpanded(afControlTreeItem* item) const {
    if (!item || !m_hwnd)
        return false;
    if (!item->hasChildren())
        return (item->m_flags & afControlTreeItem::FLAG_REMEMBERED_EXPANDED) != 0;
    return (SendMessageW(m_hwnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item->m_handle), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

void afControlTree::expandItem(afControlTreeItem* item, bool expand) {
    if (!item || !m_hwnd)
        return;
    if (item->hasChildren())
        expandNative(item, expand);
    else
        item->setFlag(afControlTreeItem::FLAG_REMEMBERED_EXPANDED, expand);
}

bool afControlTree::expandNative(afControlTreeItem* item, bool expand) {
    HTREEITEM top = reinterpret_cast<HTREEITEM>(sendMessage(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    if (!sendMessage(TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item->m_handle)))
        return false;
    if (top)
        sendMessage(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(top));
    return true;
}

void afControlTree::setCheck(afControlTreeItem* item, bool checked) {
    if (!item || !m_hwnd)
        return;
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_STATE;
    entry.hItem = item->m_handle;
    entry.stateMask = TVIS_STATEIMAGEMASK;
    entry.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    sendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
}

bool afControlTree::isChecked(afControlTreeItem* item) const {
    if (!item || !m_hwnd)
        return false;
    LRESULT state =
        SendMessageW(m_hwnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item->m_handle), TVIS_STATEIMAGEMASK);
    return ((state & TVIS_STATEIMAGEMASK) >> 12) == 2;
}

void afControlTree::sortChildren(afControlTreeItem* parent, const afCallback<CompareFunction>& comparer) {
    if (!comparer.function || !m_hwnd)
        return;
    TVSORTCB sort{};
    sort.hParent = parent ? parent->m_handle : TVI_ROOT;
    sort.lpfnCompare = &compareItems;
    sort.lParam = reinterpret_cast<LPARAM>(&comparer);
    sendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

// --- paths and state ---

HTREEITEM afControlTree::findChildHandle(HTREEITEM parent, const std::wstring& text) const {
    HTREEITEM child = parent ? nextHandle(parent, TVGN_CHILD) : nextHandle(nullptr, TVGN_ROOT);
    while (child && textOf(child) != text)
        child = nextHandle(child, TVGN_NEXT);
    return child;
}

afControlTreeItem* afControlTree::findChild(afControlTreeItem* parent, const std::wstring& text) const {
    if (text.empty() || !m_hwnd)
        return nullptr;
    return getItem(findChildHandle(parent ? parent->m_handle : nullptr, text));
}

afControlTreeItem* afControlTree::findByPath(const std::wstring& path) const {
    std::vector<std::wstring> parts = splitPath(path);
    if (parts.empty() || !m_hwnd)
        return nullptr;
    HTREEITEM found = findChildHandle(nullptr, parts[0]);
    for (size_t i = 1; found && i < parts.size(); ++i) {
        HTREEITEM child = findChildHandle(found, parts[i]);
        if (!child)
            break;
        found = child;
    }
    return getItem(found);
}

std::wstring afControlTree::pathOf(HTREEITEM handle) const {
    std::wstring path;
    for (; handle; handle = nextHandle(handle, TVGN_PARENT))
        path.insert(0, L"\\" + textOf(handle));
    return path;
}

std::wstring afControlTree::getItemPath(const afControlTreeItem* item) const {
    if (!item || !m_hwnd)
        return std::wstring();
    return pathOf(item->m_handle);
}

void afControlTree::saveState(afControlTreeState& state) const {
    state = afControlTreeState();
    if (!m_hwnd)
        return;
    state.firstVisible = pathOf(nextHandle(nullptr, TVGN_FIRSTVISIBLE));
    state.selected = pathOf(nextHandle(nullptr, TVGN_CARET));
    // Pre-order; a path is built only for items with children, from its parent's.
    struct Level {
        HTREEITEM handle;
        std::wstring prefix;
    };
    std::vector<Level> pending{{nextHandle(nullptr, TVGN_ROOT), std::wstring()}};
    while (!pending.empty()) {
        Level level = std::move(pending.back());
        pending.pop_back();
        if (!level.handle)
            continue;
        pending.push_back({nextHandle(level.handle, TVGN_NEXT), level.prefix});
        HTREEITEM child = nextHandle(level.handle, TVGN_CHILD);
        if (!child)
            continue;
        std::wstring path = level.prefix + L"\\" + textOf(level.handle);
        if (SendMessageW(m_hwnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(level.handle), TVIS_EXPANDED) &
            TVIS_EXPANDED)
            state.expanded.push_back(path);
        pending.push_back({child, std::move(path)});
    }
}

void afControlTree::restoreState(const afControlTreeState& state) {
    for (const std::wstring& path : state.expanded)
        expandItem(findByPath(path), true);
    selectItem(findByPath(state.selected));
    setFirstVisible(findByPath(state.firstVisible));
}

void afControlTree::setEmptyText(const std::wstring& text) {
    m_emptyText = text;
    if (m_empty)
        invalidate();
}

void afControlTree::setImageList(HIMAGELIST list, bool owned) {
    sendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
    m_imageList.reset(list, owned);
}

} // namespace corvel
