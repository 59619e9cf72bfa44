// Line parser throughput with the shipped C grammar, loaded and compiled by the product's
// own bundle and grammar managers, over about 6 MB of generated C (or the file given as
// the first argument): every line parsed in order, the state carried from line to line,
// as a parse job does. Best of three passes: other work on the machine only slows.
//
// Baseline in the same run, over the same compiled rules: a naive parser that, at every
// position, tries the end pattern and then each child pattern anchored there, taking the
// first that matches. It keeps only the stack, not the scope records, so the ratio
// understates the gain. Both must end every line with the same stack of rules.
//
// Then single characters typed mid-file: the lines re-parsed until one's start state holds.
#include "BenchBundles.h"
#include "BenchCSource.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentScope.h"
#include "corvel/document/DocumentScopeStore.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/LineParser.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"
#include "zem/base/Crc.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using corvel::ParserRule;
using corvel::RegEx;

const size_t GENERATED_UNITS = 6400000;
const int ROUNDS = 3;
const int EDITS = 21;

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool readFile(const char* path, std::wstring& out) {
    std::string bytes = bench::readWhole(std::wstring(path, path + strlen(path)));
    if (bytes.empty())
        return false;
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], units);
    out.clear();
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] != L'\r')
            out += wide[i];
        else if (i + 1 >= wide.size() || wide[i + 1] != L'\n')
            out += L'\n';
    }
    return true;
}

// The same grammar semantics as the line parser, found the slow way: every pattern of the
// current rule tried anchored at every position. \G matches where the rule on top began
// its content (and at a line's start when its begin match took the line break).
class NaiveParser {
public:
    explicit NaiveParser(const ParserRule* root) : m_root(root), m_results(zem::createMatchResultsRegEx()) {}

    // Parses the line from the stack the line above left; the stack it leaves holds
    // (rule, begin took the line end, end pattern) per open rule.
    void parseLine(const wchar_t* text, int32_t length) {
        m_text = text;
        m_length = length;
        m_anchors.assign(m_stack.size(), -1);
        int32_t anchor = !m_stack.empty() && m_stack.back().tookLineEnd ? 0 : -1;
        int32_t lastEmptyPush = -1;
        for (int32_t i = 0; i < length;) {
            const Open* top = m_stack.empty() ? nullptr : &m_stack.back();
            const ParserRule* rule = top ? top->rule : m_root;
            bool atAnchor = i == anchor;
            if (top && top->end && tryAt(atAnchor ? top->end : top->endElsewhere, i)) {
                anchor = m_anchors.back();
                m_anchors.pop_back();
                m_stack.pop_back();
                i = m_results->getEnd(0);
                ++m_tokens;
                continue;
            }
            const ParserRule* matched = nullptr;
            for (const corvel::ScanChild& child : rule->getScanChildren()) {
                if (tryAt(atAnchor ? child.pattern->atAnchor.get() : child.pattern->elsewhere.get(), i)) {
                    matched = child.rule;
                    break;
                }
            }
            if (!matched) {
                ++i;
                continue;
            }
            int32_t end = m_results->getEnd(0);
            if (end == i && (!matched->isBeginRule() || lastEmptyPush == i)) {
                ++i;
                continue;
            }
            ++m_tokens;
            if (matched->isBeginRule()) {
                Open open{matched, end >= length, nullptr, nullptr};
                endPatterns(matched, open);
                m_stack.push_back(open);
                m_anchors.push_back(anchor);
                anchor = end;
                if (end == i)
                    lastEmptyPush = i;
            }
            i = end;
        }
    }

    void reset() {
        m_stack.clear();
        m_tokens = 0;
    }
    size_t tokens() const { return m_tokens; }
    // The rule ids open at the end of the last line, bottom first.
    std::vector<uint16_t> openRules() const {
        std::vector<uint16_t> out;
        for (const Open& open : m_stack)
            out.push_back(open.rule->getId());
        return out;
    }

private:
    struct Open {
        const ParserRule* rule;
        bool tookLineEnd;
        const RegEx* end; // null: never ends
        const RegEx* endElsewhere;
    };

    bool tryAt(const RegEx* pattern, int32_t i) {
        if (!pattern)
            return false;
        RegEx::match(m_results.get(), pattern, m_text, m_text + m_length, m_text + i);
        return m_results->isMatched();
    }

