#include "corvel/editor/FacePresetManagerUI.h"

#include "corvel/bundles/ThemeManager.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/document/FacePresetManager.h"
#include "corvel/editor/FontDialog.h"
#include "corvel/editor/FontFamilies.h"
#include "corvel/editor/PresetDialog.h"
#include "corvel/widgets/PreferencesDialog.h"
#include "corvel/widgets/PreferencesManager.h"
#include "corvel/widgets/afControlTabs.h"

namespace corvel {

FacePresetManagerUI::FacePresetManagerUI(FacePresetManager* owner, PreferencesManager* preferences,
                                         ThemeManager* themes, ConfigManager* config, FontFamilies* families)
    : m_owner(owner), m_preferences(preferences), m_themes(themes), m_config(config), m_families(families) {
    if (!m_families) {
        m_systemFamilies.reset(new SystemFontFamilies());
        m_families = m_systemFamilies.get();
    }
    if (m_config && !ConfigManager::isShuttingDown())
        m_config->settingsLoaded.add(&FacePresetManagerUI::onSettingsLoaded, this);
}

FacePresetManagerUI::~FacePresetManagerUI() {
    if (m_config && !ConfigManager::isShuttingDown())
        m_config->settingsLoaded.remove(&FacePresetManagerUI::onSettingsLoaded, this);
    if (!m_registered || !m_preferences)
        return;
    m_preferences->pageBuilders.remove(&FacePresetManagerUI::createPages, this);
    m_preferences->pageClosers.remove(&FacePresetManagerUI::forgetPages, this);
    m_preferences->applyHandlers.remove(&FacePresetManagerUI::apply, this);
    m_preferences->cancelHandlers.remove(&FacePresetManagerUI::validate, this);
}

void FacePresetManagerUI::onSettingsLoaded(void* self, Config*) {
    static_cast<FacePresetManagerUI*>(self)->registerPages();
}

void FacePresetManagerUI::registerPages() {
    if (m_registered || !m_preferences)
        return;
    m_registered = true;
    m_preferences->pageBuilders.add(&FacePresetManagerUI::createPages, this);
    m_preferences->pageClosers.add(&FacePresetManagerUI::forgetPages, this);
    m_preferences->applyHandlers.add(&FacePresetManagerUI::apply, this);
    m_preferences->cancelHandlers.add(&FacePresetManagerUI::validate, this);
}

void FacePresetManagerUI::createPages(void* self, PreferencesDialog* dialog) {
    auto* ui = static_cast<FacePresetManagerUI*>(self);
    if (!dialog || !dialog->getTabs() || !ui->m_owner)
        return;
    ui->m_presets = PresetDialog::create(dialog->getTabs());
    ui->m_presets->setText(L"Appearance presets");
    ui->m_fonts = FontDialog::create(dialog->getTabs(), ui->m_families);
    ui->m_fonts->setText(L"Fonts");
    dialog->addPage(ui->m_presets);
    dialog->addPage(ui->m_fonts);

    std::vector<PresetDialog::ThemeChoice> themes;
    if (ui->m_themes)
        ui->m_themes->listThemes(themes);
    ui->m_presets->setThemes(themes);
    std::vector<FacePresetEntry> entries;
    for (const auto& entry : ui->m_owner->presets())
        entries.push_back(*entry);
    ui->m_presets->setEntries(entries);

    FontDialog::Settings fonts;
    fonts.names = ui->m_owner->fontNames();
    fonts.size = ui->m_owner->fontSize();
    fonts.paddingTop = ui->m_owner->paddingTop();
    fonts.paddingBottom = ui->m_owner->paddingBottom();
    ui->m_fonts->load(fonts);
}

void FacePresetManagerUI::forgetPages(void* self, PreferencesDialog*) {
    auto* ui = static_cast<FacePresetManagerUI*>(self);
    ui->m_presets = nullptr;
    ui->m_fonts = nullptr;
}

bool FacePresetManagerUI::apply(void* self) {
    auto* ui = static_cast<FacePresetManagerUI*>(self);
    if (!ui->m_owner || !ui->m_presets || !ui->m_fonts)
        return true;
    FontDialog::Settings fonts = ui->m_fonts->collect();
    ui->m_owner->setFont(fonts.names, fonts.size, fonts.paddingTop, fonts.paddingBottom);
    const std::vector<FacePresetEntry>& entries = ui->m_presets->collectEntries();
    std::vector<const FacePresetEntry*> pointers;
    for (const FacePresetEntry& entry : entries)
        pointers.push_back(&entry);
    ui->m_owner->setPresets(pointers);
    ui->m_owner->presetsChanged.invoke(ui->m_owner);
    return true;
}

bool FacePresetManagerUI::validate(void*) {
    return true;
}

} // namespace corvel
