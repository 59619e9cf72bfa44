#include "corvel/bundles/LanguageRepository.h"

#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Language.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/ParserRuleRepository.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

// One pattern in one injection context.
struct LanguageRepository::Node {
    const LanguagePattern* pattern = nullptr; // null for the root node
    Node* injection = nullptr;
    ParserRule* rule = nullptr; // owned by the repository
    std::vector<Node*> children;
};

LanguageRepository::LanguageRepository() : m_root(new Node()) {}

LanguageRepository::~LanguageRepository() = default;

LanguageRepository::Node* LanguageRepository::getNode(const LanguagePattern* pattern, bool& isNew) {
    Node* injection = m_injectStack.empty() ? nullptr : m_injectStack.back();
    auto key = std::make_pair(pattern, injection);
    auto it = m_nodes.find(key);
    isNew = it == m_nodes.end();
    if (!isNew)
        return it->second.get();
    Node* node = new Node();
    node->pattern = pattern;
    node->injection = injection;
    m_nodes[key].reset(node);
    return node;
}

LanguageRepository::Node* LanguageRepository::link(Node* parent, const LanguagePattern* pattern) {
    bool isNew = false;
    Node* node = getNode(pattern, isNew);
    if (parent)
        parent->children.push_back(node);
    if (!isNew)
        return node; // linked in this context already: this ends every cycle
    switch (pattern->getKind()) {
    case LanguagePattern::KIND_BEGIN_END:
        if (!m_injectStack.empty())
            node->children.push_back(m_injectStack.back());
        // fall through
    case LanguagePattern::KIND_ROOT:
    case LanguagePattern::KIND_GROUP:
        for (auto& child : pattern->getPatterns()) {
            if (isCancelled())
                break;
            link(node, child.get());
        }
        break;
    case LanguagePattern::KIND_INCLUDE: {
        bool pushed = false;
        const LanguagePattern* inject = pattern->getInjectGroup();
        // A group already in force is not entered again, so nested includes of it end.
        if (inject && std::none_of(m_injectStack.begin(), m_injectStack.end(),
                                   [inject](const Node* group) { return group->pattern == inject; })) {
            // Linking makes the group's node and fills it with the group's patterns; a node
            // made before the linking would count as linked already and stay empty.
            m_injectStack.push_back(link(nullptr, inject));
            pushed = true;
        }
        switch (pattern->getIncludeKind()) {
        case LanguagePattern::INCLUDE_BASE:
            if (!m_grammarStack.empty())
                linkGrammar(node, m_grammarStack.front());
            break;
        case LanguagePattern::INCLUDE_SELF:
            if (!m_grammarStack.empty())
                linkGrammar(node, m_grammarStack.back());
            break;
        case LanguagePattern::INCLUDE_REPOSITORY: {
            const LanguagePattern* target =
                m_grammarStack.empty() ? nullptr : m_grammarStack.back()->findRepositoryPattern(pattern->getIncludeTarget());
            if (!target)
                zem::logMessage(2, BundleManager::logSource(), L"Repository pattern `%s` not found.",
                                pattern->getIncludeTarget().c_str());
            else
                link(node, target);
            break;
        }
        case LanguagePattern::INCLUDE_GRAMMAR: {
            auto it = m_grammars->find(pattern->getIncludeTarget());
            if (it != m_grammars->end())
                linkGrammar(node, it->second);
            break;
        }
        default:
            break;
        }
        if (pushed)
            m_injectStack.pop_back();
        break;
    }
    default:
        break;
    }
    return node;
}

LanguageRepository::Node* LanguageRepository::linkGrammar(Node* parent, const Language* grammar) {
    bool isNew = false;
    Node* node = getNode(grammar, isNew);
    if (parent)
        parent->children.push_back(node);
    if (!isNew)
        return node;
    m_grammarStack.push_back(grammar);
    if (!m_injectStack.empty())
        node->children.push_back(m_injectStack.back());
    for (auto& child : grammar->getPatterns()) {
        if (isCancelled())
            break;
        link(node, child.get());
    }
    m_root->children.push_back(node);
    m_grammarStack.pop_back();
    return node;
}

