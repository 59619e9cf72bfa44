// The program's one top-level window: the menu bar, the left sidebar, the document tabs,
// the bottom bar with the "Messages" tab and the tool strip; the window-level actions,
// the slot-switching keys, distraction-free mode, the close protocol that asks every
// manager, and the receiver of a second start's command line. The application makes it,
// creates its native window and deletes it.
#pragma once
#include "corvel/ui/afWindowKinds.h"
#include "corvel/widgets/afActionHandler.h"
#include "corvel/widgets/afDockSlotController.h"

#include <deque>
#include <memory>
#include <string>

namespace corvel {

class MainWindowHost;
class MenuBar;
class Tabs;
class TabsSidebar;
class ToolStrip;
class afActionEvent;
class afControlSplitter;
class afDock;
class afEvent;
class afLayoutLinear;
class afMenu;

class MainWindow : public afWindowMain, public afActionHandler, public afDockSlotController {
public:
    static const wchar_t* const CLASS_NAME; // "Corvel35WindowClass"
    enum : uint32_t {
        CONTROLLER_ID = 0x14f841cbu,  // "main_window"
        LOG_SLOT_ID = 0x8f3f68c5u,    // "log"
        APP_ICON_SMALL = 0xe904f2afu, // "corvel"
        APP_ICON_LARGE = 0x57ded9bdu, // "corvel_32"
        LOG_ICON = 0xbc6ef7feu,
    };
    static constexpr int DEFAULT_SIDEBAR_SIZE = 256;

    // The host is not owned; it outlives the window.
    explicit MainWindow(MainWindowHost* host);
    ~MainWindow() override;

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    bool onRawMessage(afMessage* message) override;
    void onCreated() override;
    // Shows text + " - " + the base title, or the base title alone for an empty text.
    void setTitle(const wchar_t* text) override;
    // Stores the docks, then asks the managers through the configuration's close query;
    // true lets the window go.
    bool onCloseRequest() override;
    void onActivate(bool active) override;
    void restorePlacement(Config& config) override;
    void savePlacement(Config& config) override;

    // The slots of the bottom bar this window owns: the "Messages" tab.
    afView* createSlotView(afDockSlot* slot) override;

    void setDistractionFree(bool on);
    bool isDistractionFree() const { return m_distractionFree; }
    void setSidebarVisible(bool visible);
    void setBottomBarVisible(bool visible);

    const std::wstring& getBaseTitle() const { return m_baseTitle; }
    afLayoutLinear* getRootLayout() const { return m_rootLayout; }
    // The column of document tabs, bottom bar and tool strip.
    afLayoutLinear* getInnerLayout() const { return m_innerLayout; }
    ToolStrip* getToolStrip() const { return m_toolStrip; }
    TabsSidebar* getSidebar() const { return m_sidebar; }
    Tabs* getDocumentTabs() const { return m_documentTabs; }
    Tabs* getBottomBar() const { return m_bottomBar; }
    afControlSplitter* getLeftSplitter() const { return m_leftSplitter; }
    afControlSplitter* getBottomSplitter() const { return m_bottomSplitter; }
    MenuBar* getMenuBar() const { return m_menuBar.get(); }
    // Filled by their owners when opened (prepare callbacks).
    afMenu* getRecentFilesMenu() const { return m_recentFiles; }
    afMenu* getBundlesMenu() const { return m_bundles; }
    MainWindowHost* getHost() const { return m_host; }

    // Action handlers.
    bool onClose(afActionEvent* event);
    bool onAbout(afActionEvent* event);
    bool onCheckUpdates(afActionEvent* event);
    bool onToggleDistractionFree(afActionEvent* event);
    bool onToggleSidebar(afActionEvent* event);
    bool onToggleSidebarFocus(afActionEvent* event);
    bool onToggleBottomBar(afActionEvent* event);

    // The slot-switching keys on the dock manager's current dock; true when consumed.
    bool onSlotKey(afEvent* event);

private:
    void buildViewTree();
    void registerDocks();
    void addLogSlot();
    void createActions();
    void buildMenuBar();
    // Adds or removes the caption keeping the window's rectangle.
    void setCaption(bool shown);
    // The handed-over lines wait here until the posted message takes them.
    bool takeCopyData(const COPYDATASTRUCT* data);
    void runPendingCommandLines();
    static bool keyHook(void* self, afView* view, afEvent* event);

    MainWindowHost* m_host;
    // Views below are owned by the window's view tree.
    afLayoutLinear* m_rootLayout = nullptr;
    afLayoutLinear* m_innerLayout = nullptr;
    afControlSplitter* m_leftSplitter = nullptr;
    afControlSplitter* m_bottomSplitter = nullptr;
    ToolStrip* m_toolStrip = nullptr;
    TabsSidebar* m_sidebar = nullptr;
    Tabs* m_bottomBar = nullptr;
    Tabs* m_documentTabs = nullptr; // the tab manager's dock
    bool m_distractionFree = false;
    bool m_captionShown = false; // the caption shown for the pointer in distraction-free mode
    std::unique_ptr<MenuBar> m_menuBar;
    afMenu* m_recentFiles = nullptr; // owned by the menu bar
    afMenu* m_bundles = nullptr;     // owned by the menu bar
    std::wstring m_baseTitle;
    std::deque<std::wstring> m_pendingLines;
    bool m_inCloseRequest = false; // a close request that prompts is not asked again
};

} // namespace corvel
