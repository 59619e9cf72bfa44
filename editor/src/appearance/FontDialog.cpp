#include "corvel/editor/FontDialog.h"

#include "corvel/editor/FontFamilies.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afLabel.h"
#include "corvel/widgets/createControl.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr int SPACING = 6;
constexpr int32_t FONT_SIZE_MIN = 2;
constexpr int32_t FONT_SIZE_MAX = 100;
constexpr int32_t DEFAULT_SIZE = 10;
// Paddings keep the manager's range: a stored 10 must survive Apply.
constexpr int32_t PADDING_MAX = 10;
constexpr int NO_FONT = -1; // the key of the empty and of a bracketed font item

const wchar_t* const FONT_HELP =
    L"Fonts in Corvel are a little tricky. \t\t\t\tFor Latin text you usually don't have to bother with backup "
    L"fonts, \t\t\t\tthough for languages like Chinese or Hebrew, \t\t\t\tyou have to select a base font for code "
    L"(like Consolas) and then a backup font. \t\t\t\tA backup font will be used for characters that base font "
    L"cannot display.";
const wchar_t* const PADDING_HELP =
    L"Line paddings help a lot with code and text legibility. \t\t\t\t\tBe careful with higher values, as it might "
    L"have an opposite effect.\t\t\t\t\tA value of 1 or 2 should be fine.";

afLayoutParamsLinear* fillWidth(int top = SPACING) {
    auto* params = new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT);
    params->setMargins(0, top, 0, 0);
    return params;
}

// The help texts carry runs of tab characters that a label would show as boxes: a run
// reads as one blank.
std::wstring withoutTabs(const std::wstring& text) {
    std::wstring shown;
    for (wchar_t c : text) {
        if (c != L'\t')
            shown += c;
        else if (!shown.empty() && shown.back() != L' ')
            shown += L' ';
    }
    return shown;
}

afLabel* addLabel(afView* owner, afLayoutLinear* column, const wchar_t* text, int top = SPACING * 2) {
    afLabel* label = afLabel::create(owner);
    label->setText(withoutTabs(text));
    label->setWrapMode(afLabel::WRAP_WORDS);
    column->addChild(label, fillWidth(top));
    return label;
}

int32_t clamp(int32_t value, int32_t low, int32_t high) {
    return std::max(low, std::min(high, value));
}

std::wstring chosenText(const afControlComboBox* combo) {
    std::wstring text;
    combo->getItemText(combo->getSelection(), text);
    return text;
}

// Selects the item with this key, adding it at the end when missing.
void selectNumber(afControlComboBox* combo, int value) {
    int index = combo->findItemByData(value);
    if (index < 0) {
        combo->addItem(std::to_wstring(value), -1, value);
        index = combo->getCount() - 1;
    }
    combo->setSelection(index);
}

// The mark of an outline font: a blue "T" on a clear ground, drawn with its alpha.
void addScalableImage(HIMAGELIST list) {
    constexpr int SIZE = 16;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = SIZE;
    info.bmiHeader.biHeight = -SIZE; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!image)
        return;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            bool bar = y >= 2 && y < 5 && x >= 2 && x < 14;
            bool stem = y >= 2 && y < 15 && x >= 6 && x < 10;
            pixels[y * SIZE + x] = (bar || stem) ? 0xFF2850AAu : 0u; // premultiplied: opaque or clear
        }
    }
    ImageList_Add(list, image, nullptr);
    DeleteObject(image);
}

} // namespace

FontDialog* FontDialog::create(afView* parent, FontFamilies* families) {
    return createControl<FontDialog>(parent, families);
}

void FontDialog::onCreated() {
    afContainer::onCreated();
    if (!m_size)
        build();
}

void FontDialog::build() {
    auto* column = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    column->setPadding(SPACING);
    setContentView(column);
    if (m_images.create())
        addScalableImage(m_images.getHandle());
    auto addChooser = [&](afLabel* label, int top) {
        afControlComboBox* combo = afControlComboBox::create(this, true);
        column->addChild(combo, fillWidth(top));
        if (label)
            label->setPartner(combo);
        return combo;
    };
    addLabel(this, column, FONT_HELP, 0);
    m_fonts[0] = addChooser(addLabel(this, column, L"&Font:"), 2);
    afLabel* backups = addLabel(this, column, L"&Backup fonts:");
    for (int i = 1; i <= BACKUP_COUNT; ++i)
        m_fonts[i] = addChooser(i == 1 ? backups : nullptr, 2);
    for (afControlComboBox* combo : m_fonts)
        combo->setImageList(m_images.getHandle(), false);
    m_size = addChooser(addLabel(this, column, L"&Size:"), 2);
    addLabel(this, column, PADDING_HELP);
    m_paddingTop = addChooser(addLabel(this, column, L"&Top line padding: (in px)"), 2);
    m_paddingBottom = addChooser(addLabel(this, column, L"Botto&m line padding: (in px)"), 2);
    for (int value = 0; value <= PADDING_MAX; ++value) {
        m_paddingTop->addItem(std::to_wstring(value), -1, value);
        m_paddingBottom->addItem(std::to_wstring(value), -1, value);
    }
    m_fonts[0]->selectionCallback.set(this, &FontDialog::onBaseFontChosen);
    fillFonts();
}

