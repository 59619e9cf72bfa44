// The status part of the tool strip: passing texts ("Checking for update...") take turns,
// one a second, beside a busy indicator; when none is pending the default text shows, and
// clicking it runs the default action. Whoever pushes a text pops its entry when done.
// Main thread only.
#pragma once
#include "corvel/ui/Callback.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afTimer.h"

#include <string>
#include <vector>

namespace corvel {

class afSpinner;
class ViewVirtualButton;

class ToolStripStatus : public afLayoutLinear {
public:
    static constexpr uint32_t STEP_INTERVAL = 1000; // milliseconds per text

    // A pushed text; the handle pushStatus gives out.
    struct Entry {
        ToolStripStatus* strip;
        std::wstring text;
        bool done; // popped while on display: leaves at the next step
    };
    typedef Callback<void(ToolStripStatus*)> DefaultClick;

    explicit ToolStripStatus(afView* owner);
    ~ToolStripStatus() override;

    // Null (and nothing changes) for an empty text.
    Entry* pushStatus(const std::wstring& text);
    // An entry on display leaves at the next step; any other queued one at once. An entry
    // not queued here (popped before, or another strip's) is ignored.
    void popStatus(Entry* entry);
    void setDefaultText(const std::wstring& text);
    void setDefaultClick(void* user, DefaultClick::Function function);

    bool isIdle() const { return m_idle; }
    const Entry* getCurrent() const { return m_current; }
    size_t getQueueSize() const { return m_queue.size(); }
    ViewVirtualButton* getMessageButton() const { return m_message; }
    afSpinner* getBusyIndicator() const { return m_busy; }
    // Where callers put views of their own beside the text.
    afLayoutLinear* getExtraArea() const { return m_extra; }
    bool isStepping() const { return m_timer.isRunning(); }
    // Milliseconds between steps (tests shorten it); the next start takes it.
    void setStepInterval(uint32_t milliseconds) { m_timer.setInterval(milliseconds); }

private:
    // Shows the next pending text, or the default text when none is left; false when the
    // timer should stop.
    bool step();
    bool onTick(afTimer* timer);
    void showDefault();
    bool isQueued(const Entry* entry) const;
    void removeEntry(Entry* entry);
    static void onMessageClick(void* self, ViewVirtualButton* button, afEvent* event);

    ViewVirtualButton* m_message;
    afSpinner* m_busy;
    afLayoutLinear* m_extra;
    std::wstring m_defaultText;
    DefaultClick m_defaultClick;
    bool m_idle = true;
    Entry* m_current = nullptr;  // the entry on display; one of m_queue, or null
    std::vector<Entry*> m_queue; // owned; showing order, the one on display last
    afTimer m_timer;
};

} // namespace corvel
