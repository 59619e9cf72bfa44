#include "corvel/document/DocumentIO.h"

#include "../src/io/DocumentReader.h"
#include "../src/io/DocumentWriter.h"
#include "../src/io/RequestQueue.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoRegistry.h"
#include "support/StandardDevices.h"
#include "support/TempFolder.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace {

std::string hexBytes(const std::string& bytes) {
    std::string out;
    char buffer[4];
    for (size_t i = 0; i < bytes.size() && i < 64; ++i) {
        snprintf(buffer, sizeof buffer, "%02X ", static_cast<unsigned char>(bytes[i]));
        out += buffer;
    }
    return out;
}

std::string narrowUnits(const std::wstring& units) {
    std::string out;
    char buffer[8];
    for (size_t i = 0; i < units.size() && i < 64; ++i) {
        snprintf(buffer, sizeof buffer, "%04X ", static_cast<unsigned>(units[i]));
        out += buffer;
    }
    return out;
}

class DocumentIOTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = zemtest::makeTempFolder(L"dio");
        ASSERT_FALSE(m_dir.empty());
        m_device = std::make_unique<zem::FileDeviceWin32>(m_dir.c_str());
        ASSERT_TRUE(zem::fileAttachDevice(m_device.get(), L"dio", 200));
        // Moves resolve full paths, which are native ones.
        m_native = std::make_unique<zem::FileDeviceWin32>(nullptr, zem::FILEDEV_NATIVE);
        ASSERT_TRUE(zem::fileAttachDevice(m_native.get(), L"__dionative", 256));
    }
    void TearDown() override {
        m_io.reset();
        zem::fileDetachDevice(L"dio");
        zem::fileDetachDevice(L"__dionative");
        m_device.reset();
        m_native.reset();
        zemtest::removeTree(m_dir);
    }

    std::wstring native(const std::wstring& name) { return m_dir + name; }

    // Runs one request to its end; the error code, 0 on success.
    uint32_t run(corvel::Document& document, const std::wstring& name, int32_t kind) {
        corvel::DocumentIORequest* request = io().doRequest(&document, (L"dio:" + name).c_str(), kind);
        if (request == nullptr)
            return 0xFFFFFFFF;
        if (request->done.wait(20000) != zem::WAIT_OK)
            return 0xFFFFFFFE;
        const uint32_t code = request->error ? request->error->code() : 0;
        if (request->error) {
            EXPECT_NE(0u, code) << "a failure carried code 0";
        }
        io().releaseRequest(request);
        return code;
    }

    corvel::DocumentIO& io() {
        if (!m_io)
            m_io = std::make_unique<corvel::DocumentIO>(m_manager);
        return *m_io;
    }

    static std::wstring textOf(corvel::Document& document) { return document.getText(0, document.getLength()); }

    corvel::DocumentManager* m_manager = nullptr;
    std::wstring m_dir;
    std::unique_ptr<zem::FileDeviceWin32> m_device;
    std::unique_ptr<zem::FileDeviceWin32> m_native;
    std::unique_ptr<corvel::DocumentIO> m_io;
};

struct LoadCase {
    const char* what;
    std::string bytes;
    std::wstring text;
    uint32_t codePage;
    int32_t voteKind;
    float voteFraction;
};

