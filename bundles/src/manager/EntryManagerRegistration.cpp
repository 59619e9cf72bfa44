#include "corvel/bundles/EntryManagerRegistration.h"

#include "corvel/bundles/BundleManager.h"
#include "corvel/config/ConfigManager.h"

namespace corvel {

EntryManagerRegistration::EntryManagerRegistration(BundleManager& bundles, BundleEntryManager& manager)
    : m_bundles(bundles), m_manager(manager), m_configManager(ConfigManager::current()) {
    if (m_configManager)
        m_configManager->settingsLoaded.add(&onSettingsLoaded, this);
}

EntryManagerRegistration::~EntryManagerRegistration() {
    if (m_configManager && ConfigManager::current() == m_configManager)
        m_configManager->settingsLoaded.remove(&onSettingsLoaded, this);
}

void EntryManagerRegistration::onSettingsLoaded(void* self, Config*) {
    EntryManagerRegistration* registration = static_cast<EntryManagerRegistration*>(self);
    registration->m_bundles.registerEntryManager(&registration->m_manager);
}

} // namespace corvel
