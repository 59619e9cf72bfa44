#include "corvel/document/FacePreset.h"
#include "corvel/document/FacePresetManager.h"

#include "corvel/config/ConfigManager.h"
#include "corvel/document/IFontRegistry.h"
#include "corvel/jasmine/JasmineValue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using corvel::FacePreset;
using corvel::FacePresetEntry;
using corvel::FacePresetManager;
using corvel::JasmineValue;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class FakeFonts : public corvel::IFontRegistry {
public:
    std::set<std::wstring> installed{L"Consolas", L"Courier New", L"DejaVu Sans Mono"};
    bool hasFont(const wchar_t* name) const override { return installed.count(name) != 0; }
};

// Every field but the id, for comparisons.
std::wstring describe(const FacePreset& p) {
    std::wstring out = p.title + L"|";
    for (bool b : {p.wordWrap, p.boundaryShow, p.boundaryBreak, p.sublinesAlign, p.sublinesAlignShow,
                   p.showIndentGuides, p.showWhitespaceBefore, p.showWhitespaceInside, p.showWhitespaceAfter, p.center,
                   p.breakWhitespace, p.gutterLineNumbers})
        out += b ? L"1" : L"0";
    return out + L"|" + std::to_wstring(p.boundary) + L"|" + p.themeId;
}

TEST(FacePresetTest, BoundaryIsKeptWithinItsRange) {
    const struct {
        int32_t written;
        int32_t read;
    } cases[] = {{5, 16}, {-3, 16}, {16, 16}, {17, 17}, {500, 500}, {998, 998}, {999, 999}, {5000, 999}};
    for (const auto& c : cases) {
        JasmineValue d(JasmineValue::TYPE_DICTIONARY);
        d.getOrAddEntry(L"boundary").setInt(c.written);
        FacePreset preset;
        preset.read(d);
        EXPECT_EQ(c.read, preset.boundary) << c.written;
    }
}

TEST(FacePresetTest, MissingAndMistypedKeysReadAsTheResetValues) {
    FacePreset reset;
    reset.title = L"[Unnamed Preset]";
    JasmineValue empty(JasmineValue::TYPE_DICTIONARY);
    FacePreset a;
    a.center = false;
    a.read(empty);
    EXPECT_EQ(describe(reset), describe(a));

    JasmineValue odd(JasmineValue::TYPE_DICTIONARY);
    odd.getOrAddEntry(L"title").setInt(5);
    odd.getOrAddEntry(L"boundary").setString(L"wide");
    odd.getOrAddEntry(L"theme") = JasmineValue(JasmineValue::TYPE_LIST);
    odd.getOrAddEntry(L"center") = JasmineValue(JasmineValue::TYPE_DICTIONARY);
    FacePreset b;
    b.read(odd);
    EXPECT_EQ(L"[Unnamed Preset]", b.title);
    EXPECT_EQ(FacePreset::DEFAULT_THEME, b.themeId);
    EXPECT_TRUE(b.center);
}

TEST(FacePresetTest, WrittenAndReadBackKeepsEveryFieldButTheId) {
    FacePreset original;
    original.id.create();
    original.title = L"Wide";
    original.wordWrap = true;
    original.boundaryShow = false;
    original.boundaryBreak = true;
    original.boundary = 120;
    original.sublinesAlign = false;
    original.sublinesAlignShow = false;
    original.showIndentGuides = false;
    original.showWhitespaceBefore = true;
    original.showWhitespaceInside = true;
    original.showWhitespaceAfter = true;
    original.center = false;
    original.breakWhitespace = true;
    original.themeId = L"bundle.Corvel.theme.dark";
    original.gutterLineNumbers = false;
    JasmineValue d;
    original.write(d);
    std::vector<std::wstring> keys;
    for (size_t i = 0; i < d.dictionary()->size(); ++i)
        keys.push_back(d.dictionary()->at(i).key);
    EXPECT_EQ((std::vector<std::wstring>{L"title", L"word_wrap", L"sublines_align", L"sublines_align_show", L"boundary",
                                         L"boundary_break", L"boundary_show", L"center", L"show_indent_guides",
                                         L"show_whitespace_before", L"show_whitespace_inside", L"show_whitespace_after",
                                         L"break_whitespace", L"gutter_line_numbers", L"theme"}),
              keys);
    FacePreset copy;
    copy.read(d);
    EXPECT_EQ(describe(original), describe(copy));
    EXPECT_TRUE(copy.id.isNil());
    FacePreset assigned;
    assigned.assign(original);
    EXPECT_EQ(original.id, assigned.id);
}

