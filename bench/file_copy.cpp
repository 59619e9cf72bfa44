// Prints how long FileUtils::copyPath takes for one 64 MB file and for a tree of 2,000
// small files, every progress callback set, against CopyFileW on the same sources, and the
// ratios.
#include "BenchFiles.h"
#include "zem/base/Clock.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileProgressHandler.h"
#include "zem/files/FileUtils.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using bench::removeTree;
using bench::copyTreeNative;
using bench::writeFile;

constexpr uint32_t BIG_BYTES = 64u * 1024 * 1024;
constexpr int SMALL_FILES = 2000;
constexpr int SMALL_FOLDERS = 20;
constexpr int RUNS = 3;

struct Counters {
    unsigned ticks = 0;
    unsigned items = 0;
    unsigned bytes = 0;
    int32_t estimate = 0;
};

void onTick(void* data, zem::FileProgressHandler* handler) {
    auto* counters = static_cast<Counters*>(data);
    ++counters->ticks;
    counters->estimate = handler->getRemainingSeconds();
}
void onItem(void* data, zem::FileProgressHandler*) {
    ++static_cast<Counters*>(data)->items;
}
void onBytes(void* data, zem::FileProgressHandler*) {
    ++static_cast<Counters*>(data)->bytes;
}
uint32_t onQuestion(void*, zem::FileProgressHandler*) {
    return zem::FileProgressHandler::UI_Cancel;
}

double copyWithUtils(const std::wstring& source, const std::wstring& target, Counters& counters) {
    removeTree(target);
    CreateDirectoryW(target.c_str(), nullptr);
    zem::FileProgressHandler handler;
    handler.setTickCallback(&onTick, &counters);
    handler.setItemCallback(&onItem, &counters);
    handler.setByteCallback(&onBytes, &counters);
    handler.setQuestionCallback(&onQuestion, nullptr);
    int64_t start = zem::currentTimeUs();
    bool ok = zem::FileUtils::copyPath(source.c_str(), target.c_str(), &handler);
    double ms = zem::microsecondsSince(start) / 1000.0;
    if (!ok)
        std::printf("  copyPath failed: 0x%x\n", static_cast<unsigned>(zem::lastErrorCode()));
    return ms;
}

double copyNative(const std::wstring& source, const std::wstring& target, bool tree) {
    removeTree(target);
    CreateDirectoryW(target.c_str(), nullptr);
    std::wstring name = source.substr(source.find_last_of(L'\\') + 1);
    int64_t start = zem::currentTimeUs();
    if (tree)
        copyTreeNative(source, target + L"\\" + name);
    else
        CopyFileW(source.c_str(), (target + L"\\" + name).c_str(), TRUE);
    return zem::microsecondsSince(start) / 1000.0;
}

void measure(const char* label, const std::wstring& source, const std::wstring& target, bool tree) {
    double best = 1e30;
    double baseline = 1e30;
    Counters counters;
    for (int run = 0; run < RUNS; ++run) {
        double ours = copyWithUtils(source, target, counters);
        double theirs = copyNative(source, target, tree);
        best = ours < best ? ours : best;
        baseline = theirs < baseline ? theirs : baseline;
    }
    std::printf("%-28s copyPath %9.1f ms   CopyFileW %9.1f ms   ratio %.2f   (callbacks: %u ticks, %u items, %u "
                "byte reports)\n",
                label, best, baseline, best / baseline, counters.ticks / RUNS, counters.items / RUNS,
                counters.bytes / RUNS);
}

} // namespace

int main() {
    zem::FileDeviceWin32 native(nullptr, zem::FILEDEV_NATIVE);
    zem::fileAttachDevice(&native, L"__bench", 256);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"file-copy-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);

    std::wstring big = dir + L"\\big.bin";
    std::string bytes(BIG_BYTES, '\0');
    for (uint32_t i = 0; i < BIG_BYTES; ++i)
        bytes[i] = static_cast<char>(i * 2654435761u >> 24);
    writeFile(big, bytes);
    bytes.clear();
    bytes.shrink_to_fit();

    std::wstring tree = dir + L"\\tree";
    CreateDirectoryW(tree.c_str(), nullptr);
    for (int folder = 0; folder < SMALL_FOLDERS; ++folder)
        CreateDirectoryW((tree + L"\\d" + std::to_wstring(folder)).c_str(), nullptr);
    for (int i = 0; i < SMALL_FILES; ++i)
        writeFile(tree + L"\\d" + std::to_wstring(i % SMALL_FOLDERS) + L"\\f" + std::to_wstring(i) + L".txt",
                  std::string(200 + i % 1800, 'a' + i % 26));

    std::printf("Copies, best of %d runs, every progress callback set:\n", RUNS);
    measure("one 64 MB file", big, dir + L"\\out-big", false);
    measure("2,000 small files", tree, dir + L"\\out-tree", true);

    removeTree(dir);
    zem::fileDetachDevice(L"__bench");
    return 0;
}
