#include "corvel/bundles/ScopePreferencesBundleItem.h"

#include "zem/log/LogManager.h"
#include "zem/value/Values.h"

namespace corvel {

namespace {

std::wstring stringOf(const zem::Value* value) {
    std::wstring text;
    if (value && value->kind() == zem::Value::KIND_STRING)
        value->getString(&text);
    return text;
}

// A pair from one element, or false for an element of another shape.
bool readPair(const zem::Value* element, ScopePair& pair) {
    if (element->kind() != zem::Value::KIND_LIST)
        return false;
    const zem::ListValue* items = static_cast<const zem::ListValue*>(element);
    if (items->size() < 2 || items->at(0)->kind() != zem::Value::KIND_STRING ||
        items->at(1)->kind() != zem::Value::KIND_STRING)
        return false;
    std::wstring opening = stringOf(items->at(0)), closing = stringOf(items->at(1));
    if (opening.size() != 1 || closing.size() != 1)
        return false;
    pair = ScopePair{opening[0], closing[0], false};
    for (size_t i = 2; i < items->size(); ++i)
        pair.block = pair.block || stringOf(items->at(i)) == L"block";
    return true;
}

} // namespace

void ScopePreferencesBundleItem::readProperties(const zem::AbstractDictionaryValue* dictionary) {
    m_scope.clear();
    m_pairs.clear();
    BundleItem::readProperties(dictionary);
    if (!dictionary)
        return;
    m_scope = stringOf(dictionary->find(L"scope"));
    const zem::DictionaryValue* settings = dictionary->findDictionary(L"settings");
    const zem::ListValue* pairs = settings ? settings->findList(L"pairs") : nullptr;
    if (!pairs)
        return;
    for (size_t i = 0; i < pairs->size(); ++i) {
        ScopePair pair;
        if (readPair(pairs->at(i), pair)) {
            m_pairs.push_back(pair);
            continue;
        }
        zem::logMessage(
            zem::LOG_WARNING, BUNDLES_LOG_SOURCE,
            L"ScopePreferencesBundleItem: pair %d of `%s` skipped: two texts of one character each are needed.",
            static_cast<int>(i), getTitle().c_str());
    }
}

void ScopePreferencesBundleItem::writeProperties(zem::DictionaryValue* dictionary) const {
    BundleItem::writeProperties(dictionary);
    dictionary->set(L"scope", zem::createStringValue(m_scope));
    zem::DictionaryValue* settings = new zem::DictionaryValue;
    dictionary->set(L"settings", settings);
    if (m_pairs.empty())
        return;
    zem::ListValue* pairs = new zem::ListValue;
    settings->set(L"pairs", pairs);
    for (const ScopePair& pair : m_pairs) {
        zem::ListValue* element = new zem::ListValue;
        element->append(zem::createStringValue(std::wstring(1, pair.opening)));
        element->append(zem::createStringValue(std::wstring(1, pair.closing)));
        if (pair.block)
            element->append(new zem::StringValue(L"block", zem::StringValue::STYLE_SYMBOL));
        pairs->append(element);
    }
}

} // namespace corvel
