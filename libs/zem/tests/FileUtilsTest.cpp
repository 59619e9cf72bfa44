#include "zem/files/FileUtils.h"

#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileProgressHandler.h"
#include "zem/files/RamDisk.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using zem::FileProgressHandler;
using zem::FileUtils;
using zemtest::readNativeFile;
using zemtest::writeNativeFile;

struct Asked {
    uint32_t code;
    uint32_t category;
    uint32_t operation;
    std::wstring first; // the first text parameter
};

// A handler whose questions are answered from a script (cancel once it runs out) and
// which records what it was asked and told.
class ScriptedHandler : public FileProgressHandler {
public:
    ScriptedHandler() {
        setQuestionCallback(&ScriptedHandler::onQuestion, this);
        addListener(&ScriptedHandler::onEvent, this);
    }
    std::deque<uint32_t> answers;
    std::vector<Asked> questions;
    std::vector<std::pair<uint32_t, std::wstring>> events; // event, current path
    std::function<void()> whileAsking;

private:
    static uint32_t onQuestion(void* self, FileProgressHandler* handler) {
        auto* me = static_cast<ScriptedHandler*>(self);
        const zem::ErrorRecord& error = handler->getError();
        me->questions.push_back({error.code, handler->getCategory(), handler->getOperation(),
                                 error.params.count() > 1 ? error.params.get(1) : L""});
        if (me->whileAsking)
            me->whileAsking();
        if (me->answers.empty())
            return FileProgressHandler::UI_Cancel;
        uint32_t answer = me->answers.front();
        me->answers.pop_front();
        return answer;
    }
    static void onEvent(void* self, FileProgressHandler* handler, uint32_t event) {
        static_cast<ScriptedHandler*>(self)->events.emplace_back(event, handler->getPath());
    }
};

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void setReadOnly(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

class FileUtilsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"fileops");
        ASSERT_FALSE(m_dir.empty());
        m_native.reset(new zem::FileDeviceWin32(nullptr, zem::FILEDEV_NATIVE));
        ASSERT_TRUE(zem::fileAttachDevice(m_native.get(), L"__zwinfs", 256));
    }
    void TearDown() override {
        zem::fileDetachDevice(L"__zwinfs");
        EXPECT_EQ(0, m_native->getInfo().ref_count);
        zemtest::removeTree(m_dir);
        if (!m_otherDir.empty())
            zemtest::removeTree(m_otherDir);
    }
    std::wstring path(const std::wstring& local) const { return m_dir + local; }
    void makeTree(const std::wstring& root) {
        CreateDirectoryW(path(root).c_str(), nullptr);
        CreateDirectoryW(path(root + L"\\sub").c_str(), nullptr);
        CreateDirectoryW(path(root + L"\\empty").c_str(), nullptr);
        writeNativeFile(path(root + L"\\x.txt"), "x content");
        writeNativeFile(path(root + L"\\sub\\y.txt"), std::string(100000, 'y'));
        writeNativeFile(path(root + L"\\sub\\z.txt"), "z");
    }

    std::wstring m_dir; // ends in '\'
    std::wstring m_otherDir;
    std::unique_ptr<zem::FileDeviceWin32> m_native;
};

TEST_F(FileUtilsTest, CopiesATreeWithCountsAndEvents) {
    makeTree(L"src");
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    ScriptedHandler handler;
    ASSERT_TRUE(FileUtils::copyPath(path(L"src").c_str(), path(L"dst").c_str(), &handler));
    EXPECT_EQ("x content", readNativeFile(path(L"dst\\src\\x.txt")));
    EXPECT_EQ(std::string(100000, 'y'), readNativeFile(path(L"dst\\src\\sub\\y.txt")));
    EXPECT_EQ("z", readNativeFile(path(L"dst\\src\\sub\\z.txt")));
    EXPECT_TRUE(exists(path(L"dst\\src\\empty")));
    EXPECT_EQ("x content", readNativeFile(path(L"src\\x.txt")));
    EXPECT_EQ(6u, handler.getItemsToDo());
    EXPECT_EQ(6u, handler.getItemsDone());
    EXPECT_EQ(100010u, handler.getBytesToDo());
    EXPECT_EQ(100010u, handler.getBytesDone());
    EXPECT_TRUE(handler.questions.empty());
    int copied = 0, created = 0;
    for (const auto& event : handler.events) {
        copied += event.first == FileProgressHandler::EVENT_FILE_COPIED;
        created += event.first == FileProgressHandler::EVENT_DIRECTORY_CREATED;
    }
    EXPECT_EQ(3, copied);
    EXPECT_EQ(3, created);
    EXPECT_EQ(FileProgressHandler::EVENT_LIST_STARTED, handler.events.front().first);
}

