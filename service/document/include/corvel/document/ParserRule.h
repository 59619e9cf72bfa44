// One compiled grammar rule: the scope it opens, the combined pattern of its child rules,
// its end pattern (static, or a template whose back-references are filled from the begin
// match) and the rules that name its captures. Built by the grammar compiler on one
// thread, then only read by the line parsers.
#pragma once
#include "corvel/document/PatternStart.h"
#include "corvel/text/RegEx.h"
#include "corvel/text/RegExComposite.h"
#include "corvel/text/RegExLiteral.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class ParserRule;
class ParserRuleRepository;

// An end pattern with back-references: each is stored as the two units 0, group number.
struct EndPatternTemplate {
    std::wstring text;
    uint32_t options = zem::REGEX_CAPTURE_GROUP;
    uint8_t globalFlag = 0;
};

typedef std::map<uint16_t, ParserRule*> CaptureMap;

// A pattern as the line parser searches it, compiled once. \G matches only where the
// enclosing rule's last match ended: the parser searches with `atAnchor` from there, and
// with `elsewhere` (where \G never matches) from anywhere else.
struct ScanPattern {
    RegExPtr atAnchor;
    RegExPtr elsewhere; // the same object when the pattern holds no \G
    PatternStart start; // where a match can start

    bool holdsAnchor() const { return atAnchor != elsewhere; }
    // Null when the pattern does not compile.
    static std::shared_ptr<const ScanPattern> compile(const std::wstring& pattern, uint32_t options,
                                                      uint8_t globalFlag);
};

// A child as its parent searches for it.
struct ScanChild {
    ParserRule* rule;
    std::shared_ptr<const ScanPattern> pattern;
    bool own; // the child's own pattern, shared by every parent (added with one text)
};

class ParserRule {
public:
    ParserRule();
    virtual ~ParserRule();
    ParserRule(const ParserRule&) = delete;
    ParserRule& operator=(const ParserRule&) = delete;

    // Rules alive in the process.
    static int liveCount();

    const std::wstring& getPath() const { return m_path; }
    void setPath(const std::wstring& path) { m_path = path; }
    const std::wstring& getScopeName() const { return m_scopeName; }
    void setScopeName(const std::wstring& name) { m_scopeName = name; }
    ParserRule* getContentRule() const { return m_contentRule; }
    void setContentRule(ParserRule* rule) { m_contentRule = rule; }

    // Capture keys count groups of the rule's own pattern; key 0 is the whole match.
    const CaptureMap& getCaptures() const { return m_captures; }
    void setCapture(uint16_t key, ParserRule* rule) { m_captures[key] = rule; }
    const CaptureMap& getEndCaptures() const { return m_endCaptures; }
    void setEndCapture(uint16_t key, ParserRule* rule) { m_endCaptures[key] = rule; }

    // Adds the child's match or begin pattern to the combined pattern. A child already
    // present changes nothing and answers true; otherwise false, whether or not the
    // pattern compiled (a pattern that does not compile is logged and the child left out).
    bool addChild(const RegExLiteral& pattern, ParserRule* child);
    const std::vector<ParserRule*>& getChildren() const { return m_children; }
    // The children in order, each with its pattern compiled once for all parents.
    const std::vector<ScanChild>& getScanChildren() const { return m_scanChildren; }

    // Makes the rule a begin/end rule: a template when the pattern has back-references,
    // else a compiled static pattern (one that does not compile never matches).
    void setEndPattern(const RegExLiteral& pattern);
    const RegEx* getStaticEnd() const { return m_staticEnd.get(); }
    // The static end pattern where \G cannot match (the static pattern itself without \G).
    const RegEx* getStaticEndElsewhere() const { return m_staticEndElsewhere.get(); }
    const PatternStart& getStaticEndStart() const { return m_staticEndStart; }
    const EndPatternTemplate* getEndTemplate() const { return m_endTemplate.get(); }
    bool isBeginRule() const { return m_staticEnd || m_endTemplate; }
    // The end pattern holds \G.
    bool isEndAnchored() const { return m_endAnchored; }

    uint16_t getId() const { return m_id; }
    ParserRuleRepository* getRepository() const { return m_repository; }

    // The combined child pattern, compiled on first use (any thread); null without
    // children or when it does not compile. The line parser searches the children one by
    // one (getScanChildren) and does not need it.
    const RegEx* getChildPattern() const;
    // The child whose alternative is the first matched group of a combined match, and the
    // group after that alternative's own groups; null when no child owns the group.
    ParserRule* childForGroup(int group, int* groupEnd) const;
    // The pattern compiled again with \G never matching; null when it holds no \G (or the
    // rewritten text does not compile).
    static RegExPtr withoutAnchor(const RegEx& pattern);

    // None when the pattern has no back-reference.
    static std::unique_ptr<EndPatternTemplate> makeEndTemplate(const RegExLiteral& pattern);
    // Fills each back-reference k with the text of group base + k, punctuation and white
    // space escaped so that the text matches itself; null when the result does not compile.
    static RegExPtr buildEndPattern(const EndPatternTemplate& pattern, const MatchResults& results, const wchar_t* text,
                                    int base);

private:
    friend class ParserRuleRepository;

    struct ChildGroup {
        int group;
        ParserRule* child;
    };

    std::wstring m_path;
    std::wstring m_scopeName;
    ParserRule* m_contentRule = nullptr; // owned by the repository
    CaptureMap m_captures;               // rules owned by the repository
    CaptureMap m_endCaptures;
    mutable RegExComposite m_childComposite;
    RegExPtr m_staticEnd;
    std::unique_ptr<EndPatternTemplate> m_endTemplate; // at most one of the two is set
    uint16_t m_id = 0;                                 // 1-based place in the repository
    ParserRuleRepository* m_repository = nullptr;
    std::vector<ParserRule*> m_children;   // in the order they were added
    std::vector<ChildGroup> m_childGroups; // by increasing group
    std::vector<ScanChild> m_scanChildren; // beside m_children
    // This rule's pattern as a child, compiled at its first addChild, and its text.
    std::shared_ptr<const ScanPattern> m_ownPattern;
    RegExLiteral m_ownLiteral;
    RegExPtr m_staticEndElsewhere;
    PatternStart m_staticEndStart;
    bool m_endAnchored = false;
    // The compiled composite; set once, after which the composite is only read.
    mutable RegExPtr m_childPattern;
    mutable std::atomic<bool> m_childPatternReady{false};
};

} // namespace corvel
