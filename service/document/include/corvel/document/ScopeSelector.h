// A compiled scope selector: which places of a document or of the user interface a
// theme rule, preference, snippet or key binding applies to. The text is compiled once
// into a postfix program; ScopeSelectorMatcher runs programs against one ScopePath and
// scores the match, the greater score being the more specific.
//
// Grammar: operands are runs of dotted atoms ("source.python string"); operators, loosest
// first: "," (union), "&" (intersection), "|" (union), "-" (exclusion); parentheses group.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvel {

class ScopePath;
struct ScopeAtom;

class ScopeSelector {
public:
    // Program words. A path operand takes 3 + 2n words: PATH, its total components, its
    // atom count n, then n pairs (key, components) in written order.
    enum : uint32_t { PATH = 256, INTERSECTION = 18, UNION = 19, EXCLUSION = 20 };

    // The empty selector.
    ScopeSelector();
    // Compiles text; throws zem::UnexpectedTokenException ("Unexpected token.") or
    // zem::UnbalancedParenthesisException with the failure's position.
    ScopeSelector(const wchar_t* text, size_t length);
    virtual ~ScopeSelector();
    ScopeSelector(const ScopeSelector&) = default;
    ScopeSelector& operator=(const ScopeSelector&) = default;

    static std::unique_ptr<ScopeSelector> create(const wchar_t* text, size_t length);

    // Replaces the program; on a failure the selector is left empty.
    void compile(const wchar_t* text, size_t length);

    bool isEmpty() const { return m_program[0] == 0; }
    // Word 0: the number of operands and operators; then the postfix expression.
    const std::vector<uint32_t>& program() const { return m_program; }

private:
    std::vector<uint32_t> m_program; // never empty
};

// One match: the score and the path operand of the program that produced it (null when
// nothing matched).
struct ScopeMatch {
    uint64_t score = 0;
    const uint32_t* operand = nullptr;
    bool matched() const { return operand != nullptr; }
};

// Evaluates selectors against one path. Binding builds the path's index; the path must
// not change while the matcher is used. Matching never throws for compiled programs.
class ScopeSelectorMatcher {
public:
    explicit ScopeSelectorMatcher(ScopePath& path);

    // Anchored: the innermost written atom of every operand must match the innermost
    // path atom, and the empty selector does not match. The empty selector otherwise
    // matches with score 1 and no operand.
    bool match(const ScopeSelector& selector, ScopeMatch& result, bool anchored);

    // The path atom that the operand's last written atom matches, or null.
    const ScopeAtom* innermostAtomOf(const uint32_t* operand, bool anchored) const;

private:
    // Score of one path operand, or false; innermost receives the matched atom 0 of the run.
    bool matchOperand(const uint32_t* operand, bool anchored, uint64_t& score, size_t* innermost) const;

    // The path's index flattened at binding, so an operand walks one array.
    struct AtomIndex {
        uint64_t weight;
        uint32_t components;
        const uint32_t* keys; // this atom's prefix keys
    };

    ScopePath& m_path;
    std::vector<AtomIndex> m_atoms;  // innermost first
    std::vector<ScopeMatch> m_stack; // empty between calls
};

} // namespace corvel
