#include "corvel/bundles/ThemeBundleItem.h"

#include "corvel/bundles/BundleEntryError.h"
#include "corvel/document/DocumentTheme.h"
#include "zem/base/Exception.h"

namespace corvel {

ThemeBundleItem::ThemeBundleItem(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid)
    : BundleItem(typeInfo, uuid), m_theme(std::make_shared<DocumentTheme>()) {}

ThemeBundleItem::~ThemeBundleItem() = default;

void ThemeBundleItem::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    BundleItem::readProperties(dictionary);
    if (!dictionary)
        return;
    try {
        m_theme->read(*dictionary);
    } catch (const zem::Exception& e) {
        getErrors().add(new BundleEntryError(ValidationError::ERROR_SEVERITY, e.message()));
    }
}

} // namespace corvel
