#include "corvel/app/MainWindow.h"

#include "corvel/app/MainWindowHost.h"
#include "corvel/app/DockManager.h"
#include "corvel/app/LogWindow.h"
#include "corvel/app/MenuBar.h"
#include "corvel/app/TabManager.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/base/VersionInfo.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ToolStrip.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/afControlSplitter.h"
#include "corvel/widgets/afDockSlot.h"
#include "corvel/widgets/afMenu.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/CriticalSection.h"

namespace corvel {

const wchar_t* const MainWindow::CLASS_NAME = L"Corvel35WindowClass";

namespace {

const wchar_t TYPE_NAME[] = L"ui.window.main";

// A second start's line is run from this message, after the sender has its answer: a
// prompt the line causes must not keep the other process waiting.
UINT handOverMessage() {
    static const UINT message = RegisterWindowMessageW(L"CorvelRunHandedOverCommandLine");
    return message;
}

std::wstring buildBaseTitle() {
    const VersionInfo& version = getVersionInfo();
    std::wstring title = L"Corvel ";
    title += version.versionText;
    title += L' ';
    title += version.channelLabel;
    title += L' ';
    title += version.channel;
    return title;
}

HICON registeredIcon(uint32_t id) {
    const afIcon* icon = afResources::find(id);
    return icon ? icon->getHandle() : nullptr;
}

} // namespace

MainWindow::MainWindow(MainWindowHost* host)
    : afActionHandler(L"MainWindow"), afDockSlotController(CONTROLLER_ID), m_host(host) {
    m_baseTitle = buildBaseTitle();
    m_title = m_baseTitle;
    setName(L"global");
    setPlacementKey(L"main_window");
}

MainWindow::~MainWindow() {
    keyDownListeners().remove(&MainWindow::keyHook, this);
    if (DockManager* docks = DockManager::instance()) {
        for (afDock* dock : {static_cast<afDock*>(m_sidebar), static_cast<afDock*>(m_documentTabs),
                             static_cast<afDock*>(m_bottomBar)}) {
            if (dock)
                docks->unregisterDock(dock);
        }
        docks->unregisterSlotController(this);
    }
    if (TabManager* tabs = TabManager::instance(); tabs && tabs->getDock() == m_documentTabs)
        tabs->forgetDock();
}

const wchar_t* MainWindow::getTypeName() const {
    return TYPE_NAME;
}

bool MainWindow::buildSeed(Seed& seed) {
    static bool registered = false;
    afWindowClass windowClass;
    windowClass.className = CLASS_NAME;
    windowClass.cursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.icon = registeredIcon(APP_ICON_LARGE);
    windowClass.smallIcon = registeredIcon(APP_ICON_SMALL);
    windowClass.style = CS_DBLCLKS;
    windowClass.background = COLOR_BTNFACE + 1;
    if (!registerClass(windowClass, registered))
        return false;
    seed.className = CLASS_NAME;
    seed.windowName = m_title;
    seed.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    seed.x = 32;
    seed.y = 32;
    seed.width = 700;
    seed.height = 433;
    return true;
}

void MainWindow::onCreated() {
    m_sidebar = TabsSidebar::create(this);
    TabManager* tabs = TabManager::instance();
    m_documentTabs = tabs ? tabs->getDock(this) : Tabs::create(this);
    m_bottomBar = Tabs::create(this);
    m_toolStrip = ToolStrip::create(this);
    buildMenuBar();
    buildViewTree();
    addLogSlot();
    registerDocks();
    setIcon(registeredIcon(APP_ICON_LARGE), registeredIcon(APP_ICON_SMALL));
    createActions();
    activate();
    afWindowMain::onCreated();
    keyDownListeners().add(&MainWindow::keyHook, this);
}

void MainWindow::buildViewTree() {
    // Children join a layout that is already in the window's tree.
    m_rootLayout = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    setContentView(m_rootLayout);
    m_sidebar->setMinimumSize(50, 50);
    m_rootLayout->addChild(m_sidebar, new afLayoutParamsLinear(DEFAULT_SIDEBAR_SIZE, afLayoutParams::FILL_PARENT));
    m_leftSplitter = afControlSplitter::create(this, m_sidebar, afControlSplitter::HORIZONTAL);
    m_rootLayout->addChild(m_leftSplitter, new afLayoutParamsLinear(4, afLayoutParams::FILL_PARENT));
    m_innerLayout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    m_rootLayout->addChild(m_innerLayout,
                           new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT, 1.0));

