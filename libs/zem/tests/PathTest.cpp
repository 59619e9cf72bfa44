#include "zem/files/Path.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using namespace zem;

namespace {

// node|device|dir/dir/|file|abs-or-rel
std::wstring describe(const Path& p) {
    std::wstring out = p.getNode() + L"|" + p.getDevice() + L"|";
    for (const std::wstring& d : p.getDirectories())
        out += d + L"/";
    out += L"|" + p.getFileName() + (p.isAbsolute() ? L"|abs" : L"|rel");
    return out;
}

::testing::AssertionResult parsesTo(const wchar_t* text, const wchar_t* expected) {
    Path p(text);
    std::wstring actual = describe(p);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "input " << ::testing::PrintToString(std::wstring(text)) << " expected "
                                         << ::testing::PrintToString(std::wstring(expected)) << " actual "
                                         << ::testing::PrintToString(actual);
}

::testing::AssertionResult rejected(const wchar_t* text) {
    try {
        Path p(text);
        return ::testing::AssertionFailure() << "input " << ::testing::PrintToString(std::wstring(text))
                                             << " parsed to " << ::testing::PrintToString(describe(p));
    } catch (const PathSyntaxException& e) {
        if (e.message() == text)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "message " << ::testing::PrintToString(e.message());
    }
}

TEST(PathParseTest, SplitsAndFoldsComponents) {
    const struct {
        const wchar_t* text;
        const wchar_t* expected;
    } rows[] = {
        {L"", L"||||rel"},
        {L"\\\\srv\\share\\a\\b.txt", L"srv||share/a/|b.txt|abs"},
        {L"//srv/share/x", L"srv||share/|x|abs"},
        {L"D:\\x\\..\\y\\z.txt", L"|D|y/|z.txt|abs"},
        {L"d:/a/./b/", L"|d|a/b/||abs"},
        {L"..\\..\\a", L"||../../|a|rel"},
        {L"a\\..\\..\\b", L"||../|b|rel"},
        {L"\\..\\a", L"|||a|abs"},
        {L"a\\\\b", L"||a/|b|rel"},
        {L"C:\\", L"|C|||abs"},
        {L"file.txt", L"|||file.txt|rel"},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(parsesTo(r.text, r.expected));
}

TEST(PathParseTest, MalformedDriveThrowsWithWholeText) {
    for (const wchar_t* text : {L"D:x", L"D:", L"1:\\x", L"::\\a"})
        EXPECT_TRUE(rejected(text));
}

TEST(PathParseTest, AssignClearsThePreviousPathAndTextIsNormalised) {
    Path p(L"\\\\srv\\share\\a\\b.txt");
    p.assign(L"x\\y\\..\\z");
    EXPECT_TRUE(p.getNode().empty());
    EXPECT_EQ(L"x\\z", p.toString());
    p.assign(L"C:/a/./b/../c.txt");
    EXPECT_EQ(L"C:\\a\\c.txt", p.toString());
    p.assign(L"//srv/share/q");
    EXPECT_EQ(L"\\\\srv\\share\\q", p.toString());
}

// Applies one text function to input and returns the result as text.
typedef std::wstring (*TextFunction)(const wchar_t*);

::testing::AssertionResult gives(const char* name, TextFunction f, const wchar_t* input, const wchar_t* expected) {
    std::wstring actual = f(input);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << "(" << ::testing::PrintToString(std::wstring(input))
                                         << ") expected " << ::testing::PrintToString(std::wstring(expected))
                                         << " actual " << ::testing::PrintToString(actual);
}

std::wstring fileNameOf(const wchar_t* s) {
    return getFileName(s);
}
std::wstring extensionOf(const wchar_t* s) {
    return WorkString(s).getExtension();
}
std::wstring directoryOf(const wchar_t* s) {
    WorkString w;
    getDirectory(s, w);
    return w.str();
}
std::wstring baseNameOf(const wchar_t* s) {
    WorkString w;
    getBaseName(s, w);
    return w.str();
}
std::wstring withoutFileName(const wchar_t* s) {
    WorkString w(s);
    removeFileName(w);
    return w.str();
}
std::wstring quoted(const wchar_t* s) {
    WorkString w(s);
    quotePathIfNeeded(w);
    return w.str();
}
std::wstring withSeparator(const wchar_t* s) {
    WorkString w(s);
    appendPathSeparator(w);
    return w.str();
}
std::wstring withoutSeparator(const wchar_t* s) {
    WorkString w(s);
    removeTrailingSeparator(w);
    return w.str();
}
std::wstring renamedToX(const wchar_t* s) {
    WorkString w(s);
    replaceFileName(w, L"x.y");
    return w.str();
}

TEST(PathTextTest, FunctionsOnSeparatorsAndExtensions) {
    const struct {
        const char* name;
        TextFunction f;
        const wchar_t* input;
        const wchar_t* expected;
    } rows[] = {
        {"getFileName", fileNameOf, L"C:\\a/b.txt", L"b.txt"},
        {"getFileName", fileNameOf, L"b.txt", L"b.txt"},
        {"getFileName", fileNameOf, L"C:\\a\\", L""},
        {"getExtension", extensionOf, L"a.b\\c.tar.gz", L"gz"},
        {"getExtension", extensionOf, L"a.b\\c", L""},
        {"getDirectory", directoryOf, L"C:\\a/b.txt", L"C:\\a/"},
        {"getDirectory", directoryOf, L"b.txt", L""},
        {"getBaseName", baseNameOf, L"C:\\a\\b.tar.gz", L"b.tar"},
        {"getBaseName", baseNameOf, L"x.d\\noext", L"noext"},
        {"removeFileName", withoutFileName, L"D:\\a\\b.txt", L"D:\\a\\"},
        {"removeFileName", withoutFileName, L"b.txt", L".\\"},
        {"quotePathIfNeeded", quoted, L"my file.txt", L"\"my file.txt\""},
        {"quotePathIfNeeded", quoted, L"myfile.txt", L"myfile.txt"},
        {"quotePathIfNeeded", quoted, L"my_file.txt", L"\"my_file.txt\""},
        {"quotePathIfNeeded", quoted, L"a,b", L"\"a,b\""},
        {"appendPathSeparator", withSeparator, L"C:\\a", L"C:\\a\\"},
        {"appendPathSeparator", withSeparator, L"C:/a/", L"C:/a/"},
        {"appendPathSeparator", withSeparator, L"", L""},
        {"removeTrailingSeparator", withoutSeparator, L"C:\\a\\\\", L"C:\\a\\"},
        {"removeTrailingSeparator", withoutSeparator, L"a", L"a"},
        {"replaceFileName", renamedToX, L"C:\\a\\b.txt", L"C:\\a\\x.y"},
        {"replaceFileName", renamedToX, L"b.txt", L"x.y"},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(gives(r.name, r.f, r.input, r.expected));
}

TEST(PathTextTest, LastSeparatorIndexStrDupAndHex) {
    EXPECT_EQ(3, lastSeparatorIndex(L"a\\b/c\\d", 4));
    EXPECT_EQ(5, lastSeparatorIndex(L"a\\b/c\\d", 7));
    EXPECT_EQ(-1, lastSeparatorIndex(L"a\\b", 1));
    EXPECT_EQ(nullptr, strDup(nullptr));
    wchar_t* copy = strDup(L"abc");
    EXPECT_STREQ(L"abc", copy);
    strFree(copy);
    EXPECT_EQ(L"00ABCDEF", formatHex32(0xABCDEF));
    EXPECT_EQ(L"FFFFFFFF", formatHex32(0xFFFFFFFFu));
}

TEST(WorkStringTest, GrowsPastItsInlineBufferInSteps) {
    WorkString s;
    EXPECT_TRUE(s.isInline());
    std::wstring expected;
    for (int i = 0; i < 255; ++i) {
        s.append(L'a');
        expected += L'a';
    }
    EXPECT_TRUE(s.isInline()); // 255 characters and the terminator fill it exactly
    s.append(L'b');
    expected += L'b';
    EXPECT_FALSE(s.isInline());
    EXPECT_EQ(512u, s.capacity());
    EXPECT_EQ(expected, s.str());
    // Appending a part of itself survives the reallocation it causes.
    s.append(s.c_str(), s.length());
    EXPECT_EQ(expected + expected, s.str());
    EXPECT_EQ(1024u, s.capacity());
    s.insert(0, L"xy");
    EXPECT_EQ(L"xy" + expected + expected, s.str());
    WorkString copy(s);
    EXPECT_EQ(s.str(), copy.str());
    s.assign(s.c_str() + 2, 3);
    EXPECT_EQ(L"aaa", s.str());
}

} // namespace