TEST_F(FileUtilsTest, CopyingAFileOntoItselfIsRefusedUntouched) {
    writeNativeFile(path(L"f.txt"), "keep");
    ScriptedHandler handler;
    handler.answers = {FileProgressHandler::UI_Yes};
    EXPECT_FALSE(FileUtils::copyPath(path(L"f.txt").c_str(), m_dir.c_str(), &handler));
    ASSERT_EQ(1u, handler.questions.size());
    EXPECT_EQ(0x20001013u, handler.questions[0].code);
    EXPECT_EQ(FileProgressHandler::CATEGORY_FATAL, handler.questions[0].category);
    EXPECT_EQ(L"Copying file to itself is not allowed.", zem::ErrorObject(handler.getError()).message());
    EXPECT_EQ("keep", readNativeFile(path(L"f.txt")));
}

struct ReplaceCase {
    const char* name;
    bool readOnlyTarget;
    std::deque<uint32_t> answers;
    std::vector<uint32_t> expectedQuestions;
    bool expectedResult;
    const char* expectedContent;
};

TEST_F(FileUtilsTest, ReplacingAnExistingFileAsksFirst) {
    const ReplaceCase cases[] = {
        {"yes", false, {0}, {0x20003010}, true, "new"},
        {"skip", false, {2}, {0x20003010}, true, "old"},
        {"cancel", false, {3}, {0x20003010}, false, "old"},
        // A must-be-new open of a read-only file once said "access denied", not "exists".
        {"read-only yes", true, {0, 0}, {0x20003010, 0x20003011}, true, "new"},
        {"read-only declined", true, {0, 3}, {0x20003010, 0x20003011}, false, "old"},
    };
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    writeNativeFile(path(L"f.txt"), "new");
    for (const ReplaceCase& row : cases) {
        SetFileAttributesW(path(L"dst\\f.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        writeNativeFile(path(L"dst\\f.txt"), "old");
        if (row.readOnlyTarget)
            setReadOnly(path(L"dst\\f.txt"));
        ScriptedHandler handler;
        handler.answers = row.answers;
        EXPECT_EQ(row.expectedResult, FileUtils::copyPath(path(L"f.txt").c_str(), path(L"dst").c_str(), &handler))
            << row.name;
        std::vector<uint32_t> asked;
        for (const Asked& q : handler.questions)
            asked.push_back(q.code);
        EXPECT_EQ(row.expectedQuestions, asked) << row.name;
        EXPECT_EQ(row.expectedContent, readNativeFile(path(L"dst\\f.txt"))) << row.name;
        EXPECT_EQ(path(L"dst\\f.txt"), handler.questions.at(0).first) << row.name;
    }
    // Without a handler an existing target is never replaced.
    SetFileAttributesW(path(L"dst\\f.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    writeNativeFile(path(L"dst\\f.txt"), "old");
    EXPECT_FALSE(FileUtils::copyPath(path(L"f.txt").c_str(), path(L"dst").c_str(), nullptr));
    EXPECT_EQ("old", readNativeFile(path(L"dst\\f.txt")));
}

TEST_F(FileUtilsTest, AnAnswerForAllCoversLaterQuestionsOfItsCode) {
    makeTree(L"src");
    ASSERT_TRUE(FileUtils::copyPath(path(L"src").c_str(), m_dir.c_str(), nullptr) == false);
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    ASSERT_TRUE(FileUtils::copyPath(path(L"src").c_str(), path(L"dst").c_str(), nullptr));
    writeNativeFile(path(L"src\\x.txt"), "changed");
    writeNativeFile(path(L"src\\sub\\z.txt"), "changed");
    ScriptedHandler handler;
    handler.answers = {FileProgressHandler::UI_Yes, FileProgressHandler::UI_Skip | FileProgressHandler::UI_ForAll};
    EXPECT_TRUE(FileUtils::copyPath(path(L"src").c_str(), path(L"dst").c_str(), &handler));
    ASSERT_EQ(2u, handler.questions.size());
    EXPECT_EQ(0x20003018u, handler.questions[0].code);
    EXPECT_EQ(0x20003010u, handler.questions[1].code);
    EXPECT_EQ("x content", readNativeFile(path(L"dst\\src\\x.txt")));
    EXPECT_EQ("z", readNativeFile(path(L"dst\\src\\sub\\z.txt")));
    EXPECT_EQ(6u, handler.getItemsDone());
}

TEST_F(FileUtilsTest, LockedSourceIsRetriedAndACancelLeavesTheTargetAlone) {
    writeNativeFile(path(L"f.txt"), "data");
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    writeNativeFile(path(L"dst\\f.txt"), "old");
    HANDLE lock = CreateFileW(path(L"f.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    ScriptedHandler cancelled;
    EXPECT_FALSE(FileUtils::copyPath(path(L"f.txt").c_str(), path(L"dst").c_str(), &cancelled));
    ASSERT_EQ(1u, cancelled.questions.size());
    EXPECT_EQ(static_cast<uint32_t>(ERROR_SHARING_VIOLATION), cancelled.questions[0].code);
    EXPECT_EQ(FileProgressHandler::CATEGORY_RETRY, cancelled.questions[0].category);
    EXPECT_EQ(FileProgressHandler::OP_OPEN_READ, cancelled.questions[0].operation);
    EXPECT_EQ("old", readNativeFile(path(L"dst\\f.txt")));

    ScriptedHandler retried;
    retried.answers = {FileProgressHandler::UI_Retry, FileProgressHandler::UI_Yes};
    retried.whileAsking = [&] {
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        lock = INVALID_HANDLE_VALUE;
    };
    EXPECT_TRUE(FileUtils::copyPath(path(L"f.txt").c_str(), path(L"dst").c_str(), &retried));
    EXPECT_EQ(2u, retried.questions.size());
    EXPECT_EQ("data", readNativeFile(path(L"dst\\f.txt")));
}

TEST_F(FileUtilsTest, CancelFromTheTickCallbackStopsWithWholeFiles) {
    CreateDirectoryW(path(L"src").c_str(), nullptr);
    for (int i = 0; i < 5; ++i)
        writeNativeFile(path(L"src\\f" + std::to_wstring(i)), std::string(70000, char('a' + i)));
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    ScriptedHandler handler;
    handler.setTickInterval(0);
    handler.setTickCallback(
        [](void*, FileProgressHandler* h) {
            if (h->getItemsDone() >= 2)
                h->requestCancel();
        },
        nullptr);
    EXPECT_FALSE(FileUtils::copyPath(path(L"src").c_str(), path(L"dst").c_str(), &handler));
    EXPECT_EQ(zem::ERR_CANCELLED, zem::lastErrorCode());
    int whole = 0;
    for (int i = 0; i < 5; ++i) {
        std::wstring target = path(L"dst\\src\\f" + std::to_wstring(i));
        if (!exists(target))
            continue;
        EXPECT_EQ(std::string(70000, char('a' + i)), readNativeFile(target));
        ++whole;
    }
    EXPECT_LT(whole, 5);
}

TEST_F(FileUtilsTest, MovesByRenameAndAcrossDrivesByCopying) {
    makeTree(L"src");
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    ScriptedHandler handler;
    ASSERT_TRUE(FileUtils::movePath(path(L"src").c_str(), path(L"dst").c_str(), &handler));
    EXPECT_FALSE(exists(path(L"src")));
    EXPECT_EQ("z", readNativeFile(path(L"dst\\src\\sub\\z.txt")));
    EXPECT_EQ(handler.getItemsToDo(), handler.getItemsDone());

    // Wine maps the Unix root as Z:, a second drive beside C:.
    wchar_t unixTemp[] = L"Z:\\tmp\\";
    if (GetFileAttributesW(unixTemp) == INVALID_FILE_ATTRIBUTES || towupper(m_dir[0]) == L'Z')
        GTEST_SKIP() << "no second drive";
    m_otherDir = std::wstring(unixTemp) + L"zem-move-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(m_otherDir.c_str(), nullptr));
    ScriptedHandler across;
    ASSERT_TRUE(FileUtils::movePath(path(L"dst\\src").c_str(), m_otherDir.c_str(), &across));
    EXPECT_FALSE(exists(path(L"dst\\src")));
    EXPECT_EQ(std::string(100000, 'y'), readNativeFile(m_otherDir + L"\\src\\sub\\y.txt"));
    EXPECT_TRUE(exists(m_otherDir + L"\\src\\empty"));
    writeNativeFile(path(L"ro.txt"), "ro");
    setReadOnly(path(L"ro.txt"));
    ASSERT_TRUE(FileUtils::movePath(path(L"ro.txt").c_str(), m_otherDir.c_str(), &across));
    EXPECT_FALSE(exists(path(L"ro.txt")));
    EXPECT_EQ("ro", readNativeFile(m_otherDir + L"\\ro.txt"));
}

TEST_F(FileUtilsTest, MovingOntoAnExistingFileAsksToReplace) {
    writeNativeFile(path(L"a.txt"), "a");
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    writeNativeFile(path(L"dst\\a.txt"), "old");
    ScriptedHandler declined;
    EXPECT_FALSE(FileUtils::movePath(path(L"a.txt").c_str(), path(L"dst").c_str(), &declined));
    EXPECT_EQ("a", readNativeFile(path(L"a.txt")));
    EXPECT_EQ("old", readNativeFile(path(L"dst\\a.txt")));
    ScriptedHandler accepted;
    accepted.answers = {FileProgressHandler::UI_Yes};
    EXPECT_TRUE(FileUtils::movePath(path(L"a.txt").c_str(), path(L"dst").c_str(), &accepted));
    EXPECT_FALSE(exists(path(L"a.txt")));
    EXPECT_EQ("a", readNativeFile(path(L"dst\\a.txt")));
}

TEST_F(FileUtilsTest, RemovesEachFileBeforeItsDirectory) {
    makeTree(L"tree");
    setReadOnly(path(L"tree\\sub\\z.txt"));
    ScriptedHandler handler;
    handler.setAnswer(FileProgressHandler::Q_DELETE_FILE, FileProgressHandler::UI_Yes);
    handler.answers = {FileProgressHandler::UI_Yes};
    ASSERT_TRUE(FileUtils::removePath(path(L"tree").c_str(), &handler));
    EXPECT_FALSE(exists(path(L"tree")));
    ASSERT_EQ(1u, handler.questions.size());
    EXPECT_EQ(0x20003015u, handler.questions[0].code);
    std::vector<std::wstring> order;
    for (const auto& event : handler.events)
        if (event.first == FileProgressHandler::EVENT_FILE_DELETED ||
            event.first == FileProgressHandler::EVENT_DIRECTORY_REMOVED)
            order.push_back(event.second);
    ASSERT_EQ(6u, order.size());
    for (size_t i = 0; i < order.size(); ++i)
        for (size_t j = i + 1; j < order.size(); ++j)
            EXPECT_NE(0u, order[j].find(order[i] + L"\\")) << "directory before its content";
}

TEST_F(FileUtilsTest, RemovingAsksUnlessAnsweredForAll) {
    makeTree(L"tree");
    ScriptedHandler declined;
    EXPECT_FALSE(FileUtils::removePath(path(L"tree").c_str(), &declined));
    ASSERT_EQ(1u, declined.questions.size());
    // The listing decides whether a file or the empty directory comes first.
    EXPECT_TRUE(declined.questions[0].code == 0x20003014u || declined.questions[0].code == 0x20003016u);
    EXPECT_EQ(FileProgressHandler::CATEGORY_DELETE, declined.questions[0].category);
    EXPECT_TRUE(exists(path(L"tree\\x.txt")));
    ScriptedHandler forAll;
    forAll.answers = {FileProgressHandler::UI_Yes | FileProgressHandler::UI_ForAll};
    EXPECT_TRUE(FileUtils::removePath(path(L"tree").c_str(), &forAll));
    // One answer for all files also covers the directories, and the other way round.
    EXPECT_EQ(1u, forAll.questions.size());
    EXPECT_FALSE(exists(path(L"tree")));
}

TEST_F(FileUtilsTest, RenameStaysInsideItsFolder) {
    writeNativeFile(path(L"a.txt"), "a");
    writeNativeFile(path(L"b.txt"), "b");
    for (const wchar_t* bad : {L"", L".", L"..", L"..\\x.txt", L"sub/x.txt"}) {
        ScriptedHandler handler;
        EXPECT_FALSE(FileUtils::rename(path(L"a.txt").c_str(), bad, &handler));
        ASSERT_EQ(1u, handler.questions.size());
        EXPECT_EQ(static_cast<uint32_t>(ERROR_INVALID_NAME), handler.questions[0].code);
        EXPECT_EQ(FileProgressHandler::CATEGORY_FATAL, handler.questions[0].category);
    }
    EXPECT_EQ("a", readNativeFile(path(L"a.txt")));
    ScriptedHandler replace;
    replace.answers = {FileProgressHandler::UI_Yes};
    EXPECT_TRUE(FileUtils::rename(path(L"a.txt").c_str(), L"b.txt", &replace));
    EXPECT_EQ(std::vector<uint32_t>{0x20003010u}, std::vector<uint32_t>{replace.questions.at(0).code});
    EXPECT_EQ("a", readNativeFile(path(L"b.txt")));
    EXPECT_FALSE(exists(path(L"a.txt")));
    EXPECT_TRUE(FileUtils::rename(path(L"b.txt").c_str(), L"c.txt", nullptr));
    EXPECT_EQ("a", readNativeFile(path(L"c.txt")));
}

TEST_F(FileUtilsTest, MovingIntoAnExistingDirectoryMergesAfterAsking) {
    makeTree(L"src");
    CreateDirectoryW(path(L"dst").c_str(), nullptr);
    CreateDirectoryW(path(L"dst\\src").c_str(), nullptr);
    writeNativeFile(path(L"dst\\src\\kept.txt"), "kept");
    ScriptedHandler declined;
    EXPECT_FALSE(FileUtils::movePath(path(L"src").c_str(), path(L"dst").c_str(), &declined));
    ASSERT_EQ(1u, declined.questions.size());
    EXPECT_EQ(0x20003018u, declined.questions[0].code);
    EXPECT_TRUE(exists(path(L"src\\x.txt")));
    ScriptedHandler merged;
    merged.answers = {FileProgressHandler::UI_Yes};
    EXPECT_TRUE(FileUtils::movePath(path(L"src").c_str(), path(L"dst").c_str(), &merged));
    EXPECT_FALSE(exists(path(L"src")));
    EXPECT_EQ("kept", readNativeFile(path(L"dst\\src\\kept.txt")));
    EXPECT_EQ("z", readNativeFile(path(L"dst\\src\\sub\\z.txt")));
    EXPECT_EQ(merged.getItemsToDo(), merged.getItemsDone());
}

// Keeps one state word per path, as a file list window would.
class StateWords : public zem::FileItemStateProvider {
public:
    uint32_t* lookup(const wchar_t* path) override { return &words[path]; }
    void reset() override { ++resets; }
    std::map<std::wstring, uint32_t> words;
    int resets = 0;
};

TEST_F(FileUtilsTest, MovesFromAnotherDeviceAndMarksItemStates) {
    zem::RamDisk disk;
    ASSERT_TRUE(zem::fileAttachDevice(&disk, L"ramops", 100));
    zem::File* file = zem::fileOpen(L"ramops:note.txt", zem::FILE_MODE_WRITE);
    ASSERT_NE(nullptr, file);
    file->write("in memory", 9);
    zem::fileClose(file);
    StateWords states;
    states.words[path(L"note.txt")] = 0xFFFFFFFFu;
    ScriptedHandler handler;
    handler.setItemStateProvider(&states);
    std::vector<std::wstring> sources{L"ramops:note.txt"};
    EXPECT_TRUE(FileUtils::moveList(sources, m_dir.c_str(), &handler));
    EXPECT_EQ("in memory", readNativeFile(path(L"note.txt")));
    EXPECT_FALSE(zem::fileGetAttributes(L"ramops:note.txt", nullptr));
    EXPECT_EQ(1, states.resets);
    // Bits 6-13 are cleared and the event goes into bits 6-9 (the copy's 3, then 9 for the
    // attributes); the rest of the word stays. The target's name once kept the source's device prefix.
    EXPECT_EQ(0xFFFFC03Fu | (9u << 6), states.words[path(L"note.txt")]);
    EXPECT_EQ(4u << 6, states.words[L"ramops:note.txt"]);
    zem::fileDetachDevice(L"ramops");
}

// A clock the test moves by hand.
struct ManualClock {
    uint64_t now = 0;
    static uint64_t read(void* self) { return static_cast<ManualClock*>(self)->now; }
};

TEST(FileProgressHandlerTest, EstimateLeavesOutTheTimeSpentAnswering) {
    ManualClock clock;
    FileProgressHandler handler;
    handler.setClock(&ManualClock::read, &clock);
    handler.reset(false);
    handler.setTotals(10, 0);
    handler.startClock();
    EXPECT_EQ(-1, handler.getRemainingSeconds());
    clock.now = 2000;
    handler.itemDone();
    handler.itemDone();
    EXPECT_EQ(-1, handler.getRemainingSeconds()); // before 3 s
    clock.now = 4000;
    EXPECT_EQ(16, handler.getRemainingSeconds()); // 8 items at 2 s each
    clock.now = 4050;
    handler.itemDone();
    EXPECT_EQ(16, handler.getRemainingSeconds()); // within 101 ms: the cached value
    handler.setQuestionCallback(
        [](void* c, FileProgressHandler*) -> uint32_t {
            static_cast<ManualClock*>(c)->now += 10000;
            return FileProgressHandler::UI_Skip;
        },
        &clock);
    zem::setError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(FileProgressHandler::UI_Skip, handler.ask(false));
    clock.now += 1950; // 6 s of work in all, 3 items done
    EXPECT_EQ(14, handler.getRemainingSeconds());
    handler.setSkipAllowed(false);
    EXPECT_EQ(FileProgressHandler::UI_Cancel, handler.ask(false));
    handler.setSkipAllowed(true);
    EXPECT_EQ(FileProgressHandler::UI_Cancel, handler.ask(true));
}

TEST(FileProgressHandlerTest, ReportsAreThrottledAndFlushedBeforeQuestions) {
    ManualClock clock;
    FileProgressHandler handler;
    handler.setClock(&ManualClock::read, &clock);
    std::vector<uint64_t> bytes;
    handler.setByteCallback(
        [](void* b, FileProgressHandler* h) { static_cast<std::vector<uint64_t>*>(b)->push_back(h->getBytesDone()); },
        &bytes);
    handler.reset(false);
    clock.now = 100;
    handler.progress(10, false);
    clock.now = 110;
    handler.progress(20, false); // held back
    clock.now = 125;
    handler.progress(30, false);
    clock.now = 130;
    handler.progress(40, false); // held back
    EXPECT_EQ((std::vector<uint64_t>{10, 30}), bytes);
    handler.setQuestionCallback([](void*, FileProgressHandler*) -> uint32_t { return 0; }, nullptr);
    zem::setError(ERROR_ACCESS_DENIED);
    handler.ask(false);
    EXPECT_EQ((std::vector<uint64_t>{10, 30, 40}), bytes);
    EXPECT_EQ(40u, handler.getBytesDone());
}

TEST(FileProgressHandlerTest, AnswersCategoriesAndNames) {
    FileProgressHandler handler;
    handler.setAnswer(FileProgressHandler::Q_DELETE_FILE, FileProgressHandler::UI_Yes | FileProgressHandler::UI_ForAll);
    handler.reset(true);
    uint32_t answer = 9;
    EXPECT_TRUE(handler.findAnswer(FileProgressHandler::Q_DELETE_FILE, &answer));
    EXPECT_EQ(0u, answer);
    zem::setError(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(FileProgressHandler::UI_Cancel, handler.ask(false)); // nobody to ask
    const struct {
        uint32_t code;
        uint32_t category;
    } rows[] = {{0x20003017, 0}, {0x20003010, 1}, {0x20003018, 1}, {0x20003016, 2}, {32, 3},
                {5, 3},          {2, 4},          {3, 4},          {53, 4},         {123, 4},
                {267, 4},        {0x20001005, 4}, {0x20001007, 3}, {0x20001013, 4}, {0x20001015, 4}};
    for (const auto& row : rows)
        EXPECT_EQ(row.category, FileProgressHandler::categoryOf(row.code)) << std::hex << row.code;
    EXPECT_STREQ(L"Creating file", FileProgressHandler::getOperationName(3));
    EXPECT_STREQ(L"Copying file", FileProgressHandler::getOperationName(16));
    EXPECT_STREQ(L"File operation", FileProgressHandler::getOperationName(17));
    EXPECT_STREQ(L"File operation", FileProgressHandler::getOperationName(2));
}

} // namespace
