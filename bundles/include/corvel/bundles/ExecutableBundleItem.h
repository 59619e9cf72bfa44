// An item the user runs: typed before the tab key (its tab trigger), by its key shortcut,
// where its scope selector applies; its content is its body. Snippets derive from it.
#pragma once
#include "corvel/bundles/BundleItem.h"

namespace corvel {

class ExecutableBundleItem : public BundleItem {
public:
    ExecutableBundleItem(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid) : BundleItem(typeInfo, uuid) {}

    // "title", then "tab_trigger", "scope", "content" (line breaks made LF) and "shortcut"
    // (or the older "key_equivalent"), each only when present as a string.
    void readProperties(const zem::AbstractDictionaryValue* dictionary) override;
    // "title", then the non-empty ones of "tab_trigger", "shortcut", "scope", "content".
    void writeProperties(zem::DictionaryValue* dictionary) const override;
    // The kind's validator, or the executable items' one when the kind has none.
    BundleEntryValidator& getValidator() const override;
    // The content changed: parsed forms of it are stale.
    virtual void dropParsedContent() {}

    const std::wstring& getTabTrigger() const { return m_tabTrigger; }
    const std::wstring& getShortcut() const { return m_shortcut; }
    const std::wstring& getScope() const { return m_scope; }
    const std::wstring& getContent() const { return m_content; }

private:
    std::wstring m_tabTrigger;
    std::wstring m_shortcut; // key names joined with "+"
    std::wstring m_scope;    // scope selector text
    std::wstring m_content;  // line breaks are LF
};

} // namespace corvel