    void endPatterns(const ParserRule* rule, Open& open) {
        if (const RegEx* fixed = rule->getStaticEnd()) {
            open.end = fixed->isCompiled() ? fixed : nullptr;
            open.endElsewhere = rule->getStaticEndElsewhere();
            return;
        }
        if (!rule->getEndTemplate())
            return;
        int32_t begin = m_results->getBegin(0);
        std::wstring key =
            std::to_wstring(rule->getId()) + L":" + std::wstring(m_text + begin, m_text + m_results->getEnd(0));
        auto found = m_filled.find(key);
        if (found == m_filled.end()) {
            Filled filled;
            filled.pattern = ParserRule::buildEndPattern(*rule->getEndTemplate(), *m_results, m_text, 0);
            if (filled.pattern)
                filled.elsewhere = ParserRule::withoutAnchor(*filled.pattern);
            found = m_filled.insert(std::make_pair(key, filled)).first;
        }
        open.end = found->second.pattern.get();
        open.endElsewhere = found->second.elsewhere ? found->second.elsewhere.get() : open.end;
    }

    struct Filled {
        corvel::RegExPtr pattern;
        corvel::RegExPtr elsewhere;
    };

    const ParserRule* m_root;
    std::unique_ptr<zem::MatchResultsRegEx> m_results;
    std::vector<Open> m_stack;
    std::vector<int32_t> m_anchors;
    std::map<std::wstring, Filled> m_filled;
    const wchar_t* m_text = nullptr;
    int32_t m_length = 0;
    size_t m_tokens = 0;
};

// The rule ids of a parsed line's end stack above the bottom pair.
std::vector<uint16_t> storedOpenRules(corvel::Document& document, int32_t line) {
    std::vector<uint16_t> out;
    const corvel::LineHeader* header = document.getLineHeader(line);
    if (!header || !header->parserBlock)
        return out;
    const corvel::ParserBlockHeader* block = header->blockHeader();
    const uint16_t* stack = reinterpret_cast<const uint16_t*>(header->parserBlock + block->endStateOffset);
    for (size_t unit = 3; unit < block->endStateSize / 2; unit += 2) {
        const corvel::DocumentScope* scope = document.getScopeStore().getScope(stack[unit]);
        out.push_back(scope ? scope->getRuleId() : 0);
    }
    return out;
}

void print(const char* what, double seconds, size_t units, int32_t lines) {
    std::printf("%-24s %8.3f s  %8.2f MB/s  %10.0f lines/s\n", what, seconds,
                static_cast<double>(units) / 1e6 / seconds, static_cast<double>(lines) / seconds);
}

