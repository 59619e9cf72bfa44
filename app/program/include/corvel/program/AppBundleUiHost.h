// The shell's side of the bundles code: its icons go into the resource registry, its
// named commands become actions (with their keys and tab words), and its status lines
// and active document come from the main window.
#pragma once
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/widgets/afActionHandler.h"

#include <map>
#include <string>
#include <vector>

namespace corvel {

class App;
class DocumentControllerManager;
class MainWindow;
class afAction;
class afActionEvent;
class afActionRegistry;
class afMenu;

class AppBundleUiHost : public BundleUiHost, public afActionHandler {
public:
    // Actions go into the registry given, else the application's; snippets and grammars
    // are run on the controllers' active one.
    explicit AppBundleUiHost(App* app, afActionRegistry* registry = nullptr,
                             DocumentControllerManager* controllers = nullptr);
    ~AppBundleUiHost() override;

    // Fills the window's bundles menu each time it opens.
    void setMainWindow(MainWindow* window);

    const void* loadIcon(int resourceId, uint32_t key) override;
    void addAction(const BundleAction& action) override;
    void removeAction(const std::wstring& name) override;
    intptr_t pushStatus(const std::wstring& text) override;
    void popStatus(intptr_t handle) override;
    // The application's bundle editor; the defaults without one.
    bool closeAllEditors() override;
    void toggleEditor() override;
    // The document of the editor that had the focus last; none without one.
    DocumentController* getActiveController() override;

private:
    static void fillBundlesMenu(void* self, afMenu* menu);
    // The command's actions, registered; empty when it cannot be made.
    std::vector<afAction*> makeActions(afActionRegistry* registry, const BundleAction& action);

    App* m_app;
    DocumentControllerManager* m_controllers;
    MainWindow* m_window = nullptr;
    // Registered by this host, owned by the registry: one action for each command handed.
    std::map<std::wstring, std::vector<afAction*>> m_actions;
};

} // namespace corvel
