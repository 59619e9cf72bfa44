#include "FuzzHarness.h"

#include "zem/base/Exception.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>
#include <windows.h>

namespace fuzz {
namespace {

struct Options {
    uint64_t iterations = 0;
    std::wstring seedFolder;
    std::wstring replay;
    std::wstring out = L".";
    uint64_t seed = 1;
    // Per input: the process's CPU time, which a loaded machine does not stretch the way
    // it stretches the wall clock, and a wall-clock time far beyond any slow input, for
    // an input that hangs waiting rather than spinning.
    unsigned timeLimit = 10000;  // milliseconds of CPU time
    unsigned wallLimit = 120000; // milliseconds
};

// What the watchdog and the crash paths read while the main thread runs an input.
struct Current {
    const char* name = "";
    std::wstring out;
    unsigned timeLimit = 0;
    unsigned wallLimit = 0;
    std::atomic<const std::string*> input{nullptr};
    std::atomic<uint64_t> index{0};
    std::atomic<DWORD> started{0};
    std::atomic<bool> busy{false};
    // Set by the crash filter, then handled on the watchdog's own stack.
    std::atomic<DWORD> crashCode{0};
    std::atomic<void*> crashAddress{nullptr};
    HANDLE crashed = nullptr;
    HANDLE reported = nullptr;
};
Current g_current;

std::wstring widen(const char* text) {
    std::wstring out;
    for (; *text; ++text)
        out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

// A Unix path from the shell names the same place on Wine's drive Z:.
std::wstring hostPath(const std::wstring& path) {
    if (!path.empty() && path[0] == L'/' && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return L"Z:" + path;
    return path;
}

bool readFile(const std::wstring& path, std::string& out) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    out.clear();
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(file);
    return true;
}

std::vector<std::string> readSeeds(const std::wstring& folder) {
    std::vector<std::string> seeds;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return seeds;
    std::vector<std::wstring> names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    // The listing order is the file system's: sorted, the run is the same everywhere.
    std::sort(names.begin(), names.end());
    for (const std::wstring& name : names) {
        std::string bytes;
        if (readFile(folder + L"\\" + name, bytes))
            seeds.push_back(bytes);
    }
    return seeds;
}

// Keeps an input that found a fault; the file name is printed for the test to take.
void saveInput(const char* kind, uint64_t index, const std::string& input) {
    wchar_t name[512];
    _snwprintf(name, 511, L"%ls\\%hs-%hs-%llu.bin", g_current.out.c_str(), g_current.name, kind,
               static_cast<unsigned long long>(index));
    name[511] = 0;
    HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::printf("  input saved to %ls\n", name);
}

void reportAndEnd(const char* kind, const std::string& detail, int exitCode) {
    const std::string* input = g_current.input.load();
    uint64_t index = g_current.index.load();
    std::printf("%s: %s at input %llu: %s\n", g_current.name, kind, static_cast<unsigned long long>(index),
                detail.c_str());
    if (input) {
        std::printf("  input: %s\n", printable(*input).c_str());
        saveInput(kind, index, *input);
    }
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* pointers) {
    // Little stack may be left (an overflow): the watchdog thread writes the report.
    g_current.crashCode = pointers->ExceptionRecord->ExceptionCode;
    g_current.crashAddress = pointers->ExceptionRecord->ExceptionAddress;
    SetEvent(g_current.crashed);
    WaitForSingleObject(g_current.reported, 10000);
    return EXCEPTION_EXECUTE_HANDLER;
}

void onAbort(int) {
    reportAndEnd("crash", "abort", 2);
}

// The CPU time every thread of the process has used, in 100 ns units.
uint64_t processCpuTime() {
    FILETIME created;
    FILETIME ended;
    FILETIME kernel;
    FILETIME user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        return 0;
    auto units = [](const FILETIME& time) {
        return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return units(kernel) + units(user);
}

// An input's CPU time counts from the first sample that saw it running: asking the system
// for the process's times at every input's start cost more than many inputs themselves.
DWORD WINAPI watch(void*) {
    uint64_t seenIndex = ~0ull;
    uint64_t cpuSeen = 0;
    for (;;) {
        if (WaitForSingleObject(g_current.crashed, 50) == WAIT_OBJECT_0) {
            char detail[96];
            std::snprintf(detail, sizeof(detail), "exception 0x%08lX at %p",
                          static_cast<unsigned long>(g_current.crashCode.load()), g_current.crashAddress.load());
            reportAndEnd("crash", detail, 2);
        }
        if (!g_current.busy)
            continue;
        // The index and start are read before the clocks: an input that began meanwhile
        // then counts from a start before its own, never from one after the clock was read.
        const uint64_t index = g_current.index;
        const DWORD started = g_current.started;
        const uint64_t cpuNow = processCpuTime();
        const DWORD wall = GetTickCount() - started;
        if (index != seenIndex) {
            seenIndex = index;
            cpuSeen = cpuNow;
        }
        const uint64_t cpu = cpuNow > cpuSeen ? (cpuNow - cpuSeen) / 10000 : 0;
        if (g_current.busy && g_current.index == index &&
            (cpu > g_current.timeLimit || (wall < 0x80000000u && wall > g_current.wallLimit))) {
            char detail[96];
            std::snprintf(detail, sizeof(detail), "still running after %llu ms of CPU time, %lu ms in all",
                          static_cast<unsigned long long>(cpu), static_cast<unsigned long>(wall));
            reportAndEnd("hang", detail, 3);
        }
    }
}

bool parseOptions(int argc, char** argv, Options& options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--seed" && hasValue)
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--time-limit" && hasValue)
            options.timeLimit = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--wall-limit" && hasValue)
            options.wallLimit = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--out" && hasValue)
            options.out = hostPath(widen(argv[++i]));
        else if (arg == "--replay" && hasValue)
            options.replay = hostPath(widen(argv[++i]));
        else if (arg.rfind("--", 0) == 0)
            return false;
        else
            positional.push_back(arg);
    }
    if (!options.replay.empty())
        return positional.empty();
    if (positional.size() != 2)
        return false;
    options.iterations = std::strtoull(positional[0].c_str(), nullptr, 10);
    options.seedFolder = hostPath(widen(positional[1].c_str()));
    return options.iterations > 0;
}

std::string describe(const zem::Exception& e) {
    return std::string(typeid(e).name()) + ": " + printable(e.message());
}

struct Tally {
    uint64_t accepted = 0;
    uint64_t rejected = 0;
    uint64_t foreign = 0;
    uint64_t changed = 0;
    uint64_t faults() const { return foreign + changed; }
};

// Runs one input; a fault is reported (the first ten in full) and counted.
void runOne(const Target& target, uint64_t index, const std::string& input, Tally& tally) {
    g_current.input = &input;
    g_current.index = index;
    g_current.started = GetTickCount();
    g_current.busy = true;
    std::string fault;
    const char* kind = "foreign";
    try {
        if (target.run(input) == ACCEPTED)
            ++tally.accepted;
        else
            ++tally.rejected;
    } catch (const Changed& e) {
        kind = "changed";
        fault = e.what;
    } catch (const zem::Exception& e) {
        fault = describe(e);
    } catch (const std::exception& e) {
        fault = std::string(typeid(e).name()) + ": " + e.what();
    } catch (...) {
        fault = "an exception of unknown type";
    }
    g_current.busy = false;
    if (fault.empty())
        return;
    uint64_t& count = std::strcmp(kind, "changed") == 0 ? tally.changed : tally.foreign;
    if (++count <= 10) {
        std::printf("%s: %s at input %llu: %s\n  input: %s\n", target.name,
                    kind[0] == 'c' ? "round trip changed" : "foreign exception", static_cast<unsigned long long>(index),
                    fault.c_str(), printable(input).c_str());
        saveInput(kind, index, input);
    }
}

} // namespace

std::wstring bytesAsUnits(const std::string& bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return text;
}

std::wstring bytesAsLatin1(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return text;
}

std::string printable(const std::string& bytes, size_t limit) {
    std::string out = "\"";
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
        out += escaped;
    }
    out += bytes.size() > limit ? "\"..." : "\"";
    return out;
}

std::string printable(const std::wstring& text, size_t limit) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        wchar_t c = text[i];
        if (c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\') {
            out += static_cast<char>(c);
            continue;
        }
        char escaped[12];
        std::snprintf(escaped, sizeof(escaped), "\\u%04X", static_cast<unsigned>(c));
        out += escaped;
    }
    out += text.size() > limit ? "\"..." : "\"";
    return out;
}

