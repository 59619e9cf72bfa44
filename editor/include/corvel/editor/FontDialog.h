// The "Fonts" page: the base font, up to three backup fonts for characters the base font
// lacks, the size and the line paddings, loaded from and collected into the face preset
// manager's font settings.
#pragma once
#include "corvel/widgets/afContainer.h"
#include "corvel/widgets/afImageList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class FontFamilies;
class afControlComboBox;

class FontDialog : public afContainer {
public:
    static constexpr int BACKUP_COUNT = 3;
    // What the page edits.
    struct Settings {
        std::vector<std::wstring> names; // base first, then the backups chosen
        int32_t size = 10;
        int32_t paddingTop = 0;
        int32_t paddingBottom = 0;
    };

    // families is not owned and must outlive the page.
    FontDialog(afView* parent, FontFamilies* families) : afContainer(parent), m_families(families) {}

    // Null for a null parent.
    static FontDialog* create(afView* parent, FontFamilies* families);

    void onCreated() override;

    void load(const Settings& settings);
    Settings collect() const;

    afControlComboBox* getBaseChooser() const { return m_fonts[0]; }
    // 0 to 2.
    afControlComboBox* getBackupChooser(int index) const { return m_fonts[index + 1]; }
    afControlComboBox* getSizeChooser() const { return m_size; }
    afControlComboBox* getTopPaddingChooser() const { return m_paddingTop; }
    afControlComboBox* getBottomPaddingChooser() const { return m_paddingBottom; }

private:
    static void onBaseFontChosen(void* self, afControlComboBox* combo);
    void build();
    void fillFonts();
    // Refills the sizes of the chosen base font, keeping the largest not above previous.
    void fillSizes(int previous);

    FontFamilies* m_families;
    afImageList m_images;
    afControlComboBox* m_fonts[1 + BACKUP_COUNT] = {};
    afControlComboBox* m_size = nullptr;
    afControlComboBox* m_paddingTop = nullptr;
    afControlComboBox* m_paddingBottom = nullptr;
};

} // namespace corvel
