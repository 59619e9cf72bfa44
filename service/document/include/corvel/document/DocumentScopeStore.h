// A document's scopes: each distinct (grammar rule, parent scope) pair once, named by a
// 16-bit index that the parser's line results refer to. Index 0 is the root scope,
// named after the document's grammar.
#pragma once
#include "corvel/document/DocumentScope.h"
#include "zem/base/Allocator.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace corvel {

class Document;

class DocumentScopeStore {
public:
    explicit DocumentScopeStore(Document* document);
    ~DocumentScopeStore();
    DocumentScopeStore(const DocumentScopeStore&) = delete;
    DocumentScopeStore& operator=(const DocumentScopeStore&) = delete;

    DocumentScope* createRoot(uint16_t ruleId, const wchar_t* name);
    // The scope of (rule, parent), created on first use. The name takes no part in the
    // key; a parent index beyond the store gives a scope without parent.
    DocumentScope* intern(uint16_t ruleId, uint16_t parentIndex, const wchar_t* name);
    // Null when the index is not in the store.
    DocumentScope* getScope(uint16_t index) const;
    size_t size() const { return m_scopes.size(); }
    void clear();
    // Unique in the process to this store's contents since its last clear: a cache of its
    // indices stays good while the epoch does.
    uint32_t getEpoch() const { return m_epoch; }

    // For tests: the node pool's chunks and its spare empty ones.
    size_t getPoolChunkCount() const { return m_pool.blockCount(); }
    int getPoolSpareCount() const { return m_pool.supplyDepot(); }

private:
    typedef zem::TAllocator<sizeof(DocumentScope), 40, 2> NodePool;

    DocumentScope* create(uint16_t rootId, uint16_t ruleId, DocumentScope* parent, const wchar_t* name);

    Document* m_document;
    NodePool m_pool;
    std::vector<DocumentScope*> m_scopes;              // entry i has index i; nodes from m_pool
    std::unordered_map<uint32_t, uint16_t> m_interned; // (rule << 16) + parent + 1, or the root's rule
    uint32_t m_epoch;
};

} // namespace corvel
