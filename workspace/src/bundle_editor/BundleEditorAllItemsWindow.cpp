#include "corvel/workspace/BundleEditorAllItemsWindow.h"

#include "RegisteredIcon.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/workspace/BundleEditorTags.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <cwchar>

namespace corvel {

namespace {

constexpr int ICON_COLUMNS = 2;
const wchar_t EMPTY_TEXT[] = L"Bundles are loading...";

int rankOrder(uint32_t a, uint32_t b) {
    try {
        return BundleManager::compareTypeRank(a, b);
    } catch (const zem::Exception&) {
        // A kind outside the rank table: by type id, so the order stays total.
        return a < b ? -1 : (a > b ? 1 : 0);
    }
}

void logFailure(const wchar_t* where, const zem::Exception& e) {
    std::wstring text = e.message();
    zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"BundleEditorAllItemsWindow::%s: %s\n", where,
                    text.c_str());
}

} // namespace

BundleEditorAllItemsWindow::BundleEditorAllItemsWindow(afView* parent, BundleManager* manager)
    : afContainer(parent), m_manager(manager) {}

BundleEditorAllItemsWindow::~BundleEditorAllItemsWindow() {
    unsubscribe();
}

void BundleEditorAllItemsWindow::onCreated() {
    afContainer::onCreated();
    setText(L"Bundles");
    auto* layout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    setContentView(layout);
    m_tree = afControlTree::create(this);
    m_tree->setVisible(true);
    if (m_images.create())
        m_tree->setImageList(m_images.release(), true);
    m_tree->sendMessage(TVM_SETITEMHEIGHT, ROW_HEIGHT, 0);
    m_tree->setIconColumns(ICON_COLUMNS);
    m_tree->setEmptyText(EMPTY_TEXT);
    m_tree->onItemActivated.set(this, &BundleEditorAllItemsWindow::onActivated);
    m_tree->onItemDeleted.set(this, &BundleEditorAllItemsWindow::onRowDeleted);
    m_tree->onContextMenu.set(this, &BundleEditorAllItemsWindow::onContextMenu);
    layout->addChild(m_tree, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT));
    if (!m_manager)
        return;
    m_manager->onLoadEnd.add(&BundleEditorAllItemsWindow::onLoadEnd, this);
    m_manager->onReset.add(&BundleEditorAllItemsWindow::onReset, this);
    m_manager->onLoadStart.add(&BundleEditorAllItemsWindow::onLoadStart, this);
    m_subscribed = true;
    // The editor is usually opened long after the bundles came: show them now.
    if (!m_manager->isLoading())
        fill();
}

void BundleEditorAllItemsWindow::onBeforeDestroy() {
    unsubscribe();
    // The tree's rows go without notifications: later calls find no rows.
    m_rows.clear();
    m_tree = nullptr;
    afContainer::onBeforeDestroy();
}

void BundleEditorAllItemsWindow::unsubscribe() {
    follow(false);
    if (!m_subscribed)
        return;
    m_subscribed = false;
    m_manager->onLoadEnd.remove(&BundleEditorAllItemsWindow::onLoadEnd, this);
    m_manager->onReset.remove(&BundleEditorAllItemsWindow::onReset, this);
    m_manager->onLoadStart.remove(&BundleEditorAllItemsWindow::onLoadStart, this);
}

void BundleEditorAllItemsWindow::follow(bool on) {
    if (on == m_following || !m_manager)
        return;
    m_following = on;
    if (on)
        m_manager->onEntryEvent.add(&BundleEditorAllItemsWindow::onEntryEvent, this);
    else
        m_manager->onEntryEvent.remove(&BundleEditorAllItemsWindow::onEntryEvent, this);
}

// --- filling and following ---

void BundleEditorAllItemsWindow::fill() {
    if (!m_tree)
        return;
    beginUpdate();
    try {
        std::vector<Bundle*> bundles;
        m_manager->getBundles(bundles);
        std::vector<uint32_t> kinds;
        std::vector<BundleItem*> items;
        for (Bundle* bundle : bundles) {
            addEntry(bundle);
            kinds.clear();
            bundle->getEntryTypes(kinds);
            for (uint32_t kind : kinds) {
                items.clear();
                bundle->getEntries(kind, items);
                for (BundleItem* item : items) {
                    // Items filed in a bundle but not (yet) installed are not the manager's.
                    if (item->isInstalled())
                        addEntry(item);
                }
            }
        }
    } catch (...) {
        endUpdate();
        throw;
    }
    endUpdate();
    follow(true);
}

void BundleEditorAllItemsWindow::clear() {
    follow(false);
    if (!m_tree)
        return;
    beginUpdate();
    m_tree->clear();
    m_rows.clear();
    endUpdate();
}

