// Binds grammar scope names ("text.snippet", "source.regexp") to the compiled rules in
// force, so that documents and other users follow a recompilation of the grammars
// without reopening. Owned by the application, made before the document manager; the
// grammar manager hands it each newly compiled repository. Main thread only.
#pragma once
#include <map>
#include <memory>
#include <string>

namespace corvel {

class ParserRule;
class ParserRuleRepository;

class GrammarRegistry {
public:
    // Called as function(object, scope name, rule); a null rule means "no grammar now".
    typedef void (*Function)(void* object, const std::wstring& name, const ParserRule* rule);

    GrammarRegistry();
    // Tells every subscriber that there is no rule, then deletes the repository.
    ~GrammarRegistry();
    GrammarRegistry(const GrammarRegistry&) = delete;
    GrammarRegistry& operator=(const GrammarRegistry&) = delete;

    // Adds the subscriber under name (once per name, object and function; never for an
    // empty name) and resolves the name at once: true, after calling the function, when a
    // rule results.
    bool subscribe(const std::wstring& name, void* object, Function function);
    void unsubscribe(const std::wstring& name, void* object, Function function);
    void unsubscribeAll(void* object, Function function);
    // Resolves every subscriber's name with the flag; with false, or when a rule resulted,
    // calls its function.
    void notifyAll(bool flag);
    // Takes the repository (null: none): subscribers are told there is no rule, the old
    // repository is deleted, then the subscribers whose names the new one holds get their
    // new rules.
    void setRepository(ParserRuleRepository* repository);

    // Null for a false flag, an empty name, no repository, or a name it does not hold.
    const ParserRule* resolve(const std::wstring& name, bool flag) const;
    ParserRuleRepository* getRepository() const { return m_repository.get(); }
    size_t subscriptionCount() const { return m_subscriptions.size(); }
    size_t subscriptionCount(const std::wstring& name) const { return m_subscriptions.count(name); }

private:
    struct Subscriber {
        void* object;
        Function function;
    };

    std::unique_ptr<ParserRuleRepository> m_repository;
    std::multimap<std::wstring, Subscriber> m_subscriptions;
};

} // namespace corvel
