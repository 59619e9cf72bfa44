#include "corvel/document/ScopeSelector.h"

#include "corvel/document/ScopePath.h"

#include <limits>

namespace corvel {

namespace {

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
    uint64_t sum = a + b;
    return sum < a ? std::numeric_limits<uint64_t>::max() : sum;
}

// The better of two matched records; the left one on equal scores.
const ScopeMatch& better(const ScopeMatch& left, const ScopeMatch& right) {
    return right.score > left.score ? right : left;
}

} // namespace

ScopeSelectorMatcher::ScopeSelectorMatcher(ScopePath& path) : m_path(path) {
    m_path.buildIndex();
    m_atoms.reserve(m_path.size());
    for (size_t i = 0; i < m_path.size(); ++i) {
        const ScopeAtom& atom = m_path.atom(i);
        m_atoms.push_back(AtomIndex{atom.weight, atom.components, m_path.keys().data() + atom.firstKey});
    }
    m_stack.reserve(16);
}

bool ScopeSelectorMatcher::match(const ScopeSelector& selector, ScopeMatch& result, bool anchored) {
    const std::vector<uint32_t>& program = selector.program();
    if (program[0] == 0) {
        result = ScopeMatch{1, nullptr};
        return !anchored;
    }
    const uint32_t* word = program.data() + 1;
    const uint32_t* end = program.data() + program.size();
    // Most rules are a single path operand: no stack needed.
    if (program[0] == 1 && word < end && *word == ScopeSelector::PATH && end - word == 3 + 2 * ptrdiff_t(word[2])) {
        result = ScopeMatch();
        if (matchOperand(word, anchored, result.score, nullptr))
            result.operand = word;
        else
            result.score = 0;
        return result.matched();
    }
    m_stack.clear();
    bool wellFormed = true;
    while (word < end && wellFormed) {
        if (*word == ScopeSelector::PATH) {
            if (end - word < 3 || static_cast<size_t>(end - word - 3) / 2 < word[2]) {
                wellFormed = false;
                break;
            }
            ScopeMatch operand;
            if (matchOperand(word, anchored, operand.score, nullptr))
                operand.operand = word;
            else
                operand.score = 0;
            m_stack.push_back(operand);
            word += 3 + 2 * word[2];
            continue;
        }
        if (m_stack.size() < 2) {
            wellFormed = false;
            break;
        }
        ScopeMatch right = m_stack.back();
        m_stack.pop_back();
        ScopeMatch left = m_stack.back();
        ScopeMatch& top = m_stack.back();
        switch (*word) {
        case ScopeSelector::INTERSECTION:
            top = left.matched() && right.matched() ? better(left, right) : ScopeMatch();
            break;
        case ScopeSelector::UNION:
            if (left.matched() && right.matched())
                top = better(left, right);
            else
                top = left.matched() ? left : right.matched() ? right : ScopeMatch();
            break;
        case ScopeSelector::EXCLUSION:
            top = left.matched() && !right.matched() ? left : ScopeMatch();
            break;
        default:
            wellFormed = false;
            break;
        }
        ++word;
    }
    result = wellFormed && !m_stack.empty() ? m_stack.back() : ScopeMatch();
    m_stack.clear();
    return result.matched();
}

const ScopeAtom* ScopeSelectorMatcher::innermostAtomOf(const uint32_t* operand, bool anchored) const {
    uint64_t score = 0;
    size_t innermost = 0;
    if (!operand || !matchOperand(operand, anchored, score, &innermost))
        return nullptr;
    return &m_path.atom(innermost);
}

// Greedy, innermost first, no backtracking: the last written atom takes the first path
// atom from the inside that fits, the one before it the next fitting atom further out.
bool ScopeSelectorMatcher::matchOperand(const uint32_t* operand, bool anchored, uint64_t& score,
                                        size_t* innermost) const {
    const size_t count = operand[2];
    const uint32_t* pairs = operand + 3;
    const size_t atoms = m_atoms.size();
    if (count == 0 || count > atoms)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (!m_path.mayHoldKey(pairs[2 * i]))
            return false;
    }
    size_t s = count; // selector atoms still to match: pairs[s - 1] is next
    size_t p = 0;     // next path atom
    score = 0;
    while (atoms - p >= s) {
        const AtomIndex& atom = m_atoms[p];
        uint32_t key = pairs[2 * (s - 1)];
        uint32_t components = pairs[2 * (s - 1) + 1];
        if (components != 0 && components <= atom.components && atom.keys[components - 1] == key) {
            if (innermost && s == count)
                *innermost = p;
            score = saturatingAdd(score, saturatingAdd(atom.weight, components));
            if (--s == 0)
                return true;
        } else if (anchored && s == count && p == 0) {
            return false;
        }
        ++p;
    }
    return false;
}

} // namespace corvel
