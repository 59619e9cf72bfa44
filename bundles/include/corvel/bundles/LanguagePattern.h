// One node of a grammar's pattern tree: a single match, a begin/end region, an include
// of other patterns, or a plain group. Read from and written to the pattern dictionaries
// of a grammar file; the grammar itself (Language) is the root node.
#pragma once
#include "corvel/text/RegExLiteral.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zem {
class AbstractDictionaryValue;
class DictionaryValue;
class ListValue;
} // namespace zem

namespace corvel {

typedef std::map<int32_t, std::wstring> CaptureNames; // group number -> scope name

class LanguagePattern {
public:
    static constexpr uint32_t TYPE_ID = 0xddd694c2u;

    enum Kind : int32_t { KIND_ROOT = 0, KIND_MATCH = 1, KIND_BEGIN_END = 2, KIND_INCLUDE = 3, KIND_GROUP = 4, KIND_INVALID = 5 };
    enum IncludeKind : int32_t { INCLUDE_NONE = 0, INCLUDE_BASE = 1, INCLUDE_SELF = 2, INCLUDE_GRAMMAR = 3, INCLUDE_REPOSITORY = 4 };

    LanguagePattern(const std::wstring& repositoryKey, LanguagePattern* parent, int32_t index);
    virtual ~LanguagePattern();
    LanguagePattern(const LanguagePattern&) = delete;
    LanguagePattern& operator=(const LanguagePattern&) = delete;

    // Empties the patterns (a grammar also its repository).
    virtual void clear();
    // Deletes the inject group and every child.
    void clearPatterns();

    // Reads one node; false when it ends invalid. The list cases of a malformed file throw
    // IllegalStateException "Unexpected state".
    bool read(const zem::AbstractDictionaryValue& dictionary, bool asRoot);
    bool readPatterns(const zem::ListValue& list);
    // False only for an invalid node.
    bool write(zem::DictionaryValue& dictionary) const;
    // "parent > name#key#index", made once and kept.
    const std::wstring& getPath() const;

    Kind getKind() const { return m_kind; }
    IncludeKind getIncludeKind() const { return m_includeKind; }
    const std::wstring& getIncludeTarget() const { return m_includeTarget; }
    const LanguagePattern* getInjectGroup() const { return m_injectGroup.get(); }
    const std::wstring& getName() const { return m_name; }
    void setName(const std::wstring& name) { m_name = name; }
    const std::wstring& getContentName() const { return m_contentName; }
    const CaptureNames& getCaptures() const { return m_captures; }
    const CaptureNames& getBeginCaptures() const { return m_beginCaptures; }
    const CaptureNames& getEndCaptures() const { return m_endCaptures; }
    const RegExLiteral& getMatch() const { return m_match; }
    const RegExLiteral& getBegin() const { return m_begin; }
    const RegExLiteral& getEnd() const { return m_end; }
    const std::vector<std::unique_ptr<LanguagePattern>>& getPatterns() const { return m_patterns; }
    int32_t getIndex() const { return m_index; }
    const std::wstring& getRepositoryKey() const { return m_repositoryKey; }
    LanguagePattern* getParent() const { return m_parent; }

protected:
    void setKind(Kind kind) { m_kind = kind; }
    bool readName(const zem::AbstractDictionaryValue& dictionary);

private:
    bool readRegEx(const zem::AbstractDictionaryValue& dictionary, const wchar_t* key, RegExLiteral& out);
    bool readCaptures(const zem::AbstractDictionaryValue& dictionary, const wchar_t* key, CaptureNames& out);
    void readInject(const zem::ListValue& list);

    IncludeKind m_includeKind = INCLUDE_NONE;
    std::wstring m_includeTarget; // scope name, or repository key without "#"
    std::unique_ptr<LanguagePattern> m_injectGroup; // include patterns only
    std::wstring m_contentName;
    CaptureNames m_beginCaptures;
    CaptureNames m_endCaptures;
    CaptureNames m_captures;
    RegExLiteral m_match;
    RegExLiteral m_begin;
    RegExLiteral m_end;
    Kind m_kind = KIND_INVALID;
    std::vector<std::unique_ptr<LanguagePattern>> m_patterns;
    std::wstring m_name;
    int32_t m_index;
    std::wstring m_repositoryKey;
    LanguagePattern* m_parent; // not owned; null for the root and inject groups' owners
    mutable std::wstring m_path; // cached; empty until first asked
};

} // namespace corvel
