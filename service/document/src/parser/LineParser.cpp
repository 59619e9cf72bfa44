#include "corvel/document/LineParser.h"

#include "corvel/document/Document.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"
#include "undo/LittleEndian.h"
#include "zem/base/Crc.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace corvel {

namespace {

constexpr int32_t NO_MATCH = INT32_MAX;
constexpr size_t HEADER_BYTES = 16;
constexpr size_t BLOCK_STEP = 128;
// Beside an end-pattern cache index in the stack (which stays below it).
constexpr uint16_t BEGIN_TOOK_LINE_END = 0x8000;

void padTo4(std::vector<uint8_t>& bytes) {
    bytes.resize((bytes.size() + 3) & ~size_t(3), 0);
}

} // namespace

LineParser::LineParser() {
    m_block.reserve(BLOCK_STEP);
}

LineParser::~LineParser() = default;

void LineParser::bind(Document* document, EndPatternCache* cache) {
    m_document = document;
    m_cache = cache;
    // The grammar's own repository, read afresh at every bind: a recompile replaces it.
    m_root = document ? document->getGrammar() : nullptr;
    m_rules = m_root ? m_root->getRepository() : nullptr;
    m_scopes = document ? &document->getScopeStore() : nullptr;
    m_rootScope = 0;
    // The store may have been cleared since the last step, or be another document's.
    uint32_t epoch = m_scopes ? m_scopes->getEpoch() : 0;
    if (epoch == m_scopeEpoch && epoch != 0)
        return;
    m_scopeEpoch = epoch;
    if (++m_scopeGeneration == 0) {
        for (ScopeCacheEntry& entry : m_scopeCache)
            entry.generation = 0;
        m_scopeGeneration = 1;
    }
}

void LineParser::unbind() {
    m_document = nullptr;
    m_cache = nullptr;
    m_root = nullptr;
    m_rules = nullptr;
    m_scopes = nullptr;
}

bool LineParser::isLineCurrent(int32_t line) {
    if (!m_document || line <= 0 || line >= m_document->getLineCount())
        return false;
    const LineHeader* previous = m_document->getLineHeader(line - 1);
    if (!previous || !previous->parserBlock)
        return true;
    const LineHeader* header = m_document->getLineHeader(line);
    if (!header || (header->flags & LINE_DIRTY) || !header->parserBlock)
        return false;
    const ParserBlockHeader* block = header->blockHeader();
    const ParserBlockHeader* above = previous->blockHeader();
    size_t startBytes = block->runsOffset - HEADER_BYTES;
    return startBytes == above->endStateSize &&
           std::memcmp(header->parserBlock + HEADER_BYTES, previous->parserBlock + above->endStateOffset, startBytes) ==
               0;
}

bool LineParser::parseLine(int32_t line) {
    if (!m_document || line < 0 || line >= m_document->getLineCount())
        return false;
    LineHeader* header = m_document->getLineHeader(line);
    if (!header)
        return false;
    const uint16_t* startStack = nullptr;
    size_t startUnits = 0;
    if (line > 0) {
        const LineHeader* previous = m_document->getLineHeader(line - 1);
        if (!previous || !previous->parserBlock)
            return false;
        const ParserBlockHeader* above = previous->blockHeader();
        startStack = reinterpret_cast<const uint16_t*>(previous->parserBlock + above->endStateOffset);
        startUnits = above->endStateSize / 2;
    }
    int32_t start = m_document->getLineStart(line);
    int32_t length = m_document->getLineLength(line);
    GapBuffer::View text = m_document->readText(start, length);
    if (!parseText(text.data(), length, startStack, startUnits))
        return false;
    storeBlock(header);
    return true;
}

