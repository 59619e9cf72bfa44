// One scope a grammar rule opened under a parent scope, stored once per document and
// named by its index in the document's scope store.
#pragma once
#include "corvel/document/ScopePath.h"
#include "zem/base/Object.h"

#include <cstdint>
#include <string>

namespace corvel {

class DocumentScope : public zem::Object {
public:
    DocumentScope(uint16_t rootId, uint16_t index, uint16_t ruleId, DocumentScope* parent, const wchar_t* name);
    ~DocumentScope() override;

    uint16_t getRootId() const { return m_rootId; }
    uint16_t getIndex() const { return m_index; }
    uint16_t getRuleId() const { return m_ruleId; }
    DocumentScope* getParent() const { return m_parent; }
    const std::wstring& getName() const { return m_name; }
    // The non-empty names of this scope and its ancestors, innermost first.
    const ScopePath& getPath() const { return m_path; }

private:
    uint16_t m_rootId;
    uint16_t m_index;
    uint16_t m_ruleId;
    DocumentScope* m_parent; // null for the root
    std::wstring m_name;
    ScopePath m_path;
};

} // namespace corvel
