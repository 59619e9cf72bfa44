// Prints how long BundleManager::load takes to find, read and install the shipped bundles
// and then the same set with 200 copies under fresh UUIDs, and how long the grammars take
// to compile afterwards; beside it, a baseline that parses the same files with the plain
// Jasmine reader and compiles each regular expression once, and the ratio.
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/config/Config.h"
#include "zem/base/Clock.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/text/RegEx.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/RegExpValue.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int COPIES = 200;

std::wstring findShipped() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    for (int up = 0; up < 6; ++up) {
        dir = dir.substr(0, dir.find_last_of(L"\\/"));
        std::wstring candidate = dir + L"\\bundles\\shipped";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
    return std::wstring();
}

std::string readAll(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD read = 0;
    ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    return bytes;
}

void writeAll(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::wstring freshUuid() {
    zem::Uuid uuid;
    uuid.create();
    return uuid.toString();
}

struct ShippedBundle {
    std::wstring name;                                      // folder name before the UUID
    std::string info;                                       // the information file
    std::vector<std::pair<std::wstring, std::string>> grammars; // (file name part, text)
};

std::vector<ShippedBundle> readShipped(const std::wstring& dir) {
    std::vector<ShippedBundle> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*.cvBundle").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return out;
    do {
        ShippedBundle bundle;
        std::wstring folder = dir + L"\\" + data.cFileName;
        bundle.name = std::wstring(data.cFileName).substr(0, std::wstring(data.cFileName).find(L'.'));
        WIN32_FIND_DATAW inner;
        HANDLE info = FindFirstFileW((folder + L"\\*.cvInfo").c_str(), &inner);
        if (info != INVALID_HANDLE_VALUE) {
            bundle.info = readAll(folder + L"\\" + inner.cFileName);
            FindClose(info);
        }
        HANDLE grammars = FindFirstFileW((folder + L"\\grammars\\*.cvGrammar").c_str(), &inner);
        if (grammars != INVALID_HANDLE_VALUE) {
            do {
                std::wstring file = inner.cFileName;
                bundle.grammars.push_back({file.substr(0, file.find(L'.')), readAll(folder + L"\\grammars\\" + file)});
            } while (FindNextFileW(grammars, &inner));
            FindClose(grammars);
        }
        out.push_back(bundle);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

// Writes one copy of every bundle under fresh UUIDs; returns the files written.
void writeCopy(const std::wstring& bundlesDir, const std::vector<ShippedBundle>& shipped, const std::wstring& suffix,
               std::vector<std::wstring>& files) {
    for (const ShippedBundle& bundle : shipped) {
        std::wstring uuid = freshUuid();
        std::wstring folder = bundlesDir + L"\\" + bundle.name + suffix + L"." + uuid + L".cvBundle";
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\grammars").c_str(), nullptr);
        files.push_back(folder + L"\\info." + uuid + L".cvInfo");
        writeAll(files.back(), bundle.info);
        for (auto& grammar : bundle.grammars) {
            files.push_back(folder + L"\\grammars\\" + grammar.first + L"." + freshUuid() + L".cvGrammar");
            writeAll(files.back(), grammar.second);
        }
    }
}

void compileExpressions(const zem::Value* value, int& count) {
    if (!value)
        return;
    if (value->kind() == zem::Value::KIND_REGEXP) {
        const zem::RegExpValue* regex = static_cast<const zem::RegExpValue*>(value);
        std::wstring source;
        if (!zem::RegEx::rewriteHexEscapes(regex->pattern(), source))
            source = regex->pattern();
        zem::RegExPtr compiled = zem::RegEx::create(source);
        count += compiled ? 1 : 0;
    } else if (value->kind() == zem::Value::KIND_LIST) {
        const zem::ListValue* list = static_cast<const zem::ListValue*>(value);
        for (size_t i = 0; i < list->size(); ++i)
            compileExpressions(list->at(i), count);
    } else if (value->kind() == zem::Value::KIND_DICTIONARY) {
        for (const zem::DictionaryEntry& entry : static_cast<const zem::DictionaryValue*>(value)->inOrder())
            compileExpressions(entry.value, count);
    }
}

// Reads, decodes and parses every file and compiles each expression once; milliseconds.
double baseline(const std::vector<std::wstring>& files) {
    zem::Stopwatch watch;
    watch.start();
    int expressions = 0;
    for (const std::wstring& file : files) {
        std::string bytes = readAll(file);
        std::wstring text(bytes.begin(), bytes.end()); // the files are ASCII
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        compileExpressions(value.get(), expressions);
    }
    watch.stop();
    return watch.elapsed() / 1000.0;
}

struct Counters {
    int loadsEnded = 0;
    int compiled = 0;
};

void pumpUntil(const int& counter, int wanted) {
    MSG msg;
    DWORD start = GetTickCount();
    while (counter < wanted && GetTickCount() - start < 600000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

// Loads until the compiled grammars are installed; milliseconds to the end of the load,
// and from there until the last compilation was installed (0 when it was done before).
void timedLoad(corvel::BundleManager& manager, corvel::LanguageManager& languages, Counters& counters,
               double& loadMs, double& compileMs) {
    int loads = counters.loadsEnded;
    zem::Stopwatch watch;
    watch.start();
    manager.reload();
    pumpUntil(counters.loadsEnded, loads + 1);
    loadMs = watch.elapsed() / 1000.0;
    MSG msg;
    while (languages.isCompiling()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    compileMs = watch.elapsed() / 1000.0 - loadMs;
}

} // namespace

int main() {
    zem::recordMainThread();
    std::wstring shippedDir = findShipped();
    if (shippedDir.empty()) {
        std::printf("bundle_load: the shipped bundles were not found\n");
        return 1;
    }
    std::vector<ShippedBundle> shipped = readShipped(shippedDir);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"bundle-load-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"\\root").c_str(), nullptr);
    CreateDirectoryW((dir + L"\\user").c_str(), nullptr);
    std::wstring bundlesDir = dir + L"\\root\\bundles";
    CreateDirectoryW(bundlesDir.c_str(), nullptr);
    std::vector<std::wstring> shippedFiles;
    writeCopy(bundlesDir, shipped, L"", shippedFiles);

    zem::FileDeviceWin32 root((dir + L"\\root\\").c_str());
    zem::FileDeviceWin32 user((dir + L"\\user\\").c_str());
    zem::fileAttachDevice(&root, L"root", 200);
    zem::fileAttachDevice(&user, L"user", 200);
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    zem::MessageRegistry registry;
    registry.init(window);
    {
        corvel::Config config;
        corvel::BundleManager manager;
        manager.onConfigReady(config);
        corvel::LanguageManager* languages = new corvel::LanguageManager(manager); // owned by the manager
        languages->onConfigReady(config);
        Counters counters;
        manager.onLoadEnd.add([](void* c, corvel::BundleManager*, bool) { ++static_cast<Counters*>(c)->loadsEnded; },
                              &counters);
        languages->onCompiled.add([](void* c, corvel::LanguageManager*) { ++static_cast<Counters*>(c)->compiled; },
                                  &counters);

        double loadMs = 0;
        double compileMs = 0;
        timedLoad(manager, *languages, counters, loadMs, compileMs);
        double base = baseline(shippedFiles);
        std::printf("shipped: %u bundles, load %.1f ms, then installed after %.1f ms more, total %.1f ms; baseline %.1f ms; ratio %.2f\n",
                    static_cast<unsigned>(shipped.size()), loadMs, compileMs, loadMs + compileMs, base,
                    base > 0 ? (loadMs + compileMs) / base : 0.0);

        std::vector<std::wstring> allFiles = shippedFiles;
        for (int i = 0; i < COPIES; ++i)
            writeCopy(bundlesDir, shipped, L"_" + std::to_wstring(i), allFiles);
        timedLoad(manager, *languages, counters, loadMs, compileMs);
        base = baseline(allFiles);
        size_t bundles = shipped.size() * (COPIES + 1);
        std::printf("with %d copies: %u bundles, load %.1f ms (%.0f bundles/s), then installed after %.1f ms more; baseline %.1f ms; "
                    "ratio %.2f\n",
                    COPIES, static_cast<unsigned>(bundles), loadMs, bundles / (loadMs / 1000.0), compileMs, base,
                    base > 0 ? (loadMs + compileMs) / base : 0.0);
    }
    registry.shutdown();
    DestroyWindow(window);
    zem::fileDetachDevice(L"root");
    zem::fileDetachDevice(L"user");
    std::wstring command = L"cmd /c rmdir /s /q \"" + dir + L"\"";
    _wsystem(command.c_str());
    return 0;
}
