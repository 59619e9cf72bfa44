// Picking theme rules for one scope path: a 12-atom path matched against the selectors
// of a 500-rule theme through compiled selectors, and the same rules by plain text-prefix
// comparison of their atoms in the same run. Prints microseconds per path and the ratio.
#include "corvel/config/Timer.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/ScopeSelector.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const int RULES = 500;
const int ROUNDS = 2000;

const wchar_t* const SCOPES[] = {L"source.python",
                                 L"meta.function.python",
                                 L"meta.function.parameters",
                                 L"string.quoted.double",
                                 L"constant.character.escape",
                                 L"keyword.control.flow",
                                 L"storage.type.class",
                                 L"entity.name.function",
                                 L"variable.parameter",
                                 L"comment.line.number",
                                 L"punctuation.definition.string.begin",
                                 L"support.function.builtin",
                                 L"meta.class.python",
                                 L"markup.heading",
                                 L"text.html.basic",
                                 L"source.js.embedded",
                                 L"entity.other.attribute",
                                 L"constant.numeric.integer",
                                 L"invalid.illegal",
                                 L"meta.tag.block.any",
                                 L"keyword.operator.assignment",
                                 L"string.regexp",
                                 L"source.ruby",
                                 L"meta.embedded.line"};
const size_t SCOPE_COUNT = sizeof(SCOPES) / sizeof(SCOPES[0]);

// The first one, two or all components of a scope.
std::wstring prefixOf(const std::wstring& scope, unsigned parts) {
    size_t end = 0;
    for (unsigned i = 0; i < parts; ++i) {
        end = scope.find(L'.', end + (i ? 1 : 0));
        if (end == std::wstring::npos)
            return scope;
    }
    return scope.substr(0, end);
}

struct Rule {
    std::wstring text;
    std::vector<std::vector<std::wstring>> alternatives; // "a b, c" as {{a, b}, {c}}, for the baseline
};

std::vector<Rule> makeRules(std::mt19937& rng) {
    std::vector<Rule> rules;
    for (int i = 0; i < RULES; ++i) {
        Rule rule;
        unsigned alternatives = rng() % 4 == 0 ? 2 : 1;
        for (unsigned a = 0; a < alternatives; ++a) {
            std::vector<std::wstring> atoms;
            unsigned count = 1 + rng() % 2;
            for (unsigned k = 0; k < count; ++k)
                atoms.push_back(prefixOf(SCOPES[rng() % SCOPE_COUNT], 1 + rng() % 3));
            for (size_t k = 0; k < atoms.size(); ++k)
                rule.text += (k ? L" " : (a ? L", " : L"")) + atoms[k];
            rule.alternatives.push_back(atoms);
        }
        rules.push_back(rule);
    }
    return rules;
}

// Baseline: selector atom s fits path atom p when p starts with s and ends or has a '.'
// there; greedy from the innermost atom, outer-to-inner order, as the compiled matcher.
bool prefixFits(const std::wstring& atom, const std::wstring& scope) {
    return scope.compare(0, atom.size(), atom) == 0 && (scope.size() == atom.size() || scope[atom.size()] == L'.');
}

uint64_t baselineScore(const std::vector<std::wstring>& pathInnerFirst, const Rule& rule) {
    uint64_t best = 0;
    for (const std::vector<std::wstring>& atoms : rule.alternatives) {
        size_t s = atoms.size();
        size_t p = 0;
        uint64_t score = 0;
        while (s > 0 && pathInnerFirst.size() - p >= s) {
            if (prefixFits(atoms[s - 1], pathInnerFirst[p])) {
                score += (pathInnerFirst.size() - p) * 4 + s;
                --s;
            }
            ++p;
        }
        if (s == 0 && score > best)
            best = score;
    }
    return best;
}

} // namespace

int main() {
    corvel::initTimer();
    std::mt19937 rng(4242u);
    std::vector<Rule> rules = makeRules(rng);
    std::vector<corvel::ScopeSelector> selectors;
    for (const Rule& rule : rules)
        selectors.emplace_back(rule.text.c_str(), rule.text.size());

    std::vector<std::wstring> innerFirst;
    for (int i = 0; i < 12; ++i)
        innerFirst.push_back(SCOPES[rng() % SCOPE_COUNT]);

    // Compiled: a path is built (by reference, as views build them) and matched per round.
    size_t matched = 0;
    int64_t start = corvel::timerNowMicroseconds();
    for (int round = 0; round < ROUNDS; ++round) {
        corvel::ScopePath path;
        for (const std::wstring& atom : innerFirst)
            path.push(atom.c_str(), static_cast<uint32_t>(atom.size()), false);
        corvel::ScopeSelectorMatcher matcher(path);
        corvel::ScopeMatch result;
        for (const corvel::ScopeSelector& selector : selectors)
            matched += matcher.match(selector, result, false) ? 1 : 0;
    }
    double compiledUs = static_cast<double>(corvel::timerNowMicroseconds() - start) / ROUNDS;

    size_t baselineMatched = 0;
    start = corvel::timerNowMicroseconds();
    for (int round = 0; round < ROUNDS; ++round) {
        for (const Rule& rule : rules)
            baselineMatched += baselineScore(innerFirst, rule) ? 1 : 0;
    }
    double baselineUs = static_cast<double>(corvel::timerNowMicroseconds() - start) / ROUNDS;

    std::printf("scope_match: %d rules, 12-atom path, %d rounds\n", RULES, ROUNDS);
    std::printf("  compiled selectors: %8.2f us per path (%zu matches per path)\n", compiledUs, matched / ROUNDS);
    std::printf("  text-prefix baseline: %6.2f us per path (%zu matches per path)\n", baselineUs,
                baselineMatched / ROUNDS);
    std::printf("  speed-up over the baseline: %.2fx\n", compiledUs > 0 ? baselineUs / compiledUs : 0.0);
    return 0;
}
