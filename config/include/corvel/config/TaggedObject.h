// Base of the product's objects that other parts annotate with data of their own
// (controllers, menu nodes, tree items, bundle entries...): a map from 32-bit tag keys,
// usually symbol ids, to pointers the object does not own. The map is made on first use,
// so untagged objects pay one pointer.
#pragma once
#include "zem/base/Object.h"

#include <cstdint>
#include <map>
#include <memory>

namespace corvel {

class TaggedObject : public zem::Object {
public:
    TaggedObject() = default;
    // Tags point at data that belongs to someone else: a copy starts untagged.
    TaggedObject(const TaggedObject&) : zem::Object() {}
    TaggedObject& operator=(const TaggedObject&) { return *this; }

    // Replaces the entry under key; with null data only removes it and returns whether
    // there was one.
    bool setTag(uint32_t key, void* data);
    bool removeTag(uint32_t key);
    void* getTag(uint32_t key) const;
    bool hasTags() const { return m_tags != nullptr; }

private:
    std::unique_ptr<std::map<uint32_t, void*>> m_tags; // null until the first setTag with data
};

} // namespace corvel