TEST(FacePresetTest, SplitNameList) {
    const struct {
        const wchar_t* text;
        std::vector<std::wstring> names;
    } cases[] = {
        {L"", {}},
        {L" , ,\t", {}},
        {L"source.python, source.ruby", {L"source.python", L"source.ruby"}},
        {L"a,b c\n\td", {L"a", L"b", L"c", L"d"}},
        {L",lead,trail,", {L"lead", L"trail"}},
        {L"text.^odd", {L"text.^odd"}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> names{L"stale"};
        FacePresetManager::splitNameList(c.text, names);
        EXPECT_EQ(c.names, names) << narrow(c.text);
    }
    std::wstring joined;
    FacePresetManager::joinNameList({L"a", L"b.c"}, joined);
    EXPECT_EQ(L"a, b.c", joined);
}

class FacePresetManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        corvel::Config& config = configManager.getConfig();
        config.declareValueWithDefault(L"app.editor.font.size", intValue(10));
        config.declareValueWithDefault(L"app.editor.font.padding_top", intValue(1));
        config.declareValueWithDefault(L"app.editor.font.padding_bottom", intValue(1));
        config.declareValue(L"app.editor.font.names", corvel::ConfigValue::TYPE_LIST);
        config.declareValue(L"app.editor.presets.face", corvel::ConfigValue::TYPE_LIST);
        fontChanges = 0;
        manager.fontChanged.add([](void* count, FacePresetManager*) { ++*static_cast<int*>(count); }, &fontChanges);
    }

    static corvel::ConfigValue intValue(int32_t n) {
        corvel::ConfigValue v(corvel::ConfigValue::TYPE_INT);
        v.setInt(n);
        return v;
    }
    static FacePresetEntry* entry(const wchar_t* title, std::vector<std::wstring> languages) {
        FacePresetEntry* e = new FacePresetEntry;
        e->preset.title = title;
        e->languages = std::move(languages);
        return e;
    }
    corvel::ConfigValue* value(const wchar_t* key) { return configManager.getConfig().getValue(key); }

    FakeFonts fonts;
    corvel::ConfigManager configManager;
    FacePresetManager manager{&fonts, &configManager};
    int fontChanges = 0;
};

TEST_F(FacePresetManagerTest, SetFontKeepsKnownNamesAndClamps) {
    EXPECT_TRUE(manager.setFont({L"Nope", L"", L"Consolas", L"DejaVu Sans Mono"}, 1, -4, 11));
    EXPECT_EQ((std::vector<std::wstring>{L"Consolas", L"DejaVu Sans Mono"}), manager.fontNames());
    EXPECT_EQ(2, manager.fontSize());
    EXPECT_EQ(0, manager.paddingTop());
    EXPECT_EQ(10, manager.paddingBottom());
    EXPECT_EQ(1, fontChanges);
    // The same result again tells nobody.
    EXPECT_FALSE(manager.setFont({L"Consolas", L"Unknown", L"DejaVu Sans Mono"}, 0, 0, 50));
    EXPECT_EQ(1, fontChanges);
    EXPECT_TRUE(manager.setFont({L"Unknown"}, 500, 3, 3));
    EXPECT_EQ(std::vector<std::wstring>{L"Courier New"}, manager.fontNames());
    EXPECT_EQ(100, manager.fontSize());
    EXPECT_EQ(2, fontChanges);
}

TEST_F(FacePresetManagerTest, TheListIsNeverEmpty) {
    ASSERT_EQ(1u, manager.presets().size());
    EXPECT_EQ(L"Default", manager.presets()[0]->preset.title);
    FacePresetEntry* python = entry(L"Python", {L"source.python"});
    manager.addPreset(python);
    EXPECT_FALSE(python->preset.id.isNil());
    manager.removePreset(manager.presets()[0].get());
    manager.removePreset(python);
    ASSERT_EQ(1u, manager.presets().size());
    EXPECT_EQ(L"Default", manager.presets()[0]->preset.title);
    manager.addPreset(entry(L"x", {}));
    manager.clearPresets();
    ASSERT_EQ(1u, manager.presets().size());
    manager.readPresets(value(L"app.editor.font.size")); // not a list
    ASSERT_EQ(1u, manager.presets().size());
    manager.setPresets({});
    ASSERT_EQ(1u, manager.presets().size());
    FacePresetEntry outside;
    outside.preset.title = L"Copied";
    manager.setPresets({&outside});
    ASSERT_EQ(1u, manager.presets().size());
    EXPECT_NE(&outside, manager.presets()[0].get());
    EXPECT_EQ(L"Copied", manager.presets()[0]->preset.title);
}

