#include "corvel/ui/afUnicodeFontManager.h"

#include "support/LogCapture.h"
#include "support/MadeFont.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using corvel::afUnicodeFontFamily;
using corvel::afUnicodeFontGroup;
using corvel::afUnicodeFontManager;
using uitest::InstalledFont;
using uitest::MadeFontSpec;

constexpr uint32_t UI_LOG = 0x629B9E5Bu;

MadeFontSpec face(const wchar_t* name, std::vector<uitest::CodeRange> bmp, std::vector<uitest::CodeRange> full = {}) {
    MadeFontSpec spec;
    spec.family = name;
    spec.unicodeBmp = std::move(bmp);
    spec.unicodeFull = std::move(full);
    return spec;
}

class FontManagerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        MadeFontSpec noWindows = face(L"CorvelNoWindows", {{0x20, 0x7E}});
        noWindows.windowsPlatform = false;
        MadeFontSpec noBits = face(L"CorvelNoBits", {{0x41, 0x5A}, {0x400, 0x40F}});
        for (uint32_t& r : noBits.unicodeRanges)
            r = 0;
        const MadeFontSpec specs[] = {
            face(L"CorvelLatin", {{0x20, 0x7E}, {0xA0, 0xFF}}),
            face(L"CorvelGreek", {{0x20, 0x20}, {0x391, 0x3C9}}),
            face(L"CorvelWide", {{0x20, 0x7E}}, {{0x20, 0x7E}, {0x1F600, 0x1F64F}}),
            noWindows,
            noBits,
        };
        for (const MadeFontSpec& spec : specs) {
            s_fonts.emplace_back(new InstalledFont(spec));
            ASSERT_TRUE(s_fonts.back()->ok());
        }
    }
    static void TearDownTestSuite() { s_fonts.clear(); }
    void SetUp() override { m_manager.reset(new afUnicodeFontManager()); }

    uint8_t slotOf(afUnicodeFontGroup* group, const wchar_t* faceName) {
        for (uint8_t slot = 1; slot <= group->faceCount(); ++slot) {
            if (group->face(slot)->name == faceName)
                return slot;
        }
        return 0;
    }

    static std::vector<std::unique_ptr<InstalledFont>> s_fonts;
    std::unique_ptr<afUnicodeFontManager> m_manager;
};

std::vector<std::unique_ptr<InstalledFont>> FontManagerTest::s_fonts;

struct SlotRow {
    uint32_t codePoint;
    const wchar_t* face; // null: the page default, slot 1
};

