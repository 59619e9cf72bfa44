#include "corvel/config/CommandLine.h"
#include "corvel/config/System.h"

#include "support/LogCapture.h"
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using corvel::CommandLine;
using corvel::CommandLineEntry;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring entriesOf(const std::vector<std::wstring>& arguments) {
    std::vector<CommandLineEntry> entries;
    CommandLine::parse(arguments, entries);
    std::wstring out;
    for (const auto& entry : entries)
        out += L"[" + std::to_wstring(entry.id) + L":" + arguments.at(entry.index) + L"]";
    return out;
}

::testing::AssertionResult parsesAs(const std::vector<std::wstring>& arguments, const wchar_t* expected) {
    std::wstring actual = entriesOf(arguments);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "parsed as " << narrow(actual) << ", expected " << narrow(expected);
}

TEST(CommandLineTest, ParsesFilesAndProjects) {
    EXPECT_TRUE(parsesAs({L"program", L"a.txt", L"-p", L"proj"}, L"[0:a.txt][1:proj]"));
    EXPECT_TRUE(parsesAs({L"program", L"--project", L"p", L"-f", L"-p", L"--file", L"x"}, L"[1:p][0:-p][0:x]"));
    EXPECT_TRUE(parsesAs({L"program", L"-P", L"x"}, L"[0:-P][0:x]"));
    EXPECT_TRUE(parsesAs({L"program"}, L""));
    EXPECT_TRUE(parsesAs({}, L""));
    EXPECT_EQ(nullptr, CommandLine::findSwitch(L"--File")->name);
    EXPECT_EQ(1, CommandLine::findSwitch(L"--project")->id);
}

TEST(CommandLineTest, ASwitchWithoutItsParameterLogsAndKeepsEarlierEntries) {
    zemtest::LogCapture log;
    EXPECT_TRUE(parsesAs({L"program", L"a.txt", L"--file"}, L"[0:a.txt]"));
    auto lines = log.lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(1, lines[0].level);
    EXPECT_EQ(L"CommandLine: Not enough params for command line switch '--file'", lines[0].text);
}

TEST(CommandLineTest, SplitsTheProcessOrAGivenLine) {
    std::vector<std::wstring> own;
    EXPECT_TRUE(corvel::System::getCommandLine(nullptr, own));
    ASSERT_FALSE(own.empty());
    EXPECT_NE(std::wstring::npos, own[0].find(L"config_tests"));
    std::vector<std::wstring> given{L"kept"};
    EXPECT_TRUE(corvel::System::getCommandLine(L"prog \"a b\" c\\\"d", given));
    EXPECT_EQ((std::vector<std::wstring>{L"kept", L"prog", L"a b", L"c\"d"}), given);
}

class HandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"handover");
        ASSERT_FALSE(m_dir.empty());
        m_native.reset(new zem::FileDeviceWin32(nullptr, zem::FILEDEV_NATIVE));
        ASSERT_TRUE(zem::fileAttachDevice(m_native.get(), L"__zwinfs", 256));
        GetCurrentDirectoryW(MAX_PATH, m_previous);
        SetCurrentDirectoryW(m_dir.c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryW(m_previous);
        zem::fileDetachDevice(L"__zwinfs");
        zemtest::removeTree(m_dir);
    }
    std::wstring m_dir; // ends in '\'
    wchar_t m_previous[MAX_PATH] = {};
    std::unique_ptr<zem::FileDeviceWin32> m_native;
};

TEST_F(HandOverTest, PathsBecomeFullAndSplitBackUnchanged) {
    std::vector<std::wstring> arguments{L"C:\\Program Files\\corvel.exe",
                                        L"b.txt",
                                        L"-p",
                                        L"my files\\a.cvProject",
                                        L"--file",
                                        L"dir\\",
                                        L"--file",
                                        L"my dir\\",
                                        L"zzunknown:x y"};
    std::wstring text;
    CommandLine::buildHandOverText(arguments, text);
    EXPECT_EQ(L"\"C:\\Program Files\\corvel.exe\" " + m_dir + L"b.txt -p \"" + m_dir +
                  L"my files\\a.cvProject\" --file " + m_dir + L"dir\\ --file \"" + m_dir +
                  L"my dir\\\\\" \"zzunknown:x y\"",
              text);
    std::vector<std::wstring> split;
    ASSERT_TRUE(corvel::System::getCommandLine(text.c_str(), split));
    std::vector<std::wstring> expected{arguments[0],    m_dir + L"b.txt", L"-p",     m_dir + L"my files\\a.cvProject",
                                       L"--file",       m_dir + L"dir\\", L"--file", m_dir + L"my dir\\",
                                       L"zzunknown:x y"};
    EXPECT_EQ(expected, split);
    EXPECT_EQ(entriesOf(expected), entriesOf(split));
}

} // namespace
