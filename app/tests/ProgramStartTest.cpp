// Whole starts of corvel.exe in a child process: a first start and its exit, the hand-over
// of a second start's line, and the starts that cannot go on.
#include "corvel/app/MainWindow.h"
#include "corvel/app/MainWindowHost.h"
#include "corvel/config/ConfigManager.h"
#include "support/ProgramRun.h"
#include "support/ShellServices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace corvel;
using apptest::ProgramCopy;

namespace {

// The log file holds UTF-16LE units.
std::wstring readLog(const std::wstring& path) {
    std::string bytes = zemtest::readNativeFile(path);
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The text of the box's static control and the box's caption; the box is then closed.
::testing::AssertionResult answerBox(HWND box, const wchar_t* caption, const wchar_t* text) {
    if (!box)
        return ::testing::AssertionFailure() << "no message box";
    std::wstring shown;
    std::wstring title;
    // The box's window exists a moment before its texts are set.
    uitest::pumpUntil([&] {
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[64] = L"";
            GetClassNameW(child, name, 64);
            if (_wcsicmp(name, L"Static") == 0 && !apptest::windowText(child).empty())
                shown = apptest::windowText(child);
        }
        title = apptest::windowText(box);
        return !shown.empty() && !title.empty();
    });
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (title != caption || shown != text)
        return ::testing::AssertionFailure() << "box '" << apptest::narrow(title) << "': '" << apptest::narrow(shown)
                                             << "'";
    return ::testing::AssertionSuccess();
}

class NullHost : public MainWindowHost {
public:
    void handleCommandLine(const wchar_t* text) override { lines.push_back(text); }
    void checkForUpdates(bool) override {}
    void setDocumentsDistractionFree(bool) override {}
    std::vector<std::wstring> lines;
};

// A running instance that takes nothing: it answers every hand-over with 0.
class SilentMainWindow : public MainWindow {
public:
    explicit SilentMainWindow(MainWindowHost* host) : MainWindow(host) {}
    bool onRawMessage(afMessage* message) override {
        if (message->message != WM_COPYDATA)
            return MainWindow::onRawMessage(message);
        message->result = 0;
        return true;
    }
};

// This process plays the running instance: it owns the mutex and shows a main window.
class PretendedInstance {
public:
    explicit PretendedInstance(bool silent) {
        m_mutex = CreateMutexW(nullptr, FALSE, L"Corvel35WindowClass");
        m_window = silent ? new SilentMainWindow(&host) : new MainWindow(&host);
        m_window->create();
        m_services.bind(m_window->getHandle());
    }
    ~PretendedInstance() {
        delete m_window;
        uitest::drainMessages();
        CloseHandle(m_mutex);
    }
    NullHost host;

private:
    apptest::ShellServices m_services;
    HANDLE m_mutex;
    MainWindow* m_window;
};

struct ChildSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK matchChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    wchar_t name[64] = L"";
    GetClassNameW(child, name, 64);
    if (wcscmp(name, search->className) != 0 || !IsWindowVisible(child))
        return TRUE;
    search->found = child;
    return FALSE;
}

// The first visible child window of the class under parent, or null.
HWND findChild(HWND parent, const wchar_t* className) {
    ChildSearch search{className, nullptr};
    EnumChildWindows(parent, &matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The top left corner of the caret of the thread that owns the window, in its client
// coordinates; {-1, -1} while it shows none.
POINT caretCorner(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret)
        return POINT{-1, -1};
    return POINT{info.rcCaret.left, info.rcCaret.top};
}

} // namespace

