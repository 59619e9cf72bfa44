#include "corvel/editor/PresetDialog.h"

#include "corvel/document/FacePresetManager.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlCheckBox.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlGroup.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/afMessageBox.h"
#include "corvel/widgets/createControl.h"

#include <cwchar>
#include <cwctype>

namespace corvel {

namespace {

constexpr uint32_t RESULT_OK = 0x79dcdd47u;
constexpr uint32_t RESULT_CANCEL = 0x5616c572u;
constexpr int ICON_INFORMATION = 9;
constexpr int ICON_WARNING = 11;
constexpr int SPACING = 6;
constexpr int32_t BOUNDARY_MIN = 16;
constexpr int32_t BOUNDARY_MAX = 999;
constexpr int BRACKETED_THEME = -1; // the key of a theme item that names no installed theme

const wchar_t* const HELP_TEXT =
    L"Appearance presets allows you to customize the look of the document depending on document type you are "
    L"editing. Corvel will switch it automatically when the scope rules are matched.";

const wchar_t* const OPTION_TITLES[PresetDialog::OPTION_COUNT] = {
    L"&Word wrap",        L"&Break at the boundary",   L"Center the &document",
    L"B&reak whitespace", L"A&lign wrapped lines",     L"Show &marker at wrapped lines",
    L"&Show boundary",    L"Show indentation &guides", L"B&efore line text",
    L"&Inside line text", L"A&fter line text",
};

// The preset's flag behind each check box.
bool FacePreset::*const OPTION_FIELDS[PresetDialog::OPTION_COUNT] = {
    &FacePreset::wordWrap,
    &FacePreset::boundaryBreak,
    &FacePreset::center,
    &FacePreset::breakWhitespace,
    &FacePreset::sublinesAlign,
    &FacePreset::sublinesAlignShow,
    &FacePreset::boundaryShow,
    &FacePreset::showIndentGuides,
    &FacePreset::showWhitespaceBefore,
    &FacePreset::showWhitespaceInside,
    &FacePreset::showWhitespaceAfter,
};

std::wstring windowText(const afViewPlatform* view) {
    HWND hwnd = view ? view->getHandle() : nullptr;
    if (!hwnd)
        return std::wstring();
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], length + 1)));
    return text;
}

bool equalsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

afLayoutParamsLinear* fillWidth(int top = SPACING) {
    auto* params = new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT);
    params->setMargins(0, top, 0, 0);
    return params;
}

afLabel* addLabel(afView* owner, afLayoutLinear* column, const wchar_t* text, int top = SPACING) {
    afLabel* label = afLabel::create(owner);
    label->setText(text);
    column->addChild(label, fillWidth(top));
    return label;
}

} // namespace

PresetDialog* PresetDialog::create(afView* parent) {
    return createControl<PresetDialog>(parent);
}

void PresetDialog::onCreated() {
    afContainer::onCreated();
    if (!m_presets)
        build();
}

