// Registers an entry manager with the bundle manager once the configuration is loaded,
// as every kind's manager does at start-up; until then, and when there is no
// configuration manager, nothing happens.
#pragma once

namespace corvel {

class BundleEntryManager;
class BundleManager;
class Config;
class ConfigManager;

class EntryManagerRegistration {
public:
    EntryManagerRegistration(BundleManager& bundles, BundleEntryManager& manager);
    ~EntryManagerRegistration();
    EntryManagerRegistration(const EntryManagerRegistration&) = delete;
    EntryManagerRegistration& operator=(const EntryManagerRegistration&) = delete;

private:
    static void onSettingsLoaded(void* self, Config* config);

    BundleManager& m_bundles;
    BundleEntryManager& m_manager;
    ConfigManager* m_configManager; // subscribed to while not null
};

} // namespace corvel
