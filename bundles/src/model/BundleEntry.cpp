#include "corvel/bundles/BundleEntry.h"

#include "corvel/bundles/BundleEntryValidator.h"
#include "zem/base/Assert.h"
#include "zem/jasmine/JasmineTokenStore.h"
#include "zem/value/Values.h"

namespace corvel {

BundleEntry::Source::Source() = default;
BundleEntry::Source::~Source() = default;

BundleEntry::BundleEntry(const BundleEntryTypeInfo* typeInfo, const zem::Uuid& uuid)
    : m_typeInfo(typeInfo), m_uuid(uuid) {
    ZEM_ASSERT_MSG(typeInfo != nullptr, L"typeInfo != NULL");
}

BundleEntry::~BundleEntry() = default;

uint32_t BundleEntry::getType() const {
    return m_typeInfo->typeId;
}

void BundleEntry::initFromTemplate(const std::wstring& title) {
    setTitle(title);
}

BundleEntryValidator& BundleEntry::getValidator() const {
    static BundleEntryValidator plain;
    if (m_typeInfo->validator)
        return *m_typeInfo->validator;
    return plain;
}

void BundleEntry::beginUpdate() {
    if (m_updateDepth == 0 && m_installed && !m_onUpdateBegin.empty())
        m_onUpdateBegin.invoke(this);
    ++m_updateDepth;
}

void BundleEntry::endUpdate() {
    ZEM_ASSERT_MSG(m_updateDepth > 0, L"m_updateDepth > 0");
    --m_updateDepth;
    if (m_updateDepth == 0 && m_installed && !m_onUpdateEnd.empty())
        m_onUpdateEnd.invoke(this);
}

bool BundleEntry::setTitle(const std::wstring& title) {
    if (!canModify())
        return false;
    if (title == m_title)
        return true;
    m_title = title;
    setModified();
    return true;
}

void BundleEntry::setModified() {
    if (m_modified)
        return;
    m_modified = true;
    m_onModifiedChanged.invoke(this);
}

void BundleEntry::clearModified() {
    if (!m_modified)
        return;
    m_modified = false;
    m_onModifiedChanged.invoke(this);
}

void BundleEntry::setLoaded() {
    if (m_loaded)
        return;
    m_loaded = true;
    m_onLoaded.invoke(this);
}

void BundleEntry::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    zem::throwIfNull(dictionary);
    std::wstring title;
    if (dictionary->getStringAt(L"title", &title) && !title.empty())
        setTitle(title);
}

void BundleEntry::writeProperties(zem::DictionaryValue* dictionary) const {
    zem::throwIfNull(dictionary);
    dictionary->set(L"title", zem::createStringValue(m_title));
}

std::wstring BundleEntry::getDisplayTitle() const {
    if (!m_title.empty())
        return m_title;
    if (const BundleEntryLocation* location = getLocation()) {
        const EntryFileName& part = isBundle() ? location->bundle : location->item;
        if (!part.name.empty())
            return part.name;
    }
    return L"<unset>";
}

const BundleEntryLocation* BundleEntry::getLocation() const {
    for (size_t i = m_locations.size(); i > 0; --i) {
        if (!m_locations[i - 1].bundle.isEmpty())
            return &m_locations[i - 1];
    }
    return nullptr;
}

BundleEntryEditorFactory BundleEntry::getEditorFactory() {
    if (!m_typeInfo->manager)
        return nullptr;
    return m_typeInfo->manager->getEditorFactory(this);
}

} // namespace corvel
