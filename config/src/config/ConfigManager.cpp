#include "corvel/config/ConfigManager.h"

#include "corvel/config/ConfigFile.h"

namespace corvel {

ConfigManager* ConfigManager::s_instance = nullptr;
bool ConfigManager::s_shuttingDown = false;

ConfigManager::ConfigManager() : m_config(new Config()) {}

ConfigManager::~ConfigManager() {
    if (s_instance == this)
        s_instance = nullptr;
}

} // namespace corvel