TEST_F(DocumentIOTest, LoadsEveryCodePageAndLineBreak) {
    const LoadCase cases[] = {
        {"ANSI with every break", "a\r\nb\rc\n\n", L"a\nb\nc\n\n", corvel::CP_ANSI, 1, 0.5f},
        {"CR LF ties with CR", "a\r\nb\rc", L"a\nb\nc", corvel::CP_ANSI, 2, 0.5f},
        {"CR LF wins", "a\r\nb\r\nc\n", L"a\nb\nc\n", corvel::CP_ANSI, 0, 2.0f / 3},
        {"no break", "abc", L"abc", corvel::CP_ANSI, 2, 0.0f},
        {"final CR ends a line", "a\r", L"a\n", corvel::CP_ANSI, 2, 1.0f},
        {"ANSI accented letter", "caf\xE9", L"caf\x00E9", corvel::CP_ANSI, 2, 0.0f},
        {"UTF-8 without mark", "caf\xC3\xA9\r\n", L"caf\x00E9\n", corvel::CP_UTF8_PLAIN, 0, 1.0f},
        {"UTF-8 with mark", "\xEF\xBB\xBFx\ny", L"x\ny", corvel::CP_UTF8_MARK, 1, 1.0f},
        {"UTF-8 cut by the end", "\xC3\xA9x\xE2\x82", L"\x00E9x\xFFFD", corvel::CP_UTF8_PLAIN, 2, 0.0f},
        {"UTF-16 LE",
         std::string("\xFF\xFE"
                     "a\0\r\0\n\0b\0",
                     10),
         L"a\nb", corvel::CP_UTF16_LE, 0, 1.0f},
        {"UTF-16 BE", std::string("\xFE\xFF\0a\0\r\0b", 8), L"a\nb", corvel::CP_UTF16_BE, 2, 1.0f},
        {"UTF-16 odd last byte",
         std::string("\xFF\xFE"
                     "a\0b",
                     5),
         L"a\xFFFD", corvel::CP_UTF16_LE, 2, 0.0f},
        {"UTF-32 LE",
         std::string("\xFF\xFE\0\0"
                     "a\0\0\0\n\0\0\0",
                     12),
         L"a\n", corvel::CP_UTF32_LE, 1, 1.0f},
        {"UTF-32 BE", std::string("\0\0\xFE\xFF\0\x01\xF6\0", 8), L"\xD83D\xDE00", corvel::CP_UTF32_BE, 2, 0.0f},
        {"mark only", "\xEF\xBB\xBF", L"", corvel::CP_UTF8_MARK, 2, 0.0f},
    };
    for (const LoadCase& c : cases) {
        zemtest::writeNativeFile(native(L"in.txt"), c.bytes);
        corvel::Document document(nullptr);
        ASSERT_EQ(0u, run(document, L"in.txt", corvel::DocumentIORequest::LOAD)) << c.what;
        EXPECT_EQ(narrowUnits(c.text), narrowUnits(textOf(document))) << c.what;
        const corvel::DocumentState state = document.getState();
        EXPECT_EQ(c.codePage, static_cast<uint32_t>(state.detectedCodePage)) << c.what;
        EXPECT_EQ(c.voteKind, state.lineEndingVote.kind) << c.what;
        EXPECT_FLOAT_EQ(c.voteFraction, state.lineEndingVote.fraction) << c.what;
        EXPECT_EQ(1.0f, state.loadConfidence) << c.what;
        int32_t lines = 1;
        for (wchar_t unit : c.text)
            lines += unit == L'\n';
        EXPECT_EQ(lines, document.getLineCount()) << c.what;
    }
}

TEST_F(DocumentIOTest, EmptyFileLeavesEveryDetectionAtZero) {
    zemtest::writeNativeFile(native(L"empty.txt"), "");
    corvel::Document document(nullptr);
    ASSERT_EQ(0u, run(document, L"empty.txt", corvel::DocumentIORequest::LOAD));
    const corvel::DocumentState state = document.getState();
    EXPECT_EQ(0, document.getLength());
    EXPECT_EQ(0.0f, state.loadConfidence);
    EXPECT_EQ(0, state.detectedCodePage);
    EXPECT_EQ(0.0f, state.lineEndingVote.fraction);
    EXPECT_EQ(0, state.lineEndingVote.kind);
    EXPECT_EQ(0, state.detection.tabWidth);
}

TEST_F(DocumentIOTest, MissingFileReportsTheFileLayersCodeAndKeepsTheText) {
    corvel::Document document(nullptr);
    document.insertText(0, 3, L"abc", 0);
    EXPECT_EQ(uint32_t(ERROR_FILE_NOT_FOUND), run(document, L"missing.txt", corvel::DocumentIORequest::LOAD));
    EXPECT_EQ(L"abc", textOf(document));
}