bool LineParser::parseText(const wchar_t* text, int32_t length, const uint16_t* startStack, size_t startUnits) {
    m_text = text;
    m_length = length;
    m_line.scan(text, length);
    m_runs.clear();
    m_stack.clear();
    // A start stack is whole pairs over the bottom pair; anything else starts afresh.
    if (startStack && startUnits >= 2 && startUnits % 2 == 0) {
        m_stack.assign(startStack, startStack + startUnits);
    } else {
        startStack = nullptr;
        m_stack.push_back(0);
        m_stack.push_back(m_rootScope);
    }
    m_startStack.assign(m_stack.begin(), m_stack.end());
    m_pushAnchors.assign(m_stack.size() / 2, -1);
    // A begin match that took the line break left \G at the start of this line.
    m_anchor = m_stack.size() > 2 && (m_stack[m_stack.size() - 2] & BEGIN_TOOK_LINE_END) ? 0 : -1;
    // Slots are sized before any is handed out: a step holds on to them.
    size_t ruleSlots = m_rules ? 2 * (m_rules->getRules().size() + 1) : 0;
    if (m_ruleSlots.size() < ruleSlots)
        m_ruleSlots.resize(ruleSlots);
    // Wrapping around would take 2^32 lines; slots of parse 0 are never current.
    if (++m_parse == 0)
        m_parse = 1;
    m_scope = m_stack.back();
    m_rule = ruleForScope(m_scope);
    selectEndPattern();
    addScopeChange(0, m_scope);
    m_position = 0;
    m_pendingPlain = -1;
    m_lastEmptyPush = -1;

    while (m_position < m_length)
        step();
    if (m_pendingPlain >= 0)
        addScopeChange(m_pendingPlain, m_scope);
    buildBlock(m_startStack.data(), m_startStack.size());
    m_text = nullptr;
    return true;
}

void LineParser::skipPlain(int32_t to) {
    if (m_pendingPlain < 0)
        m_pendingPlain = m_position;
    m_position = std::min(to, m_length);
}

LineParser::ScanSlot& LineParser::childSlot(const ScanChild& child, size_t ordinal) {
    size_t index = 2 * size_t(child.rule->getId());
    if (child.own && index > 0 && index < m_ruleSlots.size())
        return m_ruleSlots[index];
    // Shared by the children at this place of every rule: the pattern tells them apart.
    while (m_looseSlots.size() <= ordinal)
        m_looseSlots.emplace_back();
    return m_looseSlots[ordinal];
}

void LineParser::step() {
    // The end pattern first, then the children in order: the earliest match wins, and
    // among matches at one position the first of them.
    const int32_t i = m_position;
    const bool atAnchor = i == m_anchor;
    const ScanSlot* best = nullptr;
    const ScanChild* bestChild = nullptr;
    int32_t bestAt = NO_MATCH;
    if (m_endPattern) {
        const RegEx* pattern = atAnchor ? m_endPattern : m_endElsewhere;
        bestAt = probe(*m_endSlot, pattern, m_endStart, atAnchor && pattern != m_endElsewhere, i);
        best = m_endSlot;
    }
    if (bestAt != i && m_rule) {
        const std::vector<ScanChild>& children = m_rule->getScanChildren();
        for (size_t k = 0; k < children.size(); ++k) {
            const ScanChild& child = children[k];
            const ScanPattern& pattern = *child.pattern;
            bool anchorForm = atAnchor && pattern.holdsAnchor();
            ScanSlot& slot = childSlot(child, k);
            const RegEx* form = anchorForm ? pattern.atAnchor.get() : pattern.elsewhere.get();
            // Most children keep the answer of an earlier search on the line.
            int32_t at =
                isCurrent(slot, form, anchorForm, i) ? slot.found : probe(slot, form, &pattern.start, anchorForm, i);
            if (at >= bestAt)
                continue;
            bestAt = at;
            best = &slot;
            bestChild = &child;
            if (at == i)
                break; // nothing can come before it
        }
    }
    if (bestAt == NO_MATCH) {
        skipPlain(m_length);
        return;
    }
    if (bestAt > i)
        skipPlain(bestAt);
    if (bestChild)
        takeChild(bestAt, *bestChild, *best->results);
    else
        takeEnd(*best->results);
}