void FontDialog::fillFonts() {
    std::vector<FontFamilyInfo> families;
    if (m_families)
        m_families->listFamilies(families);
    std::sort(families.begin(), families.end(),
              [](const FontFamilyInfo& a, const FontFamilyInfo& b) { return a.name < b.name; });
    families.erase(std::unique(families.begin(), families.end(),
                               [](const FontFamilyInfo& a, const FontFamilyInfo& b) { return a.name == b.name; }),
                   families.end());
    for (int chooser = 0; chooser <= BACKUP_COUNT; ++chooser) {
        afControlComboBox* combo = m_fonts[chooser];
        combo->clear();
        if (chooser > 0)
            combo->addItem(L"", -1, NO_FONT); // no backup
        for (size_t i = 0; i < families.size(); ++i) {
            combo->addItem(families[i].name, families[i].scalable ? 0 : -1, static_cast<int>(i));
            // Fixed-pitch fonts are emphasised.
            if (auto* data = combo->getItemData(combo->getCount() - 1))
                data->flag = families[i].fixedPitch ? 1 : 0;
        }
    }
}

void FontDialog::fillSizes(int previous) {
    m_size->clear();
    std::vector<int> sizes;
    std::wstring base = chosenText(m_fonts[0]);
    if (m_families && !base.empty())
        m_families->listSizes(base, sizes);
    int selected = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        m_size->addItem(std::to_wstring(sizes[i]), -1, sizes[i]);
        if (sizes[i] <= previous)
            selected = static_cast<int>(i);
    }
    m_size->setSelection(sizes.empty() ? -1 : selected);
}

void FontDialog::onBaseFontChosen(void* self, afControlComboBox*) {
    auto* page = static_cast<FontDialog*>(self);
    page->fillSizes(page->m_size->getItemKey(page->m_size->getSelection(), DEFAULT_SIZE));
}

void FontDialog::load(const Settings& settings) {
    if (!m_size)
        return;
    for (int chooser = 0; chooser <= BACKUP_COUNT; ++chooser) {
        afControlComboBox* combo = m_fonts[chooser];
        if (static_cast<size_t>(chooser) >= settings.names.size()) {
            combo->setSelection(0);
            continue;
        }
        const std::wstring& name = settings.names[static_cast<size_t>(chooser)];
        // A font that is not installed stays chosen, shown in brackets.
        if (!combo->selectText(name)) {
            combo->addItem(L"[" + name + L"]", -1, NO_FONT);
            combo->setSelection(combo->getCount() - 1);
        }
    }
    int32_t size = clamp(settings.size, FONT_SIZE_MIN, FONT_SIZE_MAX);
    fillSizes(size);
    selectNumber(m_size, size);
    selectNumber(m_paddingTop, clamp(settings.paddingTop, 0, PADDING_MAX));
    selectNumber(m_paddingBottom, clamp(settings.paddingBottom, 0, PADDING_MAX));
}

FontDialog::Settings FontDialog::collect() const {
    Settings settings;
    if (!m_size)
        return settings;
    for (const afControlComboBox* combo : m_fonts) {
        std::wstring text = chosenText(combo);
        if (text.size() > 2 && text.front() == L'[' && text.back() == L']')
            settings.names.push_back(text.substr(1, text.size() - 2));
        else if (!text.empty())
            settings.names.push_back(text);
    }
    settings.size = m_size->getItemKey(m_size->getSelection(), DEFAULT_SIZE);
    settings.paddingTop = m_paddingTop->getItemKey(m_paddingTop->getSelection(), 0);
    settings.paddingBottom = m_paddingBottom->getItemKey(m_paddingBottom->getSelection(), 0);
    return settings;
}

} // namespace corvel