// A chunk is 0x100000 bytes: breaks and sequences cut there must come out whole.
TEST_F(DocumentIOTest, ChunkBoundaryKeepsCrLfAndSequencesWhole) {
    struct BoundaryCase {
        const char* what;
        std::string tail; // starts at byte 0xFFFFF, the last of the first chunk
        std::wstring text;
    };
    const BoundaryCase cases[] = {
        {"CR|LF", "\r\nz", L"\nz"},
        {"two-byte sequence", "\xC3\xA9z", L"\x00E9z"},
        {"four-byte sequence", "\xF0\x9F\x98\x80z", L"\xD83D\xDE00z"},
    };
    for (const BoundaryCase& c : cases) {
        std::string bytes = "\xC3\xA9"; // UTF-8 by the first chunk's test
        bytes.append(0xFFFFF - bytes.size(), 'a');
        bytes += c.tail;
        zemtest::writeNativeFile(native(L"big.txt"), bytes);
        corvel::Document document(nullptr);
        ASSERT_EQ(0u, run(document, L"big.txt", corvel::DocumentIORequest::LOAD)) << c.what;
        const int32_t tailStart = 0xFFFFF - 1; // the two-byte lead gave one unit
        EXPECT_EQ(narrowUnits(c.text), narrowUnits(document.getText(tailStart, document.getLength() - tailStart)))
            << c.what;
        const corvel::DocumentState state = document.getState();
        EXPECT_EQ(c.tail[0] == '\r' ? 2 : 1, document.getLineCount()) << c.what;
        EXPECT_EQ(c.tail[0] == '\r' ? 0 : 2, state.lineEndingVote.kind) << c.what;
    }
}

struct SaveCase {
    uint32_t codePage;
    int32_t lineEnding;
    std::string bytes;
};

TEST_F(DocumentIOTest, SavesEveryCodePageAndLineEndingByteForByteAndReadsItBack) {
    const std::wstring text = L"a\x00E9\nb\n";
    const SaveCase cases[] = {
        {corvel::CP_UTF8_PLAIN, 0, "a\xC3\xA9\r\nb\r\n"},
        {corvel::CP_UTF8_PLAIN, 1, "a\xC3\xA9\nb\n"},
        {corvel::CP_UTF8_MARK, 2,
         "\xEF\xBB\xBF"
         "a\xC3\xA9\rb\r"},
        {corvel::CP_ANSI, 0, "a\xE9\r\nb\r\n"},
        {corvel::CP_UTF16_LE, 1,
         std::string("\xFF\xFE"
                     "a\0\xE9\0\n\0b\0\n\0",
                     12)},
        {corvel::CP_UTF16_BE, 0, std::string("\xFE\xFF\0a\0\xE9\0\r\0\n\0b\0\r\0\n", 16)},
        {corvel::CP_UTF32_LE, 1,
         std::string("\xFF\xFE\0\0"
                     "a\0\0\0\xE9\0\0\0\n\0\0\0b\0\0\0\n\0\0\0",
                     24)},
        {corvel::CP_UTF32_BE, 2, std::string("\0\0\xFE\xFF\0\0\0a\0\0\0\xE9\0\0\0\r\0\0\0b\0\0\0\r", 24)},
    };
    for (const SaveCase& c : cases) {
        corvel::Document document(nullptr);
        document.insertText(0, static_cast<int32_t>(text.size()), text.data(), 0);
        corvel::DocumentState& state = document.lockState();
        state.codePage = c.codePage;
        state.lineEnding = c.lineEnding;
        document.unlockState();
        zemtest::writeNativeFile(native(L"out.txt"), "old content");
        ASSERT_EQ(0u, run(document, L"out.txt", corvel::DocumentIORequest::SAVE)) << c.codePage;
        EXPECT_EQ(hexBytes(c.bytes), hexBytes(zemtest::readNativeFile(native(L"out.txt")))) << c.codePage;

        corvel::Document back(nullptr);
        ASSERT_EQ(0u, run(back, L"out.txt", corvel::DocumentIORequest::LOAD));
        EXPECT_EQ(text, textOf(back)) << c.codePage;
        const corvel::DocumentState loaded = back.getState();
        EXPECT_EQ(c.codePage, uint32_t(loaded.detectedCodePage)) << c.codePage;
        EXPECT_EQ(c.lineEnding, loaded.lineEndingVote.kind) << c.codePage;
    }
}