::testing::AssertionResult drawnBy(afUnicodeFontGroup* group, const SlotRow& row, uint8_t expected) {
    uint8_t slot = group->slotForChar(row.codePoint);
    if (slot == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "U+" << std::hex << row.codePoint << " drawn by slot " << std::dec
                                         << int(slot) << ", expected " << int(expected);
}

TEST_F(FontManagerTest, EachCodePointGoesToTheFirstFaceOfTheListThatHasIt) {
    afUnicodeFontFamily* family = m_manager->getFontGroup({L"CorvelLatin", L"CorvelGreek", L"CorvelWide"}, 12);
    afUnicodeFontGroup* group = family->group(0);
    ASSERT_EQ(group->faceCount(), 3u);
    const std::vector<SlotRow> rows = {
        {0x41, L"CorvelLatin"},  {0x20, L"CorvelLatin"},  {0xE9, L"CorvelLatin"},
        {0x3B1, L"CorvelGreek"}, {0x3D0, L"CorvelWide"},  // unmapped in a touched page: the last face
        {0x1F600, L"CorvelWide"}, {0x4E00, L"CorvelWide"}, // untouched page: the last face too
    };
    for (const SlotRow& row : rows)
        EXPECT_TRUE(drawnBy(group, row, slotOf(group, row.face)));
    EXPECT_EQ(group->resolveSlot(afUnicodeFontGroup::PRIMARY_SLOT), slotOf(group, L"CorvelLatin"));
    EXPECT_EQ(slotOf(group, L"CorvelWide"), 1);
}

TEST_F(FontManagerTest, FacesWithoutUsableCoverageDrawLatinOne) {
    zemtest::LogCapture log(UI_LOG);
    afUnicodeFontFamily* family = m_manager->getFontGroup({L"CorvelNoWindows", L"CorvelNoBits", L"CorvelGreek"}, 12);
    afUnicodeFontGroup* group = family->group(0);
    uint8_t noWindows = slotOf(group, L"CorvelNoWindows");
    uint8_t noBits = slotOf(group, L"CorvelNoBits");
    uint8_t greek = slotOf(group, L"CorvelGreek");
    ASSERT_NE(noWindows, 0);
    EXPECT_TRUE(drawnBy(group, {0x20, nullptr}, noWindows));
    EXPECT_TRUE(drawnBy(group, {0xFF, nullptr}, noWindows));
    EXPECT_TRUE(drawnBy(group, {0x1F, nullptr}, greek));
    EXPECT_TRUE(drawnBy(group, {0x100, nullptr}, greek));
    // Without subrange bits the face draws 32..255 besides what its 'cmap' maps.
    EXPECT_TRUE(drawnBy(group, {0x401, nullptr}, noBits));
    bool logged = false;
    for (const auto& line : log.lines())
        logged |= line.text == L"afUnicodeFontManager::addFontToGroup(): Failed to get CMAP for font `CorvelNoWindows`.";
    EXPECT_TRUE(logged);
}

TEST_F(FontManagerTest, AnUnknownFaceIsReplacedByTheFallback) {
    const corvel::afUnicodeFontInfo* fallback = m_manager->findFaceInfo(L"Courier New");
    ASSERT_NE(fallback, nullptr) << "setup maps Courier New to an installed face";
    afUnicodeFontFamily* family = m_manager->getFontGroup({L"NoSuchFaceAnywhere"}, 10);
    afUnicodeFontGroup* group = family->group(0);
    ASSERT_EQ(group->faceCount(), 1u);
    EXPECT_EQ(group->face(1), fallback);
    // The slot's font is made from the face it records.
    HDC dc = GetDC(nullptr);
    corvel::afUnicodeFont* font = m_manager->fontForSlot(group, 1, dc);
    wchar_t name[LF_FACESIZE] = {};
    HGDIOBJ previous = SelectObject(dc, font->handle());
    GetTextFaceW(dc, LF_FACESIZE, name);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(std::wstring(name), fallback->name);
}

TEST_F(FontManagerTest, FamiliesAndFontsAreMadeOnce) {
    zemtest::LogCapture log(UI_LOG);
    afUnicodeFontFamily* first = m_manager->getFontGroup({L"CorvelLatin", L"CorvelGreek"}, 11);
    EXPECT_EQ(m_manager->getFontGroup({L"CorvelLatin", L"CorvelGreek"}, 11), first);
    EXPECT_NE(m_manager->getFontGroup({L"CorvelLatin", L"CorvelGreek"}, 12), first);
    EXPECT_NE(m_manager->getFontGroup({L"CorvelGreek", L"CorvelLatin"}, 11), first);
    int stopwatchLines = 0;
    for (const auto& line : log.lines())
        stopwatchLines += line.level == 0 && line.text.rfind(L"  CreateFontFamily       :         1 @ ", 0) == 0;
    EXPECT_EQ(stopwatchLines, 4);

    HDC dc = GetDC(nullptr);
    corvel::afUnicodeFont* font = m_manager->fontForSlot(first->group(0), 255, dc);
    EXPECT_EQ(m_manager->fontForSlot(first->group(0), 255, dc), font);
    EXPECT_EQ(m_manager->createFont(first->group(0), first->group(0)->resolveSlot(255), dc), font);
    // Variants beyond the nine groups use their three style bits.
    EXPECT_EQ(first->group(9), first->group(1));
    EXPECT_EQ(first->group(15), first->group(7));
    corvel::afUnicodeFont* bold = m_manager->fontForSlot(first->group(1), 255, dc);
    EXPECT_NE(bold, font);
    EXPECT_GE(bold->metrics().tmWeight, 700);
    EXPECT_TRUE(first->group(2) != nullptr && m_manager->fontForSlot(first->group(2), 255, dc)->metrics().tmItalic);
    ReleaseDC(nullptr, dc);
}

TEST(FontKeyTest, FieldsNeverMeet) {
    // Caught: CRC + size x 65536 gave two faces at two sizes one key, so one font.
    EXPECT_NE(afUnicodeFontManager::fontKey(0x10000, 10, 1, 0), afUnicodeFontManager::fontKey(0, 11, 1, 0));
    EXPECT_NE(afUnicodeFontManager::fontKey(5, 1, 0, 0), afUnicodeFontManager::fontKey(5, 0, 255, 0xFF));
    EXPECT_NE(afUnicodeFontManager::fontKey(5, 0, 1, 0), afUnicodeFontManager::fontKey(5, 0, 0, 0xFF));
}

TEST_F(FontManagerTest, ASlotWithoutAFaceGivesTheDefaultFont) {
    zemtest::LogCapture log(UI_LOG);
    afUnicodeFontGroup group(0, 10);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(m_manager->createFont(&group, 7, dc), m_manager->defaultFont());
    ReleaseDC(nullptr, dc);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().back().text, L"afUnicodeFontManager::createFont(): Unable to locate info for 7.");
}

