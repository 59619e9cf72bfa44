#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/ThemeBundleItem.h"
#include "corvel/bundles/ThemeManager.h"
#include "corvel/document/DocumentStyler.h"
#include "corvel/document/DocumentTheme.h"
#include "corvel/document/FacePreset.h"
#include "support/EditorFixture.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Values.h"

#include <gtest/gtest.h>

#include <memory>

using namespace corvel;

namespace {

// An editor whose services hold a theme manager, as the application sets them up.
class EditorThemeTest : public edtest::EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        bundles.reset(new BundleManager(nullptr));
        themes.reset(new ThemeManager(*bundles, BundleUiHost::none()));
        EditorContext::get().themes = themes.get();
        // The editor was bound before the manager existed: bind again, as a new tab would.
        controller->setEditor(nullptr);
        controller->setEditor(editor);
        presetTheme.fromString(FacePreset::DEFAULT_THEME);
    }
    void TearDown() override {
        EditorFixture::TearDown(); // the editor unsubscribes as it goes
        if (theme) {
            themes->uninstallEntry(theme);
            theme->release();
        }
        themes.reset();
        bundles.reset();
    }
    // A theme of that background under the presets' theme id, installed.
    void installTheme(const wchar_t* background) {
        theme = static_cast<ThemeBundleItem*>(themes->createEntry(THEME_TYPE_ID, presetTheme));
        std::unique_ptr<zem::Value> dictionary(zem::parseJasmine(
            std::wstring(L"{ title: \"T\", settings: [ { settings: { background: \"") + background +
            L"\" } } ] }"));
        theme->readProperties(static_cast<zem::DictionaryValue*>(dictionary.get()));
        ASSERT_FALSE(theme->hasErrors());
        themes->installEntry(theme);
    }
    COLORREF backgroundBelowTheCaretRow() { return paint()->pixel(editor->getTextLeft() + 10 * CELL, ROW + ROW / 2); }
    DocumentStyler* styler() { return controller->getDocument()->getStyler(); }

    std::unique_ptr<BundleManager> bundles;
    std::unique_ptr<ThemeManager> themes;
    ThemeBundleItem* theme = nullptr;
    zem::Uuid presetTheme;
};

TEST_F(EditorThemeTest, TheDefaultPresetsThemeReachesTheViewAndTheDocumentsStyler) {
    setText(L"one\ntwo\nthree");
    EXPECT_EQ(RGB(0xff, 0xff, 0xff), backgroundBelowTheCaretRow()) << "the fallback theme before any is installed";
    installTheme(L"#204060");
    EXPECT_EQ(theme->getTheme(), styler()->getTheme());
    EXPECT_EQ(RGB(0x20, 0x40, 0x60), backgroundBelowTheCaretRow());

    // While it is removed (or re-read) the editor lets go of it for the fallback.
    themes->uninstallEntry(theme);
    EXPECT_EQ(themes->getDefaultTheme()->getTheme(), styler()->getTheme());
    EXPECT_EQ(RGB(0xff, 0xff, 0xff), backgroundBelowTheCaretRow());
    themes->installEntry(theme);
    EXPECT_EQ(theme->getTheme(), styler()->getTheme());
}

} // namespace

namespace {

TEST_F(EditorThemeTest, ReadLinesKeepTheThemesColoursAfterTheStylesAreDropped) {
    installTheme(L"#204060");
    setText(L"a b c\nd e f\ng h i");
    paint();
    // The read lines keep their style numbers while the styles go (as a new grammar drops them).
    styler()->clearStyles();
    for (int pass = 0; pass < 2; ++pass) {
        std::unique_ptr<corveltest::DibTarget> shot = paint();
        // The blank between two letters shows the style's background.
        for (int row = 1; row < 3; ++row)
            EXPECT_EQ(RGB(0x20, 0x40, 0x60), shot->pixel(editor->getTextLeft() + CELL + CELL / 2, row * ROW + ROW / 2))
                << "pass " << pass << " row " << row;
    }
}

} // namespace

namespace {

// The line-number gutter once stayed the palette's white beside a dark theme's text.
TEST_F(EditorThemeTest, TheGutterTakesADarkThemesShadesAndALightThemeKeepsThePalettes) {
    setText(L"one\ntwo\nthree");
    const int gutterX = 2;
    const COLORREF light = paint()->pixel(gutterX, ROW + ROW / 2);
    installTheme(L"#202020");
    COLORREF dark = paint()->pixel(gutterX, ROW + ROW / 2);
    EXPECT_LT(GetRValue(dark) + GetGValue(dark) + GetBValue(dark), 3 * 0x60) << std::hex << dark;
    EXPECT_NE(light, dark);
    // Back to a light theme: the palette's gutter again.
    themes->uninstallEntry(theme);
    EXPECT_EQ(light, paint()->pixel(gutterX, ROW + ROW / 2));
    themes->installEntry(theme);
}

} // namespace
