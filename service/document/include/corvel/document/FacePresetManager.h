// The presets list and the editor font preferences, read from the configuration at
// start-up, written back when the configuration is stored, with notices to subscribers
// when either changes. The list is never empty: a "Default" entry stands in. Main thread.
#pragma once
#include "corvel/document/FacePreset.h"

#include "zem/base/CallbackList.h"

#include <memory>
#include <string>
#include <vector>

namespace corvel {

class Config;
class ConfigManager;
class ConfigValue;
class IFontRegistry;

class FacePresetManager {
public:
    static constexpr const wchar_t* FALLBACK_FONT = L"Courier New";

    // Neither is owned. Registers with the configuration's settings-loaded list; from then
    // on every store of the settings writes the presets and fonts back.
    FacePresetManager(IFontRegistry* fonts, ConfigManager* config);
    ~FacePresetManager();
    FacePresetManager(const FacePresetManager&) = delete;
    FacePresetManager& operator=(const FacePresetManager&) = delete;

    // Once at start-up, after the configuration was read.
    void loadFromConfig();
    void saveToConfig();

    // Keeps the names the registry knows (else the fallback font), clamps size to 2..100
    // and the paddings to 0..10; fires fontChanged when anything differs. Returns that.
    bool setFont(const std::vector<std::wstring>& names, int32_t size, int32_t paddingTop, int32_t paddingBottom);

    // A list of preset dictionaries; anything else gives the "Default" entry alone. Every
    // entry gets a new id (ids are not stored).
    void readPresets(const ConfigValue* value);
    void setPresets(const std::vector<const FacePresetEntry*>& entries);
    // Gives the preset a new id; the list takes the entry.
    void addPreset(FacePresetEntry* entry);
    void removePreset(FacePresetEntry* entry);
    void clearPresets();
    // The preset whose longest language pattern is a prefix of name; the first preset
    // when none fits.
    const FacePreset& findPresetForLanguage(const wchar_t* name) const;

    const std::vector<std::unique_ptr<FacePresetEntry>>& presets() const { return m_presets; }
    const std::vector<std::wstring>& fontNames() const { return m_fontNames; }
    int32_t fontSize() const { return m_fontSize; }
    int32_t paddingTop() const { return m_paddingTop; }
    int32_t paddingBottom() const { return m_paddingBottom; }

    // Names separated by "," and white space.
    static void splitNameList(const wchar_t* text, std::vector<std::wstring>& out);
    static void joinNameList(const std::vector<std::wstring>& names, std::wstring& out);

    zem::CallbackList<void(FacePresetManager*)> presetsChanged; // after readPresets from the configuration
    zem::CallbackList<void(FacePresetManager*)> fontChanged;

private:
    static void onSettingsLoaded(void* self, Config* config);
    static void onSettingsStore(void* self, Config* config);
    void ensureDefault();

    ConfigManager* m_config;
    IFontRegistry* m_fonts;
    std::vector<std::unique_ptr<FacePresetEntry>> m_presets; // never empty
    std::vector<std::wstring> m_fontNames;
    int32_t m_fontSize = 12;
    int32_t m_paddingTop = 0;
    int32_t m_paddingBottom = 0;
};

} // namespace corvel
