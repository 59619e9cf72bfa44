#include "corvel/document/DocumentScope.h"

namespace corvel {

DocumentScope::DocumentScope(uint16_t rootId, uint16_t index, uint16_t ruleId, DocumentScope* parent,
                             const wchar_t* name)
    : m_rootId(rootId), m_index(index), m_ruleId(ruleId), m_parent(parent), m_name(name ? name : L"") {
    for (const DocumentScope* scope = this; scope != nullptr; scope = scope->m_parent)
        m_path.push(scope->m_name.c_str(), static_cast<uint32_t>(scope->m_name.size()), true);
}

DocumentScope::~DocumentScope() = default;

} // namespace corvel
