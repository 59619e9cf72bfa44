#include "support/TempFolder.h"
#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/files/FileStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <windows.h>

using namespace zem;

namespace {

// A disk device "zs:" on a fresh temporary folder.
class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"stream");
        ASSERT_FALSE(m_dir.empty());
        m_device.reset(new FileDeviceWin32(m_dir.c_str()));
        ASSERT_TRUE(fileAttachDevice(m_device.get(), L"zs", 1));
    }
    void TearDown() override {
        fileDetachDevice(L"zs");
        EXPECT_EQ(0, m_device->getInfo().ref_count);
        m_device.reset();
        zemtest::removeTree(m_dir);
    }
    // The file the tests write, as the system sees it.
    std::string onDisk() const { return zemtest::readNativeFile(m_dir + L"a.txt"); }

    std::wstring m_dir;
    std::unique_ptr<FileDeviceWin32> m_device;
};

TEST_F(FileStreamTest, OutputStreamTruncatesAndOutAloneAppends) {
    {
        FileOutputStream out(L"zs:a.txt");
        out << "first " << 42;
    }
    EXPECT_EQ("first 42", onDisk());
    {
        FileOutputStream out;
        out.open(L"zs:a.txt", std::ios_base::out);
        out << "+more";
    }
    EXPECT_EQ("first 42+more", onDisk());
    {
        FileOutputStream out(L"zs:a.txt");
        std::string big(10000, 'b');
        out << big;
        ASSERT_TRUE(out.good());
    }
    EXPECT_EQ(std::string(10000, 'b'), onDisk());
}

// Caught: a stream flush stopped at the device's own file buffer, so nothing reached the disk until close.
TEST_F(FileStreamTest, FlushReachesTheFileWhileItStaysOpen) {
    FileOutputStream out(L"zs:a.txt");
    out << "line one\n";
    out.flush();
    ASSERT_TRUE(out.good());
    EXPECT_EQ("line one\n", onDisk());
}

TEST_F(FileStreamTest, SeekByZeroAfterOneByteStaysAtOne) {
    {
        FileOutputStream out(L"zs:a.txt");
        out << std::string(10000, 'x') << "END";
    }
    FileStreamBuf buf;
    buf.open(L"zs:a.txt", std::ios_base::in);
    EXPECT_EQ('x', buf.sbumpc());
    EXPECT_EQ(1, static_cast<long long>(buf.pubseekoff(0, std::ios_base::cur, std::ios_base::in)));
    EXPECT_EQ(1u, buf.getCount());
    EXPECT_EQ(10000, static_cast<long long>(buf.pubseekoff(-3, std::ios_base::end, std::ios_base::in)));
    std::string tail;
    for (int c; (c = buf.sbumpc()) != EOF;)
        tail += static_cast<char>(c);
    EXPECT_EQ("END", tail);
    EXPECT_EQ(-1, static_cast<long long>(buf.pubseekoff(0, std::ios_base::cur, std::ios_base::out)));
    buf.close();
    EXPECT_EQ(-1, static_cast<long long>(buf.pubseekoff(0, std::ios_base::beg, std::ios_base::in)));
}

TEST_F(FileStreamTest, ReadWriteStreamSeesItsOwnWrites) {
    FileStreamBuf buf;
    buf.open(L"zs:a.txt", std::ios_base::in | std::ios_base::out | std::ios_base::trunc);
    buf.sputn("hello world", 11);
    EXPECT_EQ(6, static_cast<long long>(buf.pubseekpos(6)));
    char word[6] = {};
    EXPECT_EQ(5, buf.sgetn(word, 5));
    EXPECT_STREQ("world", word);
    buf.close();
    EXPECT_EQ("hello world", onDisk());
}

TEST_F(FileStreamTest, FailuresThrowTheMatchingFileException) {
    FileStreamBuf buf;
    try {
        buf.open(L"zs:missing.txt", std::ios_base::in);
        FAIL() << "opened a missing file";
    } catch (const FileNotFoundException& e) {
        EXPECT_EQ(L"zs:missing.txt", e.message());
    }
    EXPECT_FALSE(buf.isOpen());
    EXPECT_THROW(buf.open(L"znostream:x", std::ios_base::in), FileException);
    buf.open(L"zs:a.txt", std::ios_base::out | std::ios_base::trunc);
    buf.sputn("abc", 3);
    EXPECT_THROW(buf.pubseekoff(-10, std::ios_base::beg, std::ios_base::out), FileException);
    buf.close();
    EXPECT_EQ("abc", onDisk());
    FileOutputStream out;
    EXPECT_THROW(out.open(L"zs:no/such/dir/x.txt"), PathNotFoundException);
    EXPECT_TRUE(out.bad());
}

} // namespace
