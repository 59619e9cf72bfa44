// The shell's side of the bundles code: its icons go into the resource registry, its
// named commands become actions (with their keys and tab words), and its status lines
// and active document come from the main window.
#pragma once
#include "corvel/bundles/BundleUiHost.h"
#include "corvel/widgets/afActionHandler.h"

#include <map>
#include <string>

namespace corvel {

class App;
class MainWindow;
class afAction;
class afActionEvent;
class afMenu;

class AppBundleUiHost : public BundleUiHost, public afActionHandler {
public:
    explicit AppBundleUiHost(App* app);
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

private:
    static void fillBundlesMenu(void* self, afMenu* menu);

    App* m_app;
    MainWindow* m_window = nullptr;
    std::map<std::wstring, afAction*> m_actions; // registered by this host, owned by the registry
};

} // namespace corvel
