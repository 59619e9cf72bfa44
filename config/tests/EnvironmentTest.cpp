#include "corvel/config/Environment.h"

#include "support/LogCapture.h"
#include "support/TempFolder.h"
#include "zem/files/FileIO.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogManager.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <string>
#include <windows.h>

using namespace std::string_literals;

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring fullPath(const wchar_t* path) {
    zem::WorkString out;
    return zem::fileGetFullPath(path, out) ? out.str() : L"<failed>";
}

bool nativeFolderExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring appDataCorvel() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData)))
        return std::wstring();
    return std::wstring(appData) + L"\\Corvel";
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.rfind(L'\\'));
}

class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = zemtest::makeTempFolder(L"env");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override {
        corvel::shutdownEnvironment();
        zemtest::removeTree(folder);
    }

    std::wstring folder; // ends in '\'
};

TEST_F(EnvironmentTest, MountsTheProgramTempAndMemoryDevices) {
    ASSERT_TRUE(corvel::setupEnvironment());
    ASSERT_NE(nullptr, corvel::environment());
    wchar_t temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring tempRoot = std::wstring(temp, length) + L"Corvel_" + std::to_wstring(GetCurrentProcessId());
    EXPECT_EQ(tempRoot, corvel::environment()->tempRoot);
    EXPECT_TRUE(nativeFolderExists(tempRoot));
    EXPECT_EQ(tempRoot + L"\\a.txt", fullPath(L"tmp:a.txt"));
    EXPECT_EQ(programFolder() + L"\\config\\x.cvConfig", fullPath(L"root:config/x.cvConfig"));
    EXPECT_EQ(fullPath(L"root:x"), fullPath(L"base:x"));
    for (const wchar_t* path : {L"mem:probe.txt", L"vtmp:probe.txt", L"tmp:probe.txt"}) {
        zem::File* file = zem::fileOpen(path, zem::FILE_MODE_WRITE);
        ASSERT_NE(nullptr, file) << narrow(path);
        EXPECT_EQ(3u, file->write("abc", 3));
        EXPECT_TRUE(zem::fileClose(file));
    }
    EXPECT_TRUE(zemtest::readNativeFile(tempRoot + L"\\probe.txt") == "abc");
}

TEST_F(EnvironmentTest, ShutdownRemovesTheTempRootAndSaysGoodBye) {
    ASSERT_TRUE(corvel::setupEnvironment());
    std::wstring tempRoot = corvel::environment()->tempRoot;
    ASSERT_TRUE(zem::fileCreateDirectory(L"tmp:sub"));
    zem::File* file = zem::fileOpen(L"tmp:sub/x.bin", zem::FILE_MODE_WRITE);
    ASSERT_NE(nullptr, file);
    zem::fileClose(file);
    zemtest::LogCapture log(zem::LOG_UNKNOWN_SOURCE);
    corvel::shutdownEnvironment();
    EXPECT_EQ(nullptr, corvel::environment());
    EXPECT_FALSE(nativeFolderExists(tempRoot));
    EXPECT_EQ(L"<failed>", fullPath(L"tmp:x"));
    bool goodBye = false;
    for (const auto& line : log.lines())
        goodBye = goodBye || line.text == L"Good bye...";
    EXPECT_TRUE(goodBye);
    corvel::shutdownEnvironment(); // a second call does nothing
}

TEST_F(EnvironmentTest, AConfiguredUserFolderIsMadeFullButNotCreated) {
    ASSERT_TRUE(corvel::setupEnvironment());
    std::wstring missing = folder + L"missing";
    ASSERT_TRUE(corvel::mountUserDirectory(missing.c_str()));
    EXPECT_EQ(missing + L"\\config\\a", fullPath(L"user:config/a"));
    // "base:" tries the user folder before the program folder.
    EXPECT_EQ(fullPath(L"user:x"), fullPath(L"base:x"));
    EXPECT_FALSE(nativeFolderExists(missing));
}

TEST_F(EnvironmentTest, TheUserFolderGetsTheLogFile) {
    ASSERT_TRUE(corvel::setupEnvironment());
    ASSERT_TRUE(corvel::mountUserDirectory(folder.c_str()));
    zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"hello log\n");
    corvel::shutdownEnvironment(); // closes the log after writing what was queued
    std::string bytes = zemtest::readNativeFile(folder + L"debug.log");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xff\xfe", bytes.substr(0, 2));
    std::string hello = "h\0e\0l\0l\0o\0 \0l\0o\0g\0"s;
    EXPECT_NE(std::string::npos, bytes.find(hello));
}

TEST_F(EnvironmentTest, AnUnknownDeviceFolderFails) {
    ASSERT_TRUE(corvel::setupEnvironment());
    EXPECT_FALSE(corvel::mountUserDirectory(L"nodevice:folder"));
    EXPECT_EQ(L"<failed>", fullPath(L"user:x"));
}

TEST_F(EnvironmentTest, DefaultInAnyCaseMeansTheApplicationDataFolder) {
    std::wstring corvel = appDataCorvel();
    ASSERT_FALSE(corvel.empty());
    bool existed = nativeFolderExists(corvel);
    for (const wchar_t* text : {L"DEFAULT", L"Default", static_cast<const wchar_t*>(nullptr)}) {
        ASSERT_TRUE(corvel::setupEnvironment());
        ASSERT_TRUE(corvel::mountUserDirectory(text));
        EXPECT_TRUE(nativeFolderExists(corvel));
        EXPECT_EQ(corvel + L"\\x", fullPath(L"user:x"));
        corvel::shutdownEnvironment();
    }
    // The user's application data is left as it was found.
    if (!existed)
        zemtest::removeTree(corvel);
}

} // namespace
