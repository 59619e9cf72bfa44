#include "corvel/bundles/BundleEntryEditorMakers.h"
#include "corvel/bundles/BundleManager.h"

#include "ConfigHooks.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleEntryValidator.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleLoaderTask.h"
#include "corvel/config/BgScheduler.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/base/Exception.h"
#include "zem/files/File.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"
#include "zem/text/Inflector.h"

#include <algorithm>
#include <windows.h>

namespace corvel {

const wchar_t* const BundleManager::CACHE_PATH = L"user:bundles.cvCache";
const wchar_t* const BundleManager::DISABLED_KEY = L"app.bundles.disabled";

uint32_t BundleManager::logSource() {
    static const uint32_t source = zem::LogManager_Impl::instance().registerSource(L"bundles");
    return source;
}

// The entry manager of the bundle kind itself.
class BundleManager::BundleKindManager : public BundleEntryManager {
public:
    BundleKindManager(BundleManager& owner, const void* icon) : m_owner(owner), m_icon(icon) {}

    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override {
        (void)typeId;
        return new Bundle(m_owner.getEntryManager(BUNDLE_TYPE_ID), uuid);
    }
    void getEntryType(BundleEntryTypeInfo& out) override {
        fillStandardEntryType(BUNDLE_TYPE_ID, out);
        out.order = -10;
        out.icon = m_icon;
    }
    bool installEntry(BundleEntry* entry) override {
        (void)entry;
        return true;
    }
    bool uninstallEntry(BundleEntry* entry) override {
        return entry && entry->isBundle() && entry->getType() == BUNDLE_TYPE_ID;
    }
    // The source editor lives with the bundle editor, above this library.
    BundleEntryEditorFactory getEditorFactory(BundleEntry* entry) override {
        (void)entry;
        return getBundleEntryEditorMakers().source;
    }

private:
    BundleManager& m_owner;
    const void* m_icon;
};

namespace {

bool closeQuery(void* self) { return static_cast<BundleManager*>(self)->onCloseQuery(); }

int typeRank(uint32_t typeId) {
    switch (typeId) {
    case BUNDLE_TYPE_ID:
        return -20;
    case LANGUAGE_TYPE_ID:
        return -10;
    case THEME_TYPE_ID:
        return -9;
    case SNIPPET_TYPE_ID:
        return -5;
    case SCOPE_PREFERENCES_TYPE_ID:
        return 0;
    default:
        throw zem::IllegalStateException(L"Invalid bundle entry type to rank.");
    }
}

} // namespace

BundleManager::BundleManager(BundleUiHost* host)
    : m_host(host ? host : &BundleUiHost::none()), m_scheduler(new BgScheduler(L"Closures")) {
    m_scheduler->setWorkerCount(1);
    m_host->addAction(BundleAction{L"bundles.reload", L"Reload Bundles", L"ui.window.main", L"", [this] { reload(); }});
    m_host->addAction(BundleAction{L"bundles.editor", L"Toggle Bundles Editor",
                                   L"ui.window.main, ui.window.bundle_editor", L"F4", [this] { m_host->toggleEditor(); }});
    m_configHooks.reset(new ConfigHooks<BundleManager>(this));
    if (ConfigManager* config = m_configHooks->manager())
        config->closeQuery.add(&closeQuery, this);
}

BundleManager::~BundleManager() {
    ConfigManager* config = m_configHooks->manager();
    if (config && ConfigManager::current() == config)
        config->closeQuery.remove(&closeQuery, this);
    m_configHooks.reset();
    try {
        stopRun();
        m_loader.reset();
        onUpdate.invoke(this);
        ++m_updateDepth;
        reset();
    } catch (...) {
        zem::logMessage(3, logSource(), L"BundleManager: an entry failed to uninstall at exit.");
    }
    m_disabled.clear();
    // Kind managers may still call into the manager while they go (unsubscribing).
    std::map<uint32_t, std::unique_ptr<BundleEntryTypeInfo>> registry;
    {
        zem::CriticalSectionLock guard(m_registryLock);
        registry.swap(m_registry);
    }
    for (auto& record : registry)
        delete record.second->manager;
    m_scheduler.reset();
    m_host->removeAction(L"bundles.reload");
    m_host->removeAction(L"bundles.editor");
}

void BundleManager::onConfigReady(Config& config) {
    m_config = &config;
    registerBundleKind();
}

void BundleManager::onConfigExit(Config& config) {
    stopRun();
    m_loader.reset();
    m_loading = false;
    // Records read before every kind registered would have been dropped: read them now.
    if (!m_disabledRead)
        readDisabled(config);
    writeDisabled(config);
}

bool BundleManager::onCloseQuery() { return m_host->closeAllEditors(); }

void BundleManager::registerBundleKind() {
    if (getEntryManager(BUNDLE_TYPE_ID))
        return;
    const void* icon = m_host->loadIcon(BUNDLE_ICON_RESOURCE, BUNDLE_TYPE_ID);
    BundleKindManager* kind = new BundleKindManager(*this, icon);
    if (!registerEntryManager(kind))
        delete kind;
}

bool BundleManager::registerEntryManager(BundleEntryManager* manager) {
    if (!manager)
        return false;
    std::unique_ptr<BundleEntryTypeInfo> info(new BundleEntryTypeInfo());
    manager->getEntryType(*info);
    if (!info->icon || info->name.empty())
        return false;
    if (info->extension.empty())
        info->extension = L"cv" + info->name;
    if (info->label.empty())
        info->label = zem::Inflector::pluralize(info->name);
    if (info->folder.empty()) {
        info->folder = info->name;
        zem::Inflector::toLower(info->folder);
    }
    if (!info->validator)
        info->validator = std::make_shared<BundleEntryValidator>();
    info->manager = manager;
    zem::CriticalSectionLock guard(m_registryLock);
    if (m_registry.count(info->typeId))
        return false;
    m_registry[info->typeId] = std::move(info);
    return true;
}

const BundleEntryTypeInfo* BundleManager::getEntryManager(uint32_t typeId) {
    zem::CriticalSectionLock guard(m_registryLock);
    auto it = m_registry.find(typeId);
    return it == m_registry.end() ? nullptr : it->second.get();
}

void BundleManager::getEntryTypes(std::vector<BundleEntryTypeInfo>& out) {
    out.clear();
    zem::CriticalSectionLock guard(m_registryLock);
    auto bundle = m_registry.find(BUNDLE_TYPE_ID);
    if (bundle != m_registry.end())
        out.push_back(*bundle->second);
    for (auto& record : m_registry) {
        if (record.first != BUNDLE_TYPE_ID)
            out.push_back(*record.second);
    }
}

BundleEntry* BundleManager::createEntry(uint32_t typeId, const zem::Uuid& uuid) {
    BundleEntryManager* factory = nullptr;
    {
        zem::CriticalSectionLock guard(m_registryLock);
        auto it = m_registry.find(typeId);
        if (it != m_registry.end())
            factory = it->second->manager;
    }
    if (!factory)
        throw zem::IllegalStateException(L"Type is unknown.");
    return factory->createEntry(typeId, uuid);
}

BundleEntryManager* BundleManager::kindManager(const BundleEntry* entry) {
    const BundleEntryTypeInfo* info = getEntryManager(entry->getType());
    return info ? info->manager : nullptr;
}

BundleEntry* BundleManager::findEntry(const zem::Uuid& uuid) const {
    auto it = m_byUuid.find(uuid);
    return it == m_byUuid.end() ? nullptr : it->second;
}

Bundle* BundleManager::getBundle(const zem::Uuid& uuid) const {
    auto it = m_bundles.find(uuid);
    return it == m_bundles.end() ? nullptr : it->second;
}

void BundleManager::getEntriesOfType(uint32_t typeId, std::vector<BundleEntry*>& out) const {
    auto range = m_byType.equal_range(typeId);
    for (auto it = range.first; it != range.second; ++it)
        out.push_back(it->second);
}

void BundleManager::getBundles(std::vector<Bundle*>& out) const {
    out.clear();
    for (auto& bundle : m_bundles)
        out.push_back(bundle.second);
}

bool BundleManager::addEntries(const std::vector<BundleEntry*>& entries) {
    for (BundleEntry* entry : entries) {
        if (!entry || std::find(m_entries.begin(), m_entries.end(), entry) != m_entries.end())
            continue;
        entry->addRef();
        m_entries.push_back(entry);
        if (entry->isBundle()) {
            m_bundles[entry->getUuid()] = static_cast<Bundle*>(entry);
            onBundleAdded.invoke(this, static_cast<Bundle*>(entry));
        }
        if (BundleEntryManager* manager = kindManager(entry))
            manager->installEntry(entry);
        m_byUuid[entry->getUuid()] = entry;
        m_byType.insert(std::make_pair(entry->getType(), entry));
        entry->setInstalled(true);
        entry->onModifiedChanged().add(&onEntryModifiedChanged, this);
        entry->onUpdateBegin().add(&onEntryUpdateBegin, this);
        entry->onUpdateEnd().add(&onEntryUpdateEnd, this);
    }
    onEntryEvent.invoke(this, EVENT_INSTALLED, entries);
    return true;
}

bool BundleManager::addEntry(BundleEntry* entry) { return addEntries(std::vector<BundleEntry*>{entry}); }

void BundleManager::removeOne(BundleEntry* entry, std::vector<BundleEntry*>& removed) {
    auto listed = std::find(m_entries.begin(), m_entries.end(), entry);
    if (listed == m_entries.end())
        return;
    if (entry->isBundle())
        onBundleRemoved.invoke(this, static_cast<Bundle*>(entry));
    entry->onModifiedChanged().remove(&onEntryModifiedChanged, this);
    entry->onUpdateBegin().remove(&onEntryUpdateBegin, this);
    entry->onUpdateEnd().remove(&onEntryUpdateEnd, this);
    auto range = m_byType.equal_range(entry->getType());
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == entry) {
            m_byType.erase(it);
            break;
        }
    }
    auto indexed = m_byUuid.find(entry->getUuid());
    if (indexed != m_byUuid.end() && indexed->second == entry)
        m_byUuid.erase(indexed);
    m_entries.erase(listed);
    removed.push_back(entry);
    if (entry->isBundle()) {
        Bundle* bundle = static_cast<Bundle*>(entry);
        std::vector<uint32_t> kinds;
        bundle->getEntryTypes(kinds);
        for (uint32_t kind : kinds) {
            std::vector<BundleItem*> items;
            bundle->getEntries(kind, items);
            for (BundleItem* item : items)
                removeOne(item, removed);
        }
    }
    if (BundleEntryManager* manager = kindManager(entry))
        manager->uninstallEntry(entry);
    entry->setInstalled(false);
    if (entry->isBundle()) {
        auto it = m_bundles.find(entry->getUuid());
        if (it != m_bundles.end() && it->second == entry)
            m_bundles.erase(it);
    }
}

