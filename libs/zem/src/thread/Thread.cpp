#include "zem/thread/Thread.h"

#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"
#include "zem/thread/TLS.h"

#include <map>
#include <process.h>

namespace zem {

typedef std::map<const void*, std::unique_ptr<TLSAbstractSlot>> SlotMap;

struct ThreadImpl {
    Runnable* runnable = nullptr;
    Thread::Callback callback = nullptr;
    void* userData = nullptr;
    HANDLE handle = nullptr; // null when not started or joined
    DWORD id = 0;
    int priority = 0;
    unsigned stackSize = 0;
    unsigned sequence = 0;
    CriticalSection nameLock{4000};
    std::wstring name; // guarded by nameLock
    // Touched only by the running thread, and after it ended by the last owner.
    SlotMap slots;

    ~ThreadImpl() {
        if (handle)
            CloseHandle(handle);
    }
};

namespace {

DWORD g_mainThreadId = 0;

// The running zem::Thread's record; null on threads we did not start.
DWORD tlsKey() {
    static const DWORD key = [] {
        DWORD k = TlsAlloc();
        if (k == TLS_OUT_OF_INDEXES)
            throw SystemException(L"cannot allocate thread context key");
        return k;
    }();
    return key;
}

// Threads not started through zem::Thread keep their slots here until they end.
SlotMap& foreignSlots() {
    thread_local SlotMap slots;
    return slots;
}

unsigned nextSequence() {
    // Taken briefly by any thread that fails: a short spin before sleeping.
    static CriticalSection lock(4000);
    static unsigned counter = 0;
    CriticalSectionLock guard(lock);
    return ++counter;
}

CriticalSection& handlerLock() {
    // Taken briefly by any thread that fails: a short spin before sleeping.
    static CriticalSection lock(4000);
    return lock;
}

ThreadErrorHandler& defaultHandler() {
    static ThreadErrorHandler handler;
    return handler;
}

ThreadErrorHandler* g_handler = nullptr;

std::wstring widen(const char* text) {
    std::wstring out;
    if (!text)
        return out;
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 0) {
        for (; *text; ++text)
            out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
        return out;
    }
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

struct Launch {
    std::shared_ptr<ThreadImpl> impl;
};

unsigned __stdcall threadProc(void* arg) {
    // The thread holds its own reference: its Thread object may be destroyed first.
    std::unique_ptr<Launch> launch(static_cast<Launch*>(arg));
    std::shared_ptr<ThreadImpl> impl = launch->impl;
    TlsSetValue(tlsKey(), impl.get());
    struct Body {
        static void run(void* p) {
            ThreadImpl* impl = static_cast<ThreadImpl*>(p);
            if (impl->runnable)
                impl->runnable->run();
            else if (impl->callback)
                impl->callback(impl->userData);
        }
    };
    runGuarded(&Body::run, impl.get());
    TlsSetValue(tlsKey(), nullptr);
    return 0;
}

} // namespace

namespace detail {

TLSAbstractSlot* findOrCreateSlot(const void* key, TLSAbstractSlot* (*factory)()) {
    // TlsGetValue clears the thread's last error; callers read slots between a failing
    // system call and the code it left (the error record does exactly that).
    DWORD lastError = GetLastError();
    ThreadImpl* impl = static_cast<ThreadImpl*>(TlsGetValue(tlsKey()));
    SetLastError(lastError);
    SlotMap& slots = impl ? impl->slots : foreignSlots();
    auto it = slots.find(key);
    if (it != slots.end())
        return it->second.get();
    TLSAbstractSlot* slot = factory();
    slots.emplace(key, std::unique_ptr<TLSAbstractSlot>(slot));
    return slot;
}

} // namespace detail

Thread::Thread() : m_impl(std::make_shared<ThreadImpl>()) {
    m_impl->sequence = nextSequence();
    m_impl->name = L"#" + std::to_wstring(m_impl->sequence);
}

Thread::Thread(const std::wstring& name) : Thread() { m_impl->name = name; }

Thread::~Thread() = default;

bool Thread::isRunning() const {
    DWORD code = 0;
    return m_impl->handle && GetExitCodeThread(m_impl->handle, &code) && code == STILL_ACTIVE;
}

void Thread::start(Runnable* runnable) {
    if (isRunning())
        throw SystemException(L"thread already running");
    m_impl->runnable = runnable;
    m_impl->callback = nullptr;
    launch();
}

void Thread::start(Callback callback, void* userData) {
    if (isRunning())
        throw SystemException(L"thread already running");
    m_impl->runnable = nullptr;
    m_impl->callback = callback;
    m_impl->userData = userData;
    launch();
}

void Thread::launch() {
    if (m_impl->handle) {
        CloseHandle(m_impl->handle);
        m_impl->handle = nullptr;
    }
    tlsKey();
    Launch* launch = new Launch{m_impl};
    unsigned id = 0;
    uintptr_t h = _beginthreadex(nullptr, m_impl->stackSize, &threadProc, launch, CREATE_SUSPENDED, &id);
    if (!h) {
        delete launch;
        throw SystemException(L"cannot create thread");
    }
    m_impl->handle = reinterpret_cast<HANDLE>(h);
    m_impl->id = id;
    bool priorityFailed = m_impl->priority != 0 && !SetThreadPriority(m_impl->handle, m_impl->priority);
    // Started suspended so that the priority holds from its first instruction.
    ResumeThread(m_impl->handle);
    if (priorityFailed)
        throw SystemException(L"cannot set thread priority");
}

void Thread::join() {
    if (!m_impl->handle)
        return;
    if (WaitForSingleObject(m_impl->handle, INFINITE) != WAIT_OBJECT_0)
        throw SystemException(L"cannot join thread");
    CloseHandle(m_impl->handle);
    m_impl->handle = nullptr;
}

void Thread::setPriority(int priority) {
    if (priority == m_impl->priority)
        return;
    m_impl->priority = priority;
    if (m_impl->handle && !SetThreadPriority(m_impl->handle, priority))
        throw SystemException(L"cannot set thread priority");
}

int Thread::priority() const { return m_impl->priority; }
void Thread::setStackSize(unsigned bytes) { m_impl->stackSize = bytes; }

void Thread::setName(const std::wstring& name) {
    CriticalSectionLock guard(m_impl->nameLock);
    m_impl->name = name;
}

std::wstring Thread::name() const {
    CriticalSectionLock guard(m_impl->nameLock);
    return m_impl->name;
}

unsigned Thread::sequence() const { return m_impl->sequence; }
DWORD Thread::id() const { return m_impl->id; }

LegacyThread::LegacyThread() = default;
LegacyThread::LegacyThread(const std::wstring& name) : Thread(name) {}

LegacyThread::~LegacyThread() { stopAndJoin(); }

void LegacyThread::stopAndJoin() {
    {
        CriticalSectionLock guard(m_lock);
        m_stop = true;
    }
    requestStop();
    join();
}

void LegacyThread::start() {
    if (!isRunning()) {
        CriticalSectionLock guard(m_lock);
        m_stop = false;
    }
    Thread::start(&LegacyThread::trampoline, this);
}

void LegacyThread::trampoline(void* self) {
    LegacyThread* thread = static_cast<LegacyThread*>(self);
    thread->m_result = thread->run();
}

bool LegacyThread::requestStop() {
    CriticalSectionLock guard(m_lock);
    m_stop = true;
    return true;
}

bool LegacyThread::stopRequested() {
    CriticalSectionLock guard(m_lock);
    return m_stop;
}

void ThreadErrorHandler::reportUnknownException() {
    logMessage(LOG_INFO, LOG_UNKNOWN_SOURCE, L"%s", L"unknown exception");
}

void ThreadErrorHandler::reportStdException(std::exception& e) {
    std::wstring text = widen(e.what());
    logMessage(LOG_INFO, LOG_UNKNOWN_SOURCE, L"%s", text.c_str());
}

void ThreadErrorHandler::reportException(Exception& e) {
    std::wstring text = e.message();
    logMessage(LOG_INFO, LOG_UNKNOWN_SOURCE, L"%s", text.c_str());
}

void setThreadErrorHandler(ThreadErrorHandler* handler) {
    CriticalSectionLock guard(handlerLock());
    g_handler = handler;
}

ThreadErrorHandler& threadErrorHandler() { return g_handler ? *g_handler : defaultHandler(); }

void runGuarded(void (*body)(void*), void* userData) {
    try {
        body(userData);
    } catch (Exception& e) {
        try {
            CriticalSectionLock guard(handlerLock());
            threadErrorHandler().reportException(e);
        } catch (...) {
        }
    } catch (std::exception& e) {
        try {
            CriticalSectionLock guard(handlerLock());
            threadErrorHandler().reportStdException(e);
        } catch (...) {
        }
    } catch (...) {
        try {
            CriticalSectionLock guard(handlerLock());
            threadErrorHandler().reportUnknownException();
        } catch (...) {
        }
    }
}

void recordMainThread() { g_mainThreadId = GetCurrentThreadId(); }
void recordMainThread(DWORD id) { g_mainThreadId = id; }
bool is_main_thread() { return GetCurrentThreadId() == g_mainThreadId; }

void checkMainThread() {
    if (!is_main_thread())
        throw IllegalStateException(L"Not a main thread.");
}

} // namespace zem

namespace MTL {
DWORD_PTR GetProcessAffinityMask() {
    DWORD_PTR processMask = 0, systemMask = 0;
    if (!::GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask)) {
        zem::logMessage(zem::LOG_ERROR, zem::LOG_INTERNAL_SOURCE, L"MTL::GetProcessAffinityMask error %d\n",
                        static_cast<int>(GetLastError()));
        return 0;
    }
    return processMask;
}
} // namespace MTL
