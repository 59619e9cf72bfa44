// The rules of one compiled grammar: every rule in a list (a rule's id is its 1-based
// place in it) and the rules registered by the CRC-32 of their scope names.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace corvel {

class ParserRule;

class ParserRuleRepository {
public:
    ParserRuleRepository() = default;
    // Deletes every rule of the list.
    ~ParserRuleRepository();
    ParserRuleRepository(const ParserRuleRepository&) = delete;
    ParserRuleRepository& operator=(const ParserRuleRepository&) = delete;

    // Takes ownership; the rule's id becomes the list's new length, which is returned.
    uint32_t appendRule(ParserRule* rule);
    // False, changing nothing, when a rule with the same scope name is registered.
    bool addRule(ParserRule* rule);
    ParserRule* findRule(const wchar_t* name) const;

    const std::vector<ParserRule*>& getRules() const { return m_rules; }
    // Null for an id outside the list.
    ParserRule* getRule(uint32_t id) const { return id >= 1 && id <= m_rules.size() ? m_rules[id - 1] : nullptr; }

private:
    std::map<uint32_t, ParserRule*> m_byName; // CRC-32 of the scope name
    std::vector<ParserRule*> m_rules;         // owned
};

} // namespace corvel
