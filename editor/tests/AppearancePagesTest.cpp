#include "../../ui_framework/widgets/tests/ModalSteps.h"
#include "../../ui_framework/widgets/tests/WidgetHost.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/document/IFontRegistry.h"
#include "corvel/editor/FacePresetManagerUI.h"
#include "corvel/editor/FontDialog.h"
#include "corvel/editor/FontFamilies.h"
#include "corvel/editor/PresetDialog.h"
#include "corvel/widgets/PreferencesDialog.h"
#include "corvel/widgets/PreferencesManager.h"
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afActionRegistry.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afLabel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace corvel;
using widgetstest::HostWindow;

namespace {

const wchar_t* const NIGHT = L"1B0F7A4E-1111-4C2D-9E3F-00000000A001";
const wchar_t* const PAPER = L"1B0F7A4E-1111-4C2D-9E3F-00000000A002";

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring windowText(afViewPlatform* view) {
    wchar_t text[256] = {};
    GetWindowTextW(view->getHandle(), text, 256);
    return text;
}

std::wstring chosen(afControlComboBox* combo) {
    std::wstring text;
    combo->getItemText(combo->getSelection(), text);
    return text;
}

// Chooses an item as the user does: the selection, then the owner's notification.
void choose(afControlComboBox* combo, int index) {
    combo->setSelection(index);
    SendMessageW(GetParent(combo->getHandle()), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->getHandle()));
}

void click(afControlCheckBox* box) {
    SendMessageW(GetParent(box->getHandle()), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(box->getHandle()));
}

FacePresetEntry entry(const wchar_t* title, std::vector<std::wstring> languages, const wchar_t* theme) {
    FacePresetEntry e;
    e.preset.title = title;
    e.preset.themeId = theme;
    e.languages = std::move(languages);
    return e;
}

// --- titles and boundary ---

