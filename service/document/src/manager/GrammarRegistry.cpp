#include "corvel/document/GrammarRegistry.h"

#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"

#include <vector>

namespace corvel {

GrammarRegistry::GrammarRegistry() = default;

GrammarRegistry::~GrammarRegistry() {
    if (m_repository) {
        notifyAll(false);
        m_repository.reset();
    }
    m_subscriptions.clear();
}

const ParserRule* GrammarRegistry::resolve(const std::wstring& name, bool flag) const {
    if (!flag || name.empty() || !m_repository)
        return nullptr;
    return m_repository->findRule(name.c_str());
}

bool GrammarRegistry::subscribe(const std::wstring& name, void* object, Function function) {
    if (name.empty() || !function)
        return false;
    bool present = false;
    const auto range = m_subscriptions.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.object == object && it->second.function == function)
            present = true;
    }
    // One entry per subscriber: repeated calls would otherwise rebind and re-parse once
    // per past call at every recompilation.
    if (!present)
        m_subscriptions.insert(range.second, std::make_pair(name, Subscriber{object, function}));
    const ParserRule* rule = resolve(name, true);
    if (!rule)
        return false;
    function(object, name, rule);
    return true;
}

void GrammarRegistry::unsubscribe(const std::wstring& name, void* object, Function function) {
    const auto range = m_subscriptions.equal_range(name);
    for (auto it = range.first; it != range.second;) {
        if (it->second.object == object && it->second.function == function)
            it = m_subscriptions.erase(it);
        else
            ++it;
    }
}

void GrammarRegistry::unsubscribeAll(void* object, Function function) {
    for (auto it = m_subscriptions.begin(); it != m_subscriptions.end();) {
        if (it->second.object == object && it->second.function == function)
            it = m_subscriptions.erase(it);
        else
            ++it;
    }
}

void GrammarRegistry::notifyAll(bool flag) {
    // Subscribers may subscribe or unsubscribe while being told: walk a copy.
    std::vector<std::pair<std::wstring, Subscriber>> subscribers(m_subscriptions.begin(), m_subscriptions.end());
    for (const auto& entry : subscribers) {
        const ParserRule* rule = resolve(entry.first, flag);
        if (!flag || rule)
            entry.second.function(entry.second.object, entry.first, rule);
    }
}

void GrammarRegistry::setRepository(ParserRuleRepository* repository) {
    if (m_repository) {
        notifyAll(false);
        m_repository.reset();
    }
    m_repository.reset(repository);
    if (m_repository)
        notifyAll(true);
}

} // namespace corvel
