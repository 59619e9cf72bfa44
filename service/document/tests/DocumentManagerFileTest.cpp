#include "corvel/config/Config.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/DocumentState.h"
#include "corvel/text/CodePages.h"
#include "support/ControllerFixture.h"
#include "support/TempFolder.h"
#include "zem/base/Exception.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileWatcher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

using corvel::Document;
using corvel::DocumentController;

// Real files in a fresh folder, opened through the manager with the watcher running.
class DocumentManagerFileTest : public documenttest::ControllerFixture {
protected:
    void SetUp() override {
        ControllerFixture::SetUp();
        folder = zemtest::makeTempFolder(L"manager");
        // The manager opens full paths, which are native ones.
        native = std::make_unique<zem::FileDeviceWin32>(nullptr, zem::FILEDEV_NATIVE);
        ASSERT_TRUE(zem::fileAttachDevice(native.get(), L"__managernative", 256));
    }
    void TearDown() override {
        ControllerFixture::TearDown();
        zem::fileDetachDevice(L"__managernative");
        native.reset();
        zemtest::removeTree(folder);
    }
    std::wstring path(const wchar_t* name) const { return folder + L"\\" + name; }
    void writeFile(const std::wstring& file, const std::string& bytes) {
        std::ofstream out(std::string(file.begin(), file.end()), std::ios::binary);
        out << bytes;
    }
    std::string readFile(const std::wstring& file) {
        std::ifstream in(std::string(file.begin(), file.end()), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void setLastWriteLater(const std::wstring& file, int seconds) { zemtest::setNativeLastWriteLater(file, seconds); }
    DocumentController* open(const std::wstring& file) {
        std::unique_ptr<zem::ErrorObject> error;
        Document* document = documents->loadDocument(file.c_str(), error);
        if (!document)
            return nullptr;
        return controllers->createController(document);
    }

    std::wstring folder;
    std::unique_ptr<zem::FileDeviceWin32> native;
};

TEST_F(DocumentManagerFileTest, LoadingAppliesWhatWasDetected) {
    writeFile(path(L"a.txt"), "one\r\n    two\r\n");
    DocumentController* opened = open(path(L"a.txt"));
    ASSERT_NE(nullptr, opened);
    const corvel::DocumentState state = opened->getDocument()->getState();
    EXPECT_FALSE(state.untitled);
    EXPECT_FALSE(state.modified);
    EXPECT_EQ(corvel::LINE_ENDING_CRLF, state.lineEnding);
    EXPECT_EQ(L"a.txt", opened->getTitle());
    EXPECT_EQ(opened->getDocument(), documents->findDocumentByPath(opened->getFilePath().c_str()));
    EXPECT_EQ(nullptr, documents->findDocumentByPath(L""));
    DocumentController* twice = open(path(L"a.txt"));
    ASSERT_NE(nullptr, twice);
    EXPECT_NE(opened->getDocument(), twice->getDocument()) << "the same path twice is two documents";
}

TEST_F(DocumentManagerFileTest, AFailedLoadLeavesTheListAsItWas) {
    const size_t before = documents->getDocuments().size();
    std::unique_ptr<zem::ErrorObject> error;
    EXPECT_EQ(nullptr, documents->loadDocument(path(L"missing.txt").c_str(), error));
    ASSERT_NE(nullptr, error);
    EXPECT_NE(0u, error->code());
    EXPECT_EQ(before, documents->getDocuments().size());
}

TEST_F(DocumentManagerFileTest, SaveAsMovesThePathAndAFailedSaveKeepsIt) {
    writeFile(path(L"b.txt"), "text");
    DocumentController* opened = open(path(L"b.txt"));
    ASSERT_NE(nullptr, opened);
    opened->beginEdit(DocumentController::EDIT_WRITE);
    opened->insertString(L"more ");
    opened->endEdit();
    EXPECT_TRUE(opened->isModified());
    std::unique_ptr<zem::ErrorObject> error;
    ASSERT_TRUE(documents->saveDocument(opened->getDocument(), path(L"c.txt").c_str(), error));
    EXPECT_EQ("more text", readFile(path(L"c.txt")));
    EXPECT_EQ("text", readFile(path(L"b.txt")));
    EXPECT_FALSE(opened->isModified());
    EXPECT_EQ(L"c.txt", opened->getTitle());
    ASSERT_NE(nullptr, documents->getWatch(opened->getDocument()));
    EXPECT_EQ(path(L"c.txt"), documents->getWatch(opened->getDocument())->getPath());

    opened->beginEdit(DocumentController::EDIT_WRITE);
    opened->insertString(L"x");
    opened->endEdit();
    EXPECT_FALSE(documents->saveDocument(opened->getDocument(), path(L"no\\such\\d.txt").c_str(), error));
    ASSERT_NE(nullptr, error);
    EXPECT_NE(0u, error->code());
    EXPECT_EQ(L"c.txt", opened->getTitle()) << "the old path stays";
    EXPECT_TRUE(opened->isModified());
    ASSERT_NE(nullptr, documents->getWatch(opened->getDocument())) << "watched again at the old path";
    EXPECT_EQ(path(L"c.txt"), documents->getWatch(opened->getDocument())->getPath());
}

TEST_F(DocumentManagerFileTest, AChangeOnDiskIsToldOnceAndAReloadReadsIt) {
    writeFile(path(L"e.txt"), "before");
    DocumentController* opened = open(path(L"e.txt"));
    ASSERT_NE(nullptr, opened);
    int told = 0;
    opened->fileChangedOnDisk.add([](void* count, DocumentController*) { ++*static_cast<int*>(count); }, &told);
    writeFile(path(L"e.txt"), "after the change");
    setLastWriteLater(path(L"e.txt"), 10);
    ASSERT_TRUE(window.pumpUntil([&] { return told > 0; })) << "the change never arrived";
    writeFile(path(L"e.txt"), "after the change, twice");
    setLastWriteLater(path(L"e.txt"), 20);
    window.pumpUntil([&] { return told > 1; }, 300);
    EXPECT_EQ(1, told) << "a second change before a reload says nothing";
    std::unique_ptr<zem::ErrorObject> error;
    ASSERT_TRUE(documents->reloadDocument(opened->getDocument(), error));
    std::wstring all;
    opened->getAllText(all);
    EXPECT_EQ(L"after the change, twice", all);
    EXPECT_EQ(2, told) << "the reload's end tells once more";
    EXPECT_EQ(0, opened->getCaretOffset());
}

TEST_F(DocumentManagerFileTest, GlobalListenersReachEveryDocument) {
    corvel::DocumentListener listener;
    EXPECT_TRUE(documents->addGlobalListener(&listener));
    EXPECT_TRUE(documents->addGlobalListener(&listener));
    Document* made = documents->createDocument(L"");
    EXPECT_TRUE(documents->removeGlobalListener(&listener));
    EXPECT_FALSE(documents->removeGlobalListener(&listener));
    documents->closeDocument(made);
    EXPECT_THROW(documents->updateDocumentFilePath(L"x", nullptr), zem::NullPointerException);
}

} // namespace

namespace {

struct SettingsCase {
    int32_t size;
    int expectedWidth;
};

class DocumentManagerSettingsTest : public documenttest::ControllerFixture {};

TEST_F(DocumentManagerSettingsTest, SettingsBecomeTheFileDefaultsAndAreWrittenBack) {
    const SettingsCase cases[] = {{0, 1}, {12, 8}, {3, 3}};
    for (const SettingsCase& c : cases) {
        corvel::Config config;
        config.declareValue(L"app.indentation.recent.size", corvel::ConfigValue::TYPE_INT)->setInt(c.size);
        config.declareValue(L"app.indentation.recent.soft", corvel::ConfigValue::TYPE_BOOL)->setBool(true);
        config.declareValue(L"app.file_defaults.line_ending", corvel::ConfigValue::TYPE_STRING)->setString(L"LF");
        documents->onSettingsChanged(config);
        EXPECT_EQ(c.expectedWidth, documents->getIndentDefaults().getWidth()) << c.size;
        EXPECT_TRUE(documents->getIndentDefaults().isSoftTabs());
        EXPECT_EQ(corvel::LINE_ENDING_LF, documents->getDefaultLineEnding());
    }
    corvel::Document* made = documents->createDocument(L"");
    EXPECT_EQ(corvel::LINE_ENDING_LF, made->getState().lineEnding) << "a new document takes the defaults";
    documents->closeDocument(made);
    corvel::Config out;
    documents->writeSettings(out);
    EXPECT_EQ(std::wstring(L"LF"), out.getValue(L"app.file_defaults.line_ending")->getString());
    EXPECT_EQ(3, out.getValue(L"app.indentation.recent.size")->asInt());
    EXPECT_TRUE(out.getValue(L"app.indentation.recent.soft")->asBool());
}

} // namespace
