#include "corvel/app/DockManager.h"

#include "corvel/config/Config.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/widgets/afDock.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afDockSlotController.h"
#include "zem/base/Crc.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr const wchar_t DOCKS_KEY[] = L"app.docks";

DockManager* g_instance = nullptr;

uint32_t symbol(const wchar_t* name) {
    return zem::symbolId(name);
}

} // namespace

DockManager::DockManager() {
    g_instance = this;
}

DockManager::~DockManager() {
    for (DockEntry& entry : m_docks)
        entry.dock->focusListeners().remove(&DockManager::onDockFocus, this);
    if (g_instance == this)
        g_instance = nullptr;
}

DockManager* DockManager::instance() {
    return g_instance;
}

void DockManager::registerDock(const std::wstring& name, afDock* dock) {
    if (!dock)
        return;
    uint32_t id = symbol(name.c_str());
    if (findEntry(id))
        return;
    m_docks.push_back(DockEntry{id, name, dock});
    dock->focusListeners().add(&DockManager::onDockFocus, this);
}

void DockManager::unregisterDock(afDock* dock) {
    auto entry = std::find_if(m_docks.begin(), m_docks.end(), [&](const DockEntry& e) { return e.dock == dock; });
    if (entry == m_docks.end())
        return;
    dock->focusListeners().remove(&DockManager::onDockFocus, this);
    m_docks.erase(entry);
    if (m_current == dock)
        m_current = nullptr;
}

void DockManager::registerSlotController(afDockSlotController* controller) {
    if (!controller || findController(controller->getControllerId()))
        return;
    m_controllers.push_back(controller);
}

void DockManager::unregisterSlotController(afDockSlotController* controller) {
    m_controllers.erase(std::remove(m_controllers.begin(), m_controllers.end(), controller), m_controllers.end());
}

afDockSlotController* DockManager::findController(uint32_t id) const {
    if (id == symbol(L"null"))
        return nullptr;
    for (afDockSlotController* controller : m_controllers) {
        if (controller->getControllerId() == id)
            return controller;
    }
    return nullptr;
}

const DockManager::DockEntry* DockManager::findEntry(uint32_t id) const {
    for (const DockEntry& entry : m_docks) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

afDock* DockManager::findDock(const std::wstring& name) const {
    const DockEntry* entry = findEntry(symbol(name.c_str()));
    return entry ? entry->dock : nullptr;
}

std::wstring DockManager::getDockName(const afDock* dock) const {
    for (const DockEntry& entry : m_docks) {
        if (entry.dock == dock)
            return entry.name;
    }
    return std::wstring();
}

void DockManager::onDockFocus(void* self, afDock* dock) {
    static_cast<DockManager*>(self)->m_current = dock;
}

void DockManager::notifyControllers(uint32_t what, uint32_t phase) {
    // A controller may register or leave while it is told: walk a copy.
    std::vector<afDockSlotController*> controllers = m_controllers;
    for (afDockSlotController* controller : controllers)
        controller->onDockEvent(what, &phase);
}

void DockManager::store(Config& config) {
    notifyControllers(symbol(L"serialize"), symbol(L"begin"));
    if (ConfigValue* value = config.getValue(DOCKS_KEY)) {
        ConfigValue::List docks;
        for (const DockEntry& entry : m_docks) {
            afDock* dock = entry.dock;
            if (dock->getSlotCount() == 0)
                continue;
            JasmineValue record(JasmineValue::TYPE_DICTIONARY);
            record.getOrAddEntry(L"dock").setString(entry.name);
            JasmineValue& slots = record.getOrAddEntry(L"slots");
            slots.initPayload(JasmineValue::TYPE_LIST);
            bool stored = false;
            for (int index = 0; index < dock->getSlotCount(); ++index) {
                afDockSlot* slot = dock->getSlot(index);
                afDockSlotController* controller = slot ? slot->getController() : nullptr;
                if (!controller)
                    continue;
                JasmineValue entry(JasmineValue::TYPE_DICTIONARY);
                entry.getOrAddEntry(L"serializer").setUnsigned(controller->getControllerId());
                if (!controller->storeSlot(slot, entry))
                    continue;
                slots.appendElement() = std::move(entry);
                stored = true;
            }
            // A dock whose every slot declined holds nothing for the next run.
            if (!stored)
                continue;
            docks.emplace_back();
            docks.back().setJasmine(record);
        }
        value->setList(docks);
    }
    notifyControllers(symbol(L"serialize"), symbol(L"end"));
}

void DockManager::restore(Config& config) {
    notifyControllers(symbol(L"deserialize"), symbol(L"begin"));
    const ConfigValue* value = config.getValue(DOCKS_KEY);
    // Copied: a controller that restores a slot may change the settings meanwhile.
    std::vector<JasmineValue> records;
    if (value) {
        for (const ConfigValue& element : value->getList()) {
            if (const JasmineValue* record = element.getJasmine())
                records.push_back(*record);
        }
    }
    for (const JasmineValue& record : records) {
        if (!record.isDictionary())
            continue;
        const JasmineValue& name = record.find(L"dock");
        const JasmineValue& slots = record.find(L"slots");
        if (name.getType() != JasmineValue::TYPE_STRING || !slots.isList())
            continue;
        const DockEntry* entry = findEntry(symbol(name.asString(L"")));
        if (!entry)
            continue;
        const JasmineValue* first = nullptr;
        const JasmineValue* last = nullptr;
        slots.listRange(first, last);
        for (const JasmineValue* slot = first; slot != last; ++slot) {
            if (!slot->isDictionary())
                continue;
            uint32_t id = slot->find(L"serializer").asUnsigned(symbol(L"null"));
            if (afDockSlotController* controller = findController(id))
                controller->restoreSlot(*slot, entry->dock, -1);
        }
    }
    notifyControllers(symbol(L"deserialize"), symbol(L"end"));
}

} // namespace corvel
