#include "corvel/widgets/afMenu.h"

#include "WidgetsLog.h"
#include "corvel/ui/afApp.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

afMenu::afMenu(const std::wstring& title, afIcon* icon, bool bar) : afMenuNode(title, MENU, icon), m_bar(bar ? 1 : 0) {}

afMenu::~afMenu() {
    for (afMenuNode* child : m_children)
        delete child;
    // A submenu's handle goes with its parent's native menu.
    if (m_handle && !getParent())
        DestroyMenu(m_handle);
}

namespace {

afIMenuModel* modelOfMenuData(ULONG_PTR data) {
    return static_cast<afIMenuModel*>(reinterpret_cast<afMenu*>(data));
}

// A native menu's data is the afMenu itself, which code that finds a menu through its
// handle may cast back; the core reaches the model through the resolver.
ULONG_PTR menuData(afMenu* menu) {
    afIMenuModel::fromMenuData = &modelOfMenuData;
    return reinterpret_cast<ULONG_PTR>(menu);
}

} // namespace

afMenu* afMenu::createPopup(const std::wstring& title) {
    std::unique_ptr<afMenu> menu(new afMenu(title));
    if (!menu->create())
        return nullptr;
    return menu.release();
}

bool afMenu::create() {
    m_handle = CreatePopupMenu();
    if (!m_handle)
        afApp::panic(L"afMenu::create()", L"Cannot create popup menu. CreatePopupMenu failed.");
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_MENUDATA;
    info.dwMenuData = menuData(this);
    SetMenuInfo(m_handle, &info);
    return true;
}

