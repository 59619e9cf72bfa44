#include "corvel/bundles/BundleEntryEditorMakers.h"
#include "corvel/bundles/LanguageManager.h"

#include "../manager/ConfigHooks.h"

#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageAction.h"
#include "corvel/bundles/LanguageRepository.h"
#include "corvel/bundles/LanguageValidator.h"
#include "corvel/config/BgScheduler.h"
#include "corvel/config/Closure.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/document/ClosureBgJob.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/ParserRuleRepository.h"
#include "corvel/jasmine/JasmineValue.h"
#include "corvel/text/RegExCache.h"
#include "corvel/text/StringUtils.h"
#include "zem/base/Exception.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <windows.h>

namespace corvel {

const wchar_t* const LanguageManager::EXTENSIONS_KEY = L"app.languages.extensions";

namespace {

std::wstring lowerCase(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Carries a compiled repository to the main thread; frees it when dropped undelivered.
class RepositoryClosure : public Closure {
public:
    typedef void (*Function)(void* self, ParserRuleRepository* repository);
    RepositoryClosure(Function function, void* self, ParserRuleRepository* repository)
        : m_function(function), m_self(self), m_repository(repository) {}
    void invoke() override { m_function(m_self, m_repository.release()); }

private:
    Function m_function;
    void* m_self;
    std::unique_ptr<ParserRuleRepository> m_repository;
};

void installIntoRegistry(void* registry, ParserRuleRepository* repository) {
    static_cast<GrammarRegistry*>(registry)->setRepository(repository);
}

} // namespace

LanguageManager::LanguageManager(BundleManager& bundles, InstallFunction install, void* installTarget,
                                 BundleUiHost* host)
    : m_bundles(bundles), m_install(install), m_installTarget(installTarget), m_host(host ? host : &BundleUiHost::none()),
      m_client(new ClosureBgClient()) {
    m_icon = m_host->loadIcon(GRAMMAR_ICON_RESOURCE, LANGUAGE_TYPE_ID);
    m_bundles.onUpdate.add(&onBundlesUpdate, this);
    m_bundles.onUpdateEnd.add(&onBundlesUpdateEnd, this);
    m_configHooks.reset(new ConfigHooks<LanguageManager>(this));
}

LanguageManager::LanguageManager(BundleManager& bundles, GrammarRegistry& registry, BundleUiHost* host)
    : LanguageManager(bundles, &installIntoRegistry, &registry, host) {}

LanguageManager::~LanguageManager() {
    m_configHooks.reset();
    m_bundles.onUpdate.remove(&onBundlesUpdate, this);
    m_bundles.onUpdateEnd.remove(&onBundlesUpdateEnd, this);
    cancelCompilation();
    for (auto& action : m_actions) {
        if (action->getLanguage())
            action->getLanguage()->setAction(nullptr);
        m_host->removeAction(action->getName());
    }
    m_actions.clear();
    if (m_fallbackAction)
        m_host->removeAction(m_fallbackAction->getName());
    if (m_fallback)
        m_fallback->release();
}

void LanguageManager::onConfigReady(Config& config) {
    if (!m_bundles.getEntryManager(LANGUAGE_TYPE_ID))
        m_bundles.registerEntryManager(this);
    if (!m_fallback) {
        const BundleEntryTypeInfo* info = m_bundles.getEntryManager(LANGUAGE_TYPE_ID);
        if (info) {
            m_fallback = new Language(info, zem::Uuid());
            m_fallback->beginUpdate();
            m_fallback->setTitle(L"None");
            m_fallback->endUpdate();
            m_fallbackAction.reset(new LanguageAction(m_fallback));
            m_host->addAction(BundleAction{m_fallbackAction->getName(), m_fallbackAction->getTitle(), L"ui.editor",
                                           L"", [this] { runSelectAction(m_fallback); }});
        }
    }
    m_configuredPatterns.clear();
    zem::CriticalSectionLock guard(config.getLock());
    ConfigValue* value = config.getValue(EXTENSIONS_KEY);
    if (!value || value->getType() != ConfigValue::TYPE_LIST)
        return;
    for (const ConfigValue& element : value->getList()) {
        const JasmineValue* dictionary = element.getType() == ConfigValue::TYPE_JASMINE ? element.getJasmine() : nullptr;
        if (!dictionary || !dictionary->isDictionary())
            continue;
        const JasmineValue& name = dictionary->find(L"grammar_name");
        const JasmineValue& extensions = dictionary->find(L"extensions");
        if (name.getType() != JasmineValue::TYPE_STRING || !*name.asString(L"") || !extensions.isList())
            continue;
        const JasmineValue* first = nullptr;
        const JasmineValue* last = nullptr;
        extensions.listRange(first, last);
        for (const JasmineValue* it = first; it != last; ++it) {
            if (it->getType() == JasmineValue::TYPE_STRING && *it->asString(L""))
                m_configuredPatterns.push_back(FilePattern(lowerCase(it->asString(L"")), name.asString(L"")));
        }
    }
}

void LanguageManager::onConfigExit(Config& config) {
    JasmineValue::List groups;
    std::vector<JasmineValue> dictionaries;
    for (const FilePattern& pair : m_configuredPatterns) {
        auto it = std::find_if(dictionaries.begin(), dictionaries.end(), [&](const JasmineValue& d) {
            return pair.second == d.find(L"grammar_name").asString(L"");
        });
        if (it == dictionaries.end()) {
            JasmineValue dictionary(JasmineValue::TYPE_DICTIONARY);
            dictionary.getOrAddEntry(L"grammar_name").setString(pair.second);
            dictionary.getOrAddEntry(L"extensions") = JasmineValue(JasmineValue::TYPE_LIST);
            dictionaries.push_back(dictionary);
            it = dictionaries.end() - 1;
        }
        it->getOrAddEntry(L"extensions").appendElement().setString(pair.first);
    }
    ConfigValue::List list;
    for (const JasmineValue& dictionary : dictionaries) {
        list.emplace_back(ConfigValue::TYPE_JASMINE);
        list.back().setJasmine(dictionary);
    }
    zem::CriticalSectionLock guard(config.getLock());
    ConfigValue* value = config.getValue(EXTENSIONS_KEY);
    if (!value)
        value = config.declareValue(EXTENSIONS_KEY, ConfigValue::TYPE_LIST);
    if (value)
        value->setList(list);
}

BundleEntry* LanguageManager::createEntry(uint32_t typeId, const zem::Uuid& uuid) {
    return new Language(m_bundles.getEntryManager(typeId), uuid);
}

void LanguageManager::getEntryType(BundleEntryTypeInfo& out) {
    fillStandardEntryType(LANGUAGE_TYPE_ID, out);
    out.order = -10;
    out.icon = m_icon;
    out.label = L"grammars";
    out.name = L"grammar";
    out.extension = L"cvGrammar";
    static const std::shared_ptr<BundleEntryValidator> validator = std::make_shared<LanguageValidator>();
    out.validator = validator;
}

BundleEntryEditorFactory LanguageManager::getEditorFactory(BundleEntry* entry) {
    (void)entry;
    return getBundleEntryEditorMakers().source;
}

bool LanguageManager::installEntry(BundleEntry* entry) {
    Language* language = dynamic_cast<Language*>(entry);
    if (!language || entry->getType() != LANGUAGE_TYPE_ID)
        return true;
    m_grammars.insert(std::make_pair(language->getName(), language));
    addAction(language);
    for (const std::wstring& type : language->getFileTypes()) {
        bool claimed = std::any_of(m_grammarPatterns.begin(), m_grammarPatterns.end(),
                                   [&](const FilePattern& p) { return p.first == type; });
        if (!claimed)
            m_grammarPatterns.push_back(FilePattern(type, language->getName()));
    }
    startCompilation(true);
    return true;
}

bool LanguageManager::uninstallEntry(BundleEntry* entry) {
    Language* language = dynamic_cast<Language*>(entry);
    if (!language || entry->getType() != LANGUAGE_TYPE_ID)
        return true;
    cancelCompilation();
    // Its own action goes whether or not it holds the map: another grammar of its name may.
    removeAction(language);
    auto it = m_grammars.find(language->getName());
    if (it == m_grammars.end() || it->second != language)
        return true;
    m_grammars.erase(it);
    const std::wstring name = language->getName();
    m_grammarPatterns.erase(std::remove_if(m_grammarPatterns.begin(), m_grammarPatterns.end(),
                                           [&](const FilePattern& p) { return p.second == name; }),
                            m_grammarPatterns.end());
    startCompilation(true);
    return true;
}

void LanguageManager::onEntryUpdateBegin(BundleEntry* entry) {
    (void)entry;
    cancelCompilation();
}

void LanguageManager::onEntryChanged(BundleEntry* entry) {
    cancelCompilation();
    uninstallEntry(entry);
    installEntry(entry);
    startCompilation(false);
}

void LanguageManager::addAction(Language* language) {
    std::unique_ptr<LanguageAction> action(new LanguageAction(language));
    language->setAction(action.get());
    m_host->addAction(BundleAction{action->getName(), action->getTitle(), L"ui.editor", L"",
                                   [this, language] { runSelectAction(language); }});
    m_actions.push_back(std::move(action));
}

void LanguageManager::removeAction(Language* language) {
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
        if ((*it)->getLanguage() != language)
            continue;
        language->setAction(nullptr);
        m_host->removeAction((*it)->getName());
        m_actions.erase(it);
        return;
    }
}

Language* LanguageManager::getLanguage(const std::wstring& name) const {
    auto it = name.empty() ? m_grammars.end() : m_grammars.find(name);
    return it == m_grammars.end() ? m_fallback : it->second;
}

Language* LanguageManager::getLanguageForFile(const std::wstring& fileName) const {
    if (fileName.empty())
        return m_fallback;
    std::wstring name = lowerCase(fileName);
    const FilePattern* best = nullptr;
    for (const std::vector<FilePattern>* list : {&m_configuredPatterns, &m_grammarPatterns}) {
        for (const FilePattern& pair : *list) {
            if ((!best || pair.first.size() > best->first.size()) && matchesFileSuffix(name.c_str(), pair.first.c_str()))
                best = &pair;
        }
    }
    return best ? getLanguage(best->second) : m_fallback;
}

void LanguageManager::getGrammarFilePatterns(const std::wstring& grammarName, std::vector<std::wstring>& out) const {
    for (const FilePattern& pair : m_grammarPatterns) {
        if (pair.second == grammarName)
            out.push_back(pair.first);
    }
}

void LanguageManager::getConfiguredFilePatterns(const std::wstring& grammarName,
                                                std::vector<std::wstring>& out) const {
    for (const FilePattern& pair : m_configuredPatterns) {
        if (pair.second == grammarName)
            out.push_back(pair.first);
    }
}

void LanguageManager::rememberExtension(const std::wstring& grammarName, const std::wstring& extension) {
    if (extension.empty())
        return;
    std::wstring pattern = lowerCase(extension);
    for (FilePattern& pair : m_configuredPatterns) {
        if (pair.first == pattern) {
            pair.second = grammarName;
            return;
        }
    }
    m_configuredPatterns.push_back(FilePattern(pattern, grammarName));
}

std::vector<LanguageAction*> LanguageManager::getLanguageList() const {
    std::vector<LanguageAction*> out;
    if (m_fallbackAction)
        out.push_back(m_fallbackAction.get());
    for (auto& action : m_actions)
        out.push_back(action.get());
    std::stable_sort(out.begin(), out.end(), [](LanguageAction* a, LanguageAction* b) {
        return _wcsicmp(a->getTitle().c_str(), b->getTitle().c_str()) < 0;
    });
    return out;
}

void LanguageManager::runSelectAction(Language* language) {
    DocumentController* controller = m_host->getActiveController();
    if (!controller || !language)
        return;
    controller->setLanguage(language->getName());
    onLanguageSelected(language, controller->getFilePath());
}

void LanguageManager::onLanguageSelected(Language* language, const std::wstring& filePath) {
    if (!language || language == m_fallback || filePath.empty())
        return;
    size_t separator = filePath.find_last_of(L"\\/");
    size_t dot = filePath.rfind(L'.');
    if (dot == std::wstring::npos || (separator != std::wstring::npos && dot < separator))
        return;
    rememberExtension(language->getName(), filePath.substr(dot + 1));
}

void LanguageManager::onBundlesUpdate(void* self, BundleManager*) {
    LanguageManager* manager = static_cast<LanguageManager*>(self);
    manager->m_bundlesReady = false;
    manager->m_compilePending = false;
}

void LanguageManager::onBundlesUpdateEnd(void* self, BundleManager*) {
    LanguageManager* manager = static_cast<LanguageManager*>(self);
    manager->m_bundlesReady = true;
    if (manager->m_compilePending) {
        manager->m_compilePending = false;
        manager->startCompilation(false);
    }
}

void LanguageManager::startCompilation(bool onlyWhenReady) {
    if (onlyWhenReady && !m_bundlesReady) {
        m_compilePending = true;
        return;
    }
    cancelCompilation();
    m_compiling = true;
    ClosureBgJob* job = new ClosureBgJob(m_client.get(), nullptr);
    job->setClosure(new Closure_2<ClosureBgJob*, LanguageRepository*>(&compileStep, this, job, nullptr));
    m_job = job;
    BgScheduler& scheduler = m_bundles.getClosureScheduler();
    scheduler.attachJob(job);
    scheduler.queueJob(job, false);
    m_status = m_host->pushStatus(L"Compiling grammars...");
}

void LanguageManager::cancelCompilation() {
    if (m_job) {
        ClosureBgJob* job = m_job;
        m_job = nullptr;
        BgScheduler& scheduler = m_bundles.getClosureScheduler();
        scheduler.removeJob(job);
        scheduler.cancelJob(job); // sets the cancel flag the compiler asks; returns once the worker let go
        bool inFlight = false;
        {
            zem::CriticalSectionLock guard(scheduler.getLock());
            if (job->messageCount() > 0) {
                // The scheduler frees it when its last message arrives, dropped.
                job->setState(BgJob::STATE_DEAD);
                inFlight = true;
            }
        }
        if (!inFlight)
            delete job;
    }
    if (m_compiling) {
        m_compiling = false;
        m_host->popStatus(m_status);
        m_status = 0;
    }
}

void LanguageManager::compileStep(void* self, ClosureBgJob* job, LanguageRepository* unused) {
    (void)unused;
    LanguageManager* manager = static_cast<LanguageManager*>(self);
    LanguageRepository compiler;
    std::unique_ptr<ParserRuleRepository> result =
        compiler.compile(manager->m_grammars, [job] { return job->isCancelRequested(); });
    if (job->isCancelRequested())
        result.reset();
    job->postToMainThread(new RepositoryClosure(&installRepository, self, result.release()));
}

void LanguageManager::installRepository(void* self, ParserRuleRepository* repository) {
    zem::checkMainThread();
    LanguageManager* manager = static_cast<LanguageManager*>(self);
    std::unique_ptr<ParserRuleRepository> owned(repository);
    manager->m_compiling = false;
    manager->m_host->popStatus(manager->m_status);
    manager->m_status = 0;
    // No result (cancelled) never replaces the rules in force.
    if (!owned)
        return;
    manager->onReplacing.invoke(manager);
    if (manager->m_install)
        manager->m_install(manager->m_installTarget, owned.release());
    else
        manager->m_repository = std::move(owned);
    // The rules replaced are gone, and with them the last holders of their patterns.
    RegExCache::prune();
    manager->onCompiled.invoke(manager);
}

} // namespace corvel