ParserRule* LanguageRepository::makeRule(const std::wstring& path, const std::wstring& scopeName) {
    ParserRule* rule = new ParserRule();
    rule->setPath(path);
    rule->setScopeName(scopeName);
    m_repository->appendRule(rule);
    ++m_rulesMade;
    return rule;
}

void LanguageRepository::addChildRules(ParserRule* parent, Node* node) {
    for (size_t i = 0; i < node->children.size(); ++i) {
        if (isCancelled())
            return;
        addChildRule(parent, node->children[i]);
    }
}

void LanguageRepository::addChildRule(ParserRule* parent, Node* child) {
    const LanguagePattern* pattern = child->pattern;
    switch (pattern->getKind()) {
    case LanguagePattern::KIND_MATCH:
    case LanguagePattern::KIND_BEGIN_END: {
        bool isMatch = pattern->getKind() == LanguagePattern::KIND_MATCH;
        if (!child->rule) {
            ParserRule* rule = makeRule(pattern->getPath(), pattern->getName());
            child->rule = rule; // before the children, which may lead back here
            if (isMatch) {
                for (auto& capture : pattern->getCaptures())
                    rule->setCapture(static_cast<uint16_t>(capture.first), makeRule(std::wstring(), capture.second));
            } else {
                for (auto& capture : pattern->getBeginCaptures())
                    rule->setCapture(static_cast<uint16_t>(capture.first), makeRule(std::wstring(), capture.second));
                for (auto& capture : pattern->getEndCaptures())
                    rule->setEndCapture(static_cast<uint16_t>(capture.first), makeRule(std::wstring(), capture.second));
                if (!pattern->getContentName().empty())
                    rule->setContentRule(makeRule(std::wstring(), pattern->getContentName()));
                // A rule's children form a context of their own for cycle cutting.
                std::vector<Node*> outer;
                outer.swap(m_flattening);
                addChildRules(rule, child);
                outer.swap(m_flattening);
                rule->setEndPattern(pattern->getEnd());
            }
        }
        parent->addChild(isMatch ? pattern->getMatch() : pattern->getBegin(), child->rule);
        break;
    }
    case LanguagePattern::KIND_ROOT:
    case LanguagePattern::KIND_GROUP:
    case LanguagePattern::KIND_INCLUDE:
        // Flattened into the parent; a node already being flattened into it is a cycle
        // that passes through no rule of its own.
        if (std::find(m_flattening.begin(), m_flattening.end(), child) != m_flattening.end()) {
            zem::logMessage(3, BundleManager::logSource(), L"Include cycle at `%s`.", pattern->getPath().c_str());
            m_cycleCut = true;
            return;
        }
        m_flattening.push_back(child);
        addChildRules(parent, child);
        m_flattening.pop_back();
        break;
    default:
        break;
    }
}

std::unique_ptr<ParserRuleRepository> LanguageRepository::compile(const GrammarMap& grammars,
                                                                  std::function<bool()> cancelled) {
    m_cancelled = std::move(cancelled);
    m_grammars = &grammars;
    m_repository.reset(new ParserRuleRepository());
    m_nodes.clear();
    m_root.reset(new Node());
    for (auto& grammar : grammars) {
        if (isCancelled())
            break;
        linkGrammar(nullptr, grammar.second);
    }
    for (size_t i = 0; i < m_root->children.size() && !isCancelled(); ++i) {
        Node* node = m_root->children[i];
        const Language* grammar = static_cast<const Language*>(node->pattern);
        ParserRule* rule = new ParserRule();
        rule->setPath(grammar->getPath());
        rule->setScopeName(grammar->getName());
        m_repository->addRule(rule);
        m_repository->appendRule(rule);
        ++m_rulesMade;
        m_flattening.assign(1, node);
        addChildRules(rule, node);
        m_flattening.clear();
    }
    m_nodes.clear();
    m_root.reset(new Node());
    if (isCancelled()) {
        m_repository.reset();
        return nullptr;
    }
    return std::move(m_repository);
}

} // namespace corvel
