#include "corvel/document/DocumentManager.h"

#include "corvel/config/BgScheduler.h"
#include "corvel/config/Config.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentIO.h"
#include "corvel/document/DocumentListener.h"
#include "corvel/document/EmacsDetector.h"
#include "corvel/document/GrammarRegistry.h"
#include "corvel/document/ParserClient.h"
#include "corvel/document/ParserJob.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/SoftTabsDetector.h"
#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoRegistry.h"
#include "corvel/text/CodePages.h"
#include "zem/base/Exception.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileWatcher.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogManager.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <windows.h>

namespace corvel {

namespace {

const uint32_t LOG_SOURCE_GENERAL = 0;

// Holds the document's edit lock for a scope, also when something throws.
class EditLock {
public:
    explicit EditLock(Document* document) : m_document(document) { m_document->lockEdit(); }
    ~EditLock() { m_document->unlockEdit(); }
    EditLock(const EditLock&) = delete;
    EditLock& operator=(const EditLock&) = delete;

private:
    Document* m_document;
};

std::unique_ptr<zem::ErrorObject> errorWithCode(uint32_t code) {
    zem::ErrorRecord record;
    record.code = code;
    return std::unique_ptr<zem::ErrorObject>(new zem::ErrorObject(record));
}

int32_t lineEndingFromName(const wchar_t* name) {
    const std::wstring text = name ? name : L"";
    if (text == L"LF")
        return LINE_ENDING_LF;
    if (text == L"CR")
        return LINE_ENDING_CR;
    return LINE_ENDING_CRLF;
}

const wchar_t* lineEndingName(int32_t kind) {
    switch (kind) {
    case LINE_ENDING_CRLF:
        return L"CR+LF";
    case LINE_ENDING_LF:
        return L"LF";
    case LINE_ENDING_CR:
        return L"CR";
    default:
        throw zem::IllegalStateException(L"Unexpected state");
    }
}

} // namespace

// Makes and registers the detectors every load consults.
class DocumentManager::DetectorSet {
public:
    explicit DetectorSet(DocumentManager* manager) : m_manager(manager) {
        m_detectors.push_back(std::make_unique<EmacsDetector>());
        m_detectors.push_back(std::make_unique<SoftTabsDetector>());
        for (const std::unique_ptr<FormatDetector>& detector : m_detectors)
            m_manager->addDetector(detector.get());
    }
    ~DetectorSet() {
        for (const std::unique_ptr<FormatDetector>& detector : m_detectors)
            m_manager->removeDetector(detector.get());
    }

private:
    DocumentManager* m_manager;
    std::vector<std::unique_ptr<FormatDetector>> m_detectors;
};

DocumentManager::DocumentManager(ConfigManager* config, GrammarRegistry* registry)
    : m_registry(registry), m_config(config), m_undoStore(new UndoRegistry()) {
    // The scheduler and the watcher report through the message registry: without one
    // (tools and tests of the loader alone) documents are neither parsed nor watched.
    if (zem::MessageRegistry::instance()) {
        m_parserScheduler.reset(new BgScheduler(L"parser"));
        m_parserClient.reset(new ParserClient(m_parserScheduler.get(), this));
        m_watcher.reset(new zem::FileWatcher(L"DocumentWatcher"));
        m_watcher->callbacks().add(&DocumentManager::onWatchEvent, this);
    }
    m_loader.reset(new DocumentIO(this));
    // The parser's workers start with the settings.
    if (m_config)
        m_config->settingsLoaded.add(&DocumentManager::onSettingsLoaded, this);
    m_detectorSet.reset(new DetectorSet(this));
}

DocumentManager::~DocumentManager() {
    m_detectorSet.reset();
    closeAll();
    if (m_config) {
        m_config->settingsLoaded.remove(&DocumentManager::onSettingsLoaded, this);
        m_config->settingsStore.remove(&DocumentManager::onSettingsStore, this);
    }
    if (m_registry)
        m_registry->unsubscribeAll(this, &DocumentManager::onGrammarResolved);
    m_watcher.reset();
    m_loader.reset();
    m_undoStore.reset();
    m_parserScheduler.reset();
    m_parserClient.reset();
}

// --- Documents ---------------------------------------------------------------------------

Document* DocumentManager::makeDocument() {
    std::unique_ptr<Document> document(new Document(this));
    std::unique_ptr<UndoContext> undo = m_undoStore->createContext(document.get());
    {
        EditLock lock(document.get());
        if (m_parserClient && !document->getParseJob())
            m_parserClient->createJob(document.get());
        for (DocumentListener* listener : m_globalListeners)
            document->addListener(listener);
    }
    document->setUndoContext(undo.get());
    m_undoContexts[document.get()] = std::move(undo);
    m_documents.push_back(document.get());
    return document.release();
}

std::unique_ptr<zem::ErrorObject> DocumentManager::runRequest(Document* document, const wchar_t* path, int32_t kind) {
    DocumentIORequest* request = m_loader->doRequest(document, path, kind);
    // A request the loader refuses is a failure, never a success without a code.
    if (!request)
        return errorWithCode(ERROR_OPERATION_ABORTED);
    request->done.wait(-1);
    std::unique_ptr<zem::ErrorObject> error = std::move(request->error);
    m_loader->releaseRequest(request);
    return error;
}

Document* DocumentManager::loadDocument(const wchar_t* path, std::unique_ptr<zem::ErrorObject>& error) {
    zem::checkMainThread();
    error.reset();
    zem::WorkString fullPath;
    if (!zem::fileGetFullPath(path, fullPath)) {
        zem::logMessage(1, LOG_SOURCE_GENERAL,
                        L"DocumentManager::loadDocument: Cannot determine full path to file `%s`\n", path);
        fullPath.assign(path);
    }
    zem::logMessage(1, LOG_SOURCE_GENERAL, L"DocumentManager::loadDocument: Loading `%s`\n", fullPath.c_str());
    Document* document = makeDocument();
    error = runRequest(document, fullPath.c_str(), DocumentIORequest::LOAD);
    if (error) {
        closeDocument(document);
        return nullptr;
    }
    {
        EditLock lock(document);
        applyFileDefaults(document, fullPath.c_str());
        for (DocumentListener* listener : m_globalListeners)
            listener->onLoaded(document);
    }
    watch(document);
    onDocumentLoaded.invoke(this, document);
    return document;
}

void DocumentManager::applyFileDefaults(Document* document, const std::wstring& path) {
    DocumentState& state = document->lockState();
    state.modified = false;
    state.untitled = false;
    state.path.assign(path);
    state.codePage = state.loadConfidence != 0 ? static_cast<uint32_t>(state.detectedCodePage) : m_defaultEncoding;
    const FormatDetection& detection = state.detection;
    if (detection.tabsConfidence == 0) {
        state.indentation = m_indentDefaults;
    } else {
        const bool softTabs = detection.usesSpaces != 0;
        const int width = softTabs && detection.tabWidth != 0 && detection.widthConfidence != 0
                              ? detection.tabWidth
                              : m_indentDefaults.getWidth();
        state.indentation = zem::Indentation(softTabs, width, m_indentDefaults.getRoundingMode());
    }
    state.lineEnding = state.lineEndingVote.fraction != 0 ? state.lineEndingVote.kind : m_defaultLineEnding;
    document->unlockState();
}

Document* DocumentManager::createDocument(const std::wstring& languageName) {
    zem::checkMainThread();
    Document* document = makeDocument();
    EditLock lock(document);
    DocumentState& state = document->lockState();
    state.modified = false;
    state.path.assign(L"");
    state.untitled = true;
    if (m_config) {
        zem::CriticalSectionLock guard(m_config->getConfig().getLock());
        state.codePage = m_defaultEncoding;
        state.lineEnding = m_defaultLineEnding;
        state.indentation = m_indentDefaults;
    } else {
        state.codePage = m_defaultEncoding;
        state.lineEnding = m_defaultLineEnding;
        state.indentation = m_indentDefaults;
    }
    document->unlockState();
    setDocumentLanguage(document, languageName);
    return document;
}

void DocumentManager::closeDocument(Document* document) {
    const auto found = std::find(m_documents.begin(), m_documents.end(), document);
    if (found == m_documents.end())
        return;
    {
        EditLock lock(document);
        dropLanguageUse(document->getName());
        if (ParserJob* job = m_parserClient ? document->getParseJob() : nullptr) {
            document->setParseJob(nullptr);
            m_parserClient->releaseJob(job);
        }
        m_documents.erase(std::find(m_documents.begin(), m_documents.end(), document));
        for (DocumentListener* listener : m_globalListeners)
            document->removeListener(listener);
        unwatch(document);
        document->setUndoContext(nullptr);
        m_undoContexts.erase(document);
    }
    delete document;
}

void DocumentManager::closeAll() {
    while (!m_documents.empty())
        closeDocument(m_documents.front());
}

bool DocumentManager::saveDocument(Document* document, const wchar_t* path, std::unique_ptr<zem::ErrorObject>& error) {
    zem::checkMainThread();
    error.reset();
    const DocumentState state = document->getState();
    const std::wstring oldPath = state.path.c_str();
    const bool sameFile = !state.untitled && path && zem::filePathsEqual(path, oldPath.c_str());
    zem::FileWatchObject* current = getWatch(document);
    if (sameFile) {
        if (current && m_watcher)
            m_watcher->setSuspended(current, true);
    } else {
        unwatch(document);
    }
    error = runRequest(document, path, DocumentIORequest::SAVE);
    if (sameFile) {
        watch(document);
    } else if (error && !state.untitled && !oldPath.empty()) {
        // The document keeps its old path: it is watched there again.
        watch(document);
    }
    if (error)
        return false;
    {
        EditLock lock(document);
        DocumentState& working = document->lockState();
        working.modified = false;
        working.untitled = false;
        working.path.assign(path);
        document->unlockState();
    }
    if (!sameFile)
        watch(document);
    onDocumentSaved.invoke(this, document);
    return true;
}

bool DocumentManager::reloadDocument(Document* document, std::unique_ptr<zem::ErrorObject>& error) {
    zem::checkMainThread();
    error.reset();
    std::wstring language;
    DocumentState state;
    {
        EditLock lock(document);
        language = document->getName();
        setDocumentLanguage(document, std::wstring());
        document->notifyListeners([document](DocumentListener* l) { l->onReloadBegin(document); });
        state = document->getState();
    }
    // The loader takes the edit lock itself: holding it here would wait forever.
    error = runRequest(document, state.path.c_str(), DocumentIORequest::LOAD);
    {
        EditLock lock(document);
        if (!error)
            applyFileDefaults(document, state.path.c_str());
        document->notifyListeners([document](DocumentListener* l) { l->onReloadEnd(document); });
        setDocumentLanguage(document, language);
    }
    return !error;
}

// --- Languages ------------------------------------------------------------------------------

int32_t DocumentManager::getLanguageUse(const std::wstring& name) const {
    const auto found = m_languageUse.find(name);
    return found == m_languageUse.end() ? 0 : found->second;
}

void DocumentManager::dropLanguageUse(const std::wstring& name) {
    const auto found = m_languageUse.find(name);
    if (found == m_languageUse.end())
        return;
    if (--found->second > 0)
        return;
    if (m_registry)
        m_registry->unsubscribe(name, this, &DocumentManager::onGrammarResolved);
    m_languageUse.erase(found);
}

void DocumentManager::setDocumentLanguage(Document* document, const std::wstring& languageName) {
    const bool changed = languageName != document->getName();
    if (changed) {
        dropLanguageUse(document->getName());
        document->setName(languageName);
        if (!languageName.empty())
            ++m_languageUse[languageName];
    }
    const bool resolved = m_registry && m_registry->subscribe(languageName, this, &DocumentManager::onGrammarResolved);
    if (!resolved && changed)
        onGrammarResolved(this, languageName, nullptr);
}

void DocumentManager::onGrammarResolved(void* self, const std::wstring& name, const ParserRule* rule) {
    DocumentManager* manager = static_cast<DocumentManager*>(self);
    for (Document* document : manager->m_documents) {
        EditLock lock(document);
        if (document->getName() != name)
            continue;
        document->setGrammar(rule, false);
        ParserJob* job = document->getParseJob();
        if (rule && job && !job->isClosing() && manager->m_parserClient)
            manager->m_parserClient->requestLines(document, 0, std::max(0, document->getLineCount() - 1));
    }
}

void DocumentManager::setDocumentActive(Document* document, bool active) {
    ParserJob* job = document && m_parserClient ? document->getParseJob() : nullptr;
    if (!job || job->isClosing())
        return;
    if (!active && !m_parseInactive) {
        m_parserScheduler->dequeueJob(job);
        return;
    }
    m_parserClient->setJobActive(job, active);
}

// --- Paths and watching ------------------------------------------------------------------------

Document* DocumentManager::findDocumentByPath(const wchar_t* path) const {
    if (!path || !*path)
        return nullptr;
    for (Document* document : m_documents) {
        const DocumentState state = document->getState();
        if (!state.untitled && zem::filePathsEqual(state.path.c_str(), path))
            return document;
    }
    return nullptr;
}

zem::FileWatchObject* DocumentManager::getWatch(Document* document) const {
    const auto found = m_watches.find(document);
    return found == m_watches.end() ? nullptr : found->second;
}

void DocumentManager::watch(Document* document) {
    if (!m_watcher)
        return;
    if (zem::FileWatchObject* existing = getWatch(document)) {
        m_watcher->setSuspended(existing, false);
        return;
    }
    const DocumentState state = document->getState();
    if (state.untitled || state.path.length() == 0)
        return;
    zem::FileWatchObject* added = m_watcher->addObserver(state.path.c_str(), false, document);
    if (!added)
        return;
    m_watcher->changeFlags(added, zem::FileWatchObject::CHECK_LAST_WRITE, 0);
    m_watches[document] = added;
}

void DocumentManager::unwatch(Document* document) {
    const auto found = m_watches.find(document);
    if (found == m_watches.end())
        return;
    if (m_watcher)
        m_watcher->removeObserver(found->second);
    m_watches.erase(found);
}

void DocumentManager::onWatchEvent(void* self, zem::FileWatchObject* watch, zem::FileChangeEvent* event) {
    DocumentManager* manager = static_cast<DocumentManager*>(self);
    Document* document = static_cast<Document*>(watch->getUserData());
    if (!document || manager->getWatch(document) != watch)
        return;
    document->notifyFileChanged(static_cast<intptr_t>(event->getKind()));
}

void DocumentManager::updateDocumentFilePath(const wchar_t* newPath, Document* document) {
    if (!document)
        throw zem::NullPointerException(L"Null reference.");
    const DocumentState state = document->getState();
    if (newPath && !zem::filePathsEqual(state.path.c_str(), newPath)) {
        unwatch(document);
        DocumentState& working = document->lockState();
        working.path.assign(newPath);
        document->unlockState();
        watch(document);
        return;
    }
    document->lockState();
    document->unlockState();
}

// --- Global listeners and detectors ----------------------------------------------------------------

bool DocumentManager::addGlobalListener(DocumentListener* listener) {
    if (std::find(m_globalListeners.begin(), m_globalListeners.end(), listener) != m_globalListeners.end())
        return true;
    for (Document* document : m_documents) {
        EditLock lock(document);
        document->addListener(listener);
    }
    m_globalListeners.push_back(listener);
    return true;
}

bool DocumentManager::removeGlobalListener(DocumentListener* listener) {
    const auto found = std::find(m_globalListeners.begin(), m_globalListeners.end(), listener);
    if (found == m_globalListeners.end())
        return false;
    for (Document* document : m_documents) {
        EditLock lock(document);
        document->removeListener(listener);
    }
    m_globalListeners.erase(found);
    return true;
}

bool DocumentManager::addDetector(FormatDetector* detector) {
    if (std::find(m_detectors.begin(), m_detectors.end(), detector) == m_detectors.end())
        m_detectors.push_back(detector);
    return true;
}

bool DocumentManager::removeDetector(FormatDetector* detector) {
    const auto found = std::find(m_detectors.begin(), m_detectors.end(), detector);
    if (found == m_detectors.end())
        return false;
    m_detectors.erase(found);
    return true;
}

bool DocumentManager::detectFormat(Document* document, FormatDetection& best) {
    best = FormatDetection();
    bool answered = false;
    for (FormatDetector* detector : m_detectors) {
        FormatDetection result;
        if (!detector->detect(document, result))
            continue;
        answered = true;
        if (result.tabsConfidence > best.tabsConfidence) {
            best.tabsConfidence = result.tabsConfidence;
            best.usesSpaces = result.usesSpaces;
        }
        if (result.widthConfidence > best.widthConfidence) {
            best.widthConfidence = result.widthConfidence;
            best.tabWidth = result.tabWidth;
        }
    }
    return answered;
}

// --- Settings ---------------------------------------------------------------------------------------

void DocumentManager::onSettingsLoaded(void* self, Config* config) {
    static_cast<DocumentManager*>(self)->onSettingsChanged(*config);
}

void DocumentManager::onSettingsStore(void* self, Config* config) {
    static_cast<DocumentManager*>(self)->writeSettings(*config);
}

void DocumentManager::onSettingsChanged(Config& config) {
    zem::CriticalSectionLock guard(config.getLock());
    if (ConfigValue* value = config.getValue(L"app.parser.threads_count")) {
        const int32_t requested = static_cast<int32_t>(value->asUnsigned());
        if (m_parserScheduler)
            m_parserScheduler->setWorkerCount(BgScheduler::defaultWorkerCount(requested));
    }
    if (ConfigValue* value = config.getValue(L"app.parser.parse_inactive_documents"))
        m_parseInactive = value->asBool();
    int width = m_indentDefaults.getWidth();
    bool softTabs = m_indentDefaults.isSoftTabs();
    if (ConfigValue* value = config.getValue(L"app.indentation.recent.size"))
        width = std::max(1, std::min(8, static_cast<int>(value->asInt())));
    if (ConfigValue* value = config.getValue(L"app.indentation.recent.soft"))
        softTabs = value->asBool();
    m_indentDefaults = zem::Indentation(softTabs, width, m_indentDefaults.getRoundingMode());
    if (ConfigValue* value = config.getValue(L"app.file_defaults.encoding"))
        m_defaultEncoding = encodingFromSettingName(value->getString());
    if (ConfigValue* value = config.getValue(L"app.file_defaults.line_ending"))
        m_defaultLineEnding = lineEndingFromName(value->getString());
    if (m_config)
        m_config->settingsStore.add(&DocumentManager::onSettingsStore, this);
}

void DocumentManager::setIndentDefaults(bool softTabs, int width) {
    m_indentDefaults = zem::Indentation(softTabs, width, m_indentDefaults.getRoundingMode());
}

void DocumentManager::writeSettings(Config& config) {
    if (m_registry)
        m_registry->unsubscribeAll(this, &DocumentManager::onGrammarResolved);
    zem::CriticalSectionLock guard(config.getLock());
    const wchar_t* lineEnding = lineEndingName(m_defaultLineEnding);
    if (ConfigValue* value = config.declareValue(L"app.indentation.recent.soft", ConfigValue::TYPE_BOOL))
        value->setBool(m_indentDefaults.isSoftTabs());
    if (ConfigValue* value = config.declareValue(L"app.indentation.recent.size", ConfigValue::TYPE_INT))
        value->setInt(m_indentDefaults.getWidth());
    if (ConfigValue* value = config.declareValue(L"app.file_defaults.encoding", ConfigValue::TYPE_STRING))
        value->setString(encodingSettingName(m_defaultEncoding));
    if (ConfigValue* value = config.declareValue(L"app.file_defaults.line_ending", ConfigValue::TYPE_STRING))
        value->setString(lineEnding);
}

} // namespace corvel
