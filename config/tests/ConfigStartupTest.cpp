#include "corvel/config/ConfigFile.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/config/Environment.h"
#include "corvel/jasmine/JasmineValue.h"

#include "support/TempFolder.h"
#include "zem/files/FileIO.h"
#include "zem/files/WorkString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <shlobj.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.rfind(L'\\'));
}

std::vector<std::wstring> namesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A value as "type:text": s:text, b:1, i:10, u:0, l:count, j:{count}, unset.
std::wstring describe(corvel::ConfigValue* value) {
    if (!value)
        return L"<undeclared>";
    if (!value->hasFlags(corvel::ConfigValue::FLAG_HOLDS_VALUE) && value->getType() == corvel::ConfigValue::TYPE_STRING)
        return L"unset";
    switch (value->getType()) {
    case corvel::ConfigValue::TYPE_STRING:
        return std::wstring(L"s:") + value->getString();
    case corvel::ConfigValue::TYPE_BOOL:
        return std::wstring(L"b:") + (value->asBool() ? L"1" : L"0");
    case corvel::ConfigValue::TYPE_INT:
        return L"i:" + std::to_wstring(value->asInt());
    case corvel::ConfigValue::TYPE_UNSIGNED:
        return L"u:" + std::to_wstring(value->asUnsigned());
    case corvel::ConfigValue::TYPE_LIST:
        return L"l:" + std::to_wstring(value->getList().size());
    case corvel::ConfigValue::TYPE_JASMINE: {
        const corvel::JasmineValue* j = value->getJasmine();
        return j && j->isDictionary() ? L"j:{" + std::to_wstring(j->dictionarySize()) + L"}" : L"j:?";
    }
    default:
        return L"?";
    }
}

class ConfigStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(nullptr, corvel::ConfigManager::current());
        user = zemtest::makeTempFolder(L"startup");
        ASSERT_FALSE(user.empty());
        user.pop_back(); // no trailing '\'
        configFolder = programFolder() + L"\\config";
        madeConfigFolder = CreateDirectoryW(configFolder.c_str(), nullptr) != 0;
        writeStartup(user);
    }
    void TearDown() override {
        corvel::ConfigManager::destroy();
        corvel::shutdownEnvironment();
        DeleteFileW((configFolder + L"\\startup.cvConfig").c_str());
        if (madeConfigFolder)
            RemoveDirectoryW(configFolder.c_str());
        zemtest::removeTree(user);
    }

    void writeStartup(std::wstring folder) {
        std::replace(folder.begin(), folder.end(), L'\\', L'/');
        zemtest::writeNativeFile(configFolder + L"\\startup.cvConfig",
                                 "{ version : '0 9 4 0' app.startup : { user_dir : '" + narrow(folder) + "' } }");
    }
    void writeUserFile(const std::wstring& name, const std::string& text) {
        CreateDirectoryW((user + L"\\config").c_str(), nullptr);
        zemtest::writeNativeFile(user + L"\\config\\" + name, text);
    }
    std::wstring value(const wchar_t* key) {
        return describe(corvel::ConfigManager::current()->getConfig().getValue(key));
    }

    std::wstring user;
    std::wstring configFolder;
    bool madeConfigFolder = false;
};

TEST_F(ConfigStartupTest, EveryKeyHoldsItsDefaultAndOnlyFilesWithDefaultsAreWritten) {
    corvel::ConfigManager* manager = corvel::ConfigManager::instance();
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(manager, corvel::ConfigManager::instance());
    const struct {
        const wchar_t* key;
        const wchar_t* expected;
    } keys[] = {
        {L"app.windows", L"j:{0}"},
        {L"app.files.recent", L"l:0"},
        {L"app.sidebar.left.visible", L"b:0"},
        {L"app.sidebar.left.width", L"i:256"},
        {L"app.sidebar.bottom.visible", L"b:0"},
        {L"app.sidebar.bottom.width", L"i:256"},
        {L"app.docks", L"l:0"},
        {L"app.editor.font.names", L"l:0"},
        {L"app.editor.font.size", L"i:10"},
        {L"app.editor.font.padding_top", L"i:1"},
        {L"app.editor.font.padding_bottom", L"i:1"},
        {L"app.file_defaults.encoding", L"s:UTF-8-PLAIN"},
        {L"app.file_defaults.line_ending", L"s:CR+LF"},
        {L"app.indentation.recent.size", L"i:4"},
        {L"app.indentation.recent.soft", L"b:0"},
        {L"app.parser.threads_count", L"u:0"},
        {L"app.parser.parse_inactive_documents", L"b:0"},
        {L"app.use_last_dir_in_open_dialog", L"b:0"},
        {L"app.projects", L"l:0"},
        {L"app.bundles.disabled", L"l:0"},
        {L"app.languages.extensions", L"l:0"},
        {L"app.editor.presets.face", L"l:0"},
        {L"user.name", L"unset"},
        {L"user.email", L"unset"},
        {L"updates.statistics.id", L"s:"},
        {L"updates.statistics.allowed", L"b:1"},
    };
    for (const auto& k : keys)
        EXPECT_EQ(k.expected, value(k.key)) << narrow(k.key);
    // Made at start-up, so that a first run can save.
    EXPECT_EQ((std::vector<std::wstring>{L"config", L"debug.log"}), namesIn(user));
    EXPECT_TRUE(namesIn(user + L"\\config").empty());
    EXPECT_TRUE(manager->getConfig().saveAll());
    EXPECT_EQ((std::vector<std::wstring>{L"preferences.cvConfig", L"session.cvConfig", L"updates.cvConfig"}),
              namesIn(user + L"\\config"));
}

