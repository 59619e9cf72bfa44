#include "corvel/document/ParserRule.h"

#include "corvel/text/RegExCache.h"
#include "zem/log/LogManager.h"
#include "zem/thread/CriticalSection.h"

#include <algorithm>

namespace corvel {

namespace {

std::atomic<int> g_liveRules{0};

constexpr uint32_t INLINE_OPTION_BITS = zem::REGEX_IGNORE_CASE | zem::REGEX_EXTENDED | zem::REGEX_MULTILINE;
constexpr uint32_t MAX_GROUP_REFERENCE = 65535;

// Whether an unescaped \G stands in the pattern.
bool holdsSearchAnchor(const std::wstring& pattern) {
    for (size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != L'\\')
            continue;
        if (pattern[i + 1] == L'G')
            return true;
        ++i;
    }
    return false;
}

// The pattern with every \G outside a character class made a look-ahead that never
// matches, so that it cannot match anywhere.
std::wstring withoutSearchAnchor(const std::wstring& pattern) {
    std::wstring out;
    out.reserve(pattern.size() + 8);
    int classDepth = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        wchar_t c = pattern[i];
        if (c == L'\\' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == L'G' && classDepth == 0)
                out += L"(?!)";
            else
                out.append(pattern, i, 2);
            ++i;
            continue;
        }
        if (c == L'[')
            ++classDepth;
        else if (c == L']' && classDepth > 0)
            --classDepth;
        out += c;
    }
    return out;
}

// Every ASCII punctuation and white-space character: escaped, each matches itself, and
// captured text can bring in no pattern syntax (also under "x", where bare spaces and
// "#" would vanish).
bool needsEscape(wchar_t c) {
    if (c == L' ' || (c >= 9 && c <= 13))
        return true;
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
}

zem::CriticalSection& childPatternLock() {
    static zem::CriticalSection lock;
    return lock;
}

} // namespace

ParserRule::ParserRule() {
    ++g_liveRules;
}

ParserRule::~ParserRule() {
    --g_liveRules;
}

int ParserRule::liveCount() {
    return g_liveRules.load();
}

std::shared_ptr<const ScanPattern> ScanPattern::compile(const std::wstring& pattern, uint32_t options,
                                                        uint8_t globalFlag) {
    std::shared_ptr<ScanPattern> out(new ScanPattern());
    out->atAnchor = RegExCache::get(pattern, options, globalFlag);
    if (!out->atAnchor->isCompiled())
        return nullptr;
    out->start = PatternStart::of(pattern, options);
    out->elsewhere = ParserRule::withoutAnchor(*out->atAnchor);
    if (!out->elsewhere)
        out->elsewhere = out->atAnchor;
    return out;
}

bool ParserRule::addChild(const RegExLiteral& pattern, ParserRule* child) {
    if (std::find(m_children.begin(), m_children.end(), child) != m_children.end())
        return true;
    RegExOptions options = parseRegExOptions(pattern.options().c_str());
    uint32_t bits = (options.bits & INLINE_OPTION_BITS) | zem::REGEX_CAPTURE_GROUP;
    // A child reached from many parents is compiled once, the first time it is added.
    bool own = !child->m_ownPattern || child->m_ownLiteral == pattern;
    std::shared_ptr<const ScanPattern> compiled = own && child->m_ownPattern ? child->m_ownPattern : nullptr;
    if (!compiled) {
        compiled = ScanPattern::compile(pattern.pattern(), bits, 0);
        if (!compiled) {
            zem::RegExError error;
            RegEx::create(pattern.pattern(), bits, 0)->getError(error);
            zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE,
                            L"RegExComposite::push: Error compiling partial RE: `%s`", error.message.c_str());
            return false;
        }
        if (own) {
            child->m_ownPattern = compiled;
            child->m_ownLiteral = pattern;
        }
    }
    int group = m_childComposite.pushCompiled(options.bits & INLINE_OPTION_BITS, pattern.pattern(),
                                              compiled->atAnchor->captureCount(), child);
    m_children.push_back(child);
    m_childGroups.push_back(ChildGroup{group, child});
    m_scanChildren.push_back(ScanChild{child, compiled, own});
    m_childPattern.reset();
    m_childPatternReady.store(false);
    return false;
}

const RegEx* ParserRule::getChildPattern() const {
    if (m_childGroups.empty())
        return nullptr;
    if (!m_childPatternReady.load(std::memory_order_acquire)) {
        // Parse workers of several documents may share the rule.
        zem::CriticalSectionLock guard(childPatternLock());
        if (!m_childPatternReady.load(std::memory_order_relaxed)) {
            m_childPattern = m_childComposite.build();
            m_childPatternReady.store(true, std::memory_order_release);
        }
    }
    const RegEx* pattern = m_childPattern.get();
    return pattern && pattern->isCompiled() ? pattern : nullptr;
}

