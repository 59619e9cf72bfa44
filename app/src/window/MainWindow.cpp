#include "corvel/app/MainWindow.h"

#include "corvel/app/MainWindowHost.h"
#include "corvel/app/MenuBar.h"
#include "corvel/base/VersionInfo.h"
#include "corvel/config/ConfigManager.h"
#include "corvel/ui/afApp.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/ToolStrip.h"
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

MainWindow::MainWindow(MainWindowHost* host) : afActionHandler(L"MainWindow"), m_host(host) {
    m_baseTitle = buildBaseTitle();
    m_title = m_baseTitle;
    setName(L"global");
    setPlacementKey(L"main_window");
}

MainWindow::~MainWindow() = default;

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
    buildMenuBar();
    buildViewTree();
    setIcon(registeredIcon(APP_ICON_LARGE), registeredIcon(APP_ICON_SMALL));
    createActions();
    activate();
    afWindowMain::onCreated();
}

void MainWindow::buildViewTree() {
    // Children join a layout that is already in the window's tree.
    m_rootLayout = new afLayoutLinear(this, afLayoutLinear::HORIZONTAL);
    setContentView(m_rootLayout);
    m_innerLayout = new afLayoutLinear(this, afLayoutLinear::VERTICAL);
    m_rootLayout->addChild(m_innerLayout,
                           new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::FILL_PARENT, 1.0));
    m_toolStrip = ToolStrip::create(this);
    m_innerLayout->addChild(m_toolStrip,
                            new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, afLayoutParams::WRAP_CONTENT));
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
    return afWindowMain::onRawMessage(message);
}

bool MainWindow::onClose(afActionEvent*) {
    close(RESULT_OK);
    return true;
}

bool MainWindow::onAbout(afActionEvent*) {
    return true;
}

bool MainWindow::onCheckUpdates(afActionEvent*) {
    if (m_host)
        m_host->checkForUpdates(true);
    return true;
}

} // namespace corvel
