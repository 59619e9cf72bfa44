// The "Appearance presets" page: a working copy of the face presets list, one preset shown
// at a time with its theme, languages, boundary and display options; presets can be
// added, renamed and deleted. The copies go back to the manager only on Apply.
#pragma once
#include "corvel/document/FacePreset.h"
#include "corvel/widgets/afContainer.h"
#include "zem/base/Uuid.h"

#include <string>
#include <utility>
#include <vector>

namespace corvel {

class afControlButton;
class afControlCheckBox;
class afControlComboBox;
class afControlEdit;
class afLabel;
class afLayoutLinear;

class PresetDialog : public afContainer {
public:
    // A theme as the chooser offers it: its title and UUID.
    typedef std::pair<std::wstring, zem::Uuid> ThemeChoice;

    enum Option {
        OPTION_WORD_WRAP,
        OPTION_BREAK_AT_BOUNDARY,
        OPTION_CENTER,
        OPTION_BREAK_WHITESPACE,
        OPTION_ALIGN_WRAPPED,
        OPTION_WRAP_MARKER,
        OPTION_SHOW_BOUNDARY,
        OPTION_INDENT_GUIDES,
        OPTION_WHITESPACE_BEFORE,
        OPTION_WHITESPACE_INSIDE,
        OPTION_WHITESPACE_AFTER,
        OPTION_COUNT
    };

    explicit PresetDialog(afView* parent) : afContainer(parent) {}

    // Null for a null parent.
    static PresetDialog* create(afView* parent);

    void onCreated() override;

    // The themes the chooser offers, before entries are shown.
    void setThemes(const std::vector<ThemeChoice>& themes) { m_themes = themes; }
    // Copies of the entries; entry 0 shows.
    void setEntries(const std::vector<FacePresetEntry>& entries);
    // The entries with the shown one's controls stored into it.
    const std::vector<FacePresetEntry>& collectEntries();
    const std::vector<FacePresetEntry>& getEntries() const { return m_entries; }
    int getShownEntry() const { return m_shown; }

    // Refills the chooser and shows entry index.
    void showEntry(int index);
    void addPreset();
    void renamePreset();
    void deletePreset();

    // The check of a new or renamed title against the entries, skipping entry skip: an
    // empty error accepts.
    static std::wstring checkTitle(const std::vector<FacePresetEntry>& entries, const std::wstring& title, int skip);
    // The title with the blanks (codes 32 and below) around it removed.
    static std::wstring trimTitle(const std::wstring& title);
    // The field's number, or previous without a leading digit; then within 16..999.
    static int32_t parseBoundary(const std::wstring& text, int32_t previous);

    afControlComboBox* getPresetChooser() const { return m_presets; }
    afControlComboBox* getThemeChooser() const { return m_theme; }
    afControlEdit* getLanguagesField() const { return m_languages; }
    afControlEdit* getBoundaryField() const { return m_boundary; }
    afControlCheckBox* getOption(int option) const { return m_options[option]; }
    afControlButton* getAddButton() const { return m_add; }
    afControlButton* getDeleteButton() const { return m_delete; }
    afControlButton* getRenameButton() const { return m_rename; }
    afLabel* getInfoLabel() const { return m_info; }
    afLabel* getGroupTitle() const { return m_groupTitle; }

protected:
    // The modal runs; tests answer them. Each returns whether the user confirmed; the
    // title asked for lands in title.
    virtual bool askTitle(const wchar_t* caption, const wchar_t* prompt, std::wstring& title, int skip);
    virtual bool confirmDelete(const std::wstring& title);

private:
    static void onPresetChosen(void* self, afControlComboBox* combo);
    static void onClick(void* self, afControlButton* button);
    static void onWrapClicked(void* self, afControlCheckBox* box);
    static bool validateTitle(void* self, const std::wstring& text, std::wstring* error);

    void build();
    void fillPresetChooser();
    void loadEntry(int index);
    void storeEntry(int index);
    void fillThemes(const FacePreset& preset);
    void applyDependencies();

    std::vector<FacePresetEntry> m_entries;
    int m_shown = -1; // the entry the controls show; -1 for none
    std::vector<ThemeChoice> m_themes;
    int m_titleSkip = -1; // the entry the title being asked for renames

    afControlComboBox* m_presets = nullptr;
    afControlButton* m_add = nullptr;
    afControlButton* m_delete = nullptr;
    afControlButton* m_rename = nullptr;
    afLabel* m_groupTitle = nullptr;
    afLabel* m_info = nullptr;
    afControlEdit* m_languages = nullptr;
    afControlComboBox* m_theme = nullptr;
    afControlEdit* m_boundary = nullptr;
    afControlCheckBox* m_options[OPTION_COUNT] = {};
};

} // namespace corvel
