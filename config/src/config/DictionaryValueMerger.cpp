#include "corvel/config/DictionaryValueMerger.h"

#include "zem/base/Exception.h"

#include <memory>

namespace corvel {

DictionaryValueMerger::~DictionaryValueMerger() {
    for (zem::AbstractDictionaryValue* layer : m_layers)
        delete layer;
}

void DictionaryValueMerger::addLayer(zem::AbstractDictionaryValue* layer) {
    std::unique_ptr<zem::AbstractDictionaryValue> owned(layer);
    m_layers.push_back(layer);
    owned.release();
}

void DictionaryValueMerger::set(const std::wstring&, zem::Value* value, int32_t) {
    // The caller handed over the value: it must not leak when the view refuses it.
    delete value;
    throw zem::NotImplementedException(L"Not implemented");
}

zem::Value* DictionaryValueMerger::clone() const {
    throw zem::NotImplementedException(L"Not implemented");
}

std::ptrdiff_t DictionaryValueMerger::findLayer(const std::wstring& key) const {
    for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(m_layers.size()) - 1; i >= 0; --i) {
        const zem::AbstractDictionaryValue* layer = m_layers[static_cast<size_t>(i)];
        if (layer && layer->find(key))
            return i;
    }
    return -1;
}

zem::Value* DictionaryValueMerger::findInLayers(const std::wstring& key, size_t* outLayer) const {
    std::ptrdiff_t index = findLayer(key);
    if (index < 0)
        return nullptr;
    if (outLayer)
        *outLayer = static_cast<size_t>(index);
    return m_layers[static_cast<size_t>(index)]->find(key);
}

zem::Value* DictionaryValueMerger::findTypedInLayers(const std::wstring& key, int32_t kind, size_t* outLayer) const {
    std::ptrdiff_t index = findLayer(key);
    if (index < 0)
        return nullptr;
    if (outLayer)
        *outLayer = static_cast<size_t>(index);
    return m_layers[static_cast<size_t>(index)]->findTyped(key, kind);
}

zem::Value* DictionaryValueMerger::findTyped(const std::wstring& key, int32_t kind) const {
    return findTypedInLayers(key, kind, nullptr);
}

zem::Value* DictionaryValueMerger::find(const std::wstring& key) const {
    return findInLayers(key, nullptr);
}

} // namespace corvel
