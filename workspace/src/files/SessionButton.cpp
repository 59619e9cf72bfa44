// The "Open previous session" button at the start of the document tab strip: offered while
// the documents of the last run wait to be opened and at most one document is open.
#include "corvel/workspace/FileManager.h"

#include "corvel/app/Tabs.h"
#include "corvel/ui/afEvent.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "zem/base/Crc.h"

#include <string>

namespace corvel {

namespace {

constexpr int TEXT_FLAGS = 9;

} // namespace

void FileManager::showSessionButton(bool show) {
    if (show && m_lastSession.empty())
        return;
    if (!m_sessionButton) {
        auto* tabs = dynamic_cast<Tabs*>(m_dock);
        if (!show || !tabs)
            return;
        m_sessionButton = new ViewVirtualButton(tabs);
        m_sessionButton->setName(L"session_button");
        m_sessionButton->setLabel(L"Open previous session");
        m_sessionButton->setText(L"(" + std::to_wstring(m_lastSession.size()) + L")");
        m_sessionButton->setTextFlags(TEXT_FLAGS);
        m_sessionButton->setClick(this, &FileManager::onSessionClick);
        tabs->addLeadingView(m_sessionButton);
    }
    m_sessionButton->setVisible(show);
}

void FileManager::onSessionClick(void* self, ViewVirtualButton*, afEvent* event) {
    if (event && event->getDetail() != 1)
        return;
    auto* manager = static_cast<FileManager*>(self);
    manager->showSessionButton(false);
    manager->openLastSession();
}

void FileManager::onDockEvent(uint32_t eventId, void* detail) {
    // The layout of the last run is read: its documents are the last session.
    static const uint32_t RESTORE = zem::symbolId(L"deserialize");
    static const uint32_t END = zem::symbolId(L"end");
    if (eventId == RESTORE && detail && *static_cast<const uint32_t*>(detail) == END)
        showSessionButton(true);
}

} // namespace corvel
