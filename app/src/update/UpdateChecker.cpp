#include "corvel/app/UpdateChecker.h"

#include "corvel/app/UpdateCheckerDialog.h"
#include "corvel/app/UpdateCheckerTask.h"
#include "corvel/base/VersionInfo.h"
#include "corvel/widgets/ToolStripStatus.h"
#include "zem/base/Format.h"

#include <shellapi.h>

namespace corvel {

UpdateChecker::UpdateChecker(ToolStripStatus* status, afView* owner)
    : m_status(status), m_owner(owner), m_task(new UpdateCheckerTask(getVersionInfo())) {
    m_task->setReceiver(&UpdateChecker::onResult, this);
    m_task->start();
}

UpdateChecker::~UpdateChecker() {
    m_task->setReceiver(nullptr, nullptr);
    m_task->abort();
    if (m_running) {
        // Synchronous WinHTTP calls may run on to their time-out after an abort (they do
        // under Wine): rather than hold the exit for a silent server, the task is left to
        // end on its own, and its result finds no receiver.
        m_task.release();
    }
    m_task.reset();
    endStatus();
    // The strip outlives the checker: a click on the notice must not reach freed memory.
    if (m_status && m_known)
        m_status->setDefaultClick(nullptr, nullptr);
    delete m_dialog;
    m_dialog = nullptr;
}

void UpdateChecker::setServer(const std::wstring& host, uint16_t port) {
    m_task->setServer(host, port);
}

UpdateCheckerDialog* UpdateChecker::getDialog() const {
    return m_dialog && m_dialog->getHandle() ? m_dialog : nullptr;
}

void UpdateChecker::run(bool openWindow) {
    if (openWindow)
        openDialog();
    if (m_running || m_known)
        return;
    if (!m_task->queueCheck())
        return;
    m_running = true;
    if (m_status && !m_statusEntry)
        m_statusEntry = m_status->pushStatus(L"Checking for update...");
}

void UpdateChecker::openDialog() {
    if (!m_owner)
        return;
    if (UpdateCheckerDialog* open = getDialog()) {
        open->show();
        return;
    }
    // A window closed before is dropped here, not inside its own destruction.
    delete m_dialog;
    m_dialog = UpdateCheckerDialog::create(m_owner);
    if (!m_dialog)
        return;
    if (m_known) {
        m_dialog->showInfo(*m_known);
        m_dialog->setPage(UpdateCheckerDialog::PAGE_AVAILABLE);
    }
    m_dialog->show();
}

void UpdateChecker::onResult(void* self, UpdateInfo* info) {
    static_cast<UpdateChecker*>(self)->handleResult(info);
}

void UpdateChecker::handleResult(const UpdateInfo* info) {
    UpdateCheckerDialog* dialog = getDialog();
    if (!info) {
        if (dialog)
            dialog->setPage(UpdateCheckerDialog::PAGE_UP_TO_DATE);
    } else if (!info->error.empty()) {
        if (dialog) {
            dialog->showInfo(*info);
            dialog->setPage(UpdateCheckerDialog::PAGE_ERROR);
        }
    } else {
        m_known.reset(new UpdateInfo(*info));
        announceUpdate();
    }
    m_running = false;
    endStatus();
}

void UpdateChecker::announceUpdate() {
    if (m_status) {
        m_status->setDefaultText(zem::format(L"New Corvel %s available!", m_known->version.c_str()));
        m_status->setDefaultClick(this, &UpdateChecker::onNoticeClick);
    }
    if (UpdateCheckerDialog* dialog = getDialog()) {
        dialog->showInfo(*m_known);
        dialog->setPage(UpdateCheckerDialog::PAGE_AVAILABLE);
    }
}

void UpdateChecker::onNoticeClick(void* self, ToolStripStatus*) {
    auto* checker = static_cast<UpdateChecker*>(self);
    if (checker->m_known && !checker->m_known->downloadUrl.empty())
        ShellExecuteW(nullptr, L"open", checker->m_known->downloadUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void UpdateChecker::endStatus() {
    if (m_status && m_statusEntry)
        m_status->popStatus(m_statusEntry);
    m_statusEntry = nullptr;
}

} // namespace corvel
