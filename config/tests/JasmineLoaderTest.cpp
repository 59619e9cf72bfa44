#include "corvel/jasmine/JasmineLoader.h"
#include "corvel/jasmine/ParserException.h"

#include "DiskFolderFixture.h"
#include "JasmineTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using namespace corvel;
using corveltest::describe;
using corveltest::utf16le;

namespace {

class JasmineLoaderTest : public corveltest::DiskFolderFixture {
protected:
    // The loader's log lines so far, joined by '|'.
    std::wstring logged() {
        std::wstring out;
        for (const auto& line : m_log.lines())
            out += line.text + L"|";
        return out;
    }

    zemtest::LogCapture m_log{JasmineLoader::logSource()};
};

} // namespace

TEST_F(JasmineLoaderTest, SaveWritesMarkAndTextAndLoadsBack) {
    JasmineValue doc;
    doc.getOrAddEntry(L"a").setInt(1);
    doc.getOrAddEntry(L"name").setString(L"it's \x4e2d");
    ASSERT_TRUE(JasmineLoader::save(device(L"doc.cvConfig").c_str(), doc));
    EXPECT_EQ("\xff\xfe" + utf16le(L"\n{\n\ta : 1\n\tname : 'it''s \x4e2d'\n}\n"),
              zemtest::readNativeFile(native(L"doc.cvConfig")));
    JasmineValue back;
    ASSERT_TRUE(JasmineLoader::load(device(L"doc.cvConfig").c_str(), back));
    EXPECT_EQ(doc, back);
    EXPECT_EQ(L"doc.cvConfig,", listFolder());
    EXPECT_EQ(L"", logged());
}

TEST_F(JasmineLoaderTest, LoadsUtf8AndAnsiTextWithAnyBreaks) {
    zemtest::writeNativeFile(native(L"u8"), "{ a : 'caf\xc3\xa9\r\nx' }");
    JasmineValue value;
    ASSERT_TRUE(JasmineLoader::load(device(L"u8").c_str(), value));
    EXPECT_EQ(L"{a:s'caf\x00e9\nx'}", describe(value));
    zemtest::writeNativeFile(native(L"plain"), "[1\r2\r\n3]");
    ASSERT_TRUE(JasmineLoader::load(device(L"plain").c_str(), value));
    EXPECT_EQ(L"[i1 i2 i3]", describe(value));
}

TEST_F(JasmineLoaderTest, UnreadableFilesAreLoggedAndLeaveTheTarget) {
    zemtest::writeNativeFile(native(L"empty"), "");
    JasmineValue value;
    value.setInt(5);
    EXPECT_FALSE(JasmineLoader::load(device(L"missing").c_str(), value));
    EXPECT_FALSE(JasmineLoader::load(device(L"empty").c_str(), value));
    EXPECT_FALSE(JasmineLoader::load(nullptr, value));
    EXPECT_EQ(L"i5", describe(value));
    EXPECT_EQ(L"ERROR: JasmineLoader::load(): Error reading file `cfgtest:missing`.|"
              L"ERROR: JasmineLoader::load(): File `cfgtest:empty` is empty.|"
              L"ERROR: JasmineLoader::load(): Error reading file ``.|",
              logged());
    for (const auto& line : m_log.lines())
        EXPECT_EQ(zem::LOG_INFO, line.level);
}

TEST_F(JasmineLoaderTest, SyntaxErrorPassesThroughWithTheFileClosed) {
    zemtest::writeNativeFile(native(L"bad"), "{ a : 1, }");
    JasmineValue value;
    EXPECT_THROW(JasmineLoader::load(device(L"bad").c_str(), value), ParserException);
    // Deleting works only when no handle is left open.
    EXPECT_TRUE(DeleteFileW(native(L"bad").c_str()));
}

TEST_F(JasmineLoaderTest, FailedSavesLeaveTheOldFile) {
    zemtest::writeNativeFile(native(L"keep"), "old");
    JasmineValue doc;
    doc.getOrAddEntry(L"bad key").setInt(1);
    EXPECT_FALSE(JasmineLoader::save(device(L"keep").c_str(), doc));
    EXPECT_FALSE(JasmineLoader::save(L"", doc));
    ASSERT_TRUE(SetFileAttributesW(native(L"keep").c_str(), FILE_ATTRIBUTE_READONLY));
    JasmineValue fine;
    fine.getOrAddEntry(L"a").setInt(1);
    EXPECT_FALSE(JasmineLoader::save(device(L"keep").c_str(), fine));
    EXPECT_FALSE(JasmineLoader::save(device(L"no/such/folder/x").c_str(), fine));
    EXPECT_EQ("old", zemtest::readNativeFile(native(L"keep")));
    EXPECT_EQ(L"keep,", listFolder());
    EXPECT_EQ(L"JasmineLoader::save(): Key `bad key` cannot be written.|"
              L"JasmineLoader::save(): File name is empty or NULL.|"
              L"JasmineLoader::save(): Cannot open file for writing.|"
              L"JasmineLoader::save(): Cannot open file for writing.|",
              logged());
}
