#include "corvel/document/RecentFileEntry.h"

#include "corvel/jasmine/JasmineValue.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentFileEntryTest, WritesAndReadsTheThreeKeys) {
    corvel::RecentFileEntry entry;
    entry.filePath = L"c:\\work\\a.txt";
    entry.line = 12;
    entry.lineOffset = 4;
    entry.caretFlag = 1;
    corvel::JasmineValue dictionary;
    ASSERT_TRUE(entry.write(dictionary));
    EXPECT_EQ(3u, dictionary.dictionarySize());

    corvel::RecentFileEntry back;
    ASSERT_TRUE(back.read(dictionary));
    EXPECT_EQ(entry.filePath, back.filePath);
    EXPECT_EQ(12, back.line);
    EXPECT_EQ(4, back.lineOffset);
    EXPECT_EQ(0, back.caretFlag); // not stored

    const corvel::RecentFileEntry copy(entry);
    EXPECT_EQ(1, copy.caretFlag);
    EXPECT_EQ(entry.filePath, copy.filePath);
}

TEST(RecentFileEntryTest, WithoutAPathNothingIsReadOrWritten) {
    corvel::RecentFileEntry entry;
    entry.filePath = L"kept";
    entry.line = 3;
    corvel::JasmineValue missing(corvel::JasmineValue::TYPE_DICTIONARY);
    missing.getOrAddEntry(L"line").setInt(99);
    EXPECT_FALSE(entry.read(missing));
    corvel::JasmineValue empty;
    empty.getOrAddEntry(L"file_path").setString(L"");
    EXPECT_FALSE(entry.read(empty));
    EXPECT_EQ(L"kept", entry.filePath);
    EXPECT_EQ(3, entry.line);

    corvel::RecentFileEntry unnamed;
    corvel::JasmineValue out;
    EXPECT_FALSE(unnamed.write(out));
    EXPECT_TRUE(out.isNull());
}

TEST(RecentFileEntryTest, MissingNumbersReadAsZero) {
    corvel::JasmineValue dictionary;
    dictionary.getOrAddEntry(L"file_path").setString(L"x");
    corvel::RecentFileEntry entry;
    entry.line = 5;
    ASSERT_TRUE(entry.read(dictionary));
    EXPECT_EQ(0, entry.line);
    EXPECT_EQ(0, entry.lineOffset);
}

} // namespace