void PresetDialog::build() {
    auto* column = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    column->setPadding(SPACING);
    setContentView(column);
    afLabel* help = addLabel(this, column, HELP_TEXT, 0);
    help->setWrapMode(afLabel::WRAP_WORDS);

    auto* chooserRow = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    column->addChild(chooserRow, fillWidth());
    m_presets = afControlComboBox::create(this, true);
    m_presets->selectionCallback.set(this, &PresetDialog::onPresetChosen);
    chooserRow->addChild(m_presets, new afLayoutParamsLinear(0, afLayoutParams::WRAP_CONTENT, 1.0));
    auto addButton = [&](const wchar_t* text) {
        afControlButton* button = afControlButton::create(this);
        button->setText(text);
        button->clickCallback.set(this, &PresetDialog::onClick);
        auto* params = new afLayoutParamsLinear(afLayoutParams::WRAP_CONTENT, afLayoutParams::WRAP_CONTENT);
        params->setMargins(SPACING, 0, 0, 0);
        chooserRow->addChild(button, params);
        return button;
    };
    m_add = addButton(L"&Add");
    m_delete = addButton(L"&Delete");
    m_rename = addButton(L"&Rename");

    m_groupTitle = addLabel(this, column, L"Preset options", SPACING * 2);
    afControlGroup* group = afControlGroup::create(this);
    column->addChild(group, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, 0, 1.0));
    auto* inner = new afLayoutLinear(group, afLayoutLinear::VERTICAL);
    inner->setPadding(SPACING * 2);
    group->setContentView(inner);

    m_info = addLabel(group, inner, L"", 0);
    m_info->setWrapMode(afLabel::WRAP_WORDS);
    if (afResources::exists())
        m_info->setIcon(&afResources::getIcon(ICON_INFORMATION), SPACING);
    m_languages = afControlEdit::create(group);
    inner->addChild(m_languages, fillWidth());
    afLabel* themeLabel = addLabel(group, inner, L"Select a &theme:");
    m_theme = afControlComboBox::create(group, true);
    inner->addChild(m_theme, fillWidth(2));
    themeLabel->setPartner(m_theme);
    afLabel* boundaryLabel = addLabel(group, inner, L"Fi&xed boundary: (average characters)");
    m_boundary = afControlEdit::create(group);
    inner->addChild(m_boundary, fillWidth(2));
    boundaryLabel->setPartner(m_boundary);
    for (int option = 0; option < OPTION_COUNT; ++option) {
        if (option == OPTION_WHITESPACE_BEFORE)
            addLabel(group, inner, L"Show whitespace:");
        m_options[option] = afControlCheckBox::create(group);
        m_options[option]->setText(OPTION_TITLES[option]);
        inner->addChild(m_options[option], fillWidth(option == 0 ? SPACING * 2 : 2));
    }
    m_options[OPTION_WORD_WRAP]->changeCallback.set(this, &PresetDialog::onWrapClicked);
    m_options[OPTION_BREAK_AT_BOUNDARY]->changeCallback.set(this, &PresetDialog::onWrapClicked);
}

// --- entries ---

void PresetDialog::setEntries(const std::vector<FacePresetEntry>& entries) {
    m_entries = entries;
    m_shown = -1;
    showEntry(0);
}

const std::vector<FacePresetEntry>& PresetDialog::collectEntries() {
    storeEntry(m_shown);
    return m_entries;
}

void PresetDialog::fillPresetChooser() {
    m_presets->clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        m_presets->addItem(m_entries[i].preset.title, -1, static_cast<int>(i));
        // The default preset is emphasised.
        if (afControlComboBox::ItemData* data = m_presets->getItemData(static_cast<int>(i)))
            data->flag = i == 0 ? 1 : 0;
    }
}

void PresetDialog::showEntry(int index) {
    if (!m_presets)
        return;
    fillPresetChooser();
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    if (index != m_shown)
        storeEntry(m_shown);
    m_presets->setSelection(index);
    loadEntry(index);
}

void PresetDialog::onPresetChosen(void* self, afControlComboBox* combo) {
    auto* page = static_cast<PresetDialog*>(self);
    int index = combo->getSelection();
    if (index < 0 || index == page->m_shown)
        return;
    page->storeEntry(page->m_shown);
    page->loadEntry(index);
}

void PresetDialog::fillThemes(const FacePreset& preset) {
    m_theme->clear();
    // A theme id that is no UUID names no theme, not the fallback's nil UUID.
    zem::Uuid wanted;
    bool isUuid = wanted.fromString(preset.themeId);
    int selected = -1;
    for (size_t i = 0; i < m_themes.size(); ++i) {
        m_theme->addItem(m_themes[i].first, -1, static_cast<int>(i));
        if (isUuid && selected < 0 && m_themes[i].second == wanted)
            selected = static_cast<int>(i);
    }
    if (selected < 0) {
        m_theme->addItem(L"[" + preset.themeId + L"]", -1, BRACKETED_THEME);
        selected = m_theme->getCount() - 1;
    }
    m_theme->setSelection(selected);
}