    m_innerLayout->addChild(m_documentTabs,
                            new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT, 1.0));
    m_bottomSplitter = afControlSplitter::create(this, m_bottomBar, 0);
    m_innerLayout->addChild(m_bottomSplitter, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, 4));
    m_bottomBar->setMinimumSize(50, 50);
    m_innerLayout->addChild(m_bottomBar,
                            new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, DEFAULT_SIDEBAR_SIZE, 0.0));
    m_bottomBar->setVisible(false);
    m_innerLayout->addChild(m_toolStrip,
                            new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));

    if (WidgetPalette* palette = WidgetPalette::instance()) {
        m_leftSplitter->setPainter(palette, &WidgetPalette::paintLeftSplitter);
        m_bottomSplitter->setPainter(palette, &WidgetPalette::paintBottomSplitter);
    }
    m_leftSplitter->setSize(DEFAULT_SIDEBAR_SIZE);
    m_bottomSplitter->setSize(DEFAULT_SIDEBAR_SIZE);
}

void MainWindow::addLogSlot() {
    afDockSlot* slot = m_bottomBar->addSlot(this, nullptr, LOG_SLOT_ID).second;
    if (ViewVirtualButton* button = Tabs::getButton(slot)) {
        button->setLabel(L"Messages");
        button->setIcon(afResources::find(LOG_ICON));
    }
    m_bottomBar->setActiveSlot(slot);
}

void MainWindow::registerDocks() {
    DockManager* docks = DockManager::instance();
    if (!docks)
        return;
    docks->registerSlotController(this);
    docks->registerDock(L"main.left", m_sidebar);
    docks->registerDock(L"main.tabs", m_documentTabs);
    docks->registerDock(L"main.bottom", m_bottomBar);
    docks->setCurrentDock(m_documentTabs);
}

afView* MainWindow::createSlotView(afDockSlot* slot) {
    if (slot->getId() != LOG_SLOT_ID)
        return nullptr;
    LogWindow* log = LogWindow::create(slot->getDock());
    if (log)
        log->setText(L"Messages");
    return log;
}

void MainWindow::setTitle(const wchar_t* text) {
    if (!text || !*text) {
        afWindowMain::setTitle(m_baseTitle.c_str());
        return;
    }
    std::wstring title = text;
    title += L" - ";
    title += m_baseTitle;
    afWindowMain::setTitle(title.c_str());
}

bool MainWindow::onCloseRequest() {
    // The prompts of the close query run modal loops; a second request meanwhile (the
    // close box clicked again) must not ask every manager a second time.
    if (m_inCloseRequest)
        return false;
    ConfigManager* config = ConfigManager::current();
    if (!config)
        return true;
    if (DockManager* docks = DockManager::instance()) {
        Config& settings = config->getConfig();
        zem::CriticalSectionLock guard(settings.getLock());
        docks->store(settings);
    }
    m_inCloseRequest = true;
    bool agreed = config->closeQuery.invokeWhileTrue();
    m_inCloseRequest = false;
    if (!agreed)
        return false;
    config->closing.invoke();
    return true;
}

void MainWindow::onActivate(bool active) {
    if (!active)
        return;
    if (ConfigManager* config = ConfigManager::current())
        config->activated.invoke(1);
}

bool MainWindow::takeCopyData(const COPYDATASTRUCT* data) {
    if (!data || data->dwData != 0 || !data->lpData)
        return false;
    // A UTF-16 text with its NUL inside the counted bytes; anything else is not ours.
    if (data->cbData < sizeof(wchar_t) || data->cbData % sizeof(wchar_t) != 0)
        return false;
    const wchar_t* units = static_cast<const wchar_t*>(data->lpData);
    size_t count = data->cbData / sizeof(wchar_t);
    size_t length = 0;
    while (length < count && units[length] != L'\0')
        ++length;
    if (length == count)
        return false;
    m_pendingLines.emplace_back(units, length);
    PostMessageW(getHandle(), handOverMessage(), 0, 0);
    return true;
}

void MainWindow::runPendingCommandLines() {
    while (!m_pendingLines.empty()) {
        std::wstring line = std::move(m_pendingLines.front());
        m_pendingLines.pop_front();
        if (m_host)
            m_host->handleCommandLine(line.c_str());
    }
}

bool MainWindow::onRawMessage(afMessage* message) {
    if (message->message == WM_COPYDATA) {
        message->result = takeCopyData(reinterpret_cast<const COPYDATASTRUCT*>(message->lParam)) ? 1 : 0;
        return true;
    }
    if (message->message == handOverMessage()) {
        runPendingCommandLines();
        message->result = 0;
        return true;
    }
    if (message->message == WM_NCMOUSEMOVE && m_distractionFree && !m_captionShown) {
        setCaption(true);
        m_captionShown = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, getHandle(), 0};
        TrackMouseEvent(&track);
    } else if (message->message == WM_NCMOUSELEAVE && m_distractionFree && m_captionShown) {
        setCaption(false);
        m_captionShown = false;
    }
    return afWindowMain::onRawMessage(message);
}

} // namespace corvel
