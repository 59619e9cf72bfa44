// Hands work from any thread to the main thread: a post becomes a window message on the
// bound main window and reaches its MessageListener there. Each listener has a
// reference-counted instance, so a listener may go away while posts are still queued;
// those are then dropped.
#pragma once
#include "zem/base/MTRefObject.h"

#include <cstdint>
#include <vector>
#include <windows.h>

namespace zem {

class MessageListener;
class MessageRegistry;

// Pointer-sized words, so a payload word can carry a pointer on any target.
struct MessagePayload {
    uintptr_t words[3];
};

class MessageListenerInstance {
public:
    AtomicCounter count; // posted messages not yet delivered
    bool invalid = false;
    MessageListener* listener = nullptr;
};

class MessageListener {
public:
    MessageListener();
    virtual ~MessageListener();
    MessageListener(const MessageListener&) = delete;
    MessageListener& operator=(const MessageListener&) = delete;

    // Main thread; payload is null when the post carried none.
    virtual void onMessage(const MessagePayload* payload) = 0;
    virtual bool filterMessage(const MSG& raw) {
        (void)raw;
        return false;
    }

    // Posts to this listener from any thread; false when the registry cannot deliver.
    bool post(const MessagePayload* payload = nullptr);
    MessageListenerInstance* instance() const { return m_instance; }

private:
    friend class MessageRegistry;
    MessageRegistry* m_registry = nullptr;
    MessageListenerInstance* m_instance = nullptr;
};

class MessageRegistry {
public:
    MessageRegistry();
    ~MessageRegistry();
    MessageRegistry(const MessageRegistry&) = delete;
    MessageRegistry& operator=(const MessageRegistry&) = delete;

    static MessageRegistry* instance() { return s_instance; }

    // Main thread, once: subclasses the window and registers "MessageRegistryID".
    void init(HWND mainWindow);
    MessageListenerInstance* addListener(MessageListener* listener);
    void removeListener(MessageListener* listener);
    // Any thread. Never blocks, never throws.
    bool postMessage(MessageListener* listener, const MessagePayload* payload);
    void shutdown();

    bool isActive() const { return m_active; }
    bool isBound() const { return m_window != nullptr && m_messageId != 0; }
    UINT messageId() const { return m_messageId; }
    size_t listenerInstanceCount() const { return m_listener_instances.size(); }
    size_t payloadRecordsInUse() const;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void freeInstance(MessageListenerInstance* instance);
    void releaseRecord(LPARAM lParam);

    static MessageRegistry* s_instance;

    volatile bool m_active = true;
    HWND m_window = nullptr;
    UINT m_messageId = 0;
    WNDPROC m_previousProc = nullptr;
    struct Pool;
    Pool* m_pool;
    std::vector<MessageListenerInstance*> m_listener_instances; // main thread only
    std::vector<MessageListener*> m_filters;                    // main thread only
};

} // namespace zem
