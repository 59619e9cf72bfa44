// Asks the update server, once per start and on demand, whether a newer build exists:
// "Checking for update..." in the status strip while it asks, a notice there when an
// update exists, and the update window's matching page when that window is open.
// Main thread only; the App owns one.
#pragma once
#include "corvel/app/UpdateInfo.h"
#include "corvel/widgets/ToolStripStatus.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class afView;
class UpdateCheckerDialog;
class UpdateCheckerTask;
struct UpdateInfo;

class UpdateChecker {
public:
    // Starts the task's thread. The status strip may be null; the owner is the window the
    // update window belongs to (null: no window can open).
    UpdateChecker(ToolStripStatus* status, afView* owner);
    // Ends a check under way without waiting for the server; its result is dropped.
    ~UpdateChecker();
    UpdateChecker(const UpdateChecker&) = delete;
    UpdateChecker& operator=(const UpdateChecker&) = delete;

    // Opens the update window when asked; starts a check unless one runs or an update is
    // already known.
    void run(bool openWindow);
    // Where the checks go (tests); by default the build's server or the environment's.
    void setServer(const std::wstring& host, uint16_t port);

    bool isRunning() const { return m_running; }
    // The open update window, or null.
    UpdateCheckerDialog* getDialog() const;
    // The update found, or null.
    const UpdateInfo* getKnownUpdate() const { return m_known.get(); }
    UpdateCheckerTask* getTask() const { return m_task.get(); }

private:
    static void onResult(void* self, UpdateInfo* info);
    static void onNoticeClick(void* self, ToolStripStatus* status);
    void handleResult(const UpdateInfo* info);
    void announceUpdate();
    void openDialog();
    void endStatus();

    ToolStripStatus* m_status;
    afView* m_owner;
    bool m_running = false;
    std::unique_ptr<UpdateCheckerTask> m_task;
    // Owned by the owner's view tree; once its window is gone it is kept until the next
    // window opens or the checker goes.
    UpdateCheckerDialog* m_dialog = nullptr;
    ToolStripStatus::Entry* m_statusEntry = nullptr; // "Checking for update..." while it shows
    std::unique_ptr<UpdateInfo> m_known;             // the last update found
};

} // namespace corvel
