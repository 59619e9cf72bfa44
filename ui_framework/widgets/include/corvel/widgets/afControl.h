// The base of controls over a native window class: the native window is created from the
// Seed and then subclassed, so the framework sees every message first and passes the
// rest on. The WM_COMMAND and WM_NOTIFY that the native control sends its parent come
// back to the control's onNotify.
#pragma once
#include "corvel/ui/afWidget.h"

namespace corvel {

class afControl : public afWidget {
public:
    explicit afControl(afView* parent) : afWidget(parent) {}
    ~afControl() override;

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    // Creates the native window from the Seed, then subclasses it; false when either fails.
    bool createWindow(Seed& seed) override;
    void onCreated() override;
    void onBeforeDestroy() override;
    bool onRawMessage(afMessage* message) override;

    // A WM_COMMAND or WM_NOTIFY from this control's own window, as its parent received
    // it; true when handled (the message's result is then the answer).
    virtual bool onNotify(afMessage* message);

protected:
    // The native control paints itself: the framework's painting stays out of it.
    void setNativePaint(bool on) { m_nativePaint = on; }

private:
    static bool notificationHook(void* self, afViewPlatform* parent, afMessage* message);
    void unregisterNotifications();

    afViewPlatform* m_notifier = nullptr; // the parent view whose messages are watched
    bool m_nativePaint = false;
};

} // namespace corvel
