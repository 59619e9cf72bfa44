// The bundle item of one theme: its dictionary is read into a DocumentTheme that stylers
// and views share. The theme object lives as long as its last holder.
#pragma once
#include "corvel/bundles/BundleItem.h"

#include <memory>

namespace corvel {

class DocumentTheme;

class ThemeBundleItem : public BundleItem {
public:
    ThemeBundleItem(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid);
    ~ThemeBundleItem() override;

    // The item's properties, then the theme from the same dictionary. The theme keeps its
    // identity, so every holder sees the new colours and rules; a theme that fails to
    // read is an entry error.
    void readProperties(const zem::AbstractDictionaryValue* dictionary) override;
    // Writing keeps the plain item's properties only: theme entries are edited as
    // source text.

    // Never empty.
    std::shared_ptr<DocumentTheme> getTheme() const { return m_theme; }

private:
    std::shared_ptr<DocumentTheme> m_theme;
};

} // namespace corvel
