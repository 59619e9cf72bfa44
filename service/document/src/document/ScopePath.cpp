#include "corvel/document/ScopePath.h"

#include "corvel/document/ScopeSelector.h"
#include "zem/base/Crc.h"

#include <cstring>
#include <cwchar>
#include <limits>

namespace corvel {

namespace {

const size_t RESERVED_ATOMS = 32;
// The copied length sits before the text as two units.
const size_t LENGTH_UNITS = sizeof(uint32_t) / sizeof(wchar_t);

// components + 2 * outer, saturated: deep paths must not wrap to a small weight.
uint64_t nextWeight(uint64_t outer, uint32_t components) {
    if (outer > (std::numeric_limits<uint64_t>::max() - components) / 2)
        return std::numeric_limits<uint64_t>::max();
    return components + 2 * outer;
}

} // namespace

ScopePath::ScopePath() {
    m_atoms.reserve(RESERVED_ATOMS);
}

ScopePath::~ScopePath() {
    clear();
}

void ScopePath::push(const wchar_t* text, uint32_t length, bool copy, zem::Object* object) {
    if (length == 0 || !text || text[0] == 0)
        return;
    const wchar_t* stored = text;
    if (copy) {
        wchar_t* room = m_strings.allocate(LENGTH_UNITS + length + 1);
        std::memcpy(room, &length, sizeof(length));
        std::memcpy(room + LENGTH_UNITS, text, length * sizeof(wchar_t));
        room[LENGTH_UNITS + length] = 0;
        stored = room + LENGTH_UNITS;
    }
    ScopeAtom* atom = static_cast<ScopeAtom*>(m_pool.allocate());
    *atom = ScopeAtom{stored, length, copy, 0, 0, 0, object};
    m_atoms.push_back(atom);
    m_indexed = false;
}

void ScopePath::push(const wchar_t* text, zem::Object* object) {
    if (!text || !text[0])
        return;
    push(text, static_cast<uint32_t>(std::wcslen(text)), false, object);
}

void ScopePath::appendPath(const ScopePath& other) {
    if (&other == this) {
        // Copies of our own copies would land in storage we are reading from: take a snapshot.
        std::vector<ScopeAtom> snapshot;
        for (const ScopeAtom* atom : m_atoms)
            snapshot.push_back(*atom);
        for (const ScopeAtom& atom : snapshot)
            push(atom.text, atom.length, atom.owned, atom.object);
        return;
    }
    for (const ScopeAtom* atom : other.m_atoms)
        push(atom->text, atom->length, atom->owned, atom->object);
}

void ScopePath::clear() {
    for (ScopeAtom* atom : m_atoms)
        m_pool.free(atom);
    m_atoms.clear();
    m_keys.clear();
    m_strings.clear();
    m_indexed = false;
}

const ScopeAtom* ScopePath::find(const wchar_t* name) const {
    if (!name)
        return nullptr;
    size_t length = std::wcslen(name);
    for (const ScopeAtom* atom : m_atoms) {
        if (atom->length == length && std::wmemcmp(atom->text, name, length) == 0)
            return atom;
    }
    return nullptr;
}

std::wstring ScopePath::toString() const {
    std::wstring out;
    for (size_t i = m_atoms.size(); i-- > 0;) {
        if (!out.empty())
            out.push_back(L' ');
        out.append(m_atoms[i]->text, m_atoms[i]->length);
    }
    return out;
}

void ScopePath::buildIndex() {
    if (m_indexed)
        return;
    m_keys.clear();
    for (uint64_t& word : m_keyFilter)
        word = 0;
    uint64_t weight = 0;
    for (size_t k = m_atoms.size(); k-- > 0;) {
        ScopeAtom& atom = *m_atoms[k];
        atom.weight = weight;
        atom.firstKey = static_cast<uint32_t>(m_keys.size());
        atom.components = 0;
        uint32_t key = 0;
        uint32_t hashed = 0; // units of the text already in key
        for (uint32_t i = 0; i <= atom.length; ++i) {
            if (i != atom.length && atom.text[i] != L'.')
                continue;
            key = zem::crc32UpdateChars(key, i - hashed, atom.text + hashed);
            hashed = i;
            m_keys.push_back(key);
            m_keyFilter[(key >> 6) & 3] |= uint64_t(1) << (key & 63);
            ++atom.components;
        }
        weight = nextWeight(weight, atom.components);
    }
    m_indexed = true;
}

const ScopeAtom* ScopePath::matchSelector(const wchar_t* selectorText) {
    return matchSelector(selectorText, selectorText ? std::wcslen(selectorText) : 0);
}

const ScopeAtom* ScopePath::matchSelector(const wchar_t* selectorText, size_t length) {
    ScopeSelector selector(selectorText, length);
    ScopeSelectorMatcher matcher(*this);
    ScopeMatch result;
    if (!matcher.match(selector, result, false) || !result.operand)
        return nullptr;
    return matcher.innermostAtomOf(result.operand, false);
}

} // namespace corvel
