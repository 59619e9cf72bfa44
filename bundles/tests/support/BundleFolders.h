// A fresh temporary folder with two disk devices in it, "root:" (shipped bundles) and
// "user:" (the user's), and helpers that write and read entry files natively, apart from
// the code under test.
#pragma once
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace bundletest {

class BundleFolders : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"bundles");
        ASSERT_FALSE(m_dir.empty());
        ASSERT_TRUE(CreateDirectoryW((m_dir + L"root").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((m_dir + L"user").c_str(), nullptr));
        m_root.reset(new zem::FileDeviceWin32((m_dir + L"root\\").c_str()));
        m_user.reset(new zem::FileDeviceWin32((m_dir + L"user\\").c_str()));
        ASSERT_TRUE(zem::fileAttachDevice(m_root.get(), L"root", 200));
        ASSERT_TRUE(zem::fileAttachDevice(m_user.get(), L"user", 200));
        // Temporary names and replacing moves resolve through the native device.
        m_native.reset(new zem::FileDeviceWin32(nullptr, zem::FILEDEV_NATIVE));
        ASSERT_TRUE(zem::fileAttachDevice(m_native.get(), L"__zbundlefs", 256));
    }
    void TearDown() override {
        zem::fileDetachDevice(L"root");
        zem::fileDetachDevice(L"user");
        zem::fileDetachDevice(L"__zbundlefs");
        m_native.reset();
        m_root.reset();
        m_user.reset();
        zemtest::removeTree(m_dir);
    }

    // The native path of a device path such as "user:bundles/a.cvBundle/info.cvInfo".
    std::wstring native(const std::wstring& devicePath) const {
        size_t colon = devicePath.find(L':');
        std::wstring path = m_dir + devicePath.substr(0, colon) + L"\\" + devicePath.substr(colon + 1);
        for (wchar_t& c : path) {
            if (c == L'/')
                c = L'\\';
        }
        return path;
    }

    // Writes bytes, making the folders on the way.
    void putBytes(const std::wstring& devicePath, const std::string& bytes) {
        std::wstring path = native(devicePath);
        for (size_t slash = path.find(L'\\', m_dir.size()); slash != std::wstring::npos;
             slash = path.find(L'\\', slash + 1))
            CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
        zemtest::writeNativeFile(path, bytes);
    }
    // Writes text as UTF-8 without a byte-order mark.
    void putText(const std::wstring& devicePath, const std::wstring& text) {
        std::string bytes;
        for (wchar_t c : text) {
            if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if (c < 0x800) {
                bytes += static_cast<char>(0xC0 | (c >> 6));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                bytes += static_cast<char>(0xE0 | (c >> 12));
                bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        putBytes(devicePath, bytes);
    }
    // The file as the text after its FF FE mark; "<missing>" or "<no mark>" otherwise.
    std::wstring savedText(const std::wstring& devicePath) const {
        std::string bytes = zemtest::readNativeFile(native(devicePath));
        if (bytes == "<missing>")
            return L"<missing>";
        if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
            static_cast<unsigned char>(bytes[1]) != 0xFE)
            return L"<no mark>";
        std::wstring text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return text;
    }
    bool exists(const std::wstring& devicePath) const {
        return GetFileAttributesW(native(devicePath).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::wstring m_dir; // ends in a backslash
    std::unique_ptr<zem::FileDeviceWin32> m_root;
    std::unique_ptr<zem::FileDeviceWin32> m_user;
    std::unique_ptr<zem::FileDeviceWin32> m_native;
};

} // namespace bundletest
