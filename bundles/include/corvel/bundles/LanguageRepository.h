// Compiles every installed grammar into one ParserRuleRepository: resolves includes
// ("$self", "$base", "#key", other grammars by scope name) and injections, makes one rule
// per pattern and injection context, and ends include cycles. Lives for one compilation
// on a background worker; the cancel test is asked between steps.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class Language;
class LanguagePattern;
class ParserRule;
class ParserRuleRepository;

class LanguageRepository {
public:
    typedef std::map<std::wstring, Language*> GrammarMap;

    LanguageRepository();
    ~LanguageRepository();
    LanguageRepository(const LanguageRepository&) = delete;
    LanguageRepository& operator=(const LanguageRepository&) = delete;

    // Null when cancelled; otherwise the caller owns the result.
    std::unique_ptr<ParserRuleRepository> compile(const GrammarMap& grammars, std::function<bool()> cancelled = nullptr);

    size_t rulesMade() const { return m_rulesMade; }

private:
    struct Node;

    bool isCancelled() const { return m_cancelled && m_cancelled(); }
    Node* getNode(const LanguagePattern* pattern, bool& isNew);
    Node* link(Node* parent, const LanguagePattern* pattern);
    Node* linkGrammar(Node* parent, const Language* grammar);
    void addChildRules(ParserRule* parent, Node* node);
    void addChildRule(ParserRule* parent, Node* child);
    ParserRule* makeRule(const std::wstring& path, const std::wstring& scopeName);

    std::function<bool()> m_cancelled;
    std::unique_ptr<ParserRuleRepository> m_repository;
    const GrammarMap* m_grammars = nullptr;
    size_t m_rulesMade = 0;
    std::vector<const Language*> m_grammarStack;
    std::map<std::pair<const LanguagePattern*, Node*>, std::unique_ptr<Node>> m_nodes;
    std::unique_ptr<Node> m_root;
    std::vector<Node*> m_injectStack;
    std::vector<Node*> m_flattening; // nodes being flattened into the current parent rule
    bool m_cycleCut = false;
};

} // namespace corvel
