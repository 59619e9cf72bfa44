#include "corvel/document/LineParser.h"

#include "corvel/document/Document.h"
#include "corvel/document/EndPatternCache.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"
#include "zem/base/Crc.h"
#include "undo/LittleEndian.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace corvel {

namespace {

constexpr int32_t NO_MATCH = INT32_MAX;
constexpr size_t HEADER_BYTES = 16;
constexpr size_t BLOCK_STEP = 128;

void padTo4(std::vector<uint8_t>& bytes) {
    bytes.resize((bytes.size() + 3) & ~size_t(3), 0);
}

} // namespace

LineParser::LineParser() : m_endResults(new MatchResultsRegEx()), m_childResults(new MatchResultsRegEx()) {
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
    // The store may have been cleared since the last step.
    for (ScopeCacheEntry& entry : m_scopeCache)
        entry.valid = false;
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
           std::memcmp(header->parserBlock + HEADER_BYTES, previous->parserBlock + above->endStateOffset, startBytes) == 0;
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
    if (!parseText(text.data(), length, startStack, startUnits, line))
        return false;
    storeBlock(header);
    return true;
}

bool LineParser::parseText(const wchar_t* text, int32_t length, const uint16_t* startStack, size_t startUnits,
                           int32_t line) {
    m_text = text;
    m_length = length;
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
    m_scope = m_stack.back();
    m_rule = ruleForScope(m_scope);
    selectEndPattern();
    addScopeChange(0, m_scope);
    m_position = 0;
    m_pendingPlain = -1;
    m_lastEmptyPush = -1;
    m_endSearch = SearchCache();
    m_childSearch = SearchCache();

    while (m_position < m_length) {
        if (!step()) {
            int group = m_childResults->getFirstMatchedGroup();
            zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"Line[%d]: `%s`\n", line,
                            std::wstring(text, text + length).c_str());
            zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE, L"Parser: Invalid capture group %d dump=[%d-%d]\n",
                            group, m_childResults->getBegin(group), m_childResults->getEnd(group));
            m_text = nullptr;
            return false;
        }
    }
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

bool LineParser::step() {
    // Where the end pattern and the children share one pattern, one search finds both.
    const RegEx* both = m_endPattern && m_endPattern == m_rule->getStaticEnd() ? m_rule->getEndAndChildPattern() : nullptr;
    if (both) {
        int32_t bound = NO_MATCH;
        int32_t at = nextMatch(both, false, *m_childResults, m_childSearch, m_position, bound);
        if (at == NO_MATCH) {
            skipPlain(m_length);
            return true;
        }
        if (at > m_position)
            skipPlain(at);
        int endGroupEnd = 0;
        int endGroup = m_rule->getEndAlternativeGroup(&endGroupEnd);
        if (m_childResults->getFirstMatchedGroup() == endGroup) {
            takeEnd(*m_childResults, endGroup, endGroupEnd);
            return true;
        }
        return takeChild(at, true);
    }
    int32_t endBound = NO_MATCH;
    int32_t childBound = NO_MATCH;
    int32_t end = nextMatch(m_endPattern, m_endAnchored, *m_endResults, m_endSearch, m_position, endBound);
    const RegEx* children = m_rule ? m_rule->getChildPattern() : nullptr;
    int32_t child = nextMatch(children, m_rule && m_rule->areChildrenAnchored(), *m_childResults, m_childSearch,
                              m_position, childBound);
    int32_t target = std::min(end, child);
    // Before this no pattern can match; an anchored pattern that failed here may still
    // match one unit on.
    int32_t bound = std::min(endBound, childBound);
    if (target > bound || target == NO_MATCH) {
        skipPlain(bound);
        return true;
    }
    if (target > m_position)
        skipPlain(target);
    if (end <= child) {
        takeEnd(*m_endResults, 0, m_endResults->getCount());
        return true;
    }
    return takeChild(child, false);
}

int32_t LineParser::nextMatch(const RegEx* pattern, bool anchored, MatchResultsRegEx& results, SearchCache& cache,
                              int32_t i, int32_t& bound) {
    if (!pattern) {
        bound = NO_MATCH;
        return NO_MATCH;
    }
    // A search from an earlier position that found nothing before its match still holds,
    // as long as its match lies ahead.
    bool reuse = cache.pattern == pattern && cache.from <= i && (cache.found == NO_MATCH || cache.found >= i) &&
                 (!anchored || cache.from == i);
    if (!reuse) {
        cache.pattern = pattern;
        cache.from = i;
        if (anchored)
            RegEx::match(&results, pattern, m_text, m_text + m_length, m_text + i);
        else
            RegEx::search(&results, pattern, m_text, m_text + m_length, m_text + i, m_text + m_length);
        cache.found = results.isMatched() ? results.getBegin(0) : NO_MATCH;
        // A match at the line's end lies past the last position the parser stands on.
        if (cache.found >= m_length)
            cache.found = NO_MATCH;
    }
    if (anchored)
        bound = cache.found == NO_MATCH ? i + 1 : cache.found;
    else
        bound = cache.found;
    return cache.found;
}

