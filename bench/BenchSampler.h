// Finds where a thread spends its time, for choosing what to make faster: while it runs,
// another thread stops the sampled one (or, with ALL_THREADS, every other thread of the
// program, for work done on worker threads) about every millisecond and writes its instruction
// pointer and the return addresses found on its stack (words that point just after a call
// into this program's code) to a file, one sample a line. Turned on by naming a file
// prefix in CORVEL_BENCH_SAMPLES; each sampled section writes <prefix>.<section>, and the
// addresses are resolved afterwards with addr2line. The figures
// of a sampled run are not to be compared.
#pragma once
#include <windows.h>

#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

class Sampler {
public:
    static constexpr int DEPTH = 6;

    enum Scope { THIS_THREAD, ALL_THREADS };

    explicit Sampler(const char* section, Scope scope = THIS_THREAD) : m_scope(scope) {
        const char* prefix = std::getenv("CORVEL_BENCH_SAMPLES");
        if (!prefix || !*prefix)
            return;
        const std::string path = std::string(prefix) + "." + section;
        m_out = std::fopen(path.c_str(), "w");
        if (!m_out)
            return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const char*>(dos) + dos->e_lfanew);
        m_codeStart = reinterpret_cast<uintptr_t>(dos) + nt->OptionalHeader.BaseOfCode;
        // addr2line reads the addresses the program was linked for.
        std::fprintf(m_out, "base %llx %llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(dos)),
                     static_cast<unsigned long long>(nt->OptionalHeader.ImageBase));
        m_codeEnd = m_codeStart + nt->OptionalHeader.SizeOfCode;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_target, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, &Sampler::run, this, 0, nullptr);
    }
    ~Sampler() {
        if (!m_out)
            return;
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        CloseHandle(m_stop);
        CloseHandle(m_target);
        std::fclose(m_out);
    }
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

private:
    static DWORD WINAPI run(void* self) {
        try {
            static_cast<Sampler*>(self)->loop();
        } catch (...) {
            std::fprintf(stderr, "sampler stopped by an exception\n");
        }
        return 0;
    }

    bool isReturnAddress(uintptr_t value) const {
        if (value < m_codeStart + 8 || value >= m_codeEnd)
            return false;
        const auto* code = reinterpret_cast<const unsigned char*>(value);
        return code[-5] == 0xE8 || (code[-2] == 0xFF && (code[-1] & 0x38) == 0x10) ||
               (code[-3] == 0xFF && (code[-2] & 0x38) == 0x10) || (code[-6] == 0xFF && (code[-5] & 0x38) == 0x10);
    }

    static std::wstring moduleName(uintptr_t address) {
        HMODULE module = nullptr;
        wchar_t name[MAX_PATH] = L"?";
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(address), &module))
            GetModuleFileNameW(module, name, MAX_PATH);
        const wchar_t* slash = wcsrchr(name, L'\\');
        return slash ? slash + 1 : name;
    }

    void loop() {
        std::vector<uintptr_t> stack(4096);
        while (WaitForSingleObject(m_stop, 1) == WAIT_TIMEOUT) {
            if (m_scope == THIS_THREAD) {
                sample(m_target, stack);
                continue;
            }
            HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
            if (snapshot == INVALID_HANDLE_VALUE)
                continue;
            THREADENTRY32 entry = {};
            entry.dwSize = sizeof entry;
            for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
                if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId())
                    continue;
                HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, entry.th32ThreadID);
                if (!thread)
                    continue;
                sample(thread, stack);
                CloseHandle(thread);
            }
            CloseHandle(snapshot);
        }
    }

    void sample(HANDLE target, std::vector<uintptr_t>& stack) {
        if (SuspendThread(target) == static_cast<DWORD>(-1))
            return;
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        uintptr_t ip = 0;
        uintptr_t sp = 0;
        if (GetThreadContext(target, &context)) {
#ifdef _WIN64
            ip = context.Rip;
            sp = context.Rsp;
#else
            ip = context.Eip;
            sp = context.Esp;
#endif
        }
        SIZE_T read = 0;
        if (sp)
            ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<void*>(sp), stack.data(),
                              stack.size() * sizeof(uintptr_t), &read);
        ResumeThread(target);
        if (!ip)
            return;
        std::fprintf(m_out, "%llx", static_cast<unsigned long long>(ip));
        if (ip < m_codeStart || ip >= m_codeEnd)
            std::fprintf(m_out, " @%ls", moduleName(ip).c_str());
        int found = 0;
        for (size_t i = 0; i < read / sizeof(uintptr_t) && found < DEPTH; ++i) {
            if (isReturnAddress(stack[i])) {
                std::fprintf(m_out, " %llx", static_cast<unsigned long long>(stack[i]));
                ++found;
            }
        }
        std::fprintf(m_out, "\n");
    }

    Scope m_scope;
    FILE* m_out = nullptr;
    uintptr_t m_codeStart = 0;
    uintptr_t m_codeEnd = 0;
    HANDLE m_target = nullptr;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
};

} // namespace bench