void BundleEditorAllItemsWindow::addEntry(BundleEntry* entry) {
    if (!entry || !m_tree || m_rows.count(entry))
        return;
    afControlTreeItem* parent = nullptr;
    if (!entry->isBundle()) {
        Bundle* bundle = static_cast<BundleItem*>(entry)->getBundle();
        if (!bundle)
            return;
        // An item may come before its bundle's row in one notification.
        if (!m_rows.count(bundle) && bundle->isInstalled())
            addEntry(bundle);
        parent = rowOf(bundle);
        if (!parent)
            return;
    }
    beginUpdate();
    afControlTreeItem* row = m_tree->insertItem(parent, entry->getDisplayTitle());
    if (row) {
        row->setData(entry, false);
        m_rows[entry] = row;
        updateRow(entry, row, true);
    }
    endUpdate();
}

void BundleEditorAllItemsWindow::removeEntry(BundleEntry* entry) {
    afControlTreeItem* row = rowOf(entry);
    if (!row)
        return;
    beginUpdate();
    // The deletion notifications drop the rows of the entry and its items from the map.
    m_tree->removeItem(row);
    m_needsSorting = true;
    endUpdate();
}

void BundleEditorAllItemsWindow::updateEntry(BundleEntry* entry) {
    afControlTreeItem* row = rowOf(entry);
    if (!row)
        return;
    beginUpdate();
    m_tree->setItemText(row, entry->getDisplayTitle());
    updateRow(entry, row, false);
    endUpdate();
}

void BundleEditorAllItemsWindow::onEntryChanged(void* self, BundleEntry* entry) {
    try {
        static_cast<BundleEditorAllItemsWindow*>(self)->updateEntry(entry);
    } catch (const zem::Exception& e) {
        logFailure(L"onEntryChanged", e);
    }
}

void BundleEditorAllItemsWindow::updateRow(BundleEntry* entry, afControlTreeItem* row, bool fresh) {
    // A new row is plain, without icons: filling many rows only pays for what differs.
    bool bold = entryCountsAsModified(entry);
    if (bold || !fresh)
        m_tree->setItemBold(row, bold);
    row->setImage(imageOf(entry));
    if (!fresh)
        row->clearIcons();
    if (entry->hasErrors()) {
        if (const afIcon* warning = registeredIcon(WARNING_ICON))
            row->addIcon(warning->getHandle());
    }
    m_needsSorting = true;
}

int BundleEditorAllItemsWindow::imageOf(const BundleEntry* entry) {
    const afIcon* icon = registeredIcon(entry->getType());
    if (!icon || !m_images.getHandle())
        return I_IMAGENONE;
    auto known = m_imageOf.find(icon->getHandle());
    if (known != m_imageOf.end())
        return known->second;
    int index = m_images.addIcon(icon->getHandle());
    if (index < 0)
        return I_IMAGENONE;
    m_imageOf[icon->getHandle()] = index;
    return index;
}

// --- updates and sorting ---

void BundleEditorAllItemsWindow::beginUpdate() {
    if (m_updateDepth++ == 0 && m_tree)
        m_tree->suspendRedraw();
}

void BundleEditorAllItemsWindow::endUpdate() {
    ZEM_ASSERT_MSG(m_updateDepth > 0, L"endUpdate without beginUpdate");
    if (m_updateDepth <= 0 || --m_updateDepth > 0)
        return;
    if (!m_tree)
        return;
    if (m_needsSorting) {
        m_needsSorting = false;
        sortRows();
    }
    m_tree->resumeRedraw();
}

void BundleEditorAllItemsWindow::sortRows() {
    afCallback<afControlTree::CompareFunction> comparer;
    comparer.set(this, &BundleEditorAllItemsWindow::compareRows);
    m_tree->sortChildren(nullptr, comparer);
    for (afControlTreeItem* root = m_tree->getFirstItem(); root; root = m_tree->getNextSibling(root))
        m_tree->sortChildren(root, comparer);
}

int BundleEditorAllItemsWindow::compareEntries(const BundleEntry* a, const BundleEntry* b) {
    if (!a || !b)
        return 0;
    // A bundle and an item never share a level.
    if (a->isBundle() != b->isBundle())
        return 0;
    if (!a->isBundle()) {
        int rank = rankOrder(a->getType(), b->getType());
        if (rank != 0)
            return rank;
    }
    return _wcsicmp(a->getTitle().c_str(), b->getTitle().c_str());
}

int BundleEditorAllItemsWindow::compareRows(void* self, afControlTreeItem* a, afControlTreeItem* b) {
    auto* me = static_cast<BundleEditorAllItemsWindow*>(self);
    return compareEntries(me->entryOf(a), me->entryOf(b));
}

// --- lookups ---

afControlTreeItem* BundleEditorAllItemsWindow::rowOf(const BundleEntry* entry) const {
    auto found = m_rows.find(entry);
    return found == m_rows.end() ? nullptr : found->second;
}

