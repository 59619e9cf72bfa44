#include "corvel/ui/RegistryKey.h"

#include <vector>

namespace corvel {

class RegistryKey::Scope {
public:
    explicit Scope(RegistryKey& key) : m_key(key) {
        if (key.m_handle)
            return;
        m_opened = key.open();
    }
    ~Scope() {
        if (m_opened)
            m_key.close();
    }
    bool ok() const { return m_key.m_handle != nullptr; }

private:
    RegistryKey& m_key;
    bool m_opened = false;
};

RegistryKey RegistryKey::fontSubstitutes() {
    return RegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                       KEY_READ);
}

bool RegistryKey::open() {
    close();
    HKEY handle = nullptr;
    if (RegOpenKeyExW(m_root, m_path.c_str(), 0, m_access, &handle) != ERROR_SUCCESS)
        return false;
    m_handle = handle;
    return true;
}

void RegistryKey::close() {
    if (!m_handle)
        return;
    RegCloseKey(m_handle);
    m_handle = nullptr;
}

bool RegistryKey::hasValue(const wchar_t* name, DWORD* type) {
    Scope scope(*this);
    if (!scope.ok())
        return false;
    DWORD found = REG_NONE;
    if (RegQueryValueExW(m_handle, name, nullptr, &found, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    if (type)
        *type = found;
    return true;
}

bool RegistryKey::getValueCount(DWORD* count) {
    Scope scope(*this);
    if (!scope.ok())
        return false;
    DWORD values = 0;
    if (RegQueryInfoKeyW(m_handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    *count = values;
    return true;
}

bool RegistryKey::getValueName(DWORD index, std::wstring* name) {
    Scope scope(*this);
    if (!scope.ok())
        return false;
    std::vector<wchar_t> buffer(0x3FFF + 1);
    DWORD length = 0x3FFF + 1;
    if (RegEnumValueW(m_handle, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    name->assign(buffer.data(), length);
    return true;
}

bool RegistryKey::readString(const wchar_t* name, std::wstring* text) {
    Scope scope(*this);
    if (!scope.ok())
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(m_handle, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        return false;
    if (size % 2 != 0)
        return false;
    if (size == 0) {
        text->clear();
        return true;
    }
    std::vector<wchar_t> buffer(size / 2);
    DWORD read = size;
    if (RegQueryValueExW(m_handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
            ERROR_SUCCESS ||
        read != size)
        return false;
    // Only a stored terminator is dropped: a value written without one keeps its last unit.
    size_t length = buffer.size();
    if (buffer[length - 1] == L'\0')
        --length;
    text->assign(buffer.data(), length);
    return true;
}

} // namespace corvel
