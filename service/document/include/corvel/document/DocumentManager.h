// The owner of every open Document: makes the document services once (undo store,
// "DocLoader" thread, "parser" scheduler with its client, "DocumentWatcher" file watcher,
// format detectors), opens, creates, saves, reloads and closes documents, gives every
// document the global listeners, tracks which grammar each uses, and keeps the file
// defaults in step with the configuration. Main thread only.
#pragma once
#include "corvel/document/FormatDetection.h"
#include "zem/base/CallbackList.h"
#include "zem/base/Error.h"
#include "zem/text/Indentation.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zem {
class FileWatcher;
class FileWatchObject;
class FileChangeEvent;
} // namespace zem

namespace corvel {

class BgScheduler;
class Config;
class ConfigManager;
class Document;
class DocumentIO;
class DocumentListener;
class FormatDetector;
class GrammarRegistry;
class ParserClient;
class ParserRule;
class UndoRegistry;

class DocumentManager {
public:
    // Both may be null: without a configuration manager the defaults stay as built, without
    // a registry no grammar is ever bound. Without a message registry nothing is watched.
    explicit DocumentManager(ConfigManager* config = nullptr, GrammarRegistry* registry = nullptr);
    ~DocumentManager();
    DocumentManager(const DocumentManager&) = delete;
    DocumentManager& operator=(const DocumentManager&) = delete;

    // Always a new document; null with the loader's error when the load failed (the
    // document list is then as it was).
    Document* loadDocument(const wchar_t* path, std::unique_ptr<zem::ErrorObject>& error);
    Document* createDocument(const std::wstring& languageName);
    void closeDocument(Document* document);
    void closeAll();
    // True on success; a failure leaves path and flags as they were.
    bool saveDocument(Document* document, const wchar_t* path, std::unique_ptr<zem::ErrorObject>& error);
    bool reloadDocument(Document* document, std::unique_ptr<zem::ErrorObject>& error);
    void setDocumentLanguage(Document* document, const std::wstring& languageName);
    // After the file moved or was renamed outside the document.
    void updateDocumentFilePath(const wchar_t* newPath, Document* document);
    Document* findDocumentByPath(const wchar_t* path) const;
    bool addGlobalListener(DocumentListener* listener);
    bool removeGlobalListener(DocumentListener* listener);
    // A document shown in an editor parses first.
    void setDocumentActive(Document* document, bool active);

    // Not owned; a detector already registered is left where it is (still true).
    bool addDetector(FormatDetector* detector);
    // False when the detector was not registered.
    bool removeDetector(FormatDetector* detector);
    // Asks every detector in registration order; takes the most confident tabs-or-spaces
    // guess and the most confident width guess, the earlier detector on a tie. False, with
    // all fields 0, when no detector answered. (Called on the loader's thread.)
    bool detectFormat(Document* document, FormatDetection& result);

    // The settings the configuration gives (first list) and writes back (second list).
    void onSettingsChanged(Config& config);
    void writeSettings(Config& config);

    const std::vector<Document*>& getDocuments() const { return m_documents; }
    UndoRegistry* getUndoRegistry() const { return m_undoStore.get(); }
    BgScheduler* getParserScheduler() const { return m_parserScheduler.get(); }
    ParserClient* getParserClient() const { return m_parserClient.get(); }
    zem::FileWatcher* getWatcher() const { return m_watcher.get(); }
    GrammarRegistry* getGrammarRegistry() const { return m_registry; }
    int32_t getLanguageUse(const std::wstring& name) const;
    const zem::Indentation& getIndentDefaults() const { return m_indentDefaults; }
    uint32_t getDefaultEncoding() const { return m_defaultEncoding; }
    int32_t getDefaultLineEnding() const { return m_defaultLineEnding; }
    // What new documents, and files that show none of their own, get from now on; written
    // back with the other settings. The indentation keeps its rounding mode.
    void setIndentDefaults(bool softTabs, int width);
    void setDefaultEncoding(uint32_t codePage) { m_defaultEncoding = codePage; }
    void setDefaultLineEnding(int32_t style) { m_defaultLineEnding = style; }
    bool getParseInactiveDocuments() const { return m_parseInactive; }
    zem::FileWatchObject* getWatch(Document* document) const;

    zem::CallbackList<void(DocumentManager*, Document*)> onDocumentLoaded;
    zem::CallbackList<void(DocumentManager*, Document*)> onDocumentSaved;

private:
    class DetectorSet;

    Document* makeDocument();
    void applyFileDefaults(Document* document, const std::wstring& path);
    void watch(Document* document);
    void unwatch(Document* document);
    void dropLanguageUse(const std::wstring& name);
    // Queues a request with the loader and waits; null error on success.
    std::unique_ptr<zem::ErrorObject> runRequest(Document* document, const wchar_t* path, int32_t kind);
    static void onGrammarResolved(void* self, const std::wstring& name, const ParserRule* rule);
    static void onWatchEvent(void* self, zem::FileWatchObject* watch, zem::FileChangeEvent* event);
    static void onSettingsLoaded(void* self, Config* config);
    static void onSettingsStore(void* self, Config* config);

    GrammarRegistry* m_registry;
    ConfigManager* m_config;
    std::unique_ptr<UndoRegistry> m_undoStore;
    std::unique_ptr<BgScheduler> m_parserScheduler;
    std::unique_ptr<ParserClient> m_parserClient;
    std::unique_ptr<zem::FileWatcher> m_watcher; // null without a message registry
    std::vector<Document*> m_documents;          // owned, in opening order
    std::vector<DocumentListener*> m_globalListeners;
    std::vector<FormatDetector*> m_detectors;
    std::unique_ptr<DocumentIO> m_loader;
    std::map<std::wstring, int32_t> m_languageUse;
    std::map<Document*, zem::FileWatchObject*> m_watches;
    std::map<Document*, std::unique_ptr<class UndoContext>> m_undoContexts;
    zem::Indentation m_indentDefaults;
    uint32_t m_defaultEncoding = 0x8000FDE9;
    int32_t m_defaultLineEnding = 0;
    bool m_parseInactive = false;
    std::unique_ptr<DetectorSet> m_detectorSet;
};

} // namespace corvel
