#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleEntryError.h"
#include "corvel/bundles/ExecutableBundleItem.h"

#include "support/BundleFolders.h"
#include "support/TestKinds.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"
#include "zem/writer/ValueWriter.h"

#include <gtest/gtest.h>

#include <thread>

using bundletest::Ref;
using corvel::BundleEntryLocation;
using corvel::ENTRY_ROOT_INSTALL;
using corvel::ENTRY_ROOT_USER;

namespace {

const wchar_t BUNDLE_NAME[] = L"web.cvBundle";
const wchar_t SHIPPED[] = L"root:bundles/web.cvBundle/snippets/table.cvSnippet";
const wchar_t USER[] = L"user:bundles/web.cvBundle/snippets/table.cvSnippet";

std::wstring describeErrors(const corvel::ValidationErrorList& errors) {
    std::wstring out;
    for (const corvel::ValidationError* error : errors)
        out += (out.empty() ? L"" : L" | ") + std::to_wstring(error->getSeverity()) + L":" + error->getMessage();
    return out;
}

// Equal to the value the Jasmine text stands for.
::testing::AssertionResult holds(const std::shared_ptr<zem::DictionaryValue>& value, const wchar_t* text) {
    std::unique_ptr<zem::Value> expected(zem::parseJasmine(text));
    if (value && value->equals(expected.get()))
        return ::testing::AssertionSuccess();
    std::wstring actual = L"<null>";
    if (value)
        zem::formatJasmine(value.get(), actual);
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " is not "
                                         << ::testing::PrintToString(std::wstring(text));
}

class BundleEntrySourcesTest : public bundletest::BundleFolders {
protected:
    void SetUp() override {
        BundleFolders::SetUp();
        bundle.reset(new corvel::Bundle(&kinds.bundle, bundletest::newUuid()));
        bundletest::locationOf(ENTRY_ROOT_INSTALL, BUNDLE_NAME, L"", L"info.cvInfo").storeIn(*bundle);
        bundle->setTitle(L"Web");
        bundle->clearModified();
    }
    void TearDown() override {
        bundle.reset();
        BundleFolders::TearDown();
    }

    // An item of the bundle with a location in each root given.
    Ref<corvel::ExecutableBundleItem> item(bool shipped, bool user) {
        Ref<corvel::ExecutableBundleItem> entry(
            new corvel::ExecutableBundleItem(&kinds.snippet, bundletest::newUuid()));
        bundle->addEntry(entry.get());
        if (shipped)
            bundletest::locationOf(ENTRY_ROOT_INSTALL, BUNDLE_NAME, L"snippets", L"table.cvSnippet").storeIn(*entry);
        if (user)
            bundletest::locationOf(ENTRY_ROOT_USER, BUNDLE_NAME, L"snippets", L"table.cvSnippet").storeIn(*entry);
        return entry;
    }

    bundletest::TestKinds kinds;
    Ref<corvel::Bundle> bundle;
};

} // namespace

TEST_F(BundleEntrySourcesTest, UserOnlyEntryReadsEditsAndSaves) {
    putText(USER, L"{title: 'Table', scope: 'text.html', content: 'a\r\nb'} // mine");
    auto entry = item(false, true);
    ASSERT_TRUE(entry->reload()) << describeErrors(entry->getErrors());
    EXPECT_FALSE(entry->isNew());
    EXPECT_FALSE(entry->isModified());
    EXPECT_EQ(L"Table", entry->getTitle());
    EXPECT_EQ(L"a\nb", entry->getContent());
    EXPECT_EQ(L"{title: 'Table', scope: 'text.html', content: 'a\nb'} // mine", entry->getSource());

    entry->setSource(L"{title: 'Rows', scope: 'text.html'} // first");
    EXPECT_TRUE(entry->isModified());
    EXPECT_EQ(L"Rows", entry->getTitle());
    EXPECT_TRUE(entry->save()) << describeErrors(entry->getErrors());
    EXPECT_EQ(L"{title: 'Rows', scope: 'text.html'} // first", savedText(USER));
    entry->setSource(L"{title: 'Cols', scope: 'text.html'} // second");
    EXPECT_TRUE(entry->save());
    EXPECT_EQ(L"{title: 'Cols', scope: 'text.html'} // second", savedText(USER));
    EXPECT_FALSE(entry->isModified());
    EXPECT_FALSE(entry->hasErrors());
}

