// Asks for the title, kind and bundle of a new bundle entry. OK stays disabled until a
// kind is chosen and, for an item, a bundle; a title with nothing of a word in it is
// refused with the reason in place of the prompt.
#pragma once
#include "corvel/widgets/StringDialog.h"
#include "corvel/workspace/BundleEditorTags.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class afControlButton;
class afControlComboBox;
class Bundle;
class BundleManager;

class BundleEntryDialog : public StringDialog {
public:
    static constexpr uint32_t ADD_ICON = 0xf1c091b8u;

    // Preset with a kind (NO_ENTRY_TYPE for none), a bundle (or null) and a title. The
    // manager must outlive the dialog.
    BundleEntryDialog(afView* owner, BundleManager* manager, uint32_t type = NO_ENTRY_TYPE, Bundle* bundle = nullptr,
                      const std::wstring& title = L"Untitled");

    // A new dialog whose window exists; the owner may be null. Run it with runModal():
    // RESULT_OK or RESULT_CANCEL.
    static BundleEntryDialog* create(afView* owner, BundleManager* manager, uint32_t type = NO_ENTRY_TYPE,
                                     Bundle* bundle = nullptr, const std::wstring& title = L"Untitled");

    void onCreated() override;
    void onButtonClicked(afControlButton* button) override;
    void leaveModal() override;

    // The title entered, as it was when the dialog closed.
    const std::wstring& getEntryTitle() const { return getValue(); }
    // NO_ENTRY_TYPE when no kind was chosen.
    uint32_t getEntryType() const { return m_type; }
    // Null for a new bundle or when none was chosen.
    Bundle* getBundle() const { return m_bundle; }

    // Whether anything of the title is left once characters of no word are dropped.
    static bool isUsableTitle(const std::wstring& title);

    afControlEdit* getTitleEdit() const { return getEdit(); }
    afControlComboBox* getTypeChooser() const { return m_types; }
    afControlComboBox* getBundleChooser() const { return m_bundles; }
    afControlButton* getOkButton() const { return m_ok; }
    // The kind chosen now, NO_ENTRY_TYPE for none; the bundle chosen now, or null.
    uint32_t chosenType() const;
    Bundle* chosenBundle() const;

private:
    afControlComboBox* addChooser(const std::wstring& label);
    void fillTypes();
    void fillBundles();
    void selectBundle(Bundle* bundle);
    void typeChanged();
    void updateOk();
    void focusWholeTitle();
    static bool validateTitle(void* self, const std::wstring& title, std::wstring* error);
    static void onTypeChosen(void* self, afControlComboBox* combo);
    static void onBundleChosen(void* self, afControlComboBox* combo);

    BundleManager* m_manager; // not owned
    std::wstring m_presetTitle; // shown first
    uint32_t m_type;
    Bundle* m_bundle;                     // not owned
    Bundle* m_remembered = nullptr;       // the bundle chosen before the kind became "bundle"
    std::vector<Bundle*> m_bundleChoices; // by chooser item key; not owned
    afControlComboBox* m_types = nullptr;
    afControlComboBox* m_bundles = nullptr;
    afControlButton* m_ok = nullptr;
};

} // namespace corvel
