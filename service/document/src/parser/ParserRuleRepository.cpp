#include "corvel/document/ParserRuleRepository.h"

#include "corvel/document/ParserRule.h"
#include "zem/base/Crc.h"

namespace corvel {

ParserRuleRepository::~ParserRuleRepository() {
    for (ParserRule* rule : m_rules)
        delete rule;
}

uint32_t ParserRuleRepository::appendRule(ParserRule* rule) {
    m_rules.push_back(rule);
    rule->m_id = static_cast<uint16_t>(m_rules.size());
    rule->m_repository = this;
    return static_cast<uint32_t>(m_rules.size());
}

bool ParserRuleRepository::addRule(ParserRule* rule) {
    return m_byName.emplace(zem::crc32String(rule->getScopeName().c_str()), rule).second;
}

ParserRule* ParserRuleRepository::findRule(const wchar_t* name) const {
    auto found = m_byName.find(zem::crc32String(name));
    return found == m_byName.end() ? nullptr : found->second;
}

} // namespace corvel