bool afMenuBar::create() {
    m_handle = CreateMenu();
    if (!m_handle)
        afApp::panic(L"afMenuBar::create()", L"Cannot create menu bar. CreateMenu failed.");
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE | MIM_MENUDATA;
    info.dwStyle = MNS_NOTIFYBYPOS;
    info.dwMenuData = menuData(this);
    if (m_ownerDrawn) {
        info.fMask |= MIM_BACKGROUND;
        info.hbrBack = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    SetMenuInfo(m_handle, &info);
    return true;
}

afMenu* afMenu::topmost() {
    afMenu* menu = this;
    while (menu->getParent())
        menu = menu->getParent();
    return menu;
}

uint16_t afMenu::takeId() {
    if (!m_freeIds.empty()) {
        uint16_t id = m_freeIds.back();
        m_freeIds.pop_back();
        return id;
    }
    return m_nextId++;
}

void afMenu::releaseId(uint16_t id) {
    if (m_ids.erase(id))
        m_freeIds.push_back(id);
}

afMenuNode* afMenu::findById(uint16_t id) const {
    auto it = m_ids.find(id);
    if (it != m_ids.end())
        return it->second;
    for (afMenuNode* child : m_children) {
        if (child->getKind() != MENU)
            continue;
        afMenuNode* found = static_cast<afMenu*>(child)->findById(id);
        if (found)
            return found;
    }
    return nullptr;
}

int afMenu::positionOf(const afMenuNode* node) const {
    auto it = std::find(m_children.begin(), m_children.end(), node);
    return it == m_children.end() ? -1 : static_cast<int>(it - m_children.begin());
}

std::wstring afMenu::nativeText(afMenuNode* node) const {
    std::wstring text = node->getTitle();
    if (node->getKind() != ITEM)
        return text;
    afMenuItem* item = static_cast<afMenuItem*>(node);
    text += L'\t';
    if (const wchar_t* tab = item->getTabText())
        text += tab;
    else if (const wchar_t* key = item->getKeyText())
        text += key;
    return text;
}

void afMenu::insertNative(afMenuNode* node, MENUITEMINFOW& info, const wchar_t* failure, const wchar_t* method) {
    info.cbSize = sizeof(info);
    info.fMask |= MIIM_DATA;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(static_cast<afIMenuItemNode*>(node));
    if (m_ownerDrawn) {
        info.fMask |= MIIM_FTYPE;
        info.fType |= MFT_OWNERDRAW;
    }
    if (!m_handle || !InsertMenuItemW(m_handle, GetMenuItemCount(m_handle), TRUE, &info))
        afApp::panic(method, failure);
}

afMenuItem* afMenu::addItem(afMenuItem* item) {
    if (!item)
        return nullptr;
    afMenu* top = topmost();
    uint16_t id = top->takeId();
    top->m_ids[id] = item;
    item->setId(id);
    item->setParent(this);
    m_children.push_back(item);
    std::wstring text = nativeText(item);
    MENUITEMINFOW info{};
    info.fMask = MIIM_ID | MIIM_STRING;
    info.wID = id;
    info.dwTypeData = &text[0];
    insertNative(item, info, L"InsertMenuItem failed. Cannot create item.", L"afMenu::addItem()");
    return item;
}

afMenu* afMenu::addMenu(afMenu* submenu) {
    if (!submenu)
        return nullptr;
    if (!submenu->m_handle)
        submenu->create();
    submenu->setParent(this);
    m_children.push_back(submenu);
    std::wstring text = submenu->getTitle();
    MENUITEMINFOW info{};
    info.fMask = MIIM_SUBMENU | MIIM_STRING;
    info.hSubMenu = submenu->m_handle;
    info.dwTypeData = &text[0];
    insertNative(submenu, info, L"InsertMenuItem failed. Cannot create submenu.", L"afMenu::addMenu()");
    return submenu;
}

afMenuItem* afMenu::addSeparator() {
    afMenuItem* separator = new afMenuItem(std::wstring(), SEPARATOR);
    separator->setParent(this);
    m_children.push_back(separator);
    MENUITEMINFOW info{};
    info.fMask = MIIM_ID | MIIM_FTYPE;
    info.fType = MFT_SEPARATOR;
    insertNative(separator, info, L"InsertMenuItem failed. Cannot create separator.", L"afMenu::addSeparator()");
    return separator;
}

void afMenu::setItemFlags(afMenuItem* item, bool checked, bool second) {
    if (!item)
        return;
    item->setChecked(checked);
    item->setSecondFlag(second);
}

void afMenu::setItemText(afMenuNode* node, const std::wstring& text) {
    if (!node)
        return;
    node->storeTitle(text);
    int position = positionOf(node);
    if (position < 0 || !m_handle)
        return;
    std::wstring native = nativeText(node);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = &native[0];
    SetMenuItemInfoW(m_handle, position, TRUE, &info);
}

void afMenu::setItemEnabled(afMenuItem* item, bool enabled) {
    int position = positionOf(item);
    if (position < 0 || !m_handle)
        return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = enabled ? MFS_ENABLED : (MFS_DISABLED | MFS_GRAYED);
    SetMenuItemInfoW(m_handle, position, TRUE, &info);
}

bool afMenu::remove(afMenuNode* node) {
    int position = positionOf(node);
    if (position < 0)
        return false;
    if (m_handle)
        DeleteMenu(m_handle, position, MF_BYPOSITION);
    // The id goes back to the menu that gave it out: the topmost at the time it was added.
    for (afMenu* menu = this; menu; menu = menu->getParent()) {
        auto it = menu->m_ids.find(node->getId());
        if (it != menu->m_ids.end() && it->second == node) {
            menu->releaseId(node->getId());
            break;
        }
    }
    m_children.erase(m_children.begin() + position);
    if (node->getKind() == MENU)
        static_cast<afMenu*>(node)->m_handle = nullptr; // DeleteMenu destroyed it
    delete node;
    return true;
}

void afMenu::clear() {
    for (afMenuNode* child : m_children) {
        if (m_handle)
            DeleteMenu(m_handle, 0, MF_BYPOSITION);
        if (child->getKind() == MENU)
            static_cast<afMenu*>(child)->m_handle = nullptr; // DeleteMenu destroyed it
        delete child;
    }
    m_children.clear();
    m_ids.clear();
    m_freeIds.clear();
    m_nextId = 1;
}

void afMenu::updateItemStates() {
    for (afMenuNode* child : m_children) {
        if (child->getKind() == ITEM)
            setItemEnabled(static_cast<afMenuItem*>(child), static_cast<afMenuItem*>(child)->isEnabled());
    }
}

void afMenu::prepare() {
    if (prepareCallback.isBound())
        prepareCallback(this);
    else
        updateItemStates();
}

afMenuNode* afMenu::popup(HWND owner, int x, int y, bool bottomAligned) {
    updateItemStates();
    if (!owner || !m_handle)
        return nullptr;
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | (bottomAligned ? TPM_BOTTOMALIGN : 0);
    UINT chosen = static_cast<UINT>(TrackPopupMenu(m_handle, flags, x, y, 0, owner, nullptr));
    return chosen == 0 ? nullptr : findById(static_cast<uint16_t>(chosen));
}

} // namespace corvel