// The shipped pairs reach the program's editors once its bundles are loaded and the document
// has the grammar of its file: a brace and Enter then open a block. Until then both are taken
// back and tried again.
TEST(ProgramStartTest, ABracketTypedInACppDocumentClosesItself) {
    ProgramCopy program;
    program.addShippedBundles();
    const std::wstring file = program.folder() + L"typed.cpp";
    zemtest::writeNativeFile(file, "int x;");
    int run = program.start(L"\"" + file + L"\"");
    ASSERT_GE(run, 0);
    HWND window = program.waitForWindow(run, L"Corvel35WindowClass");
    ASSERT_NE(nullptr, window);
    HWND editor = nullptr;
    ASSERT_TRUE(uitest::pumpUntil([&] { return (editor = findChild(window, L"CorvelEditor")) != nullptr; }, 10000));
    // No window manager gives the editor the focus that makes its commands live.
    SendMessageW(editor, WM_SETFOCUS, 0, 0);
    POINT start{-1, -1};
    ASSERT_TRUE(uitest::pumpUntil([&] { return (start = caretCorner(editor)).x >= 0; }, 10000));
    // Keys go through the program's message loop, where its key bindings are looked up.
    auto press = [&](UINT key) {
        PostMessageW(editor, WM_KEYDOWN, key, 1);
        PostMessageW(editor, WM_KEYUP, key, 0xC0000001);
    };
    // One try: a brace and Enter. A block pair leaves a third line, "}", below the caret, so
    // Down moves the caret down and Up brings it back; without a pair the caret is on the
    // last line already, so Home, and Backspace twice take the try back.
    bool lost = false;
    auto opensBlock = [&] {
        const POINT before = caretCorner(editor);
        SendMessageW(editor, WM_CHAR, L'{', 1);
        press(VK_RETURN);
        POINT middle{-1, -1};
        if (!uitest::pumpUntil([&] { return (middle = caretCorner(editor)).y > before.y; }, 5000))
            return lost = true;
        press(VK_DOWN);
        if (uitest::pumpUntil([&] { return caretCorner(editor).y > middle.y; }, 1000)) {
            press(VK_UP);
            lost = !uitest::pumpUntil([&] { return caretCorner(editor).y == middle.y; });
            return true;
        }
        press(VK_HOME);
        press(VK_BACK);
        press(VK_BACK);
        lost = !uitest::pumpUntil([&] { return caretCorner(editor).y == before.y; });
        return lost;
    };
    const bool block = uitest::pumpUntil(opensBlock, 30000);
    ASSERT_FALSE(lost) << "Enter or Backspace did not reach the editor";
    ASSERT_TRUE(block) << "a brace and Enter never opened a block";
    SendMessageW(editor, WM_CHAR, L'(', 1);
    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND box = program.waitForWindow(run, L"afMessageBox");
    ASSERT_NE(nullptr, box) << "no question about the modified document";
    PostMessageW(box, WM_KEYDOWN, 'Y', 0); // "&Save"
    EXPECT_EQ(0u, program.waitForExit(run));
    const std::string saved = zemtest::readNativeFile(file);
    EXPECT_EQ(1, std::count(saved.begin(), saved.end(), '(')) << saved;
    EXPECT_NE(std::string::npos, saved.find("()")) << saved;
    EXPECT_EQ(0u, saved.find("{")) << saved;
    EXPECT_NE(std::string::npos, saved.find("}int x;")) << saved;
}

TEST(ProgramStartTest, FirstStartShowsTheWindowAndCloseEndsItWithTheSettingsSaved) {
    ProgramCopy program;
    int run = program.start();
    ASSERT_GE(run, 0);
    HWND window = program.waitForWindow(run, L"Corvel35WindowClass");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"Corvel 0.9.4 RC unstable", apptest::windowText(window));
    EXPECT_TRUE(uitest::pumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.waitForExit(run));
    std::wstring log = readLog(program.userFile(L"debug.log"));
    EXPECT_NE(std::wstring::npos, log.find(L"What a beautiful day today!")) << apptest::narrow(log);
    EXPECT_NE(std::wstring::npos, log.find(L"Good bye...")) << apptest::narrow(log);
    std::wstring session = readLog(program.userFile(L"config\\session.cvConfig"));
    EXPECT_NE(std::wstring::npos, session.find(L"main_window")) << apptest::narrow(session);
}

