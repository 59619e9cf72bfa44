// The one place find and replace go through: front ends hand it requests, it passes them
// to the subscriber that serves the request's scope, remembers the last one for Find Next
// and owns the search actions. The application creates it and deletes it at exit.
#pragma once
#include "corvel/editor/SearchScope.h"
#include "corvel/widgets/afActionHandler.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <map>
#include <memory>

namespace corvel {

class Config;
class ConfigManager;
class DocumentControllerManager;
class SearchDialogUI;
class SearchRequest;
class SearchSubscriber;
class SearchUI;
class afLayoutLinear;
class afView;

class SearchManager : public afActionHandler {
public:
    typedef std::map<uint32_t, SearchScope> ScopeTable;
    typedef zem::CallbackList<void(const ScopeTable&, uint32_t)> ScopeListeners;

    // Bits of the dialog's open mode.
    enum : uint32_t { MODE_FIND = 0x01, MODE_REPLACE = 0x02, MODE_DOCUMENT = 0x10, MODE_SELECTION = 0x20 };

    // With a configuration manager, the actions are registered once the settings are
    // loaded (the main window exists then) and the dialog is forgotten when they are stored.
    explicit SearchManager(afActionRegistry* registry = nullptr, ConfigManager* configManager = nullptr);
    ~SearchManager() override;

    // The manager alive now, or null.
    static SearchManager* current();

    // The shell's main window (the dialog's owner) and its inner layout (the strip's parent).
    void setMainWindow(afView* mainWindow, afLayoutLinear* innerLayout);
    afView* getMainWindow() const { return m_mainWindow; }
    // The dialog's fields take their controllers from here.
    void setControllerManager(DocumentControllerManager* controllers) { m_controllers = controllers; }

    // Ignored for id 0 and for an id already known.
    void registerScope(const SearchScope& scope);
    // False for an unknown id. Active makes the subscriber serve the scope and the scope the
    // current one; inactive clears the scope's subscriber only while it is still this one.
    bool setScopeSubscriber(uint32_t scopeId, SearchSubscriber* subscriber, bool active);
    SearchScope* findScope(uint32_t scopeId);
    const ScopeTable& getScopes() const { return m_scopes; }
    uint32_t getCurrentScope() const { return m_currentScope; }

    // A reset request of this manager for the front end; the caller hands it to dispatch.
    SearchRequest* createRequest(SearchUI* frontEnd);
    // Takes the request: when a subscriber ran it becomes the last request, otherwise it is
    // freed (the last request itself is never freed here). The subscriber's answer, false
    // without one.
    bool dispatch(SearchRequest* request, uint32_t action, bool backward);
    const SearchRequest* getLastRequest() const { return m_lastRequest.get(); }

    void openDialog(uint32_t mode);
    void showDialog();
    void showStrip();
    // Repeats the search of the visible active front end, else the last request, else
    // opens the dialog.
    bool findAgain(bool backward);

    // Makes the dialog (hidden) and registers the actions; the handler of the settings.
    void registerActions();
    // The main window destroys the dialog; the manager stops using it.
    void forgetDialog();

    // The strip sets itself while its part of the window has the focus.
    void setActiveFrontEnd(SearchUI* frontEnd) { m_activeFrontEnd = frontEnd; }
    SearchUI* getActiveFrontEnd() const { return m_activeFrontEnd; }
    SearchDialogUI* getDialog() const { return m_dialog; }
    SearchUI* getStrip() const { return m_strip; }

    ScopeListeners scopeListeners;

    // Action handlers.
    bool onFindDocument(afActionEvent* event);
    bool onFindSelection(afActionEvent* event);
    bool onReplaceDocument(afActionEvent* event);
    bool onReplaceSelection(afActionEvent* event);
    bool onShowStrip(afActionEvent* event);
    bool onFindNext(afActionEvent* event);
    bool onFindPrevious(afActionEvent* event);

protected:
    // The front ends; null leaves that front end out.
    virtual SearchDialogUI* createDialog(afView* owner);
    virtual SearchUI* createStrip(afLayoutLinear* innerLayout);

private:
    static void onSettingsLoaded(void* self, Config* config);
    static void onSettingsStore(void* self, Config* config);
    void tellScopeListeners() { scopeListeners.invoke(m_scopes, m_currentScope); }

    ConfigManager* m_configManager; // not owned; may be null
    std::unique_ptr<SearchRequest> m_lastRequest;
    ScopeTable m_scopes;
    uint32_t m_currentScope = 0;        // 0 until a subscriber was first set
    SearchDialogUI* m_dialog = nullptr; // owned by the main window
    SearchUI* m_strip = nullptr;        // a child of the inner layout; made on first use
    SearchUI* m_activeFrontEnd = nullptr;
    afView* m_mainWindow = nullptr;
    afLayoutLinear* m_innerLayout = nullptr;
    DocumentControllerManager* m_controllers = nullptr; // not owned
    bool m_actionsRegistered = false;
};

} // namespace corvel
