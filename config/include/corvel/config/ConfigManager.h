// The process-wide holder of the Config and of the five callback lists through which the
// application tells its managers about the configuration's life.
#pragma once
#include "corvel/config/Config.h"

#include "zem/base/CallbackList.h"

namespace corvel {

class ConfigManager {
public:
    ConfigManager();
    ~ConfigManager();
    ConfigManager(const ConfigManager&) = delete;
    ConfigManager& operator=(const ConfigManager&) = delete;

    // Made on first use and initialised at start-up; null when start-up cannot mount what
    // the configuration needs. Defined with the start-up declarations.
    static ConfigManager* instance();
    // Deletes the manager instance() made; the next instance() makes a new one.
    static void destroy();
    bool initialize();

    // The global pointer as it stands, without making anything.
    static ConfigManager* current() { return s_instance; }
    static void setCurrent(ConfigManager* manager) { s_instance = manager; }

    Config& getConfig() { return *m_config; }

    // Set while the application takes its managers down: a manager that would subscribe
    // or unsubscribe while being destroyed skips that.
    static bool isShuttingDown() { return s_shuttingDown; }
    static void setShuttingDown(bool on) { s_shuttingDown = on; }

    // In this order: settings loaded and settings store (called with the Config on the
    // main thread), the close query (the first false keeps the program open), closing,
    // and activated (called with 1).
    zem::CallbackList<void(Config*)> settingsLoaded;
    zem::CallbackList<void(Config*)> settingsStore;
    zem::CallbackList<bool()> closeQuery;
    zem::CallbackList<void()> closing;
    zem::CallbackList<void(int)> activated;

private:
    static ConfigManager* s_instance;
    static bool s_shuttingDown;
    std::unique_ptr<Config> m_config;
};

} // namespace corvel