TEST_F(BundleEntrySourcesTest, ShippedEntryEditedToTheSameTextInheritsEverything) {
    putText(SHIPPED, L"{title: 'Table', scope: 'text.html'}");
    auto entry = item(true, false);
    ASSERT_TRUE(entry->reload());
    entry->setSource(entry->getSource());
    EXPECT_TRUE(entry->save()) << describeErrors(entry->getErrors());
    EXPECT_EQ(L"{title: inherit, scope: inherit}", savedText(USER));
    // The shipped file stays as it was, and the entry reads back the same.
    EXPECT_EQ(L"<no mark>", savedText(SHIPPED));
    bundletest::locationOf(ENTRY_ROOT_USER, BUNDLE_NAME, L"snippets", L"table.cvSnippet").storeIn(*entry);
    ASSERT_TRUE(entry->reload());
    EXPECT_TRUE(holds(entry->getValue(), L"{title: 'Table', scope: 'text.html'}"));
}

TEST_F(BundleEntrySourcesTest, DeletedKeyOfAShippedEntryIsWrittenAsRemoved) {
    putText(SHIPPED, L"{title: 'Table', scope: 'text.html', tab_trigger: 'tb'}");
    auto entry = item(true, false);
    ASSERT_TRUE(entry->reload());
    // Without the shipped text at hand the differences are written as values.
    entry->setSource(L"{title: 'Table', scope: 'text.html'}");
    ASSERT_TRUE(entry->save());
    EXPECT_EQ(L"{\n\ttitle: inherit\n\tscope: inherit\n\ttab_trigger: removed\n}", savedText(USER));
    DeleteFileW(native(USER).c_str());

    // As the source editor does it: the text first, then the edit.
    auto edited = item(true, false);
    ASSERT_TRUE(edited->reload());
    EXPECT_EQ(L"{title: 'Table', scope: 'text.html', tab_trigger: 'tb'}", edited->getSource());
    edited->setSource(L"{title: 'Table', scope: 'text.html'}");
    ASSERT_TRUE(edited->save());
    EXPECT_EQ(L"{title: inherit, scope: inherit tab_trigger: removed}", savedText(USER));

    ASSERT_TRUE(entry->reload());
    EXPECT_TRUE(holds(entry->getValue(), L"{title: 'Table', scope: 'text.html'}"));
    EXPECT_EQ(L"{title: 'Table', scope: 'text.html'}", entry->getSource());
}

TEST_F(BundleEntrySourcesTest, MergedTextKeepsCommentsAndOnlyBareWordsAreMarkers) {
    putText(SHIPPED, L"{\n  title: 'Table', // shipped title\n  scope: 'text.html',\n  content: 'x'\n}");
    putText(USER, L"{\n  title: inherit,\n  // mine\n  scope: 'inherit',\n  content: removed\n}");
    auto entry = item(true, true);
    ASSERT_TRUE(entry->reload()) << describeErrors(entry->getErrors());
    EXPECT_EQ(L"inherit", entry->getScope());
    EXPECT_EQ(L"", entry->getContent());
    EXPECT_TRUE(holds(entry->getValue(), L"{title: 'Table', scope: 'inherit'}"));
    std::wstring text = entry->getSource();
    EXPECT_NE(std::wstring::npos, text.find(L"// mine")) << text;
    EXPECT_NE(std::wstring::npos, text.find(L"'Table'")) << text;
    EXPECT_EQ(std::wstring::npos, text.find(L"content")) << text;

    // Saving the merged text back gives the user file it came from, comment included.
    entry->setSource(text);
    ASSERT_TRUE(entry->save()) << describeErrors(entry->getErrors());
    std::wstring saved = savedText(USER);
    EXPECT_NE(std::wstring::npos, saved.find(L"// mine")) << saved;
    EXPECT_NE(std::wstring::npos, saved.find(L"title: inherit")) << saved;
    EXPECT_NE(std::wstring::npos, saved.find(L"content: removed")) << saved;
}

