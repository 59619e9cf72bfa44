#include "corvel/workspace/BundleEntryDialog.h"

#include "RegisteredIcon.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleEntryTypeInfo.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/widgets/afControlButton.h"
#include "corvel/widgets/afControlComboBox.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afImageList.h"
#include "corvel/widgets/afLabel.h"
#include "zem/base/Exception.h"
#include "zem/base/Format.h"
#include "zem/log/LogManager.h"
#include "zem/text/Inflector.h"

#include <algorithm>
#include <cwchar>

namespace corvel {

namespace {

constexpr int LABEL_STYLE = 2;
constexpr int FIELD_SPACING = 10; // above each chooser's label
const wchar_t TITLE_PROMPT[] = L"Please, enter &title:";
const wchar_t EMPTY_TITLE[] = L"Title should not be empty.";
const wchar_t NO_TYPE_TITLE[] = L"New item";

// A 16 x 16 list for a chooser's icons, which the chooser owns.
HIMAGELIST makeImageList() {
    afImageList list;
    return list.create() ? list.release() : nullptr;
}

int addIcon(HIMAGELIST list, uint32_t id) {
    const afIcon* icon = registeredIcon(id);
    if (!list || !icon)
        return -1;
    return ImageList_AddIcon(list, icon->getHandle());
}

std::wstring shownTypeName(const BundleEntryTypeInfo& info) {
    std::wstring name = info.name;
    zem::Inflector::capitalize(name);
    return name;
}

} // namespace

BundleEntryDialog::BundleEntryDialog(afView* owner, BundleManager* manager, uint32_t type, Bundle* bundle,
                                     const std::wstring& title)
    : StringDialog(owner, true), m_manager(manager), m_presetTitle(title), m_type(type), m_bundle(bundle) {}

BundleEntryDialog* BundleEntryDialog::create(afView* owner, BundleManager* manager, uint32_t type, Bundle* bundle,
                                             const std::wstring& title) {
    auto* dialog = new BundleEntryDialog(owner, manager, type, bundle, title);
    dialog->afViewPlatform::create();
    return dialog;
}

void BundleEntryDialog::onCreated() {
    StringDialog::onCreated();
    setPrompt(TITLE_PROMPT);
    setValidator(this, &BundleEntryDialog::validateTitle);
    m_types = addChooser(L"&Select type:");
    m_bundles = addChooser(L"Select &bundle:");
    fillTypes();
    fillBundles();
    m_ok = addButton(L"&OK", RESULT_OK, true);
    addButton(L"&Cancel", RESULT_CANCEL, false);
    m_types->setSelection(m_types->findItemByData(static_cast<int>(m_type)));
    selectBundle(m_bundle);
    m_types->selectionCallback.set(this, &BundleEntryDialog::onTypeChosen);
    m_bundles->selectionCallback.set(this, &BundleEntryDialog::onBundleChosen);
    typeChanged();
    setValue(m_presetTitle);
    focusWholeTitle();
}

afControlComboBox* BundleEntryDialog::addChooser(const std::wstring& text) {
    afLabel* label = addLabel(text, LABEL_STYLE, 1, afLabel::WRAP_WORDS);
    label->setPadding(0, FIELD_SPACING, 0, label->getPadding().bottom);
    afControlComboBox* chooser = afControlComboBox::create(this, true);
    chooser->setImageList(makeImageList(), true);
    // The label's parent is the box's text column, a linear layout.
    static_cast<afLayoutLinear*>(label->getParent())
        ->addChild(chooser, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
    label->setPartner(chooser);
    return chooser;
}

void BundleEntryDialog::fillTypes() {
    std::vector<BundleEntryTypeInfo> types;
    if (m_manager)
        m_manager->getEntryTypes(types);
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(m_types->sendMessage(CBEM_GETIMAGELIST, 0, 0));
    for (const BundleEntryTypeInfo& info : types)
        m_types->addItem(shownTypeName(info), addIcon(list, info.typeId), static_cast<int>(info.typeId));
}

void BundleEntryDialog::fillBundles() {
    if (m_manager)
        m_manager->getBundles(m_bundleChoices);
    std::stable_sort(m_bundleChoices.begin(), m_bundleChoices.end(), [](Bundle* a, Bundle* b) {
        return _wcsicmp(a->getDisplayTitle().c_str(), b->getDisplayTitle().c_str()) < 0;
    });
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(m_bundles->sendMessage(CBEM_GETIMAGELIST, 0, 0));
    int image = addIcon(list, BUNDLE_TYPE_ID);
    for (size_t i = 0; i < m_bundleChoices.size(); ++i)
        m_bundles->addItem(m_bundleChoices[i]->getDisplayTitle(), image, static_cast<int>(i));
}

void BundleEntryDialog::selectBundle(Bundle* bundle) {
    auto found = std::find(m_bundleChoices.begin(), m_bundleChoices.end(), bundle);
    int index = bundle && found != m_bundleChoices.end() ? static_cast<int>(found - m_bundleChoices.begin()) : -1;
    m_bundles->setSelection(index < 0 ? -1 : m_bundles->findItemByData(index));
}

uint32_t BundleEntryDialog::chosenType() const {
    int index = m_types ? m_types->getSelection() : -1;
    if (index < 0)
        return NO_ENTRY_TYPE;
    return static_cast<uint32_t>(m_types->getItemKey(index, static_cast<int>(NO_ENTRY_TYPE)));
}

Bundle* BundleEntryDialog::chosenBundle() const {
    int index = m_bundles ? m_bundles->getSelection() : -1;
    if (index < 0)
        return nullptr;
    int key = m_bundles->getItemKey(index, -1);
    if (key < 0 || key >= static_cast<int>(m_bundleChoices.size()))
        return nullptr;
    return m_bundleChoices[static_cast<size_t>(key)];
}

void BundleEntryDialog::typeChanged() {
    uint32_t type = chosenType();
    const BundleEntryTypeInfo* info = type == NO_ENTRY_TYPE || !m_manager ? nullptr : m_manager->getEntryManager(type);
    if (info) {
        std::wstring name = info->name;
        zem::Inflector::toLower(name);
        setIcon(registeredIcon(ADD_ICON));
        m_ok->setText(zem::format(L"C&reate %s", name.c_str()).c_str());
        setTitle(zem::format(L"New %s", name.c_str()).c_str());
        needLayout("BundleEntryDialog::typeChanged");
    } else {
        setTitle(NO_TYPE_TITLE);
    }
    if (type == BUNDLE_TYPE_ID) {
        // A bundle goes in no bundle: the chosen one comes back when an item kind is chosen.
        if (Bundle* chosen = chosenBundle())
            m_remembered = chosen;
        m_bundles->setSelection(-1);
        m_bundles->setEnabled(false);
    } else {
        m_bundles->setEnabled(true);
        if (m_remembered) {
            selectBundle(m_remembered);
            m_remembered = nullptr;
        }
    }
    updateOk();
}

void BundleEntryDialog::updateOk() {
    uint32_t type = chosenType();
    // Creating needs a kind, and an item a bundle to go in.
    bool ready = type != NO_ENTRY_TYPE && (type == BUNDLE_TYPE_ID || chosenBundle() != nullptr);
    m_ok->setEnabled(ready);
}

void BundleEntryDialog::onTypeChosen(void* self, afControlComboBox*) {
    try {
        static_cast<BundleEntryDialog*>(self)->typeChanged();
    } catch (const zem::Exception& e) {
        std::wstring text = e.message();
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"BundleEntryDialog: %s\n", text.c_str());
    }
}

void BundleEntryDialog::onBundleChosen(void* self, afControlComboBox*) {
    static_cast<BundleEntryDialog*>(self)->updateOk();
}

bool BundleEntryDialog::isUsableTitle(const std::wstring& title) {
    std::wstring kept = title;
    zem::Inflector::filter(kept, &zem::Inflector::isWordCharacter);
    return !kept.empty();
}

bool BundleEntryDialog::validateTitle(void*, const std::wstring& title, std::wstring* error) {
    if (isUsableTitle(title))
        return true;
    if (error)
        *error = EMPTY_TITLE;
    return false;
}

void BundleEntryDialog::onButtonClicked(afControlButton* button) {
    // A disabled OK can still be pressed through the default button's key.
    if (button == m_ok && !m_ok->isEnabled())
        return;
    StringDialog::onButtonClicked(button);
}

void BundleEntryDialog::focusWholeTitle() {
    afControlEdit* edit = getEdit();
    edit->requestFocus();
    if (edit->getHandle() && GetFocus() != edit->getHandle())
        SetFocus(edit->getHandle());
    edit->selectAll();
}

void BundleEntryDialog::leaveModal() {
    if (getEdit() && getEdit()->getHandle()) {
        m_type = chosenType();
        m_bundle = m_type == BUNDLE_TYPE_ID ? nullptr : chosenBundle();
    }
    StringDialog::leaveModal();
}

} // namespace corvel