void BundleManager::removeEntries(const std::vector<BundleEntry*>& entries, bool keep) {
    std::vector<BundleEntry*> removed;
    for (BundleEntry* entry : entries) {
        if (entry)
            removeOne(entry, removed);
    }
    onEntryEvent.invoke(this, EVENT_UNINSTALLED, removed);
    // An item leaves its bundle's table before its last reference goes.
    for (BundleEntry* entry : removed) {
        if (entry->isBundle())
            continue;
        BundleItem* item = static_cast<BundleItem*>(entry);
        if (item->getBundle())
            item->getBundle()->removeEntry(item);
    }
    for (BundleEntry* entry : removed) {
        bool named = std::find(entries.begin(), entries.end(), entry) != entries.end();
        if (!keep || !named)
            entry->release();
    }
}

void BundleManager::removeEntry(BundleEntry* entry, bool keep) {
    removeEntries(std::vector<BundleEntry*>{entry}, keep);
}

void BundleManager::beginUpdate() {
    if (m_updateDepth == 0)
        onUpdate.invoke(this);
    ++m_updateDepth;
}

void BundleManager::endUpdate() {
    if (m_updateDepth <= 0) {
        m_updateDepth = 0;
        throw zem::IllegalStateException(L"Unbalanced update end.");
    }
    --m_updateDepth;
    if (m_updateDepth == 0)
        onUpdateEnd.invoke(this);
}