TEST_F(BundleEntrySourcesTest, BadFilesBecomeErrors) {
    struct Case {
        const char* bytes; // null: no file
        bool loads;
        const wchar_t* errors;
    } cases[] = {
        {nullptr, false, L"1:Unable to open file for reading. user:bundles/web.cvBundle/snippets/table.cvSnippet"},
        {"", false, L"2:File is empty. user:bundles/web.cvBundle/snippets/table.cvSnippet"},
        // Not UTF-8 and without a mark: read in the ANSI code page.
        {"{title: 'T\xe9', scope: 'x'}", true, L""},
        {"[1]", false, L"2:Root value must be `Dictionary`, but `List` found. (Line 1, Char 1)"},
        {"{title: 'T', scope: 'x'} trailing", true, L""},
        {"{title: 'T'}", true, L"1:Scope is not set. (Line 1, Char 1)"},
        {"{title: 5, scope: 'x'}", false, L"2:Value must be `String`, but `Integer` found. (Line 1, Char 9)"},
    };
    for (const Case& c : cases) {
        if (c.bytes)
            putBytes(USER, c.bytes);
        auto entry = item(false, true);
        bool loaded = entry->reload();
        EXPECT_EQ(describeErrors(entry->getErrors()), c.errors) << (c.bytes ? c.bytes : "<none>");
        EXPECT_EQ(c.loads, loaded) << (c.bytes ? c.bytes : "<none>");
        // Only save writes.
        if (!c.bytes) {
            EXPECT_FALSE(exists(USER));
        }
        DeleteFileW(native(USER).c_str());
    }
}

TEST_F(BundleEntrySourcesTest, ReadsAnyUnicodeMark) {
    std::wstring text = L"{title: '\u00c9t\u00e9', scope: 'x'}";
    std::string bigEndian = "\xfe\xff";
    for (wchar_t c : text) {
        bigEndian += static_cast<char>(c >> 8);
        bigEndian += static_cast<char>(c & 0xFF);
    }
    putBytes(USER, bigEndian);
    auto entry = item(false, true);
    ASSERT_TRUE(entry->reload()) << describeErrors(entry->getErrors());
    EXPECT_EQ(L"\u00c9t\u00e9", entry->getTitle());
}

TEST_F(BundleEntrySourcesTest, SyntaxErrorsAndDeepNestingAreReported) {
    putText(USER, L"{title: 'T',\n ]");
    auto entry = item(false, true);
    EXPECT_FALSE(entry->reload());
    ASSERT_EQ(1u, entry->getErrors().size());
    EXPECT_NE(std::wstring::npos, entry->getErrors().at(0)->getMessage().find(
                                      L"user:bundles/web.cvBundle/snippets/table.cvSnippet (Line 2"));

    putText(USER, L"{title: " + std::wstring(2000, L'[') + std::wstring(2000, L']') + L"}");
    EXPECT_FALSE(entry->reload());
    EXPECT_TRUE(entry->hasErrors());
    EXPECT_EQ(nullptr, entry->getValue());
    EXPECT_EQ(L"", entry->getSource());
}

TEST_F(BundleEntrySourcesTest, BundleSkipsAnUnreadableFolder) {
    putText(L"user:bundles/web.cvBundle/info.cvInfo", L"{title: 'Mine', menu: ['---']}");
    bundletest::locationOf(ENTRY_ROOT_USER, BUNDLE_NAME, L"", L"info.cvInfo").storeIn(*bundle);
    ASSERT_TRUE(bundle->reload()) << describeErrors(bundle->getErrors());
    EXPECT_EQ(L"Mine", bundle->getTitle());
    EXPECT_EQ(L"1:Unable to open file for reading. root:bundles/web.cvBundle/info.cvInfo",
              describeErrors(bundle->getErrors()));
}

