#include "corvel/bundles/BundleEntry.h"
#include "corvel/bundles/BundleEntryLocation.h"

#include "zem/base/Exception.h"

#include <gtest/gtest.h>

using corvel::BundleEntryLocation;
using corvel::EntryFileName;

namespace {

const wchar_t UUID_TEXT[] = L"1234abcd-12ab-34cd-56ef-1234567890ab";

zem::Uuid uuidOf(const wchar_t* text) {
    zem::Uuid uuid;
    uuid.fromString(text);
    return uuid;
}

// expected: "name|uuid|extension|consumed", or "!" + the exception's text.
::testing::AssertionResult parsesAs(const std::wstring& text, const std::wstring& expected) {
    std::wstring actual;
    try {
        EntryFileName name;
        int consumed = EntryFileName::parse(text, name);
        actual = name.name + L"|" + (name.uuid.isNil() ? L"nil" : name.uuid.toString()) + L"|" + name.extension + L"|" +
                 std::to_wstring(consumed);
    } catch (const zem::InvalidArgumentException& e) {
        actual = L"!" + e.message();
    }
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(text) << " parsed as "
                                         << ::testing::PrintToString(actual) << ", expected "
                                         << ::testing::PrintToString(expected);
}

} // namespace

TEST(EntryFileNameTest, ParsesNamesAtTheStart) {
    std::wstring uuid = UUID_TEXT;
    EXPECT_TRUE(parsesAs(L"Web Tools.cvBundle", L"Web Tools|nil|cvBundle|18"));
    EXPECT_TRUE(parsesAs(L"c." + uuid + L".cvGrammar", L"c|" + uuid + L"|cvGrammar|48"));
    EXPECT_TRUE(parsesAs(L"name.cvGrammar.bak", L"name|nil|cvGrammar|14"));
    // A UUID needs a dot and an extension after it: otherwise its leading letters are the extension.
    EXPECT_TRUE(parsesAs(L"x.abcd1234-12ab-34cd-56ef-1234567890ab", L"x|nil|abcd|6"));
    EXPECT_TRUE(parsesAs(L"x." + uuid, L"!File name was invalid."));
    EXPECT_TRUE(parsesAs(L".hidden", L"!File name was invalid."));
    EXPECT_TRUE(parsesAs(L"noextension", L"!File name was invalid."));
    EXPECT_TRUE(parsesAs(L"", L"!File name was invalid."));
    // UUID-shaped but no UUID: read as none, the name still parses.
    EXPECT_TRUE(parsesAs(L"a.zzzzzzzz-zzzz-zzzz-zzzz-zzzzzzzzzzzz.cvSnippet", L"a|nil|cvSnippet|48"));
}

TEST(EntryFileNameTest, ParseStaysWithinTheGivenLength) {
    EntryFileName name;
    const wchar_t text[] = L"abc.cvTheme";
    EXPECT_EQ(6, EntryFileName::parse(text, 6, name));
    EXPECT_EQ(L"cv", name.extension);
    EXPECT_THROW(EntryFileName::parse(text, 3, name), zem::InvalidArgumentException);
}

TEST(EntryFileNameTest, PrintsLocations) {
    zem::Uuid uuid = uuidOf(UUID_TEXT);
    std::wstring u = UUID_TEXT;
    BundleEntryLocation item;
    item.root = corvel::ENTRY_ROOT_USER;
    item.bundle = EntryFileName(L"web_tools", uuid, L"cvBundle");
    item.kindFolder = L"snippets";
    item.item = EntryFileName(L"html_table", uuid, L"cvSnippet");
    EXPECT_EQ(L"user:bundles/web_tools." + u + L".cvBundle/snippets/html_table." + u + L".cvSnippet", item.toString());

    BundleEntryLocation info = item;
    info.root = corvel::ENTRY_ROOT_INSTALL;
    info.kindFolder.clear();
    info.item = EntryFileName(L"info", uuid, L"cvInfo");
    EXPECT_EQ(L"root:bundles/web_tools." + u + L".cvBundle/info." + u + L".cvInfo", info.toString());

    BundleEntryLocation empty;
    EXPECT_EQ(L":bundles/", empty.toString());
    empty.root = 7;
    empty.item = EntryFileName(L"lost", uuid, L"cvSnippet");
    EXPECT_EQ(L":bundles/", empty.toString());

    EXPECT_TRUE(item.equals(item));
    EXPECT_FALSE(item.equals(info));
    BundleEntryLocation other = item;
    other.item.name = L"html_tablE";
    EXPECT_NE(item, other);
}

TEST(EntryFileNameTest, ParsesPartsOfLocations) {
    BundleEntryLocation location;
    location.parseBundleFileName(L"web.cvBundle");
    location.parseItemFileName(std::wstring(L"s.") + UUID_TEXT + L".cvSnippet");
    EXPECT_EQ(L"web", location.bundle.name);
    EXPECT_EQ(uuidOf(UUID_TEXT), location.item.uuid);
    try {
        location.parseItemFileName(L"bad");
        FAIL();
    } catch (const zem::InvalidArgumentException& e) {
        EXPECT_EQ(L"File name was invalid.", e.message());
    }
    EXPECT_EQ(L"s", location.item.name);
}

TEST(EntryFileNameTest, NamesFromTitles) {
    struct Case {
        const wchar_t* title;
        const wchar_t* name;
    } cases[] = {
        {L"Web Tools (old)!", L"web_tools_old"},
        {L"a--b__c  d", L"a_b_c_d"},
        {L"Résumé 2", L"rsum_2"},
        {L"!!!", L""},
        {L"", L""},
        {L"CON", L"con_"},
        {L"nul", L"nul_"},
        {L"Com7", L"com_7"},
        {L"AUX", L"aux_"},
        {L"console", L"console"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.name, corvel::makeFileNameFromTitle(c.title)) << ::testing::PrintToString(std::wstring(c.title));
}

TEST(EntryFileNameTest, EntryUuidsOfLocations) {
    zem::Uuid named = uuidOf(UUID_TEXT);
    BundleEntryLocation shipped;
    shipped.root = corvel::ENTRY_ROOT_INSTALL;
    shipped.parseBundleFileName(L"Web.cvBundle");
    shipped.kindFolder = L"snippets";
    shipped.parseItemFileName(L"Table.cvSnippet");
    BundleEntryLocation user = shipped;
    user.root = corvel::ENTRY_ROOT_USER;
    user.bundle.name = L"web";

    // Root and user copies of one file are one entry, whatever the case of the name.
    EXPECT_EQ(corvel::entryUuidFor(shipped, false), corvel::entryUuidFor(user, false));
    EXPECT_FALSE(corvel::entryUuidFor(shipped, false).isNil());
    // Two files without UUIDs are two entries.
    BundleEntryLocation other = shipped;
    other.parseItemFileName(L"Row.cvSnippet");
    EXPECT_NE(corvel::entryUuidFor(shipped, false), corvel::entryUuidFor(other, false));
    // An item's location names its bundle; the bundle's own info file gives the same UUID.
    BundleEntryLocation info = shipped;
    info.kindFolder.clear();
    info.item = EntryFileName(L"info", zem::Uuid(), L"cvInfo");
    EXPECT_EQ(corvel::entryUuidFor(info, true), corvel::entryUuidFor(shipped, true));
    EXPECT_NE(corvel::entryUuidFor(shipped, true), corvel::entryUuidFor(shipped, false));
    // A UUID in the name wins.
    other.item.uuid = named;
    EXPECT_EQ(named, corvel::entryUuidFor(other, false));
}
