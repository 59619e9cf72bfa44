// New entries: the new-entry dialog behind "New item", Ctrl+N and the "Add item" menus.
#include "corvel/workspace/BundleEditor.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afMenu.h"
#include "corvel/workspace/BundleEntryDialog.h"

#include <algorithm>

namespace corvel {

namespace {

// An "Add item" entry: a new entry of its kind in its bundle, selected in the item list.
class AddItemEntry : public afMenuItem {
public:
    AddItemEntry(const std::wstring& text, const afIcon* icon, BundleEditor* editor, Bundle* bundle, uint32_t typeId)
        : afMenuItem(text, ITEM, std::wstring(), const_cast<afIcon*>(icon)), m_editor(editor), m_bundle(bundle),
          m_typeId(typeId) {}
    void activate(void*) override {
        if (BundleEntry* entry = m_editor->newEntry(m_bundle, m_typeId))
            m_editor->selectInAllItems(entry);
    }

private:
    BundleEditor* m_editor;
    Bundle* m_bundle;
    uint32_t m_typeId;
};

} // namespace

BundleEntry* BundleEditor::newEntry(Bundle* bundle, uint32_t typeId) {
    BundleEntryDialog* dialog = BundleEntryDialog::create(this, m_managers.bundles, typeId, bundle);
    if (!dialog)
        return nullptr;
    uint32_t result = dialog->runModal();
    std::wstring title = dialog->getEntryTitle();
    uint32_t chosenType = dialog->getEntryType();
    Bundle* chosenBundle = dialog->getBundle();
    if (HWND handle = dialog->getHandle())
        DestroyWindow(handle);
    delete dialog;
    if (result != RESULT_OK)
        return nullptr;
    return createEntry(title, chosenType, chosenBundle);
}

afMenu* BundleEditor::buildAddItemMenu(Bundle* bundle, afMenu* menu, bool separatorFirst, bool prefix) {
    if (!menu) {
        menu = afMenu::createPopup(L"Add item");
        if (!menu)
            return nullptr;
    }
    std::vector<BundleEntryTypeInfo> types;
    if (m_managers.bundles)
        m_managers.bundles->getEntryTypes(types);
    std::sort(types.begin(), types.end(), TypeInfoLess{separatorFirst});
    for (const BundleEntryTypeInfo& type : types) {
        bool isBundle = type.typeId == BUNDLE_TYPE_ID;
        if (isBundle && separatorFirst)
            menu->addSeparator();
        std::wstring text = prefix ? L"Add " + type.label : type.label;
        const afIcon* icon = afResources::exists() ? afResources::find(type.typeId) : nullptr;
        menu->addItem(new AddItemEntry(text, icon, this, bundle, type.typeId));
        if (isBundle && !separatorFirst)
            menu->addSeparator();
    }
    return menu;
}

} // namespace corvel