bool BundleManager::reset() {
    if (!m_host->closeAllEditors())
        return false;
    // A run under way would deliver into the emptied manager: end it first.
    stopRun();
    onReset.invoke(this);
    beginUpdate();
    try {
        while (!m_bundles.empty())
            removeEntry(m_bundles.begin()->second);
        // Entries without a bundle (added directly) go too.
        std::vector<BundleEntry*> rest(m_entries);
        if (!rest.empty())
            removeEntries(rest, false);
    } catch (...) {
        endUpdate();
        throw;
    }
    endUpdate();
    m_entries.clear();
    m_byUuid.clear();
    m_byType.clear();
    return true;
}

void BundleManager::stopRun() {
    if (!m_runActive)
        return;
    if (m_loader)
        m_loader->stop();
    onLoadFinished(true);
}

bool BundleManager::load() {
    if (m_loading)
        return true;
    m_loading = true;
    if (!reset()) {
        m_loading = false;
        return false;
    }
    if (!m_disabledRead && m_config)
        readDisabled(*m_config);
    if (restoreFromCache())
        return true;
    if (!m_loader)
        m_loader.reset(new BundleLoaderTask(*this));
    m_loader->start();
    return true;
}

bool BundleManager::restoreFromCache() {
    if (zem::File* file = zem::fileOpen(CACHE_PATH, zem::FILE_MODE_READ)) {
        uint32_t header = 0;
        file->read(&header, sizeof(header));
        zem::fileClose(file);
    } else {
        zem::logMessage(1, logSource(), L"Binary cache not found.");
    }
    zem::logMessage(1, logSource(), L"There was an error while restoring from the cache. Reloading with full scan.");
    zem::fileDelete(CACHE_PATH);
    reset();
    return false;
}