void PresetDialog::loadEntry(int index) {
    m_shown = index;
    const FacePresetEntry& entry = m_entries[static_cast<size_t>(index)];
    const FacePreset& preset = entry.preset;
    fillThemes(preset);
    for (int option = 0; option < OPTION_COUNT; ++option)
        m_options[option]->setChecked(preset.*OPTION_FIELDS[option]);
    m_boundary->setText(std::to_wstring(preset.boundary).c_str());
    m_groupTitle->setText(L"Options for \"" + preset.title + L"\" ");
    bool isDefault = index == 0;
    m_delete->setEnabled(!isDefault);
    m_rename->setEnabled(!isDefault);
    m_languages->setEnabled(!isDefault);
    if (isDefault) {
        m_languages->setText(L"");
        m_info->setText(L"Default preset is applied when no preset matches document's language.");
    } else {
        std::wstring languages;
        FacePresetManager::joinNameList(entry.languages, languages);
        m_languages->setText(languages.c_str());
        m_info->setText(entry.languages.empty()
                            ? L"Don't forget to fill the language names in (ex. text.html, text.xml)"
                            : L"This preset is applied to document with these languages:");
    }
    applyDependencies();
}

void PresetDialog::storeEntry(int index) {
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    FacePresetEntry& entry = m_entries[static_cast<size_t>(index)];
    FacePreset& preset = entry.preset;
    int theme = m_theme->getSelection();
    int key = m_theme->getItemKey(theme, BRACKETED_THEME);
    if (key >= 0 && key < static_cast<int>(m_themes.size())) {
        preset.themeId = m_themes[static_cast<size_t>(key)].second.toString();
    } else {
        std::wstring text;
        // The bracketed item keeps the id it was made from.
        if (m_theme->getItemText(theme, text) && text.size() >= 2)
            preset.themeId = text.substr(1, text.size() - 2);
    }
    for (int option = 0; option < OPTION_COUNT; ++option)
        preset.*OPTION_FIELDS[option] = m_options[option]->isChecked();
    preset.boundary = parseBoundary(windowText(m_boundary), preset.boundary);
    entry.languages.clear();
    if (index != 0)
        FacePresetManager::splitNameList(windowText(m_languages).c_str(), entry.languages);
}

void PresetDialog::applyDependencies() {
    bool wrap = m_options[OPTION_WORD_WRAP]->isChecked();
    for (int option : {OPTION_BREAK_AT_BOUNDARY, OPTION_ALIGN_WRAPPED, OPTION_WRAP_MARKER, OPTION_BREAK_WHITESPACE})
        m_options[option]->setEnabled(wrap);
    m_options[OPTION_CENTER]->setEnabled(wrap && m_options[OPTION_BREAK_AT_BOUNDARY]->isChecked());
}

void PresetDialog::onWrapClicked(void* self, afControlCheckBox*) {
    static_cast<PresetDialog*>(self)->applyDependencies();
}

// --- titles and boundary ---

std::wstring PresetDialog::trimTitle(const std::wstring& title) {
    size_t start = 0;
    while (start < title.size() && title[start] <= 32)
        ++start;
    size_t end = title.size();
    while (end > start && title[end - 1] <= 32)
        --end;
    return title.substr(start, end - start);
}

std::wstring PresetDialog::checkTitle(const std::vector<FacePresetEntry>& entries, const std::wstring& title,
                                      int skip) {
    std::wstring trimmed = trimTitle(title);
    if (trimmed.empty())
        return L"Preset title cannot be empty.";
    for (size_t i = 0; i < entries.size(); ++i) {
        // The entry being renamed may keep its title or change its letter case.
        if (static_cast<int>(i) != skip && equalsIgnoringCase(entries[i].preset.title, trimmed))
            return L"Preset with this title already exists.";
    }
    return std::wstring();
}

