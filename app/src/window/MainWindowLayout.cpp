// The main window's panels: the sidebar and bottom bar sizes kept in the session
// settings, their toggles, and distraction-free mode with the caption that comes back
// while the pointer is over the window's frame.
#include "corvel/app/MainWindow.h"

#include "corvel/app/MainWindowHost.h"
#include "corvel/app/MenuBar.h"
#include "corvel/app/Tabs.h"
#include "corvel/app/TabsSidebar.h"
#include "corvel/config/Config.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/ToolStrip.h"
#include "corvel/widgets/afControlSplitter.h"

namespace corvel {

namespace {

const wchar_t LEFT_VISIBLE[] = L"app.sidebar.left.visible";
const wchar_t LEFT_WIDTH[] = L"app.sidebar.left.width";
const wchar_t BOTTOM_VISIBLE[] = L"app.sidebar.bottom.visible";
const wchar_t BOTTOM_WIDTH[] = L"app.sidebar.bottom.width";

// The settings are the user's to edit: a value of another type takes the default.
bool readFlag(Config& config, const wchar_t* key, bool fallback) {
    ConfigValue* value = config.getValue(key);
    return value && value->getType() == ConfigValue::TYPE_BOOL ? value->asBool() : fallback;
}

int readSize(Config& config, const wchar_t* key, int fallback) {
    ConfigValue* value = config.getValue(key);
    if (!value || (value->getType() != ConfigValue::TYPE_INT && value->getType() != ConfigValue::TYPE_UNSIGNED))
        return fallback;
    int size = value->asInt();
    return size < 0 ? 0 : size;
}

void writeFlag(Config& config, const wchar_t* key, bool flag) {
    if (ConfigValue* value = config.getValue(key))
        value->setBool(flag);
}

void writeSize(Config& config, const wchar_t* key, int size) {
    if (ConfigValue* value = config.getValue(key))
        value->setInt(size);
}

} // namespace

void MainWindow::restorePlacement(Config& config) {
    afWindowMain::restorePlacement(config);
    if (!m_sidebar || !m_bottomBar)
        return;
    m_leftSplitter->setSize(readSize(config, LEFT_WIDTH, DEFAULT_SIDEBAR_SIZE));
    m_sidebar->setVisible(readFlag(config, LEFT_VISIBLE, false));
    m_bottomSplitter->setSize(readSize(config, BOTTOM_WIDTH, DEFAULT_SIDEBAR_SIZE));
    m_bottomBar->setVisible(readFlag(config, BOTTOM_VISIBLE, false));
}

void MainWindow::savePlacement(Config& config) {
    afWindowMain::savePlacement(config);
    if (!m_sidebar || !m_bottomBar)
        return;
    writeSize(config, LEFT_WIDTH, m_leftSplitter->getSize());
    writeFlag(config, LEFT_VISIBLE, m_sidebar->isVisible());
    writeSize(config, BOTTOM_WIDTH, m_bottomSplitter->getSize());
    writeFlag(config, BOTTOM_VISIBLE, m_bottomBar->isVisible());
}

void MainWindow::setSidebarVisible(bool visible) {
    m_sidebar->setVisible(visible);
    if (visible)
        m_sidebar->requestFocus();
    else
        m_documentTabs->requestFocus();
    if (m_distractionFree)
        m_leftSplitter->setVisible(visible);
    requestLayout("MainWindow::setSidebarVisible");
}

void MainWindow::setBottomBarVisible(bool visible) {
    m_bottomBar->setVisible(visible);
    requestLayout("MainWindow::setBottomBarVisible");
}

void MainWindow::setCaption(bool shown) {
    HWND window = getHandle();
    RECT rect;
    GetWindowRect(window, &rect);
    setStyleBits(WS_CAPTION, shown, false);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void MainWindow::setDistractionFree(bool on) {
    if (on == m_distractionFree)
        return;
    HWND window = getHandle();
    if (on) {
        setStyleBits(WS_CAPTION, false, false);
        SetMenu(window, nullptr);
        m_toolStrip->setVisible(false);
        m_bottomSplitter->setVisible(false);
        m_leftSplitter->setVisible(false);
        if (m_host)
            m_host->setDocumentsDistractionFree(true);
        m_documentTabs->getHeader()->setVisible(false);
        m_sidebar->setVisible(false);
        m_bottomBar->setVisible(false);
    } else {
        setStyleBits(WS_CAPTION, true, false);
        if (m_menuBar)
            SetMenu(window, m_menuBar->getHandle());
        m_toolStrip->setVisible(true);
        m_bottomSplitter->setVisible(true);
        m_leftSplitter->setVisible(true);
        m_documentTabs->getHeader()->setVisible(true);
        if (m_host)
            m_host->setDocumentsDistractionFree(false);
        m_sidebar->setVisible(true);
        m_bottomBar->setVisible(true);
    }
    m_captionShown = false;
    m_distractionFree = on;
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    requestLayout("MainWindow::setDistractionFree");
}

} // namespace corvel