bool BundleManager::reload() {
    beginUpdate();
    bool result = false;
    try {
        if (reset()) {
            zem::fileDelete(CACHE_PATH);
            result = load();
        }
    } catch (...) {
        endUpdate();
        throw;
    }
    endUpdate();
    return result;
}

void BundleManager::onLoadStarted() {
    m_runActive = true;
    onLoadStart.invoke(this);
    m_status = m_host->pushStatus(L"Loading bundles...");
}

void BundleManager::onLoadFinished(bool stopped) {
    m_runActive = false;
    m_host->popStatus(m_status);
    m_status = 0;
    m_loading = false;
    onLoadEnd.invoke(this, stopped);
}

bool BundleManager::disableEntry(const zem::Uuid& uuid) {
    if (m_disabled.count(uuid))
        return true;
    BundleEntry* entry = findEntry(uuid);
    if (!entry)
        return true;
    m_disabled[uuid] = DisabledEntryRecord::fromEntry(entry);
    beginUpdate();
    try {
        removeEntry(entry);
    } catch (...) {
        endUpdate();
        throw;
    }
    endUpdate();
    onDisabledChanged.invoke(this);
    return true;
}

bool BundleManager::enableEntry(const zem::Uuid& uuid) {
    auto it = m_disabled.find(uuid);
    if (it == m_disabled.end())
        return false;
    if (!reset())
        return false;
    m_disabled.erase(it);
    load();
    onDisabledChanged.invoke(this);
    return true;
}

void BundleManager::getDisabledEntries(std::vector<DisabledEntryRecord>& out) const {
    out.clear();
    for (auto& record : m_disabled)
        out.push_back(*record.second);
}