namespace {

// The entry of a group among groups by increasing number, and the group after its own.
template <class Entry>
const Entry* findGroup(const std::vector<Entry>& groups, int group, int nextGroup, int* groupEnd) {
    auto it = std::lower_bound(groups.begin(), groups.end(), group,
                               [](const Entry& entry, int g) { return entry.group < g; });
    if (it == groups.end() || it->group != group)
        return nullptr;
    if (groupEnd)
        *groupEnd = it + 1 != groups.end() ? (it + 1)->group : nextGroup;
    return &*it;
}

} // namespace

ParserRule* ParserRule::childForGroup(int group, int* groupEnd) const {
    const ChildGroup* entry = findGroup(m_childGroups, group, m_childComposite.nextGroupNumber(), groupEnd);
    return entry ? entry->child : nullptr;
}

void ParserRule::setEndPattern(const RegExLiteral& pattern) {
    m_endAnchored = holdsSearchAnchor(pattern.pattern());
    m_staticEndElsewhere.reset();
    m_staticEndStart = PatternStart();
    m_endTemplate = makeEndTemplate(pattern);
    if (m_endTemplate) {
        m_staticEnd.reset();
        return;
    }
    RegExOptions options = parseRegExOptions(pattern.options().c_str());
    m_staticEnd = RegExCache::get(pattern.pattern(), options.bits, options.globalFlag);
    RegExPtr elsewhere = m_staticEnd->isCompiled() ? withoutAnchor(*m_staticEnd) : nullptr;
    m_staticEndElsewhere = elsewhere ? elsewhere : m_staticEnd;
    m_staticEndStart = PatternStart::of(pattern.pattern(), options.bits);
}

RegExPtr ParserRule::withoutAnchor(const RegEx& pattern) {
    if (!holdsSearchAnchor(pattern.pattern()))
        return nullptr;
    RegExPtr elsewhere =
        RegExCache::get(withoutSearchAnchor(pattern.pattern()), pattern.options(), pattern.globalFlag());
    return elsewhere->isCompiled() ? elsewhere : nullptr;
}

std::unique_ptr<EndPatternTemplate> ParserRule::makeEndTemplate(const RegExLiteral& pattern) {
    std::unique_ptr<EndPatternTemplate> out(new EndPatternTemplate());
    RegExOptions options = parseRegExOptions(pattern.options().c_str());
    out->options = options.bits;
    out->globalFlag = options.globalFlag;
    const std::wstring& text = pattern.pattern();
    bool seen = false;
    bool escape = false;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (!escape) {
            if (c == L'\\')
                escape = true;
            else
                out->text += c;
            continue;
        }
        escape = false;
        if (c < L'0' || c > L'9') {
            out->text += L'\\';
            out->text += c;
            continue;
        }
        uint32_t number = 0;
        size_t end = i;
        // Digits beyond the largest group number only keep the number too large.
        while (end < text.size() && text[end] >= L'0' && text[end] <= L'9') {
            if (number <= MAX_GROUP_REFERENCE)
                number = number * 10 + (text[end] - L'0');
            ++end;
        }
        if (number <= MAX_GROUP_REFERENCE) {
            out->text += L'\0';
            out->text += static_cast<wchar_t>(number);
        }
        seen = true;
        i = end - 1;
    }
    if (escape)
        out->text += L'\\';
    if (!seen)
        return nullptr;
    return out;
}

RegExPtr ParserRule::buildEndPattern(const EndPatternTemplate& pattern, const MatchResults& results,
                                     const wchar_t* text, int base) {
    std::wstring out;
    out.reserve(pattern.text.size() + 16);
    const std::wstring& t = pattern.text;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] != 0) {
            out += t[i];
            continue;
        }
        if (++i >= t.size())
            break;
        int group = base + static_cast<int>(t[i]);
        if (group >= results.getCount() || !results.isGroupMatched(group))
            continue;
        for (int at = results.getBegin(group); at < results.getEnd(group); ++at) {
            if (needsEscape(text[at]))
                out += L'\\';
            out += text[at];
        }
    }
    RegExPtr compiled = RegEx::create(out, pattern.options, pattern.globalFlag);
    if (!compiled->isCompiled())
        return nullptr;
    return compiled;
}

} // namespace corvel