TEST_F(FacePresetManagerTest, TheLongestMatchingPatternWins) {
    manager.clearPresets();
    manager.addPreset(entry(L"any", {}));
    manager.addPreset(entry(L"source", {L"source"}));
    manager.addPreset(entry(L"python", {L"text.x", L"source.python"}));
    manager.addPreset(entry(L"py", {L"source.py"}));
    manager.addPreset(entry(L"python again", {L"source.python"}));
    manager.removePreset(manager.presets()[0].get()); // the "Default" the list started with
    const struct {
        const wchar_t* language;
        const wchar_t* title;
    } cases[] = {
        {L"source.python.django", L"python"},
        {L"source.python", L"python"},
        {L"source.pythonic", L"python"},
        {L"source.pyx", L"py"},
        {L"source.ruby", L"source"},
        {L"text.plain", L"any"},
        {L"", L"any"},
        {L"sour", L"any"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.title, manager.findPresetForLanguage(c.language).title) << narrow(c.language);
}

TEST_F(FacePresetManagerTest, LoadsFromAndSavesToTheConfiguration) {
    corvel::ConfigValue::List names;
    for (const wchar_t* name : {L"Nope", L"Consolas"}) {
        names.emplace_back(corvel::ConfigValue::TYPE_STRING);
        names.back().setString(name);
    }
    names.emplace_back(corvel::ConfigValue::TYPE_INT);
    names.back().setInt(7);
    value(L"app.editor.font.names")->setList(names);
    value(L"app.editor.font.size")->setInt(14);

    corvel::ConfigValue::List presets;
    JasmineValue python(JasmineValue::TYPE_DICTIONARY);
    python.getOrAddEntry(L"title").setString(L"Python");
    python.getOrAddEntry(L"boundary").setInt(100);
    python.getOrAddEntry(L"languages").setString(L"source.python, source.ruby");
    presets.emplace_back(corvel::ConfigValue::TYPE_JASMINE);
    presets.back().setJasmine(python);
    presets.emplace_back(corvel::ConfigValue::TYPE_STRING); // not a dictionary: skipped
    presets.back().setString(L"junk");
    value(L"app.editor.presets.face")->setList(presets);

    int loaded = 0;
    manager.presetsChanged.add([](void* count, FacePresetManager*) { ++*static_cast<int*>(count); }, &loaded);
    manager.loadFromConfig();
    EXPECT_EQ(1, loaded);
    EXPECT_EQ(std::vector<std::wstring>{L"Consolas"}, manager.fontNames());
    EXPECT_EQ(14, manager.fontSize());
    EXPECT_EQ(1, manager.paddingTop());
    ASSERT_EQ(1u, manager.presets().size());
    EXPECT_EQ(L"Python", manager.presets()[0]->preset.title);
    EXPECT_FALSE(manager.presets()[0]->preset.id.isNil()) << "read presets get ids";
    EXPECT_EQ((std::vector<std::wstring>{L"source.python", L"source.ruby"}), manager.presets()[0]->languages);

    // A name holding a separator travels as a list of strings.
    manager.addPreset(entry(L"Spaced", {L"text.odd name", L"a,b"}));
    manager.setFont({L"DejaVu Sans Mono"}, 9, 2, 3);
    // Saving is wired once the settings were loaded.
    configManager.settingsStore.invoke(&configManager.getConfig());
    EXPECT_EQ(14, value(L"app.editor.font.size")->asInt());
    configManager.settingsLoaded.invoke(&configManager.getConfig());
    configManager.settingsStore.invoke(&configManager.getConfig());
    EXPECT_EQ(9, value(L"app.editor.font.size")->asInt());
    EXPECT_EQ(2, value(L"app.editor.font.padding_top")->asInt());
    EXPECT_EQ(3, value(L"app.editor.font.padding_bottom")->asInt());
    ASSERT_EQ(1u, value(L"app.editor.font.names")->getList().size());
    EXPECT_EQ(std::wstring(L"DejaVu Sans Mono"), value(L"app.editor.font.names")->getList()[0].getString());
    const corvel::ConfigValue::List& saved = value(L"app.editor.presets.face")->getList();
    ASSERT_EQ(2u, saved.size());
    EXPECT_EQ(std::wstring(L"source.python, source.ruby"), saved[0].getJasmine()->find(L"languages").asString(L"?"));
    EXPECT_TRUE(saved[1].getJasmine()->find(L"languages").isList());

    FacePresetManager reader(&fonts, &configManager);
    reader.loadFromConfig();
    ASSERT_EQ(2u, reader.presets().size());
    EXPECT_NE(reader.presets()[0]->preset.id, reader.presets()[1]->preset.id);
    EXPECT_EQ((std::vector<std::wstring>{L"text.odd name", L"a,b"}), reader.presets()[1]->languages);
    EXPECT_EQ(describe(manager.presets()[1]->preset), describe(reader.presets()[1]->preset));
}

} // namespace
