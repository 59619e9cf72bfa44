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
#include "corvel/document/LineHeader.h"
#include "corvel/text/RegEx.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace corvel {

class Document;
class DocumentScopeStore;
class EndPatternCache;
class ParserRule;
class ParserRuleRepository;

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

    // False when the line has no header, the line above has no stored block, or a match
    // named a group no child owns; the line then keeps what it had.
    bool parseLine(int32_t line);
    // Whether the line's stored start state equals the end state of the line above.
    bool isLineCurrent(int32_t line);

    // The block the last successful parse built.
    const std::vector<uint8_t>& getBlock() const { return m_block; }

private:
    struct ScopeCacheEntry {
        uint32_t key; // rule id << 16 | parent scope
        uint16_t scope;
        bool valid;
    };
    static constexpr size_t SCOPE_CACHE_SIZE = 64;

    struct SearchCache {
        const RegEx* pattern = nullptr;
        int32_t from = -1;
        int32_t found = 0; // NO_MATCH when nothing matches from `from` on
    };

    bool parseText(const wchar_t* text, int32_t length, const uint16_t* startStack, size_t startUnits, int32_t line);
    // The leftmost match of pattern at or after i (only at i for an anchored pattern), or
    // NO_MATCH; bound receives the first position at which a match is still possible.
    int32_t nextMatch(const RegEx* pattern, bool anchored, MatchResultsRegEx& results, SearchCache& cache, int32_t i,
                      int32_t& bound);
    // One match (or a run of plain text); false on a group no child owns.
    bool step();
    // Plain text from the position up to `to`.
    void skipPlain(int32_t to);
    // withEnd: the match came from the rule's end-and-children pattern.
    bool takeChild(int32_t at, bool withEnd);
    // The end captures count from group base, up to groupEnd.
    void takeEnd(const MatchResults& results, int base, int groupEnd);
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

    std::unique_ptr<MatchResultsRegEx> m_endResults;
    std::unique_ptr<MatchResultsRegEx> m_childResults;
    SearchCache m_endSearch;
    SearchCache m_childSearch;

    // The line being parsed.
    const wchar_t* m_text = nullptr;
    int32_t m_length = 0;
    int32_t m_position = 0;
    int32_t m_pendingPlain = -1;  // start of plain text not yet recorded
    int32_t m_lastEmptyPush = -1; // where a begin rule last matched empty text
    uint16_t m_scope = 0;
    const ParserRule* m_rule = nullptr;
    const RegEx* m_endPattern = nullptr;
    bool m_endAnchored = false;

    ScopeCacheEntry m_scopeCache[SCOPE_CACHE_SIZE] = {};
    std::vector<uint16_t> m_startStack; // the stack the line started with
    std::vector<uint16_t> m_stack; // pairs (end-pattern cache index, scope id), bottom first
    std::vector<ScopeRun> m_runs;
    std::vector<uint8_t> m_block;
};

} // namespace corvel
