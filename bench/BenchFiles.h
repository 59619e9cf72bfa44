// Plain system calls that make and remove the generated trees the file benchmarks work on,
// apart from the code they measure.
#pragma once
#include <string>
#include <windows.h>

namespace bench {

inline void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

// The folder (no trailing separator) and everything below it.
inline void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

// Copies the folder's tree into target with the system's calls alone; files already in
// target stay.
inline void copyTreeNative(const std::wstring& source, const std::wstring& target) {
    CreateDirectoryW(target.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((source + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copyTreeNative(source + L"\\" + name, target + L"\\" + name);
        else
            CopyFileW((source + L"\\" + name).c_str(), (target + L"\\" + name).c_str(), TRUE);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace bench
