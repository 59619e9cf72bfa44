#include "zem/files/WatchPoolRecordParser.h"
#include "zem/base/Crc.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

using zem::FileChangeEvent;

struct Record {
    DWORD action;
    std::wstring name;
};

// Lays records out as ReadDirectoryChangesW does: DWORD-aligned, chained by NextEntryOffset.
std::vector<DWORD> layOut(const std::vector<Record>& records, DWORD& bytes) {
    std::vector<BYTE> raw;
    size_t previous = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        size_t start = raw.size();
        size_t size = offsetof(FILE_NOTIFY_INFORMATION, FileName) + records[i].name.size() * sizeof(wchar_t);
        size = (size + 3) & ~size_t(3);
        raw.resize(start + size);
        FILE_NOTIFY_INFORMATION* info = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(&raw[start]);
        info->NextEntryOffset = 0;
        info->Action = records[i].action;
        info->FileNameLength = static_cast<DWORD>(records[i].name.size() * sizeof(wchar_t));
        std::memcpy(info->FileName, records[i].name.data(), info->FileNameLength);
        if (i > 0)
            reinterpret_cast<FILE_NOTIFY_INFORMATION*>(&raw[previous])->NextEntryOffset =
                static_cast<DWORD>(start - previous);
        previous = start;
    }
    bytes = static_cast<DWORD>(raw.size());
    std::vector<DWORD> aligned((raw.size() + 3) / 4 + 1);
    std::memcpy(aligned.data(), raw.data(), raw.size());
    return aligned;
}

// "kind:time:path>second" for each event, so that a row compares in one string.
std::wstring describe(const std::vector<FileChangeEvent*>& events) {
    std::wstring out;
    for (FileChangeEvent* e : events) {
        out += std::to_wstring(e->getKind()) + L":" + std::to_wstring(e->getTime()) + L":" + e->getPath();
        if (!e->getSecondPath().empty())
            out += L">" + e->getSecondPath();
        out += L";";
    }
    return out;
}

struct ParseCase {
    const char* what;
    std::vector<std::vector<Record>> reads; // read n happens at time n + 1
    std::wstring expected;
};

::testing::AssertionResult parsesTo(const ParseCase& c) {
    zem::WatchPoolRecordParser parser;
    std::vector<FileChangeEvent*> events;
    for (size_t i = 0; i < c.reads.size(); ++i) {
        DWORD bytes = 0;
        std::vector<DWORD> buffer = layOut(c.reads[i], bytes);
        parser.parse(buffer.data(), bytes, i + 1, events);
    }
    std::wstring actual = describe(events);
    for (FileChangeEvent* e : events)
        e->release();
    if (actual == c.expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << c.what << ": expected \""
                                         << std::string(c.expected.begin(), c.expected.end()) << "\", got \""
                                         << std::string(actual.begin(), actual.end()) << "\"";
}

TEST(WatchPoolRecordParserTest, RecordsBecomeEventsAndRenamesPair) {
    const DWORD ADD = FILE_ACTION_ADDED, DEL = FILE_ACTION_REMOVED, MOD = FILE_ACTION_MODIFIED;
    const DWORD OLD = FILE_ACTION_RENAMED_OLD_NAME, NEW = FILE_ACTION_RENAMED_NEW_NAME;
    const ParseCase cases[] = {
        {"plain actions", {{{ADD, L"a.txt"}, {DEL, L"b"}, {MOD, L"sub\\c"}}}, L"0:1:a.txt;1:1:b;3:1:sub\\c;"},
        {"rename in one read", {{{OLD, L"old"}, {NEW, L"new"}}}, L"2:1:old>new;"},
        {"rename split over two reads keeps the first read's time",
         {{{MOD, L"x"}, {OLD, L"old"}}, {{NEW, L"new"}}},
         L"3:1:x;2:1:old>new;"},
        // Caught: a new name without its old half used to trip an assertion.
        {"new name alone is an addition", {{{NEW, L"new"}}}, L"0:1:new;"},
        // Caught: a stale old name used to pair with an unrelated later rename.
        {"old name followed by another change left the folder",
         {{{OLD, L"gone"}, {ADD, L"a"}}, {{OLD, L"p"}, {NEW, L"q"}}},
         L"1:1:gone;0:1:a;2:2:p>q;"},
        {"two old names in a row", {{{OLD, L"one"}, {OLD, L"two"}, {NEW, L"three"}}}, L"1:1:one;2:1:two>three;"},
        {"unknown action is skipped", {{{99, L"odd"}, {ADD, L"a"}}}, L"0:1:a;"},
        {"empty read", {{}}, L""},
    };
    for (const ParseCase& c : cases)
        EXPECT_TRUE(parsesTo(c));
}

TEST(WatchPoolRecordParserTest, RecordRunningPastTheReadIsIgnored) {
    DWORD bytes = 0;
    std::vector<DWORD> buffer = layOut({{FILE_ACTION_ADDED, L"first"}, {FILE_ACTION_ADDED, L"second-name"}}, bytes);
    zem::WatchPoolRecordParser parser;
    std::vector<FileChangeEvent*> events;
    // Cut inside the second record's name.
    parser.parse(buffer.data(), bytes - 8, 1, events);
    EXPECT_EQ(L"0:1:first;", describe(events));
    for (FileChangeEvent* e : events)
        e->release();
    events.clear();
    parser.parse(buffer.data(), 4, 1, events);
    EXPECT_TRUE(events.empty());
}

TEST(WatchPoolRecordParserTest, NameHashIsZeroForEntriesInSubFolders) {
    FileChangeEvent* top = new FileChangeEvent(FileChangeEvent::MODIFIED, 1, L"Read.Me");
    FileChangeEvent* deep = new FileChangeEvent(FileChangeEvent::MODIFIED, 1, L"sub\\Read.Me");
    EXPECT_EQ(zem::crc32StringNoCase(L"read.me"), top->getNameHash());
    EXPECT_EQ(0u, deep->getNameHash());
    EXPECT_EQ(nullptr, top->getFileInfo());
    zem::FileInfo info;
    info.size = 42;
    FileChangeEvent* copy = top->copyWithInfo(info);
    ASSERT_NE(nullptr, copy->getFileInfo());
    EXPECT_EQ(42u, copy->getFileInfo()->size);
    EXPECT_EQ(top->getNameHash(), copy->getNameHash());
    EXPECT_EQ(1, copy->getRefCount());
    copy->release();
    top->release();
    deep->release();
}

} // namespace