::testing::AssertionResult titleChecks(const wchar_t* title, int skip, const wchar_t* expected) {
    std::vector<FacePresetEntry> entries{entry(L"Default", {}, NIGHT), entry(L"Web", {}, NIGHT),
                                         entry(L"Prose", {}, NIGHT)};
    std::wstring error = PresetDialog::checkTitle(entries, title, skip);
    if (error == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "'" << narrow(title) << "' (skipping " << skip << ") gave '"
                                         << narrow(error) << "'";
}

TEST(PresetTitleTest, EmptyAndTakenTitlesAreRefused) {
    const wchar_t* const empty = L"Preset title cannot be empty.";
    const wchar_t* const taken = L"Preset with this title already exists.";
    struct {
        const wchar_t* title;
        int skip;
        const wchar_t* expected;
    } cases[] = {
        {L"", -1, empty},       {L"  \t ", -1, empty},
        {L"web", -1, taken},    // letter case does not make it another title
        {L"  Web ", -1, taken}, // nor blanks around it
        {L"Web", 1, L""},       // renaming keeps its own title
        {L"WEB", 1, L""},       // or changes its case
        {L"Web", 2, taken},     // another entry's title
        {L"Markup", -1, L""},
    };
    for (const auto& test : cases)
        EXPECT_TRUE(titleChecks(test.title, test.skip, test.expected));
    EXPECT_EQ(L"a b", PresetDialog::trimTitle(L" \ta b  "));
}

TEST(PresetBoundaryTest, TheFieldIsParsedAndKeptInRange) {
    struct {
        const wchar_t* text;
        int32_t previous;
        int32_t expected;
    } cases[] = {
        {L"80", 120, 80},  {L"5", 120, 16},     {L"16", 120, 16},   {L"15", 120, 16},
        {L"999", 80, 999}, {L"1000", 80, 999},  {L"5000", 80, 999}, {L"abc", 120, 120},
        {L"", 77, 77},     {L"100px", 80, 100}, {L" 42", 80, 42},   {L"99999999999", 80, 999},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(test.expected, PresetDialog::parseBoundary(test.text, test.previous))
            << narrow(test.text) << " after " << test.previous;
    }
}

// --- the presets page ---

// Answers the page's questions from a script instead of running the dialogs.
class ScriptedPresetDialog : public PresetDialog {
public:
    explicit ScriptedPresetDialog(afView* parent) : PresetDialog(parent) {}
    bool askTitle(const wchar_t* caption, const wchar_t*, std::wstring& title, int) override {
        asked.push_back(std::wstring(caption) + L" '" + title + L"'");
        title = answer;
        return confirm;
    }
    bool confirmDelete(const std::wstring& title) override {
        asked.push_back(L"delete '" + title + L"'");
        return confirm;
    }
    std::wstring answer;
    bool confirm = true;
    std::vector<std::wstring> asked;
};

struct PresetPageTest : ::testing::Test {
    void SetUp() override {
        page = new ScriptedPresetDialog(&host);
        page->afViewPlatform::create();
        page->setFrameRect(0, 0, 420, 560);
        zem::Uuid night, paper;
        night.fromString(NIGHT);
        paper.fromString(PAPER);
        page->setThemes({{L"None", zem::Uuid()}, {L"Night", night}, {L"Paper", paper}});
        FacePresetEntry web = entry(L"Web", {L"text.html", L"text.xml"}, L"not-a-uuid");
        web.preset.boundary = 100;
        web.preset.wordWrap = true;
        page->setEntries({entry(L"Default", {}, PAPER), web, entry(L"Prose", {}, NIGHT)});
    }
    const FacePreset& preset(int index) { return page->getEntries()[static_cast<size_t>(index)].preset; }

    HostWindow host;
    ScriptedPresetDialog* page = nullptr;
};

TEST_F(PresetPageTest, TheDefaultPresetShowsWithoutLanguages) {
    EXPECT_EQ(0, page->getShownEntry());
    EXPECT_EQ(3, page->getPresetChooser()->getCount());
    EXPECT_EQ(1, page->getPresetChooser()->getItemData(0)->flag); // emphasised
    EXPECT_EQ(L"Paper", chosen(page->getThemeChooser()));
    EXPECT_FALSE(page->getLanguagesField()->isEnabled());
    EXPECT_FALSE(page->getDeleteButton()->isEnabled());
    EXPECT_FALSE(page->getRenameButton()->isEnabled());
    EXPECT_EQ(L"Default preset is applied when no preset matches document's language.",
              page->getInfoLabel()->getText());
    EXPECT_EQ(L"Options for \"Default\" ", page->getGroupTitle()->getText());
}

TEST_F(PresetPageTest, AnUnknownThemeShowsInBracketsAndIsKept) {
    choose(page->getPresetChooser(), 1);
    EXPECT_EQ(1, page->getShownEntry());
    // Not a UUID: it names no theme, not even the nil-keyed fallback.
    EXPECT_EQ(L"[not-a-uuid]", chosen(page->getThemeChooser()));
    EXPECT_EQ(L"text.html, text.xml", windowText(page->getLanguagesField()));
    EXPECT_EQ(L"This preset is applied to document with these languages:", page->getInfoLabel()->getText());
    EXPECT_TRUE(page->getDeleteButton()->isEnabled());
    choose(page->getPresetChooser(), 2);
    EXPECT_EQ(L"not-a-uuid", preset(1).themeId);
    EXPECT_EQ(L"Don't forget to fill the language names in (ex. text.html, text.xml)", page->getInfoLabel()->getText());
    EXPECT_EQ(L"Night", chosen(page->getThemeChooser()));
    choose(page->getThemeChooser(), 2);
    zem::Uuid paper;
    paper.fromString(PAPER);
    EXPECT_EQ(paper.toString(), page->collectEntries()[2].preset.themeId);
}

TEST_F(PresetPageTest, ControlsAreStoredIntoTheShownEntry) {
    choose(page->getPresetChooser(), 1);
    SetWindowTextW(page->getBoundaryField()->getHandle(), L"5");
    SetWindowTextW(page->getLanguagesField()->getHandle(), L"source.css,  text.html source.js");
    page->getOption(PresetDialog::OPTION_WHITESPACE_AFTER)->setChecked(true);
    choose(page->getPresetChooser(), 0);
    SetWindowTextW(page->getBoundaryField()->getHandle(), L"wide");
    const std::vector<FacePresetEntry>& entries = page->collectEntries();
    EXPECT_EQ(16, entries[1].preset.boundary);
    EXPECT_TRUE(entries[1].preset.showWhitespaceAfter);
    EXPECT_EQ((std::vector<std::wstring>{L"source.css", L"text.html", L"source.js"}), entries[1].languages);
    EXPECT_EQ(FacePreset().boundary, entries[0].preset.boundary); // no digits: kept
    EXPECT_TRUE(entries[0].languages.empty());
    SetWindowTextW(page->getBoundaryField()->getHandle(), L"5000");
    EXPECT_EQ(999, page->collectEntries()[0].preset.boundary);
}

TEST_F(PresetPageTest, WrappingOptionsFollowWordWrap) {
    auto enabled = [this](int option) { return page->getOption(option)->isEnabled(); };
    EXPECT_FALSE(page->getOption(PresetDialog::OPTION_WORD_WRAP)->isChecked());
    for (int option :
         {PresetDialog::OPTION_BREAK_AT_BOUNDARY, PresetDialog::OPTION_ALIGN_WRAPPED, PresetDialog::OPTION_WRAP_MARKER,
          PresetDialog::OPTION_BREAK_WHITESPACE, PresetDialog::OPTION_CENTER})
        EXPECT_FALSE(enabled(option)) << option;
    EXPECT_TRUE(enabled(PresetDialog::OPTION_SHOW_BOUNDARY));
    click(page->getOption(PresetDialog::OPTION_WORD_WRAP));
    EXPECT_TRUE(enabled(PresetDialog::OPTION_BREAK_AT_BOUNDARY));
    EXPECT_FALSE(enabled(PresetDialog::OPTION_CENTER)); // also needs the break at the boundary
    click(page->getOption(PresetDialog::OPTION_BREAK_AT_BOUNDARY));
    EXPECT_TRUE(enabled(PresetDialog::OPTION_CENTER));
    click(page->getOption(PresetDialog::OPTION_WORD_WRAP));
    EXPECT_FALSE(enabled(PresetDialog::OPTION_CENTER));
}

TEST_F(PresetPageTest, AnAddedPresetCopiesTheShownOne) {
    choose(page->getPresetChooser(), 1);
    page->answer = L"  Markup ";
    page->getAddButton()->click();
    ASSERT_EQ(4u, page->getEntries().size());
    EXPECT_EQ(3, page->getShownEntry());
    EXPECT_EQ(L"Markup", preset(3).title);
    EXPECT_EQ(100, preset(3).boundary);
    EXPECT_TRUE(preset(3).wordWrap);
    EXPECT_EQ(L"not-a-uuid", preset(3).themeId);
    EXPECT_TRUE(page->getEntries()[3].languages.empty());
    EXPECT_FALSE(preset(3).id == preset(1).id);
    // Cancelled: nothing is added.
    page->confirm = false;
    page->getAddButton()->click();
    EXPECT_EQ(4u, page->getEntries().size());
}

TEST_F(PresetPageTest, RenamingTakesTheTrimmedTitle) {
    choose(page->getPresetChooser(), 2);
    page->answer = L" PROSE ";
    page->getRenameButton()->click();
    EXPECT_EQ(L"PROSE", preset(2).title);
    std::wstring text;
    page->getPresetChooser()->getItemText(2, text);
    EXPECT_EQ(L"PROSE", text);
    page->answer = L"web"; // another's title, past the dialog's check
    page->getRenameButton()->click();
    EXPECT_EQ(L"PROSE", preset(2).title);
    EXPECT_EQ((std::vector<std::wstring>{L"Rename preset... 'Prose'", L"Rename preset... 'PROSE'"}), page->asked);
}

TEST_F(PresetPageTest, DeletingShowsTheDefaultWithoutStoringIntoTheNextEntry) {
    choose(page->getPresetChooser(), 1);
    // Caught: the deleted entry's controls were stored into the entry that took its place.
    SetWindowTextW(page->getBoundaryField()->getHandle(), L"500");
    page->confirm = false;
    page->getDeleteButton()->click();
    EXPECT_EQ(3u, page->getEntries().size());
    page->confirm = true;
    page->getDeleteButton()->click();
    ASSERT_EQ(2u, page->getEntries().size());
    EXPECT_EQ(0, page->getShownEntry());
    EXPECT_EQ(L"Prose", preset(1).title);
    EXPECT_EQ(FacePreset().boundary, page->collectEntries()[1].preset.boundary);
    EXPECT_EQ(2, page->getPresetChooser()->getCount());
    EXPECT_EQ((std::vector<std::wstring>{L"delete 'Web'", L"delete 'Web'"}), page->asked);
}

TEST(PresetDialogsTest, TheTitleDialogRefusesATakenTitle) {
    HostWindow host;
    PresetDialog* page = PresetDialog::create(&host);
    page->setEntries({entry(L"Default", {}, NIGHT), entry(L"Web", {}, NIGHT)});
    StringDialog* dialog = nullptr;
    std::wstring caption, refusal;
    auto find = [&] {
        dialog = dynamic_cast<StringDialog*>(afViewPlatform::viewFromHandle(GetActiveWindow()));
        ASSERT_NE(nullptr, dialog);
    };
    widgetstest::runWithSteps(
        [page] {
            page->getAddButton()->click();
            return 0u;
        },
        {[&] {
             find();
             caption = windowText(dialog);
             SetWindowTextW(dialog->getEdit()->getHandle(), L" WEB");
             dialog->getButtons().at(0)->click(); // OK: refused, the dialog stays
         },
         [&] {
             refusal = dialog->getPrompt()->getText();
             SetWindowTextW(dialog->getEdit()->getHandle(), L"Markup ");
             dialog->getButtons().at(0)->click();
         }});
    EXPECT_EQ(L"Add preset...", caption);
    EXPECT_EQ(L"Preset with this title already exists.", refusal);
    ASSERT_EQ(3u, page->getEntries().size());
    EXPECT_EQ(L"Markup", page->getEntries()[2].preset.title);
}

// --- the fonts page ---

class FakeFamilies : public FontFamilies {
public:
    void listFamilies(std::vector<FontFamilyInfo>& out) override {
        out = {{L"Mono", true, true}, {L"Raster", false, false}, {L"Alpha", false, true}, {L"Mono", true, true}};
    }
    void listSizes(const std::wstring& family, std::vector<int>& out) override {
        out.clear();
        if (family == L"Raster")
            out = {8, 10, 12};
        else if (family == L"Mono" || family == L"Alpha")
            out = scalableSizes();
    }
};

struct FontPageTest : ::testing::Test {
    void SetUp() override {
        page = FontDialog::create(&host, &families);
        page->setFrameRect(0, 0, 400, 500);
    }
    HostWindow host;
    FakeFamilies families;
    FontDialog* page = nullptr;
};

TEST_F(FontPageTest, FamiliesAreSortedOnceWithAnEmptyBackup) {
    afControlComboBox* base = page->getBaseChooser();
    ASSERT_EQ(3, base->getCount());
    std::wstring first, second;
    base->getItemText(0, first);
    base->getItemText(1, second);
    EXPECT_EQ(L"Alpha", first);
    EXPECT_EQ(L"Mono", second);
    EXPECT_EQ(1, base->getItemData(1)->flag);  // fixed pitch
    EXPECT_EQ(0, base->getItemData(0)->image); // scalable
    EXPECT_EQ(-1, base->getItemData(2)->image);
    afControlComboBox* backup = page->getBackupChooser(0);
    ASSERT_EQ(4, backup->getCount());
    backup->getItemText(0, first);
    EXPECT_EQ(L"", first);
}

TEST_F(FontPageTest, SettingsLoadAndCollectBack) {
    FontDialog::Settings settings;
    settings.names = {L"Mono", L"Gone"};
    settings.size = 13;
    settings.paddingTop = 10;
    settings.paddingBottom = 12;
    page->load(settings);
    EXPECT_EQ(L"Mono", chosen(page->getBaseChooser()));
    EXPECT_EQ(L"[Gone]", chosen(page->getBackupChooser(0)));
    EXPECT_EQ(L"", chosen(page->getBackupChooser(1)));
    EXPECT_EQ(L"13", chosen(page->getSizeChooser())); // added to the list
    EXPECT_EQ(L"10", chosen(page->getTopPaddingChooser()));
    EXPECT_EQ(L"10", chosen(page->getBottomPaddingChooser())); // limited
    FontDialog::Settings back = page->collect();
    EXPECT_EQ((std::vector<std::wstring>{L"Mono", L"Gone"}), back.names);
    EXPECT_EQ(13, back.size);
    EXPECT_EQ(10, back.paddingTop); // a stored 10 survives
    EXPECT_EQ(10, back.paddingBottom);

    settings.names = {};
    settings.size = 500;
    page->load(settings);
    EXPECT_EQ(L"Alpha", chosen(page->getBaseChooser()));
    EXPECT_EQ(L"100", chosen(page->getSizeChooser()));
}

TEST_F(FontPageTest, ChangingTheBaseFontKeepsTheNearestSmallerSize) {
    FontDialog::Settings settings;
    settings.names = {L"Mono"};
    settings.size = 13;
    page->load(settings);
    choose(page->getBaseChooser(), 0); // Alpha, scalable
    EXPECT_EQ(L"12", chosen(page->getSizeChooser()));
    choose(page->getBaseChooser(), 2); // Raster: 8, 10, 12
    EXPECT_EQ(3, page->getSizeChooser()->getCount());
    EXPECT_EQ(L"12", chosen(page->getSizeChooser()));
    choose(page->getSizeChooser(), 0);
    choose(page->getBaseChooser(), 0);
    EXPECT_EQ(L"8", chosen(page->getSizeChooser()));
    page->getSizeChooser()->setSelection(0); // 6
    choose(page->getBaseChooser(), 2);
    EXPECT_EQ(L"8", chosen(page->getSizeChooser())); // none is small enough: the first
}

// --- the preferences window ---

class KnownFonts : public IFontRegistry {
public:
    bool hasFont(const wchar_t* name) const override {
        return std::wstring(name) == L"Mono" || std::wstring(name) == L"Alpha";
    }
};

struct AppearanceUITest : ::testing::Test {
    AppearanceUITest() {
        Config& config = configManager.getConfig();
        ConfigValue size(ConfigValue::TYPE_INT);
        size.setInt(10);
        config.declareValueWithDefault(L"app.editor.font.size", size);
        config.declareValue(L"app.editor.font.names", ConfigValue::TYPE_LIST);
        config.declareValue(L"app.editor.presets.face", ConfigValue::TYPE_LIST);
        presets.setFont({L"Mono"}, 14, 1, 2);
        FacePresetEntry* web = new FacePresetEntry(entry(L"Web", {L"text.html"}, NIGHT));
        presets.addPreset(web);
        preferences.setOwner(&host);
        presets.presetsChanged.add([](void* count, FacePresetManager*) { ++*static_cast<int*>(count); }, &changes);
    }
    HostWindow host;
    KnownFonts known;
    ConfigManager configManager;
    FacePresetManager presets{&known, &configManager};
    afActionRegistry registry;
    PreferencesManager preferences{&registry};
    FakeFamilies families;
    int changes = 0;
};

TEST_F(AppearanceUITest, PagesJoinOnceTheSettingsAreLoaded) {
    FacePresetManagerUI ui(&presets, &preferences, nullptr, &configManager, &families);
    EXPECT_TRUE(preferences.pageBuilders.empty());
    configManager.settingsLoaded.invoke(&configManager.getConfig());
    configManager.settingsLoaded.invoke(&configManager.getConfig());
    EXPECT_EQ(1u, preferences.pageBuilders.size());
    EXPECT_EQ(1u, preferences.applyHandlers.size());
}

TEST_F(AppearanceUITest, ApplyWritesThePagesBack) {
    FacePresetManagerUI ui(&presets, &preferences, nullptr, &configManager, &families);
    ui.registerPages();
    bool checked = false;
    uint32_t result = widgetstest::runWithSteps([this] { return preferences.openDialog(); },
                                                {[&] {
                                                     PresetDialog* page = ui.getPresetsPage();
                                                     FontDialog* fonts = ui.getFontsPage();
                                                     ASSERT_NE(nullptr, page);
                                                     ASSERT_NE(nullptr, fonts);
                                                     EXPECT_EQ(L"Appearance presets", page->getText());
                                                     EXPECT_EQ(2u, page->getEntries().size());
                                                     EXPECT_EQ(L"Mono", chosen(fonts->getBaseChooser()));
                                                     EXPECT_EQ(L"14", chosen(fonts->getSizeChooser()));
                                                     choose(page->getPresetChooser(), 1);
                                                     SetWindowTextW(page->getBoundaryField()->getHandle(), L"120");
                                                     choose(fonts->getBaseChooser(), 0); // Alpha
                                                     checked = true;
                                                 },
                                                 [this] { preferences.getOpenDialog()->getOkButton()->click(); }});
    EXPECT_TRUE(checked);
    EXPECT_EQ(0x79dcdd47u, result);
    EXPECT_EQ(nullptr, ui.getPresetsPage()); // forgotten with the window
    ASSERT_EQ(2u, presets.presets().size());
    EXPECT_EQ(120, presets.presets()[1]->preset.boundary);
    EXPECT_EQ(std::vector<std::wstring>{L"Alpha"}, presets.fontNames());
    EXPECT_EQ(14, presets.fontSize());
    EXPECT_EQ(1, presets.paddingTop());
    EXPECT_EQ(1, changes);
}

} // namespace