int32_t LineParser::probe(ScanSlot& slot, const RegEx* pattern, const PatternStart* start, bool atAnchor, int32_t i) {
    if (isCurrent(slot, pattern, atAnchor, i))
        return slot.found;
    slot.parse = m_parse;
    slot.pattern = pattern;
    slot.from = i;
    slot.found = NO_MATCH;
    // Most patterns of a large grammar cannot start anywhere on a given line: the engine
    // is not asked.
    if (start && !start->canMatchIn(m_line.present)) {
        slot.from = 0;
        return NO_MATCH;
    }
    if (!slot.results)
        slot.results.reset(new MatchResultsRegEx());
    // A search moved past i would see \G at its new start. Elsewhere the search starts at
    // the first place a match can start: one call, however many places fail, since each
    // call of the engine costs it a heap block for its stack.
    if (!start || atAnchor) {
        search(slot, pattern, i);
        return slot.found;
    }
    if (start->literalGroups() >= 0)
        return findLiteral(slot, *start, i);
    int32_t from = start->next(m_line, i);
    if (from < m_length)
        search(slot, pattern, from);
    return slot.found;
}

int32_t LineParser::findLiteral(ScanSlot& slot, const PatternStart& start, int32_t i) {
    for (int32_t at = start.next(m_line, i); at < m_length; at = start.next(m_line, at + 1)) {
        size_t length = start.literalLengthAt(m_text, m_length, at);
        if (length == 0)
            continue;
        int32_t end = at + static_cast<int32_t>(length);
        slot.results->clear();
        for (int group = 0; group <= start.literalGroups(); ++group)
            slot.results->set(group, at, end);
        slot.found = at;
        return at;
    }
    return NO_MATCH;
}

void LineParser::search(ScanSlot& slot, const RegEx* pattern, int32_t from) {
    RegEx::search(slot.results.get(), pattern, m_text, m_text + m_length, m_text + from, m_text + m_length);
    int32_t found = slot.results->isMatched() ? slot.results->getBegin(0) : NO_MATCH;
    // A match at the line's end lies past the last position the parser stands on.
    slot.found = found < m_length ? found : NO_MATCH;
}

void LineParser::takeEnd(const MatchResults& results) {
    if (m_pendingPlain >= 0) {
        addScopeChange(m_pendingPlain, m_scope);
        m_pendingPlain = -1;
    }
    const ParserRule* closingRule = m_rule;
    uint16_t closing = m_stack.back();
    m_stack.resize(m_stack.size() - 2);
    m_anchor = m_pushAnchors.back();
    m_pushAnchors.pop_back();
    addScopeChange(results.getBegin(0), closing);
    if (closingRule)
        applyCaptures(closingRule->getEndCaptures(), results, 0, results.getCount(), closing);
    m_scope = m_stack.back();
    m_rule = ruleForScope(m_scope);
    m_position = results.getEnd(0);
    if (m_position != m_length)
        addScopeChange(m_position, m_scope);
    selectEndPattern();
}

void LineParser::takeChild(int32_t at, const ScanChild& match, const MatchResults& results) {
    const ParserRule* child = match.rule;
    int32_t end = results.getEnd(0);
    bool empty = at == end;
    // Empty text matched by a match rule, or by a second begin rule at one position, is
    // plain text: nothing can then stall the line or pile up on the stack.
    if (empty && (!child->isBeginRule() || m_lastEmptyPush == at)) {
        if (m_pendingPlain < 0)
            m_pendingPlain = at;
        m_position = at + 1;
        return;
    }
    if (m_pendingPlain >= 0) {
        addScopeChange(m_pendingPlain, m_scope);
        m_pendingPlain = -1;
    }
    uint16_t scope = scopeForRule(child, m_scope);
    addScopeChange(at, scope);
    applyCaptures(child->getCaptures(), results, 0, results.getCount(), scope);
    if (child->isBeginRule()) {
        uint16_t index = 0;
        if (child->getEndTemplate())
            index = getDynamicEndPattern(child, results, 0);
        if (end >= m_length)
            index |= BEGIN_TOOK_LINE_END;
        m_stack.push_back(index);
        m_stack.push_back(scope);
        m_pushAnchors.push_back(m_anchor);
        m_anchor = end;
        m_rule = child;
        m_scope = scope;
        selectEndPattern();
        if (empty)
            m_lastEmptyPush = at;
    }
    m_position = end;
    addScopeChange(m_position, m_scope);
}

