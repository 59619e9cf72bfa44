// Prints how long a project takes to scan and merge 20,000 generated files (one folder of
// 10,000, the rest in 100 folders of 100), and an unchanged rescan with its main-thread
// merge, against a plain FindFirstFileW walk of the same tree in the same run; ms and ratio.
#include "BenchFiles.h"
#include "corvel/projects/Project.h"
#include "corvel/projects/ProjectFolder.h"
#include "corvel/projects/ProjectUpdater.h"
#include "corvel/projects/ProjectVirtualFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <cstdio>
#include <memory>
#include <string>
#include <windows.h>

namespace {

using bench::removeTree;
using bench::writeFile;

constexpr int BIG_FOLDER = 10000;
constexpr int FOLDERS = 100;
constexpr int PER_FOLDER = 100;

size_t walk(const std::wstring& dir) {
    size_t count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        ++count;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += walk(dir + L"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

size_t countItems(const corvel::ProjectFolder* folder) {
    size_t count = folder->childCount();
    for (size_t i = 0; i < folder->childCount(); ++i) {
        if (folder->childAt(i)->isFolder())
            count += countItems(static_cast<const corvel::ProjectFolder*>(folder->childAt(i)));
    }
    return count;
}

// Keeps the last merge time the updater logs.
class MergeTimes : public zem::LogListener {
public:
    void onLog(zem::LogMessage* record) override {
        int ms = 0;
        if (swscanf(record->text(), L"mergeSubTree() time %d ms", &ms) == 1)
            last = ms;
    }
    int last = -1;
};

void pumpUntil(const int& counter, int wanted) {
    MSG msg;
    DWORD start = GetTickCount();
    while (counter < wanted && GetTickCount() - start < 600000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

void onFinished(void* counter, corvel::Project*) {
    ++*static_cast<int*>(counter);
}

} // namespace

int main() {
    zem::recordMainThread();
    zem::FileDeviceWin32 native(nullptr, zem::FILEDEV_NATIVE);
    zem::fileAttachDevice(&native, L"__benchnative", 256);
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    zem::MessageRegistry registry;
    registry.init(window);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"corvel-project-scan-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\big").c_str(), nullptr);
    for (int i = 0; i < BIG_FOLDER; ++i)
        writeFile(root + L"\\big\\file" + std::to_wstring(i) + L".txt", "");
    for (int f = 0; f < FOLDERS; ++f) {
        std::wstring folder = root + L"\\dir" + std::to_wstring(f);
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < PER_FOLDER; ++i)
            writeFile(folder + L"\\f" + std::to_wstring(i) + L".c", "");
    }

    DWORD start = GetTickCount();
    size_t walked = walk(root);
    DWORD walkMs = GetTickCount() - start;

    MergeTimes merges;
    zem::LogManager_Impl::instance().addListener(&merges, false);
    int finished = 0;
    {
        corvel::ProjectUpdater updater(nullptr);
        updater.init();
        corvel::Project project(nullptr, &updater);
        corvel::ProjectVirtualFolder* top = new corvel::ProjectVirtualFolder(&project);
        top->setName(L"Bench");
        project.setRoot(top);
        project.updateFinished().add(&onFinished, &finished);
        corvel::ProjectItem* folder = project.createItem(corvel::ProjectItem::KIND_FOLDER, nullptr);
        folder->setPath(root);
        project.attachItem(folder, top);

        start = GetTickCount();
        updater.startUpdate(&project);
        pumpUntil(finished, 1);
        DWORD scanMs = GetTickCount() - start;
        int firstMerge = merges.last;
        size_t items = countItems(static_cast<corvel::ProjectFolder*>(folder));

        start = GetTickCount();
        updater.scanFolder(static_cast<corvel::ProjectFolder*>(folder), false);
        pumpUntil(finished, 2);
        DWORD rescanMs = GetTickCount() - start;

        std::printf("project_scan: %u entries walked, %u items in the project\n", static_cast<unsigned>(walked),
                    static_cast<unsigned>(items));
        std::printf("FindFirstFileW walk (baseline): %lu ms\n", walkMs);
        std::printf("scan and merge: %lu ms (merge on the main thread %d ms), ratio %.2f\n", scanMs, firstMerge,
                    walkMs ? static_cast<double>(scanMs) / walkMs : 0.0);
        std::printf("unchanged rescan: %lu ms (merge on the main thread %d ms), ratio %.2f\n", rescanMs, merges.last,
                    walkMs ? static_cast<double>(rescanMs) / walkMs : 0.0);
        updater.stopUpdate(&project);
    }
    zem::LogManager_Impl::instance().removeListener(&merges);
    removeTree(root);
    registry.shutdown();
    DestroyWindow(window);
    return 0;
}