TEST_F(ConfigStartupTest, UserFilesAreReadFromTheConfiguredFolder) {
    writeUserFile(L"preferences.cvConfig", "{ version : '0 9 4 0' app.editor.font : { size : 14 } }");
    ASSERT_NE(nullptr, corvel::ConfigManager::instance());
    EXPECT_EQ(L"i:14", value(L"app.editor.font.size"));
    EXPECT_EQ(L"i:1", value(L"app.editor.font.padding_top"));
    // A later declaration with another type is refused; the start-up one stands.
    EXPECT_EQ(nullptr, corvel::ConfigManager::current()->getConfig().declareValue(L"app.editor.font.size",
                                                                                  corvel::ConfigValue::TYPE_STRING));
    EXPECT_EQ(L"i:14", value(L"app.editor.font.size"));
}

TEST_F(ConfigStartupTest, ABrokenFileKeepsItsDefaultsAndIsNotOverwritten) {
    const std::string broken = "{ version : '0 9 4 0' app.editor.font : { size : 14 ";
    writeUserFile(L"preferences.cvConfig", broken);
    corvel::ConfigManager* manager = corvel::ConfigManager::instance();
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(L"i:10", value(L"app.editor.font.size"));
    manager->getConfig().saveAll();
    EXPECT_EQ(broken, zemtest::readNativeFile(user + L"\\config\\preferences.cvConfig"));
    EXPECT_EQ("<missing>", zemtest::readNativeFile(user + L"\\config\\projects.cvConfig"));
    EXPECT_NE("<missing>", zemtest::readNativeFile(user + L"\\config\\session.cvConfig"));
}

// Caught: a named folder that did not exist was mounted anyway and the program ran
// without settings or log.
TEST_F(ConfigStartupTest, ANamedUserFolderThatDoesNotExistFailsAndIsNotMade) {
    std::wstring missing = user + L"\\missing";
    writeStartup(missing);
    EXPECT_EQ(nullptr, corvel::ConfigManager::instance());
    EXPECT_EQ(nullptr, corvel::environment());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(missing.c_str()));
}

TEST_F(ConfigStartupTest, AFailedStartTriesAgainOnTheNextCall) {
    writeStartup(L"nodevice:somewhere");
    EXPECT_EQ(nullptr, corvel::ConfigManager::instance());
    EXPECT_EQ(nullptr, corvel::environment());
    writeStartup(user);
    ASSERT_NE(nullptr, corvel::ConfigManager::instance());
    EXPECT_EQ(
        L"s:" +
            [&] {
                std::wstring s = user;
                std::replace(s.begin(), s.end(), L'\\', L'/');
                return s;
            }(),
        value(L"app.startup.user_dir"));
}

} // namespace

namespace {

std::wstring appDataCorvel() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData)))
        return std::wstring();
    return std::wstring(appData) + L"\\Corvel";
}

// Start-up files that give no usable folder fall back to the application data folder;
// the test leaves that folder as it found it.
TEST_F(ConfigStartupTest, AStartupFileWithoutAUsableFolderFallsBackToTheDefault) {
    const std::wstring fallback = appDataCorvel();
    ASSERT_FALSE(fallback.empty());
    DWORD attributes = GetFileAttributesW(fallback.c_str());
    bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    const struct {
        const char* text;
        const wchar_t* userDir;
    } cases[] = {
        {"{ version : '0 9 4 0' app.startup : { user_dir : ", L"s:default"},
        {"{ version : '0 9 4 0' app.startup : { user_dir : 'DEFAULT' } }", L"s:DEFAULT"},
        {"{ version : '0 9 4 0' app.startup : { user_dir : [ 'a' 'b' ] } }", nullptr},
    };
    for (const auto& c : cases) {
        zemtest::writeNativeFile(configFolder + L"\\startup.cvConfig", c.text);
        corvel::ConfigManager* manager = corvel::ConfigManager::instance();
        ASSERT_NE(nullptr, manager) << c.text;
        if (c.userDir) {
            EXPECT_EQ(c.userDir, value(L"app.startup.user_dir")) << c.text;
        }
        EXPECT_EQ(L"s:UTF-8-PLAIN", value(L"app.file_defaults.encoding"));
        zem::WorkString full;
        ASSERT_TRUE(zem::fileGetFullPath(L"user:x", full));
        EXPECT_EQ(fallback + L"\\x", full.str()) << c.text;
        corvel::ConfigManager::destroy();
        corvel::shutdownEnvironment();
    }
    if (!existed)
        zemtest::removeTree(fallback);
}

} // namespace
