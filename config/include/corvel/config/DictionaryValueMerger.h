// A read-only dictionary over a stack of dictionaries: a key is answered by the topmost
// layer that has it, so later layers override earlier ones (user settings over defaults).
#pragma once
#include "zem/value/AbstractDictionaryValue.h"

#include <cstddef>
#include <vector>

namespace corvel {

class DictionaryValueMerger : public zem::AbstractDictionaryValue {
public:
    DictionaryValueMerger() = default;
    // Deletes the layers.
    ~DictionaryValueMerger() override;

    // Takes ownership and puts the layer on top; null keeps a place that every lookup skips.
    void addLayer(zem::AbstractDictionaryValue* layer);
    size_t getLayerCount() const { return m_layers.size(); }
    zem::AbstractDictionaryValue* getLayer(size_t index) const { return m_layers.at(index); }

    // The view cannot be changed: throws NotImplementedException "Not implemented".
    void set(const std::wstring& key, zem::Value* value, int32_t keyToken = 0) override;
    zem::Value* findTyped(const std::wstring& key, int32_t kind) const override;
    zem::Value* find(const std::wstring& key) const override;
    // Nor copied as a whole: throws NotImplementedException "Not implemented".
    zem::Value* clone() const override;

    // The topmost layer that has the key answers, even when its value is of another kind
    // (then null: no lower layer is asked). outLayer, when given, receives that layer's
    // index from the bottom; it is untouched when no layer has the key.
    zem::Value* findInLayers(const std::wstring& key, size_t* outLayer) const;
    zem::Value* findTypedInLayers(const std::wstring& key, int32_t kind, size_t* outLayer) const;

private:
    // Index of the topmost non-null layer that has the key, or -1.
    std::ptrdiff_t findLayer(const std::wstring& key) const;

    std::vector<zem::AbstractDictionaryValue*> m_layers; // owned, may be null; [0] is the bottom
};

} // namespace corvel
