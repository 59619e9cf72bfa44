#include "corvel/bundles/ExecutableBundleItem.h"

#include "corvel/bundles/BundleEntryValidator.h"
#include "corvel/text/StringUtils.h"
#include "zem/base/Assert.h"
#include "zem/value/Values.h"

namespace corvel {

void ExecutableBundleItem::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    BundleItem::readProperties(dictionary);
    std::wstring text;
    if (dictionary->getStringAt(L"tab_trigger", &text))
        m_tabTrigger = text;
    if (dictionary->getStringAt(L"scope", &text))
        m_scope = text;
    if (dictionary->getStringAt(L"content", &text)) {
        std::wstring content;
        normalizeLineBreaks(text.c_str(), text.size(), content);
        if (content != m_content) {
            m_content.swap(content);
            dropParsedContent();
        }
    }
    if (dictionary->getStringAt(L"shortcut", &text) ||
        (!dictionary->find(L"shortcut") && dictionary->getStringAt(L"key_equivalent", &text)))
        m_shortcut = text;
}

void ExecutableBundleItem::writeProperties(zem::DictionaryValue* dictionary) const {
    BundleItem::writeProperties(dictionary);
    const std::pair<const wchar_t*, const std::wstring*> fields[] = {
        {L"tab_trigger", &m_tabTrigger}, {L"shortcut", &m_shortcut}, {L"scope", &m_scope}, {L"content", &m_content}};
    for (const auto& field : fields) {
        if (!field.second->empty())
            dictionary->set(field.first, zem::createStringValue(*field.second));
    }
}

BundleEntryValidator& ExecutableBundleItem::getValidator() const {
    static ExecutableBundleItemValidator executable;
    if (getTypeInfo()->validator)
        return *getTypeInfo()->validator;
    return executable;
}

} // namespace corvel