void LineParser::selectEndPattern() {
    m_endPattern = nullptr;
    m_endElsewhere = nullptr;
    m_endStart = nullptr;
    m_endSlot = nullptr;
    // The bottom pair has nothing to end.
    if (!m_rule || m_stack.size() <= 2)
        return;
    if (const RegEx* fixed = m_rule->getStaticEnd()) {
        if (!fixed->isCompiled())
            return;
        m_endPattern = fixed;
        m_endElsewhere = m_rule->getStaticEndElsewhere();
        m_endStart = &m_rule->getStaticEndStart();
        size_t index = 2 * size_t(m_rule->getId()) + 1;
        m_endSlot = m_rule->getId() > 0 && index < m_ruleSlots.size() ? &m_ruleSlots[index] : &m_looseEndSlot;
        return;
    }
    if (!m_rule->getEndTemplate() || !m_cache)
        return;
    uint16_t index = m_stack[m_stack.size() - 2] & ~BEGIN_TOOK_LINE_END;
    m_endPattern = m_cache->get(index);
    if (!m_endPattern)
        return;
    m_endElsewhere = m_cache->getElsewhere(index);
    while (m_cacheSlots.size() <= index)
        m_cacheSlots.emplace_back();
    m_endSlot = &m_cacheSlots[index];
}

const ParserRule* LineParser::ruleForScope(uint16_t scope) const {
    if (scope == m_rootScope)
        return m_root;
    const DocumentScope* node = m_scopes ? m_scopes->getScope(scope) : nullptr;
    if (!node || !m_rules)
        return nullptr;
    return m_rules->getRule(node->getRuleId());
}

uint16_t LineParser::scopeForRule(const ParserRule* rule, uint16_t parent) {
    // Most matches open a scope met just before: a small cache spares the store's lookup.
    uint32_t key = (uint32_t(rule->getId()) << 16) | parent;
    ScopeCacheEntry& cached = m_scopeCache[(key * 2654435761u) >> 19];
    if (cached.generation == m_scopeGeneration && cached.key == key)
        return cached.scope;
    // Scope ids are 16-bit: a store that is full opens no more scopes.
    if (!m_scopes || m_scopes->size() >= 0xFFFF)
        return parent;
    const DocumentScope* scope = m_scopes->intern(rule->getId(), parent, rule->getScopeName().c_str());
    if (!scope)
        return parent;
    cached = ScopeCacheEntry{key, scope->getIndex(), m_scopeGeneration};
    return scope->getIndex();
}

void LineParser::applyCaptures(const std::map<uint16_t, ParserRule*>& captures, const MatchResults& results, int base,
                               int groupEnd, uint16_t parent) {
    if (captures.empty())
        return;
    int end = std::min(groupEnd, results.getCount());
    for (int g = base; g < end;)
        g = applyCapture(captures, results, base, g, end, parent);
}

