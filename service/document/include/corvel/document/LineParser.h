// Turns one line of a document into the scope changes inside it and the stack of open
// begin/end rules at its end, stored as the line's parser block. Each line starts from the
// state the line above left, so an edit re-parses only until a line's stored start state
// equals the state that reaches it. One per parse worker thread.
//
// The block (little-endian): u32 capacity, u32 offset of the first scope change, u32
// offset of the end stack, u32 end-stack bytes; the start stack (the previous line's end
// stack, padded to 4 bytes); scope changes {u16 position, u16 scope id} by position; the
// end stack as pairs {u16 end-pattern cache index, u16 scope id}, bottom first.
#pragma once
#include "corvel/document/FirstUnits.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/PatternStart.h"
#include "corvel/text/RegEx.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace corvel {

class Document;
class DocumentScopeStore;
class EndPatternCache;
class ParserRule;
class ParserRuleRepository;
struct ScanChild;

class LineParser {
public:
    // Positions from here on are never recorded.
    static constexpr int32_t MAX_POSITION = 0xFFFF;

    LineParser();
    ~LineParser();
    LineParser(const LineParser&) = delete;
    LineParser& operator=(const LineParser&) = delete;

    // For one step: the document (whose edit lock the caller holds), its grammar's rules
    // and its parse job's end-pattern cache.
    void bind(Document* document, EndPatternCache* cache);
    void unbind();
    Document* getDocument() const { return m_document; }

    // False when the line has no header or the line above has no stored block; the line
    // then keeps what it had.
    bool parseLine(int32_t line);
    // Whether the line's stored start state equals the end state of the line above.
    bool isLineCurrent(int32_t line);

    // The block the last successful parse built.
    const std::vector<uint8_t>& getBlock() const { return m_block; }

private:
    struct ScopeCacheEntry {
        uint32_t key; // rule id << 16 | parent scope
        uint16_t scope;
        uint16_t generation; // valid when it is the parser's current one
    };
    static constexpr size_t SCOPE_CACHE_SIZE = 8192;

    // One pattern's last search on the current line: a search from `from` found the
    // leftmost match at `found` (NO_MATCH: none), so every search from a position up to
    // `found` finds the same match and need not run.
    struct ScanSlot {
        uint32_t parse = 0;             // the line parse the search belongs to
        const RegEx* pattern = nullptr; // the form searched (with or without \G)
        int32_t from = 0;
        int32_t found = 0;
        std::unique_ptr<MatchResultsRegEx> results;
    };

    bool parseText(const wchar_t* text, int32_t length, const uint16_t* startStack, size_t startUnits);
    // The leftmost match of the pattern at or after i, or NO_MATCH; its groups stay in the
    // slot. atAnchor: the pattern's \G matches at i, so no other start can reuse it.
    // Whether the slot's last search answers a search of the pattern from i.
    bool isCurrent(const ScanSlot& slot, const RegEx* pattern, bool atAnchor, int32_t i) const {
        return slot.parse == m_parse && slot.pattern == pattern && slot.from <= i && slot.found >= i &&
               (!atAnchor || slot.from == i);
    }
    // start: where a match can start (null: anywhere).
    int32_t probe(ScanSlot& slot, const RegEx* pattern, const PatternStart* start, bool atAnchor, int32_t i);
    // The first literal of a pattern made of literals alone at or after i, its match filled
    // in as the engine would have.
    int32_t findLiteral(ScanSlot& slot, const PatternStart& start, int32_t i);
    // The slot's pattern searched from `from` to the line's end.
    void search(ScanSlot& slot, const RegEx* pattern, int32_t from);
    ScanSlot& childSlot(const ScanChild& child, size_t ordinal);
    // One match (or a run of plain text).
    void step();
    // Plain text from the position up to `to`.
    void skipPlain(int32_t to);
    void takeChild(int32_t at, const ScanChild& child, const MatchResults& results);
    void takeEnd(const MatchResults& results);
    void addScopeChange(int32_t position, uint16_t scope);
    uint16_t scopeForRule(const ParserRule* rule, uint16_t parent);
    const ParserRule* ruleForScope(uint16_t scope) const;
    void applyCaptures(const std::map<uint16_t, ParserRule*>& captures, const MatchResults& results, int base,
                       int groupEnd, uint16_t parent);
    int applyCapture(const std::map<uint16_t, ParserRule*>& captures, const MatchResults& results, int base, int g,
                     int groupEnd, uint16_t parent);
    uint16_t getDynamicEndPattern(const ParserRule* rule, const MatchResults& results, int group);
    // The end pattern in force for the rule on top of the stack.
    void selectEndPattern();
    void buildBlock(const uint16_t* startStack, size_t startUnits);
    void storeBlock(LineHeader* header);

    Document* m_document = nullptr;
    const ParserRuleRepository* m_rules = nullptr;
    EndPatternCache* m_cache = nullptr;
    const ParserRule* m_root = nullptr;
    DocumentScopeStore* m_scopes = nullptr;
    uint16_t m_rootScope = 0;

    // Search slots: [2 * rule id] for a rule's own pattern as a child, [2 * rule id + 1]
    // for its static end pattern; end patterns of the cache by index; patterns of neither
    // kind by their place among the rule's children. Deques: a slot stays where it is.
    std::vector<ScanSlot> m_ruleSlots;
    std::deque<ScanSlot> m_cacheSlots;
    std::deque<ScanSlot> m_looseSlots;
    ScanSlot m_looseEndSlot;
    uint32_t m_parse = 0; // counts line parses: a slot of an earlier one is stale

    // The line being parsed.
    const wchar_t* m_text = nullptr;
    int32_t m_length = 0;
    ScannedLine m_line; // its units and the places where \b and ^ can hold
    int32_t m_position = 0;
    int32_t m_pendingPlain = -1;  // start of plain text not yet recorded
    int32_t m_lastEmptyPush = -1; // where a begin rule last matched empty text
    // Where \G matches: the end of the begin match of the rule on top, on its own line
    // (or at 0 on the next when that match took the line break); -1: nowhere.
    int32_t m_anchor = -1;
    uint16_t m_scope = 0;
    const ParserRule* m_rule = nullptr;
    const RegEx* m_endPattern = nullptr;
    const RegEx* m_endElsewhere = nullptr; // the end pattern where \G cannot match
    const PatternStart* m_endStart = nullptr;
    ScanSlot* m_endSlot = nullptr;

    // A document's scope store holds thousands of scopes. Entries hold while the store's
    // epoch does: binding another store, or one cleared since, moves on the generation
    // (0: never valid).
    ScopeCacheEntry m_scopeCache[SCOPE_CACHE_SIZE] = {};
    uint16_t m_scopeGeneration = 0;
    uint32_t m_scopeEpoch = 0;          // of the store the entries came from
    std::vector<uint16_t> m_startStack; // the stack the line started with
    // Pairs (end-pattern cache index, scope id), bottom first; the index's top bit says
    // that the begin match took the line's end.
    std::vector<uint16_t> m_stack;
    std::vector<int32_t> m_pushAnchors; // per pair: the anchor before its push (-1: an earlier line)
    std::vector<ScopeRun> m_runs;
    std::vector<uint8_t> m_block;
};

} // namespace corvel
