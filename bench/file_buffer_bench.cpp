// Reads and writes a 100 MB file through the disk device (with its FileBuffer) and with
// plain ReadFile/WriteFile, in the same chunk sizes, and prints the times and the ratio.
#include "zem/base/Clock.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr uint32_t kFileSize = 100u << 20;
constexpr int kRounds = 3;

bool deviceWrite(const wchar_t* path, uint32_t chunk, const std::vector<char>& data) {
    zem::File* f = zem::fileOpen(path, zem::FILE_MODE_WRITE);
    if (!f)
        return false;
    bool ok = true;
    for (uint32_t at = 0; at < kFileSize && ok; at += chunk)
        ok = f->write(data.data() + at, chunk) == chunk;
    return zem::fileClose(f) && ok;
}

bool deviceRead(const wchar_t* path, uint32_t chunk, std::vector<char>& out) {
    zem::File* f = zem::fileOpen(path, zem::FILE_MODE_READ);
    if (!f)
        return false;
    bool ok = true;
    for (uint32_t at = 0; at < kFileSize && ok; at += chunk)
        ok = f->read(out.data() + at, chunk) == chunk;
    return zem::fileClose(f) && ok;
}

bool plainWrite(const wchar_t* path, uint32_t chunk, const std::vector<char>& data) {
    HANDLE h =
        CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (uint32_t at = 0; at < kFileSize && ok; at += chunk) {
        DWORD n = 0;
        ok = WriteFile(h, data.data() + at, chunk, &n, nullptr) && n == chunk;
    }
    CloseHandle(h);
    return ok;
}

bool plainRead(const wchar_t* path, uint32_t chunk, std::vector<char>& out) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (uint32_t at = 0; at < kFileSize && ok; at += chunk) {
        DWORD n = 0;
        ok = ReadFile(h, out.data() + at, chunk, &n, nullptr) && n == chunk;
    }
    CloseHandle(h);
    return ok;
}

template <class F> double bestOf(F f) {
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        zem::Stopwatch watch;
        watch.start();
        if (!f()) {
            std::printf("  run failed\n");
            return -1;
        }
        watch.stop();
        best = std::min(best, static_cast<double>(watch.elapsed()) / 1000.0);
    }
    return best;
}

void report(const char* what, uint32_t chunk, double device, double plain) {
    double mb = kFileSize / 1048576.0;
    std::printf("%-5s chunk %6u: device %8.1f ms (%7.1f MB/s)  plain %8.1f ms (%7.1f MB/s)  device/plain %.3f\n", what,
                static_cast<unsigned>(chunk), device, mb * 1000.0 / device, plain, mb * 1000.0 / plain, device / plain);
}

} // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"zem-bench-" + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(dir.c_str(), nullptr)) {
        std::printf("cannot create %ls\n", dir.c_str());
        return 1;
    }
    zem::FileDeviceWin32 device(dir.c_str());
    zem::fileAttachDevice(&device, L"bench", 1);
    std::wstring plainPath = dir + L"\\plain.bin";

    std::vector<char> data(kFileSize);
    for (uint32_t i = 0; i < kFileSize; ++i)
        data[i] = static_cast<char>(i * 2654435761u >> 24);
    std::vector<char> back(kFileSize);

    std::printf("100 MB file, best of %d runs, FileBuffer window %u bytes\n", kRounds,
                zem::FileDeviceWin32::DEFAULT_BUFFER_SIZE);
    for (uint32_t chunk : {4096u, 65536u, 1048576u}) {
        double dw = bestOf([&] { return deviceWrite(L"bench:device.bin", chunk, data); });
        double pw = bestOf([&] { return plainWrite(plainPath.c_str(), chunk, data); });
        report("write", chunk, dw, pw);
        double dr = bestOf([&] { return deviceRead(L"bench:device.bin", chunk, back); });
        bool same = back == data;
        double pr = bestOf([&] { return plainRead(plainPath.c_str(), chunk, back); });
        report("read", chunk, dr, pr);
        if (!same || back != data)
            std::printf("  CONTENT MISMATCH\n");
    }

    zem::fileDetachDevice(L"bench");
    DeleteFileW((dir + L"\\device.bin").c_str());
    DeleteFileW(plainPath.c_str());
    RemoveDirectoryW(dir.c_str());
    return 0;
}