TEST_F(DocumentIOTest, SavingMarksTheJournalSoTheNextBracketClearsModified) {
    documenttest::StandardDevices::ensure();
    corvel::UndoRegistry registry;
    corvel::Document document(nullptr);
    std::unique_ptr<corvel::UndoContext> undo = registry.createContext(&document);
    document.setUndoContext(undo.get());
    const auto type = [&document](const wchar_t* text) {
        document.lockEdit();
        document.beginEdit(nullptr, false, 1);
        document.insertText(document.getLength(), static_cast<int32_t>(wcslen(text)), text, 0);
        document.endEdit();
        document.unlockEdit();
    };
    type(L"abc");
    EXPECT_TRUE(document.getState().modified);
    ASSERT_EQ(0u, run(document, L"journal.txt", corvel::DocumentIORequest::SAVE));
    document.lockEdit();
    document.beginEdit(nullptr, true);
    document.endEdit();
    document.unlockEdit();
    EXPECT_FALSE(document.getState().modified);
    type(L"d");
    EXPECT_TRUE(document.getState().modified);
    document.setUndoContext(nullptr);
}

TEST_F(DocumentIOTest, LastLineIsWrittenWithoutABreakAndANewFileIsMade) {
    corvel::Document document(nullptr);
    document.insertText(0, 4, L"x\n\ny", 0);
    document.lockState().lineEnding = corvel::LINE_ENDING_LF;
    document.unlockState();
    ASSERT_EQ(0u, run(document, L"new.txt", corvel::DocumentIORequest::SAVE));
    EXPECT_EQ("x\n\ny", zemtest::readNativeFile(native(L"new.txt")));
}

// Fails: the target keeps every byte, and no temporary file stays beside it.
TEST_F(DocumentIOTest, FailedSavesLeaveTheTargetAsItWas) {
    struct FailCase {
        const char* what;
        const wchar_t* text;
        uint32_t codePage;
        bool readOnly;
        uint32_t code;
    };
    const FailCase cases[] = {
        {"read-only target", L"new", corvel::CP_UTF8_PLAIN, true, ERROR_ACCESS_DENIED},
        {"character the code page lacks", L"\x4E2D", 1252, false, ERROR_NO_UNICODE_TRANSLATION},
    };
    for (const FailCase& c : cases) {
        const std::wstring path = native(L"keep.txt");
        zemtest::writeNativeFile(path, "precious");
        if (c.readOnly)
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        corvel::Document document(nullptr);
        document.insertText(0, static_cast<int32_t>(wcslen(c.text)), c.text, 0);
        document.lockState().codePage = c.codePage;
        document.unlockState();
        EXPECT_EQ(c.code, run(document, L"keep.txt", corvel::DocumentIORequest::SAVE)) << c.what;
        EXPECT_EQ("precious", zemtest::readNativeFile(path)) << c.what;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_dir + L"*").c_str(), &data);
        int files = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                files += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        EXPECT_EQ(1, files) << c.what << ": a temporary file was left";
    }
}

TEST_F(DocumentIOTest, DetectorsRunOnlyWithAManager) {
    zemtest::writeNativeFile(native(L"indent.txt"), "a\n    b\n    c\n        d\n");
    corvel::Document plain(nullptr);
    ASSERT_EQ(0u, run(plain, L"indent.txt", corvel::DocumentIORequest::LOAD));
    EXPECT_EQ(0.0f, plain.getState().detection.widthConfidence);

    m_io.reset();
    corvel::DocumentManager manager;
    m_manager = &manager;
    corvel::Document detected(&manager);
    ASSERT_EQ(0u, run(detected, L"indent.txt", corvel::DocumentIORequest::LOAD));
    const corvel::FormatDetection detection = detected.getState().detection;
    EXPECT_EQ(4, detection.tabWidth);
    EXPECT_EQ(1, detection.usesSpaces);
    EXPECT_FLOAT_EQ(0.8f, detection.widthConfidence);
    m_io.reset();
    m_manager = nullptr;
}

