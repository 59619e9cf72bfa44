// Fresh folders in the system's temporary directory for tests that need real files, and
// the plain system calls that fill, read and remove them, apart from the code under test.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <windows.h>

namespace zemtest {

// Removes a folder and everything below it, read-only files included. The path may end
// in '\' or not; an empty one, from a SetUp that failed before making its folder, is left
// alone rather than read as the current directory.
inline void removeTree(std::wstring dir) {
    if (dir.empty())
        return;
    if (dir.back() != L'\\')
        dir += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

// Makes a new, empty folder "zem-<tag>-<process>-<n>" in the temporary directory and
// returns its path, which ends in '\'; empty when none could be made.
inline std::wstring makeTempFolder(const std::wstring& tag) {
    static unsigned s_made = 0;
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    // A folder left behind by an earlier run that had the same process id is not reused.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring dir = std::wstring(temp) + L"zem-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                           std::to_wstring(++s_made) + L"\\";
        if (CreateDirectoryW(dir.c_str(), nullptr))
            return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
    return std::wstring();
}

// The whole content of a file, or "<missing>" when it cannot be opened.
inline std::string readNativeFile(const std::wstring& path) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string out(GetFileSize(h, nullptr), '\0');
    DWORD n = 0;
    if (!out.empty())
        ReadFile(h, &out[0], static_cast<DWORD>(out.size()), &n, nullptr);
    CloseHandle(h);
    return out;
}

namespace detail {

inline void putNativeFile(const std::wstring& path, const std::string& bytes, bool append) {
    HANDLE h = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << "cannot write " << ::testing::PrintToString(path);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

} // namespace detail

// Replaces the content of a file, making it where there is none.
inline void writeNativeFile(const std::wstring& path, const std::string& bytes) {
    detail::putNativeFile(path, bytes, false);
}

// Adds to the end of a file, making it where there is none.
inline void appendNativeFile(const std::wstring& path, const std::string& bytes) {
    detail::putNativeFile(path, bytes, true);
}

// Moves a file's last-write time the given seconds past now. Watches compare last-write
// times: a write within the clock's resolution would look old.
inline void setNativeLastWriteLater(const std::wstring& path, int seconds) {
    HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle) << "cannot touch " << ::testing::PrintToString(path);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ull;
    now.dwLowDateTime = time.LowPart;
    now.dwHighDateTime = time.HighPart;
    SetFileTime(handle, nullptr, nullptr, &now);
    CloseHandle(handle);
}

} // namespace zemtest