TEST_F(FontManagerTest, AGroupTakes254Faces) {
    afUnicodeFontGroup group(0, 10);
    HDC dc = GetDC(nullptr);
    for (int i = 0; i < 254; ++i)
        ASSERT_TRUE(m_manager->addFontToGroup(dc, &group, L"CorvelLatin")) << i;
    EXPECT_FALSE(m_manager->addFontToGroup(dc, &group, L"CorvelLatin"));
    EXPECT_EQ(group.faceCount(), 254u);
    ReleaseDC(nullptr, dc);
}

TEST_F(FontManagerTest, KnowsFacesByAnyLetterCase) {
    EXPECT_TRUE(m_manager->hasFont(L"CorvelLatin"));
    EXPECT_TRUE(m_manager->hasFont(L"corvellatin"));
    EXPECT_FALSE(m_manager->hasFont(L""));
    EXPECT_FALSE(m_manager->hasFont(nullptr));
    EXPECT_FALSE(m_manager->hasFont(L"CorvelLatin2"));
    const corvel::IFontRegistry& registry = *m_manager;
    EXPECT_TRUE(registry.hasFont(L"CORVELGREEK"));
}

class FontSubstituteTest : public FontManagerTest {
protected:
    void SetUp() override {
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                                0, KEY_ALL_ACCESS, &m_key),
                  ERROR_SUCCESS);
        set(L"CorvelAlias,0", L"CorvelLatin,0");
        set(L"CorvelDangling", L"NoSuchFaceAnywhere");
        set(L"CorvelEmpty", L"");
        set(L"@CorvelVertical", L"CorvelLatin");
        set(L"CorvelAliasWithAVeryLongNameThatGoesOn", L"CorvelGreek");
        DWORD number = 1;
        RegSetValueExW(m_key, L"CorvelNumber", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof(number));
        m_names.push_back(L"CorvelNumber");
        FontManagerTest::SetUp();
    }
    void TearDown() override {
        for (const std::wstring& name : m_names)
            RegDeleteValueW(m_key, name.c_str());
        RegCloseKey(m_key);
    }
    void set(const wchar_t* name, const wchar_t* data) {
        RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
        m_names.push_back(name);
    }

    HKEY m_key = nullptr;
    std::vector<std::wstring> m_names;
};

TEST_F(FontSubstituteTest, AliasesResolveToInstalledFacesAndTheRestAreListed) {
    EXPECT_EQ(m_manager->findFaceInfo(L"corvelalias"), m_manager->findFaceInfo(L"CorvelLatin"));
    EXPECT_TRUE(m_manager->hasFont(L"CorvelAlias"));
    // Cut to 31 characters.
    EXPECT_EQ(m_manager->findFaceInfo(L"CorvelAliasWithAVeryLongNameTha"), m_manager->findFaceInfo(L"CorvelGreek"));
    EXPECT_FALSE(m_manager->hasFont(L"CorvelAliasWithAVeryLongNameThatGoesOn"));
    EXPECT_FALSE(m_manager->hasFont(L"@CorvelVertical"));
    EXPECT_FALSE(m_manager->hasFont(L"CorvelNumber"));
    const std::vector<std::wstring>& unresolved = m_manager->unresolvedSubstitutes();
    auto listed = [&](const wchar_t* name) {
        return std::find(unresolved.begin(), unresolved.end(), name) != unresolved.end();
    };
    EXPECT_TRUE(listed(L"CorvelDangling"));
    EXPECT_TRUE(listed(L"CorvelEmpty"));
    EXPECT_FALSE(listed(L"CorvelAlias"));
    EXPECT_FALSE(listed(L"CorvelNumber"));
    // A family asked for by its alias draws with the target face.
    afUnicodeFontFamily* family = m_manager->getFontGroup({L"CorvelAlias"}, 10);
    EXPECT_EQ(family->group(0)->face(1)->name, L"CorvelLatin");
}

} // namespace
