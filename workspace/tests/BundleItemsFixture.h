// The bundle editor's fixture with every item kind registered (plain grammars and scope
// preferences beside the real snippets and the plain themes) and helpers that install
// bundles and items straight into the manager, as a load or a save would, without files.
#pragma once
#include "BundleEditorFixture.h"

#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afMenu.h"

#include <memory>
#include <string>
#include <vector>

namespace workspacetest {

// A view whose context menu the test answers: it records the entries shown ("-" for a
// separator) and chooses the one titled choose, or none.
template <class View> class MenuAnswered : public View {
public:
    using View::View;
    std::wstring choose;
    std::vector<std::wstring> shown;

protected:
    corvel::afMenuNode* runMenu(corvel::afMenu* menu, int, int) override {
        shown.clear();
        corvel::afMenuNode* chosen = nullptr;
        for (corvel::afMenuNode* node : menu->children()) {
            shown.push_back(node->getKind() == corvel::afMenuNode::SEPARATOR ? L"-" : node->getTitle());
            if (node->getTitle() == choose)
                chosen = node;
        }
        return chosen;
    }
};

class BundleItemsFixture : public BundleEditorFixture {
protected:
    void SetUp() override {
        BundleEditorFixture::SetUp();
        ASSERT_TRUE(m_manager->registerEntryManager(new bundletest::ItemKindManager(*m_manager,
                                                                                  corvel::LANGUAGE_TYPE_ID)));
        ASSERT_TRUE(m_manager->registerEntryManager(
            new bundletest::ItemKindManager(*m_manager, corvel::SCOPE_PREFERENCES_TYPE_ID)));
        registerSystemIcon(corvel::BUNDLE_TYPE_ID, IDI_APPLICATION);
        registerSystemIcon(corvel::SNIPPET_TYPE_ID, IDI_INFORMATION);
        registerSystemIcon(WARNING_ICON_ID, IDI_WARNING);
    }

    // Registered once per program, as the program registers its icons at start.
    static void registerSystemIcon(uint32_t id, LPCWSTR which) {
        if (!corvel::afResources::find(id))
            corvel::afResources::add(id, std::make_unique<corvel::afIcon>(LoadIconW(nullptr, which), 16, false));
    }

    // A view of the host goes with its window; the host frees the object.
    void closeView(corvel::afViewPlatform* view) {
        if (view && view->getHandle())
            DestroyWindow(view->getHandle());
    }

    corvel::Bundle* addBundle(const std::wstring& title, int n) {
        auto* bundle = static_cast<corvel::Bundle*>(m_manager->createEntry(corvel::BUNDLE_TYPE_ID, uuid(n)));
        bundle->setTitle(title);
        bundle->clearModified(); // as loaded from its file
        m_manager->addEntry(bundle);
        bundle->release();
        return bundle;
    }
    corvel::BundleItem* addItem(corvel::Bundle* bundle, uint32_t type, const std::wstring& title, int n) {
        auto* item = static_cast<corvel::BundleItem*>(m_manager->createEntry(type, uuid(n)));
        if (!title.empty())
            item->setTitle(title);
        bundle->addEntry(item);
        item->clearModified();
        m_manager->addEntry(item);
        item->release();
        return item;
    }

    static constexpr uint32_t WARNING_ICON_ID = 0x904d7367u;
};

} // namespace workspacetest