TEST_F(BundleEntrySourcesTest, SaveOutcomes) {
    // Nothing to write: an unmodified shipped entry.
    putText(SHIPPED, L"{title: 'Table'}");
    auto shipped = item(true, false);
    ASSERT_TRUE(shipped->reload());
    EXPECT_TRUE(shipped->save());
    EXPECT_FALSE(exists(USER));

    // A title change without a user source writes the properties against the shipped file.
    EXPECT_TRUE(shipped->setTitle(L"Tables"));
    EXPECT_TRUE(shipped->save()) << describeErrors(shipped->getErrors());
    EXPECT_EQ(L"{\n\ttitle: \"Tables\"\n}", savedText(USER));
    EXPECT_FALSE(shipped->isModified());
    ASSERT_EQ(2u, shipped->getLocations().size());
    EXPECT_EQ(USER, shipped->getLocations()[1].toString());

    // A source that does not parse is not written.
    shipped->setSource(L"{title: ");
    EXPECT_FALSE(shipped->save());
    EXPECT_EQ(L"{\n\ttitle: \"Tables\"\n}", savedText(USER));
    EXPECT_TRUE(shipped->isModified());
}

TEST_F(BundleEntrySourcesTest, MovedItemIsNotWrittenElsewhere) {
    putText(USER, L"{title: 'Table', scope: 'x'}");
    auto entry = item(false, true);
    ASSERT_TRUE(entry->reload());
    Ref<corvel::Bundle> other(new corvel::Bundle(&kinds.bundle, bundletest::newUuid()));
    other->setTitle(L"Other");
    bundle->removeEntry(entry.get());
    other->addEntry(entry.get());
    EXPECT_EQ(other.get(), entry->getBundle());
    EXPECT_TRUE(entry->isModified());
    EXPECT_FALSE(entry->save());
    std::wstring errors = describeErrors(entry->getErrors());
    EXPECT_EQ(0u, errors.find(L"2:Not implemented user:bundles/other."));
    EXPECT_TRUE(entry->isModified());
    EXPECT_EQ(L"<no mark>", savedText(USER));
}

TEST_F(BundleEntrySourcesTest, ItemWithoutBundleIsNotWritten) {
    Ref<corvel::ExecutableBundleItem> entry(new corvel::ExecutableBundleItem(&kinds.snippet, bundletest::newUuid()));
    entry->setTitle(L"Lost");
    EXPECT_FALSE(entry->save());
    EXPECT_NE(std::wstring::npos, describeErrors(entry->getErrors()).find(L"2:Null reference."));
    EXPECT_TRUE(entry->isModified());
}

