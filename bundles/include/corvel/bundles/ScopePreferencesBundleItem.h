// A scope preferences entry: which characters come in pairs inside a scope (typing the
// opening one brings the closing one; a block pair opens lines between them).
#pragma once
#include "corvel/bundles/BundleItem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

// Log source of the bundle code ("bundles").
constexpr uint32_t BUNDLES_LOG_SOURCE = 0xd8a73a98u;

struct ScopePair {
    wchar_t opening;
    wchar_t closing;
    bool block;
};

class ScopePreferencesBundleItem : public BundleItem {
public:
    ScopePreferencesBundleItem(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid)
        : BundleItem(typeInfo, uuid) {}

    // "scope" and "settings"/"pairs": each pair element a list of an opening and a closing
    // text of exactly one unit each, and "block" among any further elements. Elements of
    // another shape are skipped and logged.
    void readProperties(const zem::AbstractDictionaryValue* dictionary) override;
    // "scope", and "settings" with "pairs" when there are any ("block" as a bare word).
    void writeProperties(zem::DictionaryValue* dictionary) const override;

    const std::wstring& getScope() const { return m_scope; }
    const std::vector<ScopePair>& getPairs() const { return m_pairs; }

    // Names of the actions made for the pairs while installed.
    std::vector<std::wstring>& installedActions() { return m_installedActions; }

private:
    std::wstring m_scope; // scope selector text
    std::vector<ScopePair> m_pairs;
    std::vector<std::wstring> m_installedActions;
};

} // namespace corvel
