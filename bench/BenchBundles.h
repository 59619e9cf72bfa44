// The shipped bundles for benchmarks: read from the source tree, written under fresh UUIDs
// into a temporary "root" device, and loaded by the product's own bundle and grammar
// managers, as the program does at start-up.
#pragma once
#include "BenchFiles.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/config/Config.h"
#include "zem/base/Uuid.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/thread/MessageRegistry.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace bench {

// The source tree's bundles/shipped, found upwards from the program; empty when missing.
inline std::wstring findShippedBundles() {
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

inline std::string readWhole(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    bytes.resize(read);
    return bytes;
}

struct ShippedFile {
    std::wstring folder; // kind folder inside the bundle ("grammars", ...), empty for the info file
    std::wstring name;   // file name part before the UUID
    std::wstring extension;
    std::string bytes;
};

struct ShippedBundle {
    std::wstring name; // folder name part before the UUID
    std::vector<ShippedFile> files;
};

// Every file of every shipped bundle: the information file and every kind folder's files.
inline std::vector<ShippedBundle> readShippedBundles(const std::wstring& dir) {
    std::vector<ShippedBundle> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*.cvBundle").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return out;
    do {
        ShippedBundle bundle;
        std::wstring folderName = data.cFileName;
        std::wstring folder = dir + L"\\" + folderName;
        bundle.name = folderName.substr(0, folderName.find(L'.'));
        WIN32_FIND_DATAW inner;
        HANDLE entries = FindFirstFileW((folder + L"\\*").c_str(), &inner);
        if (entries == INVALID_HANDLE_VALUE)
            continue;
        do {
            std::wstring name = inner.cFileName;
            if (name[0] == L'.')
                continue;
            bool isFolder = (inner.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            std::vector<std::wstring> files;
            std::wstring kind = isFolder ? name : std::wstring();
            if (isFolder) {
                WIN32_FIND_DATAW file;
                HANDLE list = FindFirstFileW((folder + L"\\" + name + L"\\*").c_str(), &file);
                if (list == INVALID_HANDLE_VALUE)
                    continue;
                do {
                    if (!(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                        files.push_back(file.cFileName);
                } while (FindNextFileW(list, &file));
                FindClose(list);
            } else {
                files.push_back(name);
            }
            for (const std::wstring& file : files) {
                ShippedFile shipped;
                shipped.folder = kind;
                shipped.name = file.substr(0, file.find(L'.'));
                shipped.extension = file.substr(file.find_last_of(L'.'));
                shipped.bytes = readWhole(folder + L"\\" + (kind.empty() ? file : kind + L"\\" + file));
                bundle.files.push_back(shipped);
            }
        } while (FindNextFileW(entries, &inner));
        FindClose(entries);
        out.push_back(bundle);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

inline std::wstring freshUuid() {
    zem::Uuid uuid;
    uuid.create();
    return uuid.toString();
}

// Writes one copy of every bundle under fresh UUIDs into bundlesDir; appends the files written.
inline void writeBundleCopy(const std::wstring& bundlesDir, const std::vector<ShippedBundle>& shipped,
                            const std::wstring& suffix, std::vector<std::wstring>& files) {
    for (const ShippedBundle& bundle : shipped) {
        std::wstring uuid = freshUuid();
        std::wstring folder = bundlesDir + L"\\" + bundle.name + suffix + L"." + uuid + L".cvBundle";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const ShippedFile& file : bundle.files) {
            if (file.folder.empty()) { // the information file carries the bundle's UUID
                files.push_back(folder + L"\\" + file.name + L"." + uuid + file.extension);
            } else {
                CreateDirectoryW((folder + L"\\" + file.folder).c_str(), nullptr);
                files.push_back(folder + L"\\" + file.folder + L"\\" + file.name + L"." + freshUuid() + file.extension);
            }
            writeFile(files.back(), file.bytes);
        }
    }
}

// Dispatches the thread's messages until the condition holds (or ten minutes pass).
template <class Condition> void pumpUntil(Condition done) {
    MSG msg;
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 600000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

// A temporary folder with "root" and "user" devices whose root holds a copy of the
// shipped bundles, and the bundle and grammar managers over it. Removed with the object.
class ShippedBundleHost {
public:
    ShippedBundleHost()
        : m_dir(tempDir()), m_root((m_dir + L"\\root\\").c_str()), m_user((m_dir + L"\\user\\").c_str()) {
        m_shipped = readShippedBundles(findShippedBundles());
        writeBundleCopy(bundlesDir(), m_shipped, L"", m_files);
        zem::fileAttachDevice(&m_root, L"root", 200);
        zem::fileAttachDevice(&m_user, L"user", 200);
        m_window = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        m_registry.init(m_window);
        m_manager.reset(new corvel::BundleManager());
        m_manager->onConfigReady(m_config);
        m_languages = new corvel::LanguageManager(*m_manager); // owned by the manager
        m_languages->onConfigReady(m_config);
        m_manager->onLoadEnd.add(
            [](void* self, corvel::BundleManager*, bool) { ++static_cast<ShippedBundleHost*>(self)->m_loads; }, this);
        m_languages->onCompiled.add(
            [](void* self, corvel::LanguageManager*) { ++static_cast<ShippedBundleHost*>(self)->m_compiled; }, this);
    }
    ~ShippedBundleHost() {
        m_manager.reset();
        m_registry.shutdown();
        DestroyWindow(m_window);
        zem::fileDetachDevice(L"root");
        zem::fileDetachDevice(L"user");
        removeTree(m_dir);
    }
    ShippedBundleHost(const ShippedBundleHost&) = delete;
    ShippedBundleHost& operator=(const ShippedBundleHost&) = delete;

    bool found() const { return !m_shipped.empty(); }
    const std::vector<ShippedBundle>& shipped() const { return m_shipped; }
    // Files written so far (the first copy, then those addCopies wrote).
    const std::vector<std::wstring>& files() const { return m_files; }
    std::wstring bundlesDir() const { return m_dir + L"\\root\\bundles"; }
    void addCopies(int copies) {
        for (int i = 0; i < copies; ++i)
            writeBundleCopy(bundlesDir(), m_shipped, L"_" + std::to_wstring(i), m_files);
    }

    corvel::BundleManager& manager() { return *m_manager; }
    corvel::LanguageManager& languages() { return *m_languages; }

    // Reloads the bundles and waits until the load has ended; then until the grammars are
    // compiled and installed when `compiledMs` is given (milliseconds after the load's end;
    // 0 when they were installed before it).
    double reload(double* compiledMs = nullptr) {
        int loads = m_loads;
        int compiled = m_compiled;
        LARGE_INTEGER frequency, start, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        m_manager->reload();
        pumpUntil([&] { return m_loads > loads; });
        QueryPerformanceCounter(&now);
        double loadMs = 1e3 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        if (compiledMs) {
            pumpUntil([&] { return m_compiled > compiled && !m_languages->isCompiling(); });
            QueryPerformanceCounter(&now);
            *compiledMs = 1e3 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart) - loadMs;
        }
        return loadMs;
    }

private:
    static std::wstring tempDir() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        std::wstring dir = std::wstring(temp) + L"corvel-bench-bundles-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir.c_str(), nullptr);
        CreateDirectoryW((dir + L"\\root").c_str(), nullptr);
        CreateDirectoryW((dir + L"\\user").c_str(), nullptr);
        CreateDirectoryW((dir + L"\\root\\bundles").c_str(), nullptr);
        return dir;
    }

    std::wstring m_dir;
    zem::FileDeviceWin32 m_root;
    zem::FileDeviceWin32 m_user;
    std::vector<ShippedBundle> m_shipped;
    std::vector<std::wstring> m_files;
    HWND m_window = nullptr;
    zem::MessageRegistry m_registry;
    corvel::Config m_config;
    std::unique_ptr<corvel::BundleManager> m_manager;
    corvel::LanguageManager* m_languages = nullptr;
    int m_loads = 0;
    int m_compiled = 0;
};

} // namespace bench
