// Keeps the installed grammars, chooses the grammar of a file by its name, offers one
// select-grammar action per grammar, remembers the extensions the user assigned
// ("app.languages.extensions") and keeps the compiled rules current: every change of the
// set of grammars cancels the running compilation, and one compilation runs when the
// bundle manager's update bracket ends. Main thread, except the compile step.
#pragma once
#include "corvel/bundles/BundleEntryManager.h"
#include "corvel/document/ParserRuleRepository.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class BundleManager;
class BundleUiHost;
class ClosureBgClient;
class ClosureBgJob;
class Config;
class ConfigManager;
class GrammarRegistry;
template <class Owner> class ConfigHooks;
class Language;
class LanguageAction;
class LanguageRepository;
class ParserRuleRepository;

class LanguageManager : public BundleEntryManager {
public:
    enum : int { GRAMMAR_ICON_RESOURCE = 102 };
    static const wchar_t* const EXTENSIONS_KEY; // "app.languages.extensions"
    typedef std::pair<std::wstring, std::wstring> FilePattern; // (pattern, grammar name)
    typedef zem::CallbackList<void(LanguageManager*)> Notify;

    // Takes each compiled repository (null: none any more). The application installs
    // through its grammar registry (GrammarRegistry::setRepository).
    typedef void (*InstallFunction)(void* target, ParserRuleRepository* repository);

    // Without an install function the manager keeps the latest repository itself.
    // Subscribes to the bundle manager's update bracket and to the configuration manager
    // when one exists.
    LanguageManager(BundleManager& bundles, InstallFunction install = nullptr, void* installTarget = nullptr,
                    BundleUiHost* host = nullptr);
    // Installs each compiled repository through GrammarRegistry::setRepository.
    LanguageManager(BundleManager& bundles, GrammarRegistry& registry, BundleUiHost* host = nullptr);
    ~LanguageManager() override;

    // Registers the grammar kind, makes the fallback grammar, reads the configured patterns.
    void onConfigReady(Config& config);
    // Rebuilds "app.languages.extensions" from the configured patterns.
    void onConfigExit(Config& config);

    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override;
    void getEntryType(BundleEntryTypeInfo& out) override;
    bool installEntry(BundleEntry* entry) override;
    bool uninstallEntry(BundleEntry* entry) override;
    BundleEntryEditorFactory getEditorFactory(BundleEntry* entry) override;
    void onEntryUpdateBegin(BundleEntry* entry) override;
    void onEntryChanged(BundleEntry* entry) override;

    // The fallback grammar for an empty or unknown name.
    Language* getLanguage(const std::wstring& name) const;
    Language* getFallbackLanguage() const { return m_fallback; }
    Language* getLanguageForFile(const std::wstring& fileName) const;
    void getGrammarFilePatterns(const std::wstring& grammarName, std::vector<std::wstring>& out) const;
    void getConfiguredFilePatterns(const std::wstring& grammarName, std::vector<std::wstring>& out) const;
    // Stored lower-cased: file names are compared lower-cased.
    void rememberExtension(const std::wstring& grammarName, const std::wstring& extension);
    // The select-grammar actions, by title without regard to case.
    std::vector<LanguageAction*> getLanguageList() const;
    // The select-grammar action: the active document takes the grammar, and the extension
    // of its file is remembered for it.
    void runSelectAction(Language* language);
    // Remembers the extension of the file for the grammar (not for the fallback).
    void onLanguageSelected(Language* language, const std::wstring& filePath);

    bool isCompiling() const { return m_compiling; }
    // The latest repository when no install function was given.
    ParserRuleRepository* getRepository() const { return m_repository.get(); }
    // Starts a compilation now (or, with onlyWhenReady, when the update bracket ends).
    void startCompilation(bool onlyWhenReady);
    void cancelCompilation();

    Notify onCompiled;  // after a new repository was installed
    Notify onReplacing; // before the installed one is replaced

private:
    static void onBundlesUpdate(void* self, BundleManager*);
    static void onBundlesUpdateEnd(void* self, BundleManager*);
    static void compileStep(void* self, ClosureBgJob* job, LanguageRepository* unused);
    static void installRepository(void* self, ParserRuleRepository* repository);

    void addAction(Language* language);
    void removeAction(Language* language);

    BundleManager& m_bundles;
    InstallFunction m_install;
    void* m_installTarget;
    std::unique_ptr<ParserRuleRepository> m_repository; // without an install function
    BundleUiHost* m_host;        // never null
    std::unique_ptr<ConfigHooks<LanguageManager>> m_configHooks;
    std::map<std::wstring, Language*> m_grammars; // by name; the first installed wins
    bool m_compiling = false;
    intptr_t m_status = 0;
    bool m_bundlesReady = true;
    bool m_compilePending = false;
    std::unique_ptr<ClosureBgClient> m_client;
    ClosureBgJob* m_job = nullptr; // owned; the running compilation
    std::vector<FilePattern> m_grammarPatterns;
    std::vector<FilePattern> m_configuredPatterns;
    std::vector<std::unique_ptr<LanguageAction>> m_actions;
    Language* m_fallback = nullptr; // owned (one reference)
    std::unique_ptr<LanguageAction> m_fallbackAction;
    const void* m_icon = nullptr;
};

} // namespace corvel
