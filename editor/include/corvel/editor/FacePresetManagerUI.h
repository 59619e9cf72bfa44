// Connects the appearance pages to the preferences window and to the face preset manager:
// the pages edit copies of the manager's presets and fonts, written back on Apply.
#pragma once
#include <memory>

namespace corvel {

class Config;
class ConfigManager;
class FacePresetManager;
class FontDialog;
class FontFamilies;
class PreferencesDialog;
class PreferencesManager;
class PresetDialog;
class ThemeManager;

class FacePresetManagerUI {
public:
    // None is owned; themes and families may be null (no themes offered; the system's
    // fonts). Subscribes to the configuration's settings-loaded list unless the program is
    // shutting down; once the settings are loaded, the pages join the preferences window.
    FacePresetManagerUI(FacePresetManager* owner, PreferencesManager* preferences, ThemeManager* themes,
                        ConfigManager* config, FontFamilies* families = nullptr);
    ~FacePresetManagerUI();
    FacePresetManagerUI(const FacePresetManagerUI&) = delete;
    FacePresetManagerUI& operator=(const FacePresetManagerUI&) = delete;

    // Adds the four preferences callbacks (once).
    void registerPages();

    // While the preferences window shows them; else null.
    PresetDialog* getPresetsPage() const { return m_presets; }
    FontDialog* getFontsPage() const { return m_fonts; }

private:
    static void onSettingsLoaded(void* self, Config* config);
    static void createPages(void* self, PreferencesDialog* dialog);
    static void forgetPages(void* self, PreferencesDialog* dialog);
    static bool apply(void* self);
    static bool validate(void* self);

    FacePresetManager* m_owner;
    PreferencesManager* m_preferences;
    ThemeManager* m_themes;
    ConfigManager* m_config;
    std::unique_ptr<FontFamilies> m_systemFamilies; // when none was given
    FontFamilies* m_families;
    bool m_registered = false;
    PresetDialog* m_presets = nullptr;
    FontDialog* m_fonts = nullptr;
};

} // namespace corvel