// Types one character at the line's middle (or its start), re-parses from there until a
// line's start state holds, takes the character out again and re-parses the same way;
// milliseconds of the first re-parse.
double typeAndReparse(corvel::Document& document, corvel::LineParser& parser, int32_t line, bool atStart, wchar_t typed,
                      int32_t& reparsed) {
    int32_t length = document.getLineLength(line);
    int32_t at = document.getLineStart(line) + (atStart ? 0 : std::max(0, length - 1) / 2);
    document.insertText(at, 1, &typed, 0);
    auto reparse = [&](int32_t& count) {
        count = 0;
        for (int32_t l = line; l < document.getLineCount(); ++l) {
            if (l > line && parser.isLineCurrent(l))
                break;
            parser.parseLine(l);
            ++count;
        }
    };
    double start = now();
    reparse(reparsed);
    double ms = (now() - start) * 1e3;
    document.removeText(1, at, 0);
    int32_t back = 0;
    reparse(back);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    zem::recordMainThread();
    std::wstring text;
    if (argc > 1 && !readFile(argv[1], text)) {
        std::printf("cannot read %s\n", argv[1]);
        return 1;
    }
    if (argc <= 1)
        text = bench::CSourceGenerator().make(GENERATED_UNITS);

    bench::ShippedBundleHost host;
    if (!host.found()) {
        std::printf("line_parser_bench: the shipped bundles were not found\n");
        return 1;
    }
    double compiledMs = 0;
    double loadMs = host.reload(&compiledMs);
    const corvel::ParserRuleRepository* rules = host.languages().getRepository();
    const ParserRule* root = rules ? rules->findRule(L"source.c") : nullptr;
    if (!root) {
        std::printf("line_parser_bench: the shipped grammars have no source.c\n");
        return 1;
    }
    // The rules a C document can reach: the root's children, theirs, and every capture's.
    std::set<const ParserRule*> reached{root};
    std::vector<const ParserRule*> pending{root};
    while (!pending.empty()) {
        const ParserRule* rule = pending.back();
        pending.pop_back();
        std::vector<const ParserRule*> next(rule->getChildren().begin(), rule->getChildren().end());
        for (const corvel::CaptureMap* captures : {&rule->getCaptures(), &rule->getEndCaptures()}) {
            for (const auto& capture : *captures)
                next.push_back(capture.second);
        }
        for (const ParserRule* child : next) {
            if (child && reached.insert(child).second)
                pending.push_back(child);
        }
    }
    size_t grammarRules = reached.size();
    std::printf("shipped grammars loaded in %.1f ms and compiled %.1f ms later: %zu rules, %zu of them "
                "reached from the C grammar's\n",
                loadMs, compiledMs, rules->getRules().size(), grammarRules);

    corvel::Document document(nullptr);
    document.lockEdit();
    document.setGrammar(root, root->getId(), L"source.c", true);
    document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
    int32_t lines = document.getLineCount();
    std::printf("%s: %zu units (1 MB = 10^6 units), %d lines\n", argc > 1 ? argv[1] : "generated C", text.size(),
                lines);

    corvel::EndPatternCache cache;
    corvel::LineParser parser;
    double parseSeconds = 0;
    int32_t failed = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        // From nothing again: no stored lines, no scopes, no end patterns.
        document.setGrammar(root, root->getId(), L"source.c", true);
        cache.clear();
        double start = now();
        failed = 0;
        // Bound for each line, as a parse job's step is.
        for (int32_t line = 0; line < lines; ++line) {
            parser.bind(&document, &cache);
            failed += parser.parseLine(line) ? 0 : 1;
            parser.unbind();
        }
        double seconds = now() - start;
        parseSeconds = round == 0 ? seconds : std::min(parseSeconds, seconds);
    }

    // Printed before the baseline runs, which takes many times as long.
    print("line parser", parseSeconds, text.size(), lines);
    std::fflush(stdout);
    NaiveParser naive(root);
    int32_t disagreeing = 0;
    int32_t firstDisagreeing = -1;
    double start = now();
    for (int32_t line = 0; line < lines; ++line) {
        int32_t length = document.getLineLength(line);
        corvel::GapBuffer::View view = document.readText(document.getLineStart(line), length);
        naive.parseLine(view.data(), length);
    }
    double naiveSeconds = now() - start;
    // Again, comparing the stacks (apart from the timing).
    naive.reset();
    for (int32_t line = 0; line < lines; ++line) {
        int32_t length = document.getLineLength(line);
        corvel::GapBuffer::View view = document.readText(document.getLineStart(line), length);
        naive.parseLine(view.data(), length);
        if (naive.openRules() != storedOpenRules(document, line)) {
            ++disagreeing;
            if (firstDisagreeing < 0)
                firstDisagreeing = line;
        }
    }

    print("baseline (naive, 1 pass)", naiveSeconds, text.size(), lines);
    std::printf("ratio (baseline time / parser time): %.2f   (%zu baseline tokens, %d lines failed, %d lines "
                "end in another state than the baseline's%s)\n",
                naiveSeconds / parseSeconds, naive.tokens(), failed, disagreeing,
                firstDisagreeing < 0 ? "" : (", first " + std::to_string(firstDisagreeing)).c_str());

    // Typing mid-file: letters inside lines of the second half, then a slash at a line's start.
    parser.bind(&document, &cache);
    std::vector<double> typed;
    int32_t mostLines = 0;
    for (int edit = 0; edit < EDITS; ++edit) {
        int32_t line = lines / 2 + edit * (lines / 2 / EDITS);
        int32_t reparsed = 0;
        typed.push_back(typeAndReparse(document, parser, line, false, L'x', reparsed));
        mostLines = std::max(mostLines, reparsed);
    }
    std::sort(typed.begin(), typed.end());
    std::printf("one letter typed mid-line, %d places in the second half: median %.3f ms, slowest %.3f ms "
                "(at most %d lines re-parsed)\n",
                EDITS, typed[typed.size() / 2], typed.back(), mostLines);
    int32_t reparsed = 0;
    double slash = typeAndReparse(document, parser, lines / 2, true, L'/', reparsed);
    std::printf("a slash typed at the start of line %d: %d lines re-parsed in %.3f ms\n", lines / 2, reparsed, slash);
    parser.unbind();
    document.unlockEdit();
    return 0;
}
