#include "zem/thread/MessageRegistry.h"

#include "zem/base/Allocator.h"
#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <algorithm>

namespace zem {
namespace {

struct PayloadRecord {
    uintptr_t words[3];
    uintptr_t flags; // bit 0: the record came from the pool
};
static_assert(sizeof(PayloadRecord) == 4 * sizeof(uintptr_t), "payload records are four words");

constexpr uint32_t FROM_POOL = 1;

} // namespace

struct MessageRegistry::Pool {
    TAllocator<sizeof(PayloadRecord), 128, 1> allocator;
    AtomicCounter inUse;
};

MessageRegistry* MessageRegistry::s_instance = nullptr;

MessageRegistry::MessageRegistry() : m_pool(new Pool) {
    if (!s_instance)
        s_instance = this;
    LogManager_Impl::instance().registerSource(L"MessageRegistry");
}

MessageRegistry::~MessageRegistry() {
    if (s_instance == this)
        s_instance = nullptr;
    if (m_window && m_previousProc && IsWindow(m_window) &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_window, GWLP_WNDPROC)) == &MessageRegistry::windowProc) {
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        RemovePropW(m_window, L"ZemMessageRegistry");
    }
    for (MessageListenerInstance* instance : m_listener_instances) {
        if (instance->listener)
            instance->listener->m_instance = nullptr;
        delete instance;
    }
    delete m_pool;
}

void MessageRegistry::init(HWND mainWindow) {
    checkMainThread();
    ZEM_ASSERT_MSG(m_messageId == 0, L"0");
    ZEM_ASSERT(mainWindow);
    // Only one registry per process may own a window procedure.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(mainWindow, GWLP_WNDPROC)) == &MessageRegistry::windowProc)
        return;
    SetPropW(mainWindow, L"ZemMessageRegistry", this);
    SetLastError(0);
    LONG_PTR previous = SetWindowLongPtrW(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
    ZEM_ASSERT_MSG(previous != 0 || GetLastError() == 0, L"SetWindowLongW(GWL_WNDPROC) succeeds");
    m_previousProc = reinterpret_cast<WNDPROC>(previous);
    m_messageId = RegisterWindowMessageW(L"MessageRegistryID");
    ZEM_ASSERT(m_messageId != 0);
    m_window = mainWindow;
}

MessageListenerInstance* MessageRegistry::addListener(MessageListener* listener) {
    checkMainThread();
    if (!m_active)
        return nullptr;
    MessageListenerInstance* instance = new MessageListenerInstance;
    instance->listener = listener;
    m_listener_instances.push_back(instance);
    return instance;
}

void MessageRegistry::removeListener(MessageListener* listener) {
    checkMainThread();
    MessageListenerInstance* instance = listener ? listener->m_instance : nullptr;
    if (!instance || !m_active)
        return;
    instance->invalid = true;
    instance->listener = nullptr;
    if (instance->count.value() == 0)
        freeInstance(instance);
}

void MessageRegistry::freeInstance(MessageListenerInstance* instance) {
    auto it = std::find(m_listener_instances.begin(), m_listener_instances.end(), instance);
    ZEM_ASSERT(it != m_listener_instances.end());
    m_listener_instances.erase(it);
    delete instance;
}

bool MessageRegistry::postMessage(MessageListener* listener, const MessagePayload* payload) {
    if (!m_active || !m_window || !m_messageId || !listener || !listener->m_instance)
        return false;
    MessageListenerInstance* instance = listener->m_instance;
    PayloadRecord* record = nullptr;
    if (payload) {
        try {
            record = static_cast<PayloadRecord*>(m_pool->allocator.allocate());
        } catch (...) {
            return false;
        }
        m_pool->inUse.increment();
        std::copy(payload->words, payload->words + 3, record->words);
        record->flags = FROM_POOL;
    }
    instance->count.increment();
    if (!PostMessageW(m_window, m_messageId, reinterpret_cast<WPARAM>(instance), reinterpret_cast<LPARAM>(record))) {
        instance->count.decrement();
        releaseRecord(reinterpret_cast<LPARAM>(record));
        return false;
    }
    return true;
}

void MessageRegistry::releaseRecord(LPARAM lParam) {
    PayloadRecord* record = reinterpret_cast<PayloadRecord*>(lParam);
    if (!record || !(record->flags & FROM_POOL))
        return;
    m_pool->allocator.free(record);
    m_pool->inUse.decrement();
}

size_t MessageRegistry::payloadRecordsInUse() const { return static_cast<size_t>(m_pool->inUse.value()); }

void MessageRegistry::shutdown() {
    checkMainThread();
    m_active = false;
    for (MessageListenerInstance* instance : m_listener_instances) {
        if (instance->listener)
            instance->listener->m_instance = nullptr;
        delete instance;
    }
    m_listener_instances.clear();
}

LRESULT CALLBACK MessageRegistry::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MessageRegistry* self = static_cast<MessageRegistry*>(GetPropW(hwnd, L"ZemMessageRegistry"));
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    // Exceptions cannot unwind through the system's frames.
    try {
        return self->handle(hwnd, msg, wParam, lParam);
    } catch (Exception& e) {
        std::wstring text = e.message();
        logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"MessageRegistry: %s\n", text.c_str());
    } catch (std::exception& e) {
        logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"MessageRegistry: %S\n", e.what());
    } catch (...) {
        logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"MessageRegistry: unknown exception\n");
    }
    return 0;
}

LRESULT MessageRegistry::handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_active && m_messageId != 0 && msg == m_messageId) {
        MessageListenerInstance* instance = reinterpret_cast<MessageListenerInstance*>(wParam);
        PayloadRecord* record = reinterpret_cast<PayloadRecord*>(lParam);
        // The record goes back to the pool and the count drops even when the listener throws.
        struct Settle {
            MessageRegistry* self;
            MessageListenerInstance* instance;
            LPARAM lParam;
            ~Settle() {
                LONG left = instance->count.decrement();
                if (instance->invalid && left == 0)
                    self->freeInstance(instance);
                self->releaseRecord(lParam);
            }
        } settle{this, instance, lParam};
        if (!instance->invalid) {
            ZEM_ASSERT_MSG(instance->listener, L"m_invalid == false");
            instance->listener->onMessage(record ? reinterpret_cast<const MessagePayload*>(record->words) : nullptr);
        }
        return 0;
    }
    if (m_active && m_messageId != 0) {
        MSG raw{hwnd, msg, wParam, lParam, 0, {0, 0}};
        for (MessageListener* filter : m_filters) {
            if (filter->filterMessage(raw))
                return 0;
        }
    }
    if (m_previousProc)
        return CallWindowProcW(m_previousProc, hwnd, msg, wParam, lParam);
    return 0;
}

MessageListener::MessageListener() {
    m_registry = MessageRegistry::instance();
    ZEM_ASSERT_MSG(m_registry != nullptr, L"s_instance != NULL");
    m_instance = m_registry->addListener(this);
}

MessageListener::~MessageListener() {
    // Destructors must not throw; a listener destroyed off the main thread is a bug we log.
    try {
        if (m_registry && m_instance && MessageRegistry::instance() == m_registry)
            m_registry->removeListener(this);
    } catch (Exception& e) {
        std::wstring text = e.message();
        logMessage(LOG_ERROR, LOG_INTERNAL_SOURCE, L"MessageListener: %s\n", text.c_str());
    }
    m_instance = nullptr;
}

bool MessageListener::post(const MessagePayload* payload) {
    return m_registry && MessageRegistry::instance() == m_registry && m_registry->postMessage(this, payload);
}

} // namespace zem
