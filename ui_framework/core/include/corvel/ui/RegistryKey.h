// One registry key named by root, path and access mask. Each operation opens the key,
// does its work and closes it again, so a record can be kept around without holding a
// handle; only open() leaves the key open until close().
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace corvel {

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(HKEY root, std::wstring path, REGSAM access) : m_access(access), m_root(root), m_path(std::move(path)) {}
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The system's table of font-name aliases.
    static RegistryKey fontSubstitutes();

    bool open();
    void close();
    bool isOpen() const { return m_handle != nullptr; }

    bool hasValue(const wchar_t* name, DWORD* type);
    bool getValueCount(DWORD* count);
    bool getValueName(DWORD index, std::wstring* name);
    // Strings of type REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ; a terminating zero, when
    // stored, is not part of the text.
    bool readString(const wchar_t* name, std::wstring* text);

private:
    // Opens for one operation unless open() already holds the key; closes what it opened.
    class Scope;

    REGSAM m_access = KEY_READ;
    HKEY m_root = HKEY_CURRENT_USER;
    std::wstring m_path;
    HKEY m_handle = nullptr; // valid only inside an operation, or between open() and close()
};

} // namespace corvel
