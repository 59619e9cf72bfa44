// A fixture base for tests that go through the file API: it keeps the files a test
// opened, so that TearDown can close those a failing test left open before it checks
// that no device is still busy.
#pragma once
#include "zem/base/Error.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zemtest {

// For failure messages; the texts these tests use are ASCII.
inline std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A failure must leave this code, with the path as its first parameter when one is given.
inline ::testing::AssertionResult failedWith(uint32_t code, const wchar_t* path = nullptr) {
    const zem::ErrorRecord& error = zem::currentError();
    if (error.code != code)
        return ::testing::AssertionFailure() << "error 0x" << std::hex << error.code << ", expected 0x" << code;
    if (path && error.params.get(1) != path)
        return ::testing::AssertionFailure()
               << "parameter \"" << narrow(error.params.get(1)) << "\", expected \"" << narrow(path) << "\"";
    return ::testing::AssertionSuccess();
}

class FileApiTest : public ::testing::Test {
protected:
    zem::File* open(const std::wstring& path, uint32_t mode) {
        zem::File* file = zem::fileOpen(path.c_str(), mode);
        if (file)
            m_open.push_back(file);
        return file;
    }

    void close(zem::File* file) {
        auto it = std::find(m_open.begin(), m_open.end(), file);
        if (it != m_open.end())
            m_open.erase(it);
        EXPECT_TRUE(zem::fileClose(file));
    }

    // For TearDown, before it looks at the devices.
    void closeLeftOpen() {
        for (zem::File* file : m_open)
            zem::fileClose(file);
        m_open.clear();
    }

    // Makes a closed file holding text.
    void make(const std::wstring& path, const std::string& text) {
        zem::File* file = open(path, zem::FILE_MODE_WRITE);
        ASSERT_NE(nullptr, file);
        ASSERT_EQ(text.size(), file->write(text.data(), static_cast<uint32_t>(text.size())));
        close(file);
    }

    // The rest of the file from its current position.
    static std::string readAll(zem::File* file) {
        std::string text(file->getSize(), '\0');
        text.resize(file->read(&text[0], static_cast<uint32_t>(text.size())));
        return text;
    }

private:
    std::vector<zem::File*> m_open;
};

} // namespace zemtest
