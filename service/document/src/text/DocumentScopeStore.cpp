#include "corvel/document/DocumentScopeStore.h"

#include <atomic>
#include <new>

namespace corvel {

namespace {

const size_t INITIAL_BUCKETS = 8;

std::atomic<uint32_t> g_nextEpoch{1};

uint32_t internKey(uint16_t ruleId, uint16_t parentIndex) {
    return (uint32_t(ruleId) << 16) + parentIndex + 1;
}

} // namespace

DocumentScopeStore::DocumentScopeStore(Document* document)
    : m_document(document), m_interned(INITIAL_BUCKETS), m_epoch(g_nextEpoch++) {}

DocumentScopeStore::~DocumentScopeStore() {
    clear();
}

DocumentScope* DocumentScopeStore::create(uint16_t rootId, uint16_t ruleId, DocumentScope* parent,
                                          const wchar_t* name) {
    void* node = m_pool.allocate();
    try {
        DocumentScope* scope =
            new (node) DocumentScope(rootId, static_cast<uint16_t>(m_scopes.size()), ruleId, parent, name);
        m_scopes.push_back(scope);
        return scope;
    } catch (...) {
        m_pool.free(node);
        throw;
    }
}

DocumentScope* DocumentScopeStore::createRoot(uint16_t ruleId, const wchar_t* name) {
    clear();
    DocumentScope* root = create(ruleId, ruleId, nullptr, name);
    m_interned[ruleId] = 0;
    return root;
}

DocumentScope* DocumentScopeStore::intern(uint16_t ruleId, uint16_t parentIndex, const wchar_t* name) {
    const uint32_t key = internKey(ruleId, parentIndex);
    const auto found = m_interned.find(key);
    if (found != m_interned.end())
        return m_scopes[found->second];
    const uint16_t rootId = m_scopes.empty() ? 0 : m_scopes[0]->getRuleId();
    DocumentScope* scope = create(rootId, ruleId, getScope(parentIndex), name);
    m_interned[key] = scope->getIndex();
    return scope;
}

DocumentScope* DocumentScopeStore::getScope(uint16_t index) const {
    return index < m_scopes.size() ? m_scopes[index] : nullptr;
}

void DocumentScopeStore::clear() {
    for (DocumentScope* scope : m_scopes) {
        scope->~DocumentScope();
        m_pool.free(scope);
    }
    m_scopes.clear();
    m_interned.clear();
    m_interned.rehash(INITIAL_BUCKETS);
    m_epoch = g_nextEpoch++;
}

} // namespace corvel
