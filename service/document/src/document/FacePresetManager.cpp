#include "corvel/document/FacePresetManager.h"

#include "corvel/config/ConfigManager.h"
#include "corvel/document/IFontRegistry.h"
#include "corvel/jasmine/JasmineValue.h"

#include <algorithm>
#include <cwctype>

namespace corvel {

namespace {

const wchar_t* const KEY_FONT_NAMES = L"app.editor.font.names";
const wchar_t* const KEY_FONT_SIZE = L"app.editor.font.size";
const wchar_t* const KEY_PADDING_TOP = L"app.editor.font.padding_top";
const wchar_t* const KEY_PADDING_BOTTOM = L"app.editor.font.padding_bottom";
const wchar_t* const KEY_PRESETS = L"app.editor.presets.face";

bool isNameSeparator(wchar_t c) {
    return c == L',' || std::iswspace(c);
}

int32_t clamp(int32_t value, int32_t low, int32_t high) {
    return std::max(low, std::min(value, high));
}

int32_t intOf(Config& config, const wchar_t* key, int32_t fallback) {
    ConfigValue* value = config.getValue(key);
    return value ? value->asInt() : fallback;
}

// Names that the text form would split apart are written as a list of strings.
bool needsList(const std::vector<std::wstring>& names) {
    for (const std::wstring& name : names) {
        if (std::any_of(name.begin(), name.end(), isNameSeparator))
            return true;
    }
    return false;
}

void readLanguages(const JasmineValue& languages, std::vector<std::wstring>& out) {
    out.clear();
    if (!languages.isList()) {
        FacePresetManager::splitNameList(languages.asString(L""), out);
        return;
    }
    const JasmineValue* first = nullptr;
    const JasmineValue* last = nullptr;
    languages.listRange(first, last);
    for (const JasmineValue* element = first; element != last; ++element) {
        if (element->getType() == JasmineValue::TYPE_STRING)
            out.push_back(element->asString(L""));
    }
}

void writeLanguages(const std::vector<std::wstring>& names, JasmineValue& dictionary) {
    JasmineValue& languages = dictionary.getOrAddEntry(L"languages");
    if (!needsList(names)) {
        std::wstring text;
        FacePresetManager::joinNameList(names, text);
        languages.setString(text);
        return;
    }
    languages = JasmineValue(JasmineValue::TYPE_LIST);
    for (const std::wstring& name : names)
        languages.appendElement().setString(name);
}

} // namespace

FacePresetManager::FacePresetManager(IFontRegistry* fonts, ConfigManager* config) : m_config(config), m_fonts(fonts) {
    ensureDefault();
    if (m_config)
        m_config->settingsLoaded.add(&FacePresetManager::onSettingsLoaded, this);
}

FacePresetManager::~FacePresetManager() {
    if (m_config) {
        m_config->settingsLoaded.remove(&FacePresetManager::onSettingsLoaded, this);
        m_config->settingsStore.remove(&FacePresetManager::onSettingsStore, this);
    }
}

void FacePresetManager::onSettingsLoaded(void* self, Config*) {
    FacePresetManager* manager = static_cast<FacePresetManager*>(self);
    manager->m_config->settingsStore.add(&FacePresetManager::onSettingsStore, self);
}

void FacePresetManager::onSettingsStore(void* self, Config*) {
    static_cast<FacePresetManager*>(self)->saveToConfig();
}

void FacePresetManager::loadFromConfig() {
    Config& config = m_config->getConfig();
    zem::CriticalSectionLock guard(config.getLock());
    std::vector<std::wstring> names;
    if (ConfigValue* list = config.getValue(KEY_FONT_NAMES)) {
        for (const ConfigValue& element : list->getList()) {
            if (element.getType() == ConfigValue::TYPE_STRING)
                names.push_back(element.getString());
        }
    }
    setFont(names, intOf(config, KEY_FONT_SIZE, m_fontSize), intOf(config, KEY_PADDING_TOP, m_paddingTop),
            intOf(config, KEY_PADDING_BOTTOM, m_paddingBottom));
    readPresets(config.getValue(KEY_PRESETS));
    presetsChanged.invoke(this);
}

void FacePresetManager::saveToConfig() {
    Config& config = m_config->getConfig();
    zem::CriticalSectionLock guard(config.getLock());
    if (ConfigValue* top = config.getValue(KEY_PADDING_TOP))
        top->setInt(m_paddingTop);
    if (ConfigValue* bottom = config.getValue(KEY_PADDING_BOTTOM))
        bottom->setInt(m_paddingBottom);
    if (ConfigValue* size = config.getValue(KEY_FONT_SIZE))
        size->setInt(m_fontSize);
    if (ConfigValue* list = config.getValue(KEY_FONT_NAMES)) {
        ConfigValue::List names;
        for (const std::wstring& name : m_fontNames) {
            names.emplace_back(ConfigValue::TYPE_STRING);
            names.back().setString(name);
        }
        list->setList(names);
    }
    if (ConfigValue* list = config.getValue(KEY_PRESETS)) {
        ConfigValue::List presets;
        for (const auto& entry : m_presets) {
            JasmineValue dictionary(JasmineValue::TYPE_DICTIONARY);
            entry->preset.write(dictionary);
            writeLanguages(entry->languages, dictionary);
            presets.emplace_back(ConfigValue::TYPE_JASMINE);
            presets.back().setJasmine(dictionary);
        }
        list->setList(presets);
    }
}

bool FacePresetManager::setFont(const std::vector<std::wstring>& names, int32_t size, int32_t paddingTop,
                                int32_t paddingBottom) {
    std::vector<std::wstring> kept;
    for (const std::wstring& name : names) {
        if (!name.empty() && m_fonts && m_fonts->hasFont(name.c_str()))
            kept.push_back(name);
    }
    if (kept.empty())
        kept.push_back(FALLBACK_FONT);
    size = clamp(size, 2, 100);
    paddingTop = clamp(paddingTop, 0, 10);
    paddingBottom = clamp(paddingBottom, 0, 10);
    if (kept == m_fontNames && size == m_fontSize && paddingTop == m_paddingTop && paddingBottom == m_paddingBottom)
        return false;
    m_fontNames.swap(kept);
    m_fontSize = size;
    m_paddingTop = paddingTop;
    m_paddingBottom = paddingBottom;
    fontChanged.invoke(this);
    return true;
}

void FacePresetManager::readPresets(const ConfigValue* value) {
    m_presets.clear();
    if (value && value->getType() == ConfigValue::TYPE_LIST) {
        for (const ConfigValue& element : value->getList()) {
            const JasmineValue* dictionary = element.getJasmine();
            if (!dictionary || !dictionary->isDictionary())
                continue;
            auto entry = std::make_unique<FacePresetEntry>();
            entry->preset.read(*dictionary);
            entry->preset.id.create();
            readLanguages(dictionary->find(L"languages"), entry->languages);
            m_presets.push_back(std::move(entry));
        }
    }
    ensureDefault();
}

void FacePresetManager::setPresets(const std::vector<const FacePresetEntry*>& entries) {
    std::vector<std::unique_ptr<FacePresetEntry>> copies;
    for (const FacePresetEntry* entry : entries) {
        if (!entry)
            continue;
        copies.push_back(std::make_unique<FacePresetEntry>(*entry));
        if (copies.back()->preset.id.isNil())
            copies.back()->preset.id.create();
    }
    m_presets.swap(copies);
    ensureDefault();
}

void FacePresetManager::addPreset(FacePresetEntry* entry) {
    if (!entry)
        return;
    entry->preset.id.create();
    m_presets.emplace_back(entry);
}

void FacePresetManager::removePreset(FacePresetEntry* entry) {
    auto it = std::find_if(m_presets.begin(), m_presets.end(),
                           [&](const std::unique_ptr<FacePresetEntry>& e) { return e.get() == entry; });
    if (it != m_presets.end())
        m_presets.erase(it);
    ensureDefault();
}

void FacePresetManager::clearPresets() {
    m_presets.clear();
    ensureDefault();
}

const FacePreset& FacePresetManager::findPresetForLanguage(const wchar_t* name) const {
    const FacePreset* best = &m_presets.front()->preset;
    if (!name || !name[0])
        return *best;
    std::wstring language = name;
    size_t bestScore = 0;
    for (const auto& entry : m_presets) {
        for (const std::wstring& pattern : entry->languages) {
            if (language.compare(0, pattern.size(), pattern) != 0 || pattern.size() > language.size())
                continue;
            size_t score =
                static_cast<size_t>(std::count_if(pattern.begin(), pattern.end(), [](wchar_t c) { return c != L'.'; }));
            if (score > bestScore) {
                bestScore = score;
                best = &entry->preset;
            }
        }
    }
    return *best;
}

void FacePresetManager::splitNameList(const wchar_t* text, std::vector<std::wstring>& out) {
    out.clear();
    if (!text)
        return;
    const wchar_t* p = text;
    while (*p) {
        while (*p && isNameSeparator(*p))
            ++p;
        const wchar_t* start = p;
        while (*p && !isNameSeparator(*p))
            ++p;
        if (p != start)
            out.emplace_back(start, p);
    }
}

void FacePresetManager::joinNameList(const std::vector<std::wstring>& names, std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < names.size(); ++i) {
        if (i)
            out += L", ";
        out += names[i];
    }
}

void FacePresetManager::ensureDefault() {
    if (!m_presets.empty())
        return;
    auto entry = std::make_unique<FacePresetEntry>();
    entry->preset.title = L"Default";
    entry->preset.id.create();
    m_presets.push_back(std::move(entry));
}

} // namespace corvel