// A file of the file layer that holds bytes in memory and can be told to come short.
class ShortFile : public zem::File {
public:
    std::string bytes;
    size_t position = 0;
    uint32_t limit = UINT32_MAX; // bytes moved per call at most

    bool isOpen() const override { return true; }
    const wchar_t* getPath() const override { return L"short"; }
    uint32_t getSize() override { return static_cast<uint32_t>(bytes.size()); }
    uint32_t tell() override { return static_cast<uint32_t>(position); }
    bool truncate() override { return true; }
    uint32_t read(void* buffer, uint32_t count) override {
        const uint32_t n = std::min<uint32_t>({count, limit, static_cast<uint32_t>(bytes.size() - position)});
        memcpy(buffer, bytes.data() + position, n);
        position += n;
        return n;
    }
    uint32_t write(const void* buffer, uint32_t count) override {
        const uint32_t n = std::min(count, limit);
        bytes.append(static_cast<const char*>(buffer), n);
        return n;
    }
    uint32_t seek(int, int32_t) override { return 0; }
    bool flush() override { return true; }
    zem::FileDevice* getDevice() const override { return nullptr; }
};

TEST(DocumentShortIOTest, ShortReadEmptiesTheDocumentWithAReadFault) {
    ShortFile file;
    file.bytes = std::string(5000, 'x');
    file.limit = 1000;
    corvel::Document document(nullptr);
    document.insertText(0, 3, L"abc", 0);
    zem::setError(0);
    EXPECT_FALSE(corvel::DocumentReader(&document, nullptr).read(&file));
    EXPECT_EQ(uint32_t(ERROR_READ_FAULT), zem::lastErrorCode());
    EXPECT_EQ(0, document.getLength());
    EXPECT_EQ(1, document.getLineCount());
}

TEST(DocumentShortIOTest, ShortWriteFailsWithAWriteFault) {
    const uint32_t codePages[] = {corvel::CP_UTF8_MARK, corvel::CP_UTF8_PLAIN, corvel::CP_UTF16_LE};
    for (uint32_t codePage : codePages) {
        ShortFile file;
        file.limit = 2;
        corvel::Document document(nullptr);
        document.insertText(0, 7, L"abc\ndef", 0);
        document.lockState().codePage = codePage;
        document.unlockState();
        zem::setError(0);
        EXPECT_FALSE(corvel::DocumentWriter(&document).write(&file)) << codePage;
        EXPECT_EQ(uint32_t(ERROR_WRITE_FAULT), zem::lastErrorCode()) << codePage;
    }
}

} // namespace

namespace {

// Claims a size no document can hold; reads hand out plain text.
class HugeFile : public ShortFile {
public:
    uint32_t getSize() override { return 0xF0000000u; }
    uint32_t read(void* buffer, uint32_t count) override {
        memset(buffer, 'a', count);
        return count;
    }
};

TEST(DocumentShortIOTest, FileTooLargeForMemoryFailsWithNotEnoughMemory) {
    HugeFile file;
    corvel::Document document(nullptr);
    document.insertText(0, 3, L"abc", 0);
    EXPECT_FALSE(corvel::DocumentReader(&document, nullptr).read(&file));
    EXPECT_EQ(uint32_t(ERROR_NOT_ENOUGH_MEMORY), zem::lastErrorCode());
    EXPECT_EQ(0, document.getLength());
}

TEST(RequestQueueTest, SlotsComeBackInQueueOrderAndClosingRefuses) {
    corvel::RequestQueue queue;
    const int first = queue.acquire();
    const int second = queue.acquire();
    EXPECT_NE(first, second);
    EXPECT_EQ(0, queue.put(second));
    EXPECT_EQ(0, queue.put(first));
    EXPECT_EQ(second, queue.take());
    EXPECT_EQ(first, queue.take());
    queue.release(first);
    queue.release(second);
    queue.close();
    EXPECT_EQ(corvel::RequestQueue::CLOSING, queue.take());
    EXPECT_EQ(corvel::RequestQueue::CLOSING, queue.take()); // the wake-up is passed on
    EXPECT_EQ(corvel::RequestQueue::CLOSING, queue.put(queue.acquire()));
}

} // namespace
