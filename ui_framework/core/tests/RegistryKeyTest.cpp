#include "corvel/ui/RegistryKey.h"

#include <gtest/gtest.h>
#include <winternl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using corvel::RegistryKey;

// Writes raw value bytes: RegSetValueExW would add a terminator to strings, which
// hides how readString copes with values stored without one.
bool writeRaw(HKEY key, const wchar_t* name, DWORD type, const void* data, ULONG size) {
    typedef LONG(NTAPI * SetValue)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
    auto setValue = reinterpret_cast<SetValue>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
    if (!setValue)
        return false;
    UNICODE_STRING valueName;
    valueName.Buffer = const_cast<wchar_t*>(name);
    valueName.Length = static_cast<USHORT>(wcslen(name) * sizeof(wchar_t));
    valueName.MaximumLength = valueName.Length;
    return setValue(key, &valueName, 0, type, data, size) == 0;
}

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = L"Software\\CorvelTests\\RegistryKey" + std::to_wstring(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(m_key);
        RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    }
    void put(const wchar_t* name, DWORD type, const std::vector<wchar_t>& units, ULONG extraBytes = 0) {
        std::vector<char> bytes(units.size() * sizeof(wchar_t) + extraBytes, 'x');
        if (!units.empty())
            memcpy(bytes.data(), units.data(), units.size() * sizeof(wchar_t));
        ASSERT_TRUE(writeRaw(m_key, name, type, bytes.data(), static_cast<ULONG>(bytes.size())));
    }
    RegistryKey key() { return RegistryKey(HKEY_CURRENT_USER, m_path, KEY_READ); }

    std::wstring m_path;
    HKEY m_key = nullptr;
};

struct StringRow {
    const wchar_t* name;
    DWORD type;
    std::vector<wchar_t> units;
    ULONG extraBytes;
    bool ok;
    std::wstring text;
};

::testing::AssertionResult readsAs(RegistryKey& key, const StringRow& row) {
    std::wstring text = L"untouched";
    bool ok = key.readString(row.name, &text);
    if (ok != row.ok)
        return ::testing::AssertionFailure() << "value " << ::testing::PrintToString(std::wstring(row.name))
                                             << ": readString gave " << ok;
    if (ok && text != row.text)
        return ::testing::AssertionFailure() << "value " << ::testing::PrintToString(std::wstring(row.name))
                                             << " read " << ::testing::PrintToString(text);
    return ::testing::AssertionSuccess();
}

TEST_F(RegistryKeyTest, ReadsStringsOfEveryStringTypeAndRefusesTheRest) {
    const std::vector<StringRow> rows = {
        {L"terminated", REG_SZ, {'a', 'b', 'c', 0}, 0, true, L"abc"},
        // Caught: the last unit was dropped whether or not it was the terminator.
        {L"unterminated", REG_SZ, {'a', 'b', 'c'}, 0, true, L"abc"},
        {L"emptyValue", REG_SZ, {}, 0, true, L""},
        {L"onlyTerminator", REG_SZ, {0}, 0, true, L""},
        {L"expand", REG_EXPAND_SZ, {'%', 'X', '%', 0}, 0, true, L"%X%"},
        {L"multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, 0, true, std::wstring(L"a\0b\0", 4)},
        {L"oddSize", REG_SZ, {'a', 'b'}, 1, false, L""},
        {L"dword", REG_DWORD, {7, 0}, 0, false, L""},
        {L"binary", REG_BINARY, {'a', 0}, 0, false, L""},
        {L"missing", REG_NONE, {}, 0, false, L""},
    };
    for (const StringRow& row : rows) {
        if (std::wstring(row.name) != L"missing")
            put(row.name, row.type, row.units, row.extraBytes);
    }
    RegistryKey k = key();
    for (const StringRow& row : rows) {
        EXPECT_TRUE(readsAs(k, row));
    }
}

TEST_F(RegistryKeyTest, EnumeratesValuesAndTheirTypes) {
    put(L"first", REG_SZ, {'1', 0});
    put(L"second", REG_DWORD, {1, 0});
    RegistryKey k = key();
    DWORD count = 0;
    ASSERT_TRUE(k.getValueCount(&count));
    EXPECT_EQ(count, 2u);
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD i = 0; k.getValueName(i, &name); ++i)
        names.push_back(name);
    EXPECT_EQ(names.size(), 2u);
    DWORD type = REG_NONE;
    EXPECT_TRUE(k.hasValue(L"second", &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_FALSE(k.hasValue(L"third", &type));
    EXPECT_FALSE(k.getValueName(5, &name));
    EXPECT_FALSE(k.isOpen()); // each operation closes what it opened
}

TEST_F(RegistryKeyTest, AMissingKeyAnswersFalseEverywhere) {
    RegistryKey k(HKEY_CURRENT_USER, m_path + L"\\absent", KEY_READ);
    DWORD count = 0;
    DWORD type = 0;
    std::wstring text;
    EXPECT_FALSE(k.open());
    EXPECT_FALSE(k.getValueCount(&count));
    EXPECT_FALSE(k.getValueName(0, &text));
    EXPECT_FALSE(k.hasValue(L"a", &type));
    EXPECT_FALSE(k.readString(L"a", &text));
}

TEST_F(RegistryKeyTest, AnOpenKeyServesSeveralOperations) {
    put(L"name", REG_SZ, {'v', 0});
    RegistryKey k = key();
    ASSERT_TRUE(k.open());
    std::wstring text;
    EXPECT_TRUE(k.readString(L"name", &text));
    EXPECT_TRUE(k.isOpen());
    k.close();
    EXPECT_FALSE(k.isOpen());
}

} // namespace