std::string difference(const std::wstring& before, const std::wstring& after) {
    size_t at = 0;
    while (at < before.size() && at < after.size() && before[at] == after[at])
        ++at;
    size_t from = at > 40 ? at - 40 : 0;
    return "at unit " + std::to_string(at) + " after " + printable(before.substr(from, at - from)) + ": " +
           printable(before.substr(at), 60) + " became " + printable(after.substr(at), 60);
}

int runFuzzer(int argc, char** argv, const Target& target) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::printf("usage: %s ITERATIONS SEED_FOLDER [--seed N] [--time-limit CPU_MS] [--wall-limit MS] "
                    "[--out FOLDER]\n"
                    "       %s --replay FILE\n",
                    target.name, target.name);
        return 64;
    }
    // The readers check that they run on the program's main thread: this one.
    zem::recordMainThread();
    g_current.name = target.name;
    g_current.out = options.out;
    g_current.timeLimit = options.timeLimit;
    g_current.wallLimit = options.wallLimit;
    g_current.crashed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_current.reported = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetUnhandledExceptionFilter(&onCrash);
    std::signal(SIGABRT, &onAbort);
    CloseHandle(CreateThread(nullptr, 0, &watch, nullptr, 0, nullptr));

    Tally tally;
    if (!options.replay.empty()) {
        std::string input;
        if (!readFile(options.replay, input)) {
            std::printf("%s: cannot read %ls\n", target.name, options.replay.c_str());
            return 66;
        }
        runOne(target, 0, input, tally);
        std::printf("%s: replay %s\n", target.name,
                    tally.faults()   ? "failed"
                    : tally.accepted ? "accepted"
                                     : "rejected");
        return tally.faults() ? 1 : 0;
    }

    std::vector<std::string> seeds = readSeeds(options.seedFolder);
    if (seeds.empty()) {
        std::printf("%s: no seed files in %ls\n", target.name, options.seedFolder.c_str());
        return 66;
    }
    Mutator mutator(seeds, target.tokens, options.seed);
    std::string input;
    auto start = std::chrono::steady_clock::now();
    for (uint64_t n = 0; n < options.iterations; ++n) {
        mutator.make(n, input);
        runOne(target, n, input, tally);
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %llu inputs from %zu seeds (seed %llu) in %.1f s, %.0f inputs/s; %llu accepted, %llu "
                "rejected; %llu foreign exceptions, %llu changed round trips, no crash, no hang\n",
                target.name, static_cast<unsigned long long>(options.iterations), seeds.size(),
                static_cast<unsigned long long>(options.seed), seconds, options.iterations / seconds,
                static_cast<unsigned long long>(tally.accepted), static_cast<unsigned long long>(tally.rejected),
                static_cast<unsigned long long>(tally.foreign), static_cast<unsigned long long>(tally.changed));
    std::fflush(stdout);
    return tally.faults() ? 1 : 0;
}

} // namespace fuzz
