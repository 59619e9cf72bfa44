// A manager's subscription to the configuration manager's loaded and store lists, which
// call its onConfigReady and onConfigExit with the Config; dropped when it goes, unless
// the configuration manager went first.
#pragma once
#include "corvel/config/ConfigManager.h"

namespace corvel {

template <class Owner> class ConfigHooks {
public:
    explicit ConfigHooks(Owner* owner) : m_owner(owner), m_manager(ConfigManager::current()) {
        if (!m_manager)
            return;
        m_manager->settingsLoaded.add(&loaded, m_owner);
        m_manager->settingsStore.add(&store, m_owner);
    }
    ~ConfigHooks() {
        if (!m_manager || ConfigManager::current() != m_manager)
            return;
        m_manager->settingsLoaded.remove(&loaded, m_owner);
        m_manager->settingsStore.remove(&store, m_owner);
    }
    ConfigHooks(const ConfigHooks&) = delete;
    ConfigHooks& operator=(const ConfigHooks&) = delete;

    ConfigManager* manager() const { return m_manager; }

private:
    static void loaded(void* owner, Config* config) {
        if (config)
            static_cast<Owner*>(owner)->onConfigReady(*config);
    }
    static void store(void* owner, Config* config) {
        if (config)
            static_cast<Owner*>(owner)->onConfigExit(*config);
    }

    Owner* m_owner;
    ConfigManager* m_manager; // not owned; null when there was none
};

} // namespace corvel