int LineParser::applyCapture(const std::map<uint16_t, ParserRule*>& captures, const MatchResults& results, int base,
                             int g, int groupEnd, uint16_t parent) {
    auto entry = results.isGroupMatched(g) ? captures.find(static_cast<uint16_t>(g - base)) : captures.end();
    if (entry == captures.end() || !entry->second)
        return g + 1;
    uint16_t scope = scopeForRule(entry->second, parent);
    int32_t end = results.getEnd(g);
    addScopeChange(results.getBegin(g), scope);
    int next = g + 1;
    // Groups inside this one take its scope as their parent.
    while (next < groupEnd && results.isGroupMatched(next) && results.getEnd(next) <= end)
        next = applyCapture(captures, results, base, next, groupEnd, scope);
    addScopeChange(end, parent);
    return next;
}

uint16_t LineParser::getDynamicEndPattern(const ParserRule* rule, const MatchResults& results, int group) {
    if (!m_cache)
        return EndPatternCache::MAX_ENTRIES;
    int32_t begin = results.getBegin(group);
    int32_t end = results.getEnd(group);
    uint32_t crc = zem::crc32(static_cast<size_t>(end - begin) * sizeof(wchar_t), m_text + begin);
    uint16_t index = m_cache->find(rule->getId(), crc);
    if (index != EndPatternCache::NO_ENTRY)
        return index;
    // A pattern that does not compile still gets its own entry, which never matches.
    index =
        m_cache->add(rule->getId(), crc, ParserRule::buildEndPattern(*rule->getEndTemplate(), results, m_text, group));
    // A full cache gives an index with no pattern, which keeps clear of the flag bit.
    return index == EndPatternCache::NO_ENTRY ? EndPatternCache::MAX_ENTRIES : index;
}

void LineParser::addScopeChange(int32_t position, uint16_t scope) {
    if (position < 0 || position >= MAX_POSITION)
        return;
    if (!m_runs.empty()) {
        ScopeRun& last = m_runs.back();
        if (last.scope == scope)
            return;
        if (last.column == position) {
            // A replaced record that now repeats the one before it says nothing.
            if (m_runs.size() > 1 && m_runs[m_runs.size() - 2].scope == scope)
                m_runs.pop_back();
            else
                last.scope = scope;
            return;
        }
        if (position < last.column) {
            auto at = std::lower_bound(m_runs.begin(), m_runs.end(), position,
                                       [](const ScopeRun& run, int32_t p) { return run.column < p; });
            m_runs.insert(at, ScopeRun{static_cast<uint16_t>(position), scope});
            return;
        }
    }
    m_runs.push_back(ScopeRun{static_cast<uint16_t>(position), scope});
}

void LineParser::buildBlock(const uint16_t* startStack, size_t startUnits) {
    m_block.assign(HEADER_BYTES, 0);
    const uint8_t* start = reinterpret_cast<const uint8_t*>(startStack);
    m_block.insert(m_block.end(), start, start + startUnits * 2);
    padTo4(m_block);
    size_t runsOffset = m_block.size();
    const uint8_t* runs = reinterpret_cast<const uint8_t*>(m_runs.data());
    m_block.insert(m_block.end(), runs, runs + m_runs.size() * sizeof(ScopeRun));
    size_t stackOffset = m_block.size();
    const uint8_t* stack = reinterpret_cast<const uint8_t*>(m_stack.data());
    m_block.insert(m_block.end(), stack, stack + m_stack.size() * 2);
    padTo4(m_block);
    putU32(&m_block[0], static_cast<uint32_t>(m_block.size()));
    putU32(&m_block[4], static_cast<uint32_t>(runsOffset));
    putU32(&m_block[8], static_cast<uint32_t>(stackOffset));
    putU32(&m_block[12], static_cast<uint32_t>(m_stack.size() * 2));
}

void LineParser::storeBlock(LineHeader* header) {
    size_t size = m_block.size();
    if (!header->parserBlock || getU32(header->parserBlock) < size) {
        freeParserBlock(header->parserBlock);
        header->parserBlock = allocateParserBlock(size);
    }
    std::memcpy(header->parserBlock, m_block.data(), size);
    header->flags &= static_cast<uint16_t>(~LINE_DIRTY);
}

} // namespace corvel