BundleEntry* BundleEditorAllItemsWindow::entryOf(const afControlTreeItem* row) const {
    return row ? dynamic_cast<BundleEntry*>(row->getData()) : nullptr;
}

Bundle* BundleEditorAllItemsWindow::getSelectedBundle() const {
    if (!m_tree)
        return nullptr;
    afControlTreeItem* row = m_tree->getSelectedItem();
    if (!row)
        row = m_tree->getFirstItem();
    BundleEntry* entry = entryOf(row);
    if (entry && entry->isBundle())
        return static_cast<Bundle*>(entry);
    BundleEntry* parent = row ? entryOf(m_tree->getParentItem(row)) : nullptr;
    if (parent && parent->isBundle())
        return static_cast<Bundle*>(parent);
    return nullptr;
}

void BundleEditorAllItemsWindow::selectEntry(BundleEntry* entry) {
    afControlTreeItem* row = rowOf(entry);
    if (!row)
        return;
    m_tree->ensureVisible(row);
    m_tree->selectItem(row);
}

// --- notifications ---

void BundleEditorAllItemsWindow::onLoadEnd(void* self, BundleManager*, bool) {
    auto* me = static_cast<BundleEditorAllItemsWindow*>(self);
    try {
        // A stopped run left what it loaded; a reset follows and clears it.
        me->clear();
        me->fill();
    } catch (const zem::Exception& e) {
        logFailure(L"onLoadEnd", e);
    }
}

void BundleEditorAllItemsWindow::onLoadStart(void* self, BundleManager*) {
    static_cast<BundleEditorAllItemsWindow*>(self)->follow(false);
}

void BundleEditorAllItemsWindow::onReset(void* self, BundleManager*) {
    static_cast<BundleEditorAllItemsWindow*>(self)->clear();
}

void BundleEditorAllItemsWindow::onEntryEvent(void* self, BundleManager*, uint32_t event,
                                              const std::vector<BundleEntry*>& entries) {
    auto* me = static_cast<BundleEditorAllItemsWindow*>(self);
    try {
        me->beginUpdate();
        for (BundleEntry* entry : entries) {
            switch (event) {
            case BundleManager::EVENT_INSTALLED:
                me->addEntry(entry);
                break;
            case BundleManager::EVENT_UNINSTALLED:
                me->removeEntry(entry);
                break;
            default:
                me->updateEntry(entry);
                break;
            }
        }
        me->endUpdate();
    } catch (const zem::Exception& e) {
        me->endUpdate();
        logFailure(L"onEntryEvent", e);
    }
}

void BundleEditorAllItemsWindow::onRowDeleted(void* self, afControlTree*, afControlTreeItem* row) {
    auto* me = static_cast<BundleEditorAllItemsWindow*>(self);
    auto found = me->m_rows.find(me->entryOf(row));
    if (found != me->m_rows.end() && found->second == row)
        me->m_rows.erase(found);
}

void BundleEditorAllItemsWindow::onActivated(void* self, afControlTree*, afControlTreeItem* row) {
    auto* me = static_cast<BundleEditorAllItemsWindow*>(self);
    try {
        if (BundleEntry* entry = me->entryOf(row))
            me->entryActivated.invoke(me, entry);
    } catch (const zem::Exception& e) {
        logFailure(L"onActivated", e);
    }
}

// --- context menu ---

void BundleEditorAllItemsWindow::onContextMenu(void* self, afControlTree*, afControlTreeItem* row, int x, int y) {
    auto* me = static_cast<BundleEditorAllItemsWindow*>(self);
    try {
        me->showMenu(row, x, y);
    } catch (const zem::Exception& e) {
        logFailure(L"onContextMenu", e);
    }
}

void BundleEditorAllItemsWindow::showMenu(afControlTreeItem* row, int x, int y) {
    BundleEntry* entry = entryOf(row);
    if (!entry)
        return;
    std::unique_ptr<afMenu> menu(afMenu::createPopup(L""));
    if (!menu)
        return;
    afMenuItem* disable = menu->addItem(new afMenuItem(L"Disable"));
    Bundle* bundle = entry->isBundle() ? static_cast<Bundle*>(entry) : static_cast<BundleItem*>(entry)->getBundle();
    if (bundle && addItemMenu.isBound())
        addItemMenu(bundle, menu.get());
    // The entry may go while the menu is open (a reload): keep it until the choice ran.
    entry->addRef();
    zem::Uuid uuid = entry->getUuid();
    afMenuNode* chosen = runMenu(menu.get(), x, y);
    entry->release();
    if (!chosen)
        return;
    if (chosen == disable) {
        m_manager->disableEntry(uuid);
        return;
    }
    chosen->runCommand();
}

afMenuNode* BundleEditorAllItemsWindow::runMenu(afMenu* menu, int x, int y) {
    return menu->popup(getHandle(), x, y, false);
}

} // namespace corvel