int32_t PresetDialog::parseBoundary(const std::wstring& text, int32_t previous) {
    const wchar_t* start = text.c_str();
    wchar_t* end = nullptr;
    unsigned long value = std::wcstoul(start, &end, 10);
    int32_t boundary = previous;
    if (end != start)
        boundary = value > static_cast<unsigned long>(BOUNDARY_MAX) ? BOUNDARY_MAX : static_cast<int32_t>(value);
    if (boundary < BOUNDARY_MIN)
        return BOUNDARY_MIN;
    return boundary > BOUNDARY_MAX ? BOUNDARY_MAX : boundary;
}

bool PresetDialog::validateTitle(void* self, const std::wstring& text, std::wstring* error) {
    auto* page = static_cast<PresetDialog*>(self);
    std::wstring refusal = checkTitle(page->m_entries, text, page->m_titleSkip);
    if (refusal.empty())
        return true;
    if (error)
        *error = refusal;
    return false;
}

// --- buttons ---

void PresetDialog::onClick(void* self, afControlButton* button) {
    auto* page = static_cast<PresetDialog*>(self);
    if (button == page->m_add)
        page->addPreset();
    else if (button == page->m_rename)
        page->renamePreset();
    else if (button == page->m_delete)
        page->deletePreset();
}

bool PresetDialog::askTitle(const wchar_t* caption, const wchar_t* prompt, std::wstring& title, int skip) {
    StringDialog* dialog = StringDialog::create(this);
    if (!dialog)
        return false;
    dialog->setTitle(caption);
    dialog->setPrompt(prompt);
    if (!title.empty())
        dialog->setValue(title);
    m_titleSkip = skip;
    dialog->setValidator(this, &PresetDialog::validateTitle);
    bool confirmed = dialog->runModal() == RESULT_OK;
    title = dialog->getValue();
    delete dialog;
    return confirmed;
}

bool PresetDialog::confirmDelete(const std::wstring& title) {
    afMessageBox* box = afMessageBox::create(this);
    if (!box)
        return false;
    box->setTitle(L"Deleting preset...");
    if (afResources::exists())
        box->setIcon(&afResources::getIcon(ICON_WARNING));
    box->addLabel(L"Do you want to delete this preset?", 0, 0, afLabel::WRAP_WORDS);
    box->addLabel(title, 1, 1, afLabel::WRAP_WORDS);
    box->addLabel(L"Note: This action cannot be undone.", 2, 1, afLabel::WRAP_WORDS);
    box->addButton(L"&Remove", RESULT_OK, false);
    box->addButton(L"&Cancel", RESULT_CANCEL, true);
    bool confirmed = box->runModal() == RESULT_OK;
    delete box;
    return confirmed;
}

void PresetDialog::addPreset() {
    std::wstring title;
    if (!askTitle(L"Add preset...", L"Enter new preset &title:", title, -1))
        return;
    if (!checkTitle(m_entries, title, -1).empty())
        return;
    FacePresetEntry entry;
    if (m_shown >= 0) {
        storeEntry(m_shown);
        entry.preset = m_entries[static_cast<size_t>(m_shown)].preset;
    }
    entry.preset.id.create();
    entry.preset.title = trimTitle(title);
    m_entries.push_back(entry);
    showEntry(static_cast<int>(m_entries.size()) - 1);
}

void PresetDialog::renamePreset() {
    if (m_shown <= 0)
        return;
    std::wstring title = m_entries[static_cast<size_t>(m_shown)].preset.title;
    if (!askTitle(L"Rename preset...", L"Enter new preset title:", title, m_shown))
        return;
    if (!checkTitle(m_entries, title, m_shown).empty())
        return;
    m_entries[static_cast<size_t>(m_shown)].preset.title = trimTitle(title);
    showEntry(m_shown);
}

void PresetDialog::deletePreset() {
    if (m_shown <= 0)
        return;
    if (!confirmDelete(m_entries[static_cast<size_t>(m_shown)].preset.title))
        return;
    m_entries.erase(m_entries.begin() + m_shown);
    // Forgotten first: its controls must not be stored into the entry that took its place.
    m_shown = -1;
    showEntry(0);
}

} // namespace corvel
