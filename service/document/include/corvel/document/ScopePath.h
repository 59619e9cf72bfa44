// Where something stands, as scope names from the innermost (atom 0) to the outermost:
// the grammar scopes at a text position widened by user-interface atoms. Themes,
// preferences and key bindings are picked by matching scope selectors against it; an
// atom may carry an object, so a path doubles as a chain of context objects.
//
// The path also keeps the index the selector matcher reads: a weight per atom and one
// key per dot-separated prefix of every atom.
#pragma once
#include "zem/base/Allocator.h"
#include "zem/base/TDataStorage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zem {
class Object;
}

namespace corvel {

struct ScopeAtom {
    const wchar_t* text; // the path's own copy, or the caller's text that must outlive the path
    uint32_t length;     // code units
    bool owned;          // text is the path's copy
    // Index fields, valid after buildIndex.
    uint64_t weight;     // grows from 0 (outermost) towards the innermost atom; saturates
    uint32_t components; // dot-separated components
    uint32_t firstKey;   // index of this atom's first prefix key in keys()
    zem::Object* object; // attached by the builder; never owned
};

class ScopePath {
public:
    ScopePath();
    ~ScopePath();
    ScopePath(const ScopePath&) = delete;
    ScopePath& operator=(const ScopePath&) = delete;

    // Appends an outer atom. Ignored when length is 0 or the text begins with NUL. With
    // copy the path keeps its own copy; otherwise the text must outlive the path.
    void push(const wchar_t* text, uint32_t length, bool copy, zem::Object* object = nullptr);
    // A NUL-terminated text by reference; null or empty texts are ignored.
    void push(const wchar_t* text, zem::Object* object = nullptr);
    // Appends other's atoms, innermost first; its copies are copied again.
    void appendPath(const ScopePath& other);
    void clear();

    // The innermost atom whose text equals name exactly, or null.
    const ScopeAtom* find(const wchar_t* name) const;
    // Outermost to innermost, joined by single spaces.
    std::wstring toString() const;

    size_t size() const { return m_atoms.size(); }
    bool empty() const { return m_atoms.empty(); }
    const ScopeAtom& atom(size_t index) const { return *m_atoms[index]; }

    // Fills the index; does nothing while the atoms are unchanged since the last build.
    void buildIndex();
    bool isIndexed() const { return m_indexed; }
    const std::vector<uint32_t>& keys() const { return m_keys; }
    // False when no atom has a prefix with this key; true may be a false alarm. Lets the
    // matcher drop most selectors of a theme without walking the atoms.
    bool mayHoldKey(uint32_t key) const { return (m_keyFilter[(key >> 6) & 3] >> (key & 63)) & 1; }

    // Compiles selectorText, matches it unanchored and returns the path atom that the
    // winning operand's innermost selector atom matched (with its object); null when
    // nothing matches or the selector is empty. Compile errors propagate.
    const ScopeAtom* matchSelector(const wchar_t* selectorText);
    const ScopeAtom* matchSelector(const wchar_t* selectorText, size_t length);

private:
    typedef zem::TAllocator<sizeof(ScopeAtom), 32, 1> AtomPool;

    std::vector<uint32_t> m_keys;         // prefix keys of every atom, outermost atom first
    std::vector<ScopeAtom*> m_atoms;      // atom 0 innermost; records from m_pool
    zem::TDataStorage<wchar_t> m_strings; // copies: a 32-bit length, the units, a NUL
    AtomPool m_pool;
    bool m_indexed = false;       // m_keys and the atoms' index fields describe the atoms
    uint64_t m_keyFilter[4] = {}; // one bit per key in m_keys (low 8 bits of the key)
};

} // namespace corvel