TEST_F(BundleEntrySourcesTest, FailedWriteKeepsTheOldFile) {
    putText(USER, L"{title: 'Table', scope: 'x'}");
    auto entry = item(false, true);
    ASSERT_TRUE(entry->reload());
    entry->setSource(L"{title: 'Changed', scope: 'x'}");
    // A read-only target cannot be replaced.
    ASSERT_TRUE(SetFileAttributesW(native(USER).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(entry->save());
    SetFileAttributesW(native(USER).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(L"<no mark>", savedText(USER));
    EXPECT_EQ("{title: 'Table', scope: 'x'}", zemtest::readNativeFile(native(USER)));
    EXPECT_TRUE(entry->isModified());
    ASSERT_EQ(1u, entry->getErrors().size());
    EXPECT_EQ(2u, entry->getErrors().at(0)->getSeverity());
    std::wstring message = entry->getErrors().at(0)->getMessage();
    EXPECT_NE(std::wstring::npos, message.find(USER)) << message;
    // Nothing is left beside the file.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((native(L"user:bundles/web.cvBundle/snippets/") + L"*").c_str(), &data);
    int files = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            files += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    EXPECT_EQ(1, files);
}

TEST_F(BundleEntrySourcesTest, NewEntriesFromTitlesAreWrittenWithTheirProperties) {
    Ref<corvel::Bundle> created(new corvel::Bundle(&kinds.bundle, bundletest::newUuid()));
    created->initFromTemplate(L"!!!");
    ASSERT_TRUE(created->save()) << describeErrors(created->getErrors());
    std::wstring uuid = created->getUuid().toString();
    std::wstring info = L"user:bundles/bundle." + uuid + L".cvBundle/info." + uuid + L".cvInfo";
    EXPECT_EQ(L"{\n\ttitle: \"!!!\"\n}", savedText(info));
    EXPECT_FALSE(created->isNew());

    Ref<corvel::ExecutableBundleItem> snippet(new corvel::ExecutableBundleItem(&kinds.snippet, bundletest::newUuid()));
    created->addEntry(snippet.get());
    snippet->initFromTemplate(L"Html Table");
    ASSERT_TRUE(snippet->save()) << describeErrors(snippet->getErrors());
    EXPECT_EQ(L"{\n\ttitle: \"Html Table\"\n}",
              savedText(L"user:bundles/bundle." + uuid + L".cvBundle/snippets/html_table." +
                        snippet->getUuid().toString() + L".cvSnippet"));
    // A title change alone keeps the stored file name.
    snippet->setTitle(L"Renamed");
    ASSERT_TRUE(snippet->save());
    EXPECT_NE(std::wstring::npos, snippet->getLocation()->toString().find(L"/html_table."));
}

TEST_F(BundleEntrySourcesTest, EditedPropertiesStayUntilSaved) {
    putText(SHIPPED, L"{title: 'Table', scope: 'text.html'}");
    auto entry = item(true, false);
    ASSERT_TRUE(entry->reload());
    std::shared_ptr<zem::DictionaryValue> edited(zem::createDictionaryValue());
    edited->set(L"title", zem::createStringValue(L"Form"));
    entry->setValue(edited);
    EXPECT_EQ(L"Form", entry->getTitle());
    // The source view shows the edit, not the files.
    EXPECT_NE(std::wstring::npos, entry->getSource().find(L"Form"));
    ASSERT_TRUE(entry->save());
    EXPECT_EQ(L"{\n\ttitle: \"Form\"\n\tscope: removed\n}", savedText(USER));
    // Once saved, the text comes from the files again.
    EXPECT_EQ(L"{\n\ttitle: \"Form\"\n}", entry->getSource());
}

TEST_F(BundleEntrySourcesTest, TitleChangeOfAUserFile) {
    putText(USER, L"{title: 'Table', scope: 'x'} // comment");
    auto entry = item(false, true);
    ASSERT_TRUE(entry->reload());
    entry->setTitle(L"Renamed");
    EXPECT_EQ(L"{title: 'Table', scope: 'x'} // comment", entry->getSource());
    // Saving writes the new title (a user file holding the old one would lose it).
    ASSERT_TRUE(entry->save());
    EXPECT_EQ(L"{\n\ttitle: \"Renamed\"\n\tscope: \"x\"\n}", savedText(USER));
    ASSERT_TRUE(entry->reload());
    EXPECT_EQ(L"Renamed", entry->getTitle());
}

TEST_F(BundleEntrySourcesTest, ReloadNeedsNoMainThread) {
    putText(SHIPPED, L"{title: 'Table', scope: 'text.html'}");
    putText(USER, L"{title: 'Mine', scope: inherit}");
    auto entry = item(true, true);
    bool loaded = false;
    std::thread loader([&] { loaded = entry->reload(); });
    loader.join();
    EXPECT_TRUE(loaded) << describeErrors(entry->getErrors());
    EXPECT_EQ(L"Mine", entry->getTitle());
    EXPECT_EQ(L"text.html", entry->getScope());
}

TEST_F(BundleEntrySourcesTest, LoadAndSaveNotify) {
    struct Seen {
        int loaded = 0;
        int saved = 0;
        static void onLoaded(void* self, corvel::BundleEntry*) { ++static_cast<Seen*>(self)->loaded; }
        static void onSaved(void* self, corvel::BundleEntry*) { ++static_cast<Seen*>(self)->saved; }
    } seen;
    putText(USER, L"{title: 'Table', scope: 'x'}");
    auto entry = item(false, true);
    entry->onLoaded().add(&Seen::onLoaded, &seen);
    entry->onSaved().add(&Seen::onSaved, &seen);
    ASSERT_TRUE(entry->reload());
    ASSERT_TRUE(entry->reload());
    EXPECT_EQ(2, seen.loaded);
    EXPECT_EQ(0, seen.saved);
    EXPECT_TRUE(entry->isLoaded());

    putText(USER, L"");
    EXPECT_FALSE(entry->reload());
    EXPECT_FALSE(entry->isLoaded());
    EXPECT_EQ(2, seen.loaded);

    entry->setSource(L"{title: 'Saved', scope: 'x'}");
    ASSERT_TRUE(entry->save());
    EXPECT_EQ(1, seen.saved);
}