void LineParser::takeEnd(const MatchResults& results, int base, int groupEnd) {
    if (m_pendingPlain >= 0) {
        addScopeChange(m_pendingPlain, m_scope);
        m_pendingPlain = -1;
    }
    const ParserRule* closingRule = m_rule;
    uint16_t closing = m_stack.back();
    m_stack.resize(m_stack.size() - 2);
    addScopeChange(results.getBegin(0), closing);
    if (closingRule)
        applyCaptures(closingRule->getEndCaptures(), results, base, groupEnd, closing);
    m_scope = m_stack.back();
    m_rule = ruleForScope(m_scope);
    m_position = results.getEnd(0);
    if (m_position != m_length)
        addScopeChange(m_position, m_scope);
    selectEndPattern();
}

bool LineParser::takeChild(int32_t at, bool withEnd) {
    const MatchResults& results = *m_childResults;
    int group = results.getFirstMatchedGroup();
    int groupEnd = 0;
    const ParserRule* child =
        withEnd ? m_rule->childForEndAndChildGroup(group, &groupEnd) : m_rule->childForGroup(group, &groupEnd);
    bool empty = results.getBegin(0) == results.getEnd(0);
    // Empty text matched by a match rule, or by a second begin rule at one position, is
    // plain text: nothing can then stall the line or pile up on the stack.
    if (child && empty && (!child->isBeginRule() || m_lastEmptyPush == at)) {
        if (m_pendingPlain < 0)
            m_pendingPlain = at;
        m_position = at + 1;
        m_childSearch = SearchCache();
        return true;
    }
    if (m_pendingPlain >= 0) {
        addScopeChange(m_pendingPlain, m_scope);
        m_pendingPlain = -1;
    }
    if (!child)
        return false;
    uint16_t scope = scopeForRule(child, m_scope);
    addScopeChange(at, scope);
    applyCaptures(child->getCaptures(), results, group, groupEnd, scope);
    if (child->isBeginRule()) {
        uint16_t index = 0;
        if (child->getEndTemplate())
            index = getDynamicEndPattern(child, results, group);
        m_stack.push_back(index);
        m_stack.push_back(scope);
        m_rule = child;
        m_scope = scope;
        selectEndPattern();
        if (empty)
            m_lastEmptyPush = at;
    }
    m_position = results.getEnd(0);
    addScopeChange(m_position, m_scope);
    return true;
}

void LineParser::selectEndPattern() {
    m_endPattern = nullptr;
    m_endAnchored = false;
    // The bottom pair has nothing to end.
    if (!m_rule || m_stack.size() <= 2)
        return;
    m_endAnchored = m_rule->isEndAnchored();
    if (const RegEx* fixed = m_rule->getStaticEnd())
        m_endPattern = fixed->isCompiled() ? fixed : nullptr;
    else if (m_rule->getEndTemplate() && m_cache)
        m_endPattern = m_cache->get(m_stack[m_stack.size() - 2]);
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
    ScopeCacheEntry& cached = m_scopeCache[(key ^ (key >> 16) ^ (key >> 7)) % SCOPE_CACHE_SIZE];
    if (cached.valid && cached.key == key)
        return cached.scope;
    // Scope ids are 16-bit: a store that is full opens no more scopes.
    if (!m_scopes || m_scopes->size() >= 0xFFFF)
        return parent;
    const DocumentScope* scope = m_scopes->intern(rule->getId(), parent, rule->getScopeName().c_str());
    if (!scope)
        return parent;
    cached = ScopeCacheEntry{key, scope->getIndex(), true};
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
        return EndPatternCache::NO_ENTRY;
    int32_t begin = results.getBegin(group);
    int32_t end = results.getEnd(group);
    uint32_t crc = zem::crc32(static_cast<size_t>(end - begin) * sizeof(wchar_t), m_text + begin);
    uint16_t index = m_cache->find(rule->getId(), crc);
    if (index != EndPatternCache::NO_ENTRY)
        return index;
    // A pattern that does not compile still gets its own entry, which never matches.
    return m_cache->add(rule->getId(), crc, ParserRule::buildEndPattern(*rule->getEndTemplate(), results, m_text, group));
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
