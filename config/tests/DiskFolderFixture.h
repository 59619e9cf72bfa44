// A fresh folder in the temporary directory, reached as the device "cfgtest:" (with the
// native-path device that disk devices resolve full paths through).
#pragma once
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>
#include <string>

namespace corveltest {

class DiskFolderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"cfg");
        ASSERT_FALSE(m_dir.empty());
        m_disk.reset(new zem::FileDeviceWin32(m_dir.c_str()));
        m_native.reset(new zem::FileDeviceWin32(nullptr, zem::FILEDEV_NATIVE));
        ASSERT_TRUE(zem::fileAttachDevice(m_disk.get(), L"cfgtest", 200));
        ASSERT_TRUE(zem::fileAttachDevice(m_native.get(), L"__cfgtestfs", 256));
    }
    void TearDown() override {
        zem::fileDetachDevice(L"cfgtest");
        zem::fileDetachDevice(L"__cfgtestfs");
        m_disk.reset();
        m_native.reset();
        zemtest::removeTree(m_dir);
    }

    std::wstring native(const std::wstring& name) const { return m_dir + name; }
    static std::wstring device(const std::wstring& name) { return L"cfgtest:" + name; }

    // Names in the folder, sorted, each followed by ','.
    std::wstring listFolder() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_dir + L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = data.cFileName;
                if (name != L"." && name != L"..")
                    names.push_back(name);
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        std::sort(names.begin(), names.end());
        std::wstring out;
        for (const std::wstring& name : names)
            out += name + L",";
        return out;
    }

    std::wstring m_dir;
    std::unique_ptr<zem::FileDeviceWin32> m_disk;
    std::unique_ptr<zem::FileDeviceWin32> m_native;
};

// UTF-16LE bytes of a text, for comparing with what was written.
inline std::string utf16le(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

} // namespace corveltest