TEST(ProgramStartTest, SecondStartHandsItsLineToTheFirstAndEnds) {
    ProgramCopy program;
    int first = program.start();
    ASSERT_GE(first, 0);
    HWND window = program.waitForWindow(first, L"Corvel35WindowClass");
    ASSERT_NE(nullptr, window);
    int second = program.start(L"b.txt");
    ASSERT_GE(second, 0);
    EXPECT_EQ(0u, program.waitForExit(second, 15000));
    EXPECT_TRUE(IsWindow(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.waitForExit(first));
}

TEST(ProgramStartTest, HandOverSendsTheProgramAndFullPathsWithoutTouchingTheUserFolder) {
    ProgramCopy program;
    PretendedInstance instance(false);
    int run = program.start(L"-f rel.txt --project \"my p.cvProject\"");
    ASSERT_GE(run, 0);
    EXPECT_EQ(0u, program.waitForExit(run));
    uitest::pumpUntil([&] { return !instance.host.lines.empty(); }, 2000);
    ASSERT_EQ(1u, instance.host.lines.size());
    const std::wstring& line = instance.host.lines[0];
    EXPECT_NE(std::wstring::npos, line.find(L"corvel.exe")) << apptest::narrow(line);
    EXPECT_NE(std::wstring::npos, line.find(L"-f " + program.folder() + L"rel.txt")) << apptest::narrow(line);
    EXPECT_NE(std::wstring::npos, line.find(L"--project \"" + program.folder() + L"my p.cvProject\""))
        << apptest::narrow(line);
    EXPECT_FALSE(fileExists(program.userFile(L"debug.log")));
    EXPECT_FALSE(fileExists(program.userFile(L"config")));
}

TEST(ProgramStartTest, InstanceThatDoesNotAnswerGetsABoxAndExitCodeOne) {
    ProgramCopy program;
    PretendedInstance instance(true);
    int run = program.start(L"a.txt");
    ASSERT_GE(run, 0);
    HWND box = program.waitForWindow(run, L"#32770");
    EXPECT_TRUE(answerBox(box, L"Corvel startup", L"Corvel is already running but did not answer."));
    EXPECT_EQ(1u, program.waitForExit(run));
    EXPECT_FALSE(fileExists(program.userFile(L"debug.log")));
    EXPECT_FALSE(fileExists(program.userFile(L"config")));
}

TEST(ProgramStartTest, UnusableUserFolderGetsABoxAndExitCodeOneWritingNothing) {
    ProgramCopy program;
    program.setUserFolder(program.folder() + L"missing\\deeper");
    int run = program.start();
    ASSERT_GE(run, 0);
    HWND box = program.waitForWindow(run, L"#32770");
    EXPECT_TRUE(answerBox(box, L"Corvel startup", L"Corvel could not start: its user folder or settings cannot be used."));
    EXPECT_EQ(1u, program.waitForExit(run));
    EXPECT_FALSE(fileExists(program.folder() + L"missing"));
}

TEST(ProgramStartTest, SettingsFileThatCannotBeWrittenIsShownAndKeptAtExit) {
    ProgramCopy program;
    CreateDirectoryW(program.userFile(L"config").c_str(), nullptr);
    const std::wstring session = program.userFile(L"config\\session.cvConfig");
    const std::string kept = "{ version : '0 9 4 0' }";
    zemtest::writeNativeFile(session, kept);
    SetFileAttributesW(session.c_str(), FILE_ATTRIBUTE_READONLY);
    int run = program.start();
    ASSERT_GE(run, 0);
    HWND window = program.waitForWindow(run, L"Corvel35WindowClass");
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    HWND box = program.waitForWindow(run, L"#32770");
    EXPECT_TRUE(answerBox(box, L"Corvel", (L"Settings could not be saved to '" + session + L"'.").c_str()));
    EXPECT_EQ(0u, program.waitForExit(run));
    EXPECT_EQ(kept, zemtest::readNativeFile(session));
    SetFileAttributesW(session.c_str(), FILE_ATTRIBUTE_NORMAL);
}