void BundleManager::clearDisabled() {
    m_disabled.clear();
    onDisabledChanged.invoke(this);
}

void BundleManager::readDisabled(Config& config) {
    clearDisabled();
    m_disabledRead = true;
    {
        zem::CriticalSectionLock guard(config.getLock());
        ConfigValue* value = config.getValue(DISABLED_KEY);
        if (!value || value->getType() != ConfigValue::TYPE_LIST)
            return;
        for (const ConfigValue& element : value->getList()) {
            const JasmineValue* dictionary =
                element.getType() == ConfigValue::TYPE_JASMINE ? element.getJasmine() : nullptr;
            if (!dictionary)
                continue;
            std::unique_ptr<DisabledEntryRecord> record = DisabledEntryRecord::fromValue(*dictionary);
            if (!record || !getEntryManager(record->typeId) || m_disabled.count(record->uuid))
                continue;
            zem::Uuid uuid = record->uuid;
            m_disabled[uuid] = std::move(record);
        }
    }
    if (!onDisabledChanged.empty())
        onDisabledChanged.invoke(this);
}

void BundleManager::writeDisabled(Config& config) {
    ConfigValue::List list;
    for (auto& record : m_disabled) {
        JasmineValue dictionary;
        record.second->toValue(dictionary);
        list.emplace_back(ConfigValue::TYPE_JASMINE);
        list.back().setJasmine(dictionary);
    }
    zem::CriticalSectionLock guard(config.getLock());
    ConfigValue* value = config.getValue(DISABLED_KEY);
    if (!value)
        value = config.declareValue(DISABLED_KEY, ConfigValue::TYPE_LIST);
    if (value)
        value->setList(list);
}

void BundleManager::buildBundlesMenu(BundleMenuBuilder& menu) {
    menu.clear();
    menu.addItem(L"&Bundle Editor", L"bundles.editor", true);
    menu.addItem(L"&Reload Bundles", L"bundles.reload", !m_loading);
    menu.addSeparator();
    std::vector<Bundle*> bundles;
    getBundles(bundles);
    if (bundles.empty()) {
        menu.addItem(m_loading ? L"Loading..." : L"No bundles available.", L"", false);
        return;
    }
    std::stable_sort(bundles.begin(), bundles.end(),
                     [](Bundle* a, Bundle* b) { return _wcsicmp(a->getTitle().c_str(), b->getTitle().c_str()) < 0; });
    const BundleEntryTypeInfo* kind = getEntryManager(BUNDLE_TYPE_ID);
    for (Bundle* bundle : bundles) {
        MenuDefNodePtr own = bundle->getMenu();
        if (own && !own->children.empty())
            menu.addSubMenu(bundle->getDisplayTitle(), kind ? kind->icon : nullptr, own);
    }
}

int BundleManager::compareTypeRank(uint32_t a, uint32_t b) {
    int rankA = typeRank(a);
    int rankB = typeRank(b);
    if (a == b)
        return 0;
    return rankB < rankA ? 1 : -1;
}

void BundleManager::onEntryModifiedChanged(void* self, BundleEntry* entry) {
    static_cast<BundleManager*>(self)->onEntryEvent.invoke(static_cast<BundleManager*>(self), EVENT_STATE_CHANGED,
                                                           std::vector<BundleEntry*>{entry});
}

void BundleManager::onEntryUpdateBegin(void* self, BundleEntry* entry) {
    if (BundleEntryManager* manager = static_cast<BundleManager*>(self)->kindManager(entry))
        manager->onEntryUpdateBegin(entry);
}

void BundleManager::onEntryUpdateEnd(void* self, BundleEntry* entry) {
    BundleManager* manager = static_cast<BundleManager*>(self);
    manager->onEntryEvent.invoke(manager, EVENT_UPDATED, std::vector<BundleEntry*>{entry});
    if (BundleEntryManager* kind = manager->kindManager(entry))
        kind->onEntryChanged(entry);
}

} // namespace corvel
