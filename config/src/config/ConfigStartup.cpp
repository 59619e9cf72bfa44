// The configuration the application core relies on from its first moment: the start-up
// file that names the user folder, then the session, preferences and other user files
// with their keys and defaults, declared in this order and loaded.
#include "corvel/config/ConfigManager.h"

#include "corvel/config/ConfigFile.h"
#include "corvel/config/Environment.h"
#include "corvel/jasmine/JasmineValue.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"

#include <exception>

namespace corvel {

namespace {

const wchar_t* const STARTUP_FILE = L"root:config/startup.cvConfig";

template <class T> ConfigValue valueOf(ConfigValue::Type type, void (ConfigValue::*set)(T), T initial) {
    ConfigValue value(type);
    (value.*set)(initial);
    return value;
}

ConfigValue stringValue(const wchar_t* text) {
    return valueOf<const wchar_t*>(ConfigValue::TYPE_STRING, &ConfigValue::setString, text);
}
ConfigValue boolValue(bool flag) {
    return valueOf(ConfigValue::TYPE_BOOL, &ConfigValue::setBool, flag);
}
ConfigValue intValue(int32_t number) {
    return valueOf(ConfigValue::TYPE_INT, &ConfigValue::setInt, number);
}
ConfigValue unsignedValue(uint32_t number) {
    return valueOf(ConfigValue::TYPE_UNSIGNED, &ConfigValue::setUnsigned, number);
}

ConfigValue emptyDictionary() {
    ConfigValue value(ConfigValue::TYPE_JASMINE);
    value.setJasmine(JasmineValue(JasmineValue::TYPE_DICTIONARY));
    return value;
}

// A file that cannot be read whole keeps its keys' defaults; start-up goes on.
void loadAllLogged(Config& config) {
    try {
        config.loadAll();
    } catch (zem::Exception& e) {
        std::wstring text = e.message();
        zem::logMessage(zem::LOG_ERROR, config.logSource(), L"ConfigManager: cannot load the configuration: %s\n",
                        text.c_str());
    } catch (const std::exception& e) {
        zem::logMessage(zem::LOG_ERROR, config.logSource(), L"ConfigManager: cannot load the configuration: %S\n",
                        e.what());
    }
}

void declareUserFiles(Config& config) {
    ConfigFile* session = config.getFile(L"user:config/session.cvConfig", false);
    session->declareWithDefault(L"app.windows", emptyDictionary());
    session->declare(ConfigValue::TYPE_LIST, L"app.files.recent");
    session->declareWithDefault(L"app.sidebar.left.visible", boolValue(false));
    session->declareWithDefault(L"app.sidebar.left.width", intValue(256));
    session->declareWithDefault(L"app.sidebar.bottom.visible", boolValue(false));
    session->declareWithDefault(L"app.sidebar.bottom.width", intValue(256));
    session->declare(ConfigValue::TYPE_LIST, L"app.docks");

    ConfigFile* preferences = config.getFile(L"user:config/preferences.cvConfig", false);
    preferences->declare(ConfigValue::TYPE_LIST, L"app.editor.font.names");
    preferences->declareWithDefault(L"app.editor.font.size", intValue(10));
    preferences->declareWithDefault(L"app.editor.font.padding_top", intValue(1));
    preferences->declareWithDefault(L"app.editor.font.padding_bottom", intValue(1));
    preferences->declareWithDefault(L"app.file_defaults.encoding", stringValue(L"UTF-8-PLAIN"));
    preferences->declareWithDefault(L"app.file_defaults.line_ending", stringValue(L"CR+LF"));
    preferences->declareWithDefault(L"app.indentation.recent.size", intValue(4));
    preferences->declareWithDefault(L"app.indentation.recent.soft", boolValue(false));
    preferences->declareWithDefault(L"app.parser.threads_count", unsignedValue(0));
    preferences->declareWithDefault(L"app.parser.parse_inactive_documents", boolValue(false));
    preferences->declareWithDefault(L"app.use_last_dir_in_open_dialog", boolValue(false));

    config.getFile(L"user:config/projects.cvConfig", false)->declare(ConfigValue::TYPE_LIST, L"app.projects");
    config.getFile(L"user:config/bundles.cvConfig", false)->declare(ConfigValue::TYPE_LIST, L"app.bundles.disabled");
    config.getFile(L"user:config/languages.cvConfig", false)
        ->declare(ConfigValue::TYPE_LIST, L"app.languages.extensions");
    config.getFile(L"user:config/presets.cvConfig", false)->declare(ConfigValue::TYPE_LIST, L"app.editor.presets.face");

    ConfigFile* user = config.getFile(L"user:config/user.cvConfig", false);
    user->declare(ConfigValue::TYPE_STRING, L"user.name");
    user->declare(ConfigValue::TYPE_STRING, L"user.email");

    ConfigFile* updates = config.getFile(L"user:config/updates.cvConfig", false);
    updates->declareWithDefault(L"updates.statistics.id", stringValue(L""));
    updates->declareWithDefault(L"updates.statistics.allowed", boolValue(true));
}

} // namespace

ConfigManager* ConfigManager::instance() {
    if (s_instance)
        return s_instance;
    std::unique_ptr<ConfigManager> manager(new ConfigManager());
    if (!manager->initialize())
        return nullptr;
    s_instance = manager.release();
    return s_instance;
}

void ConfigManager::destroy() {
    delete s_instance;
}

bool ConfigManager::initialize() {
    Config& config = getConfig();
    if (!setupEnvironment()) {
        // Whatever was mounted goes again, so that a later attempt starts clean.
        shutdownEnvironment();
        return false;
    }
    bool mounted;
    {
        zem::CriticalSectionLock guard(config.getLock());
        ConfigFile* startup = config.getFile(STARTUP_FILE, true);
        startup->declareWithDefault(L"app.startup.user_dir", stringValue(L"default"));
        loadAllLogged(config);

        ConfigValue* userDir = config.getValue(L"app.startup.user_dir");
        const wchar_t* folder =
            userDir && userDir->getType() == ConfigValue::TYPE_STRING ? userDir->getString() : nullptr;
        mounted = mountUserDirectory(folder);
        if (mounted) {
            // Without it a first run could not write any of the files declared below.
            if (!zem::fileIsDirectory(L"user:config"))
                zem::fileCreateDirectories(L"user:config");
            // A named folder that does not exist is not made: the program would run
            // with nowhere to keep its settings and log.
            mounted = zem::fileIsDirectory(L"user:config");
        }
        if (mounted) {
            declareUserFiles(config);
            loadAllLogged(config);
        }
    }
    if (!mounted) {
        zem::logMessage(zem::LOG_ERROR, config.logSource(), L"ConfigManager: cannot mount the user folder\n");
        shutdownEnvironment();
    }
    return mounted;
}

} // namespace corvel
