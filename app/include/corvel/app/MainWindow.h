// The program's one top-level window: the menu bar, the window-level actions, the title,
// the close protocol that asks every manager, and the receiver of a second start's
// command line. The application makes it, creates its native window and deletes it.
#pragma once
#include "corvel/ui/afWindowKinds.h"
#include "corvel/widgets/afActionHandler.h"

#include <deque>
#include <memory>
#include <string>

namespace corvel {

class MainWindowHost;
class MenuBar;
class afMenu;
class afActionEvent;
class afLayoutLinear;
class ToolStrip;

class MainWindow : public afWindowMain, public afActionHandler {
public:
    static const wchar_t* const CLASS_NAME; // "Corvel35WindowClass"
    enum : uint32_t {
        APP_ICON_SMALL = 0xe904f2afu, // "corvel"
        APP_ICON_LARGE = 0x57ded9bdu, // "corvel_32"
    };

    // The host is not owned; it outlives the window.
    explicit MainWindow(MainWindowHost* host);
    ~MainWindow() override;

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    bool onRawMessage(afMessage* message) override;
    void onCreated() override;
    // Shows text + " - " + the base title, or the base title alone for an empty text.
    void setTitle(const wchar_t* text) override;
    // Asks the managers through the configuration's close query; true lets the window go.
    bool onCloseRequest() override;
    void onActivate(bool active) override;

    const std::wstring& getBaseTitle() const { return m_baseTitle; }
    afLayoutLinear* getRootLayout() const { return m_rootLayout; }
    // The column of document tabs, bottom bar and tool strip.
    afLayoutLinear* getInnerLayout() const { return m_innerLayout; }
    ToolStrip* getToolStrip() const { return m_toolStrip; }
    MenuBar* getMenuBar() const { return m_menuBar.get(); }
    // Filled by their owners when opened (prepare callbacks).
    afMenu* getRecentFilesMenu() const { return m_recentFiles; }
    afMenu* getBundlesMenu() const { return m_bundles; }
    MainWindowHost* getHost() const { return m_host; }

    // Action handlers.
    bool onClose(afActionEvent* event);
    bool onAbout(afActionEvent* event);
    bool onCheckUpdates(afActionEvent* event);

private:
    void buildViewTree();
    void createActions();
    void buildMenuBar();
    // The handed-over lines wait here until the posted message takes them.
    bool takeCopyData(const COPYDATASTRUCT* data);
    void runPendingCommandLines();

    MainWindowHost* m_host;
    // Views below are owned by the window's view tree.
    afLayoutLinear* m_rootLayout = nullptr;
    afLayoutLinear* m_innerLayout = nullptr;
    ToolStrip* m_toolStrip = nullptr;
    std::unique_ptr<MenuBar> m_menuBar;
    afMenu* m_recentFiles = nullptr; // owned by the menu bar
    afMenu* m_bundles = nullptr;     // owned by the menu bar
    std::wstring m_baseTitle;
    std::deque<std::wstring> m_pendingLines;
    bool m_inCloseRequest = false; // a close request that prompts is not asked again
};

} // namespace corvel
