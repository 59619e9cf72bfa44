#include "support/LogCapture.h"
#include "zem/base/Crc.h"
#include "zem/base/Error.h"
#include "zem/files/FileIFC.h"
#include "zem/files/FileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

using namespace zem;

namespace {

// A device that serves from a set of names and records what it was asked.
class FakeDevice : public FileDevice {
public:
    explicit FakeDevice(const wchar_t* tag, uint32_t flags = 0) : m_tag(tag) {
        m_info.flags = flags;
        m_info.separator = L'/';
        m_info.deviceId = FileIFC::instance().nextDeviceId();
    }

    std::wstring m_tag;
    FileDeviceInfo m_info;
    std::set<std::wstring> existing;          // local paths that exist
    std::vector<std::wstring> calls;          // "op:local[:param]"
    uint32_t failCode = ERROR_FILE_NOT_FOUND; // 0: declines without saying why

    void record(const wchar_t* op, const FileRequest& r) {
        std::wstring line = m_tag + L"." + op + L":" + r.localPath;
        if (r.deviceParam[0])
            line += std::wstring(L"[") + r.deviceParam + L"]";
        calls.push_back(line);
        allCalls().push_back(line);
    }
    static std::vector<std::wstring>& allCalls() {
        static std::vector<std::wstring> calls;
        return calls;
    }
    bool fail(const FileRequest& r) {
        if (failCode)
            setError(failCode)->add(r.fullPath);
        return false;
    }
    bool has(const FileRequest& r) const { return existing.count(r.localPath) != 0; }

    bool isValid() const override { return true; }
    const FileDeviceInfo& getInfo() override { return m_info; }
    bool openFile(FileRequest& r, File*& out) override {
        record(L"open", r);
        out = nullptr;
        if (r.mode == FILE_MODE_WRITE_NEW && has(r)) {
            setError(ERROR_FILE_EXISTS)->add(r.fullPath);
            return false;
        }
        if (r.mode == FILE_MODE_READ && !has(r))
            return fail(r);
        existing.insert(r.localPath);
        out = new FakeFile(this, r.fullPath);
        InterlockedIncrement(&m_info.ref_count);
        return true;
    }
    bool openDirectory(FileRequest& r, Directory*& out) override {
        record(L"dir", r);
        out = nullptr;
        return fail(r);
    }
    bool openWatchHandle(FileRequest& r, DirObserver*, bool, DirObserverHandle*&) override {
        record(L"watch", r);
        return fail(r);
    }
    bool getAttributes(FileRequest& r, FileInfo* out) override {
        record(L"attr", r);
        if (!has(r))
            return fail(r);
        if (out) {
            *out = FileInfo();
            out->flags = FileInfo::VALID;
            out->setName(m_tag.c_str());
        }
        return true;
    }
    bool deleteFile(FileRequest& r) override {
        record(L"delete", r);
        if (!existing.erase(r.localPath))
            return fail(r);
        return true;
    }
    bool removeDirectory(FileRequest& r) override {
        record(L"rmdir", r);
        return fail(r);
    }
    bool createDirectory(FileRequest& r) override {
        record(L"mkdir", r);
        existing.insert(r.localPath);
        return true;
    }
    bool setAttributes(FileRequest& r, const FileAttributeChange&) override {
        record(L"setattr", r);
        return has(r) || fail(r);
    }
    bool getFullPath(FileRequest& r, WorkString& out, bool) override {
        record(L"full", r);
        out.assign(r.fullPath);
        return true;
    }
    bool normalizePath(FileRequest& r, WorkString& out) override {
        record(L"norm", r);
        out.assign(r.deviceName);
        out.append(L':');
        out.append(r.localPath);
        CharLowerBuffW(out.data(), static_cast<DWORD>(out.length()));
        return true;
    }
    bool move(FileRequest& r, const wchar_t* from, const wchar_t* to, uint32_t) override {
        record(L"move", r);
        calls.push_back(std::wstring(L"move ") + from + L" -> " + to);
        return true;
    }
    bool closeFile(File* file) override {
        delete file;
        InterlockedDecrement(&m_info.ref_count);
        return true;
    }
    bool closeDirectory(Directory*) override { return false; }
    bool closeWatchHandle(DirObserverHandle*) override { return false; }

    class FakeFile : public File {
    public:
        FakeFile(FileDevice* d, const wchar_t* p) : m_device(d), m_path(p) {}
        bool isOpen() const override { return true; }
        const wchar_t* getPath() const override { return m_path.c_str(); }
        uint32_t getSize() override { return 0; }
        uint32_t tell() override { return 0; }
        bool truncate() override { return true; }
        uint32_t read(void*, uint32_t) override { return 0; }
        uint32_t write(const void*, uint32_t count) override { return count; }
        uint32_t seek(int, int32_t) override { return 0; }
        bool flush() override { return true; }
        FileDevice* getDevice() const override { return m_device; }

    private:
        FileDevice* m_device;
        std::wstring m_path;
    };
};

// Attaches devices for one test and detaches whatever it attached.
class DeviceTableTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = m_names.rbegin(); it != m_names.rend(); ++it)
            fileDetachDevice(it->c_str());
        FakeDevice::allCalls().clear();
    }
    bool attach(FileDevice* d, const std::wstring& name, uint32_t priority) {
        bool ok = fileAttachDevice(d, name.c_str(), priority);
        if (ok)
            m_names.push_back(name);
        return ok;
    }
    void forget(const std::wstring& name) {
        m_names.erase(std::remove(m_names.begin(), m_names.end(), name), m_names.end());
    }

    std::vector<std::wstring> m_names;
};

std::wstring errorText() {
    return formatErrorMessage(currentError());
}

// Outcome of parsing one path: "native:<local>", "<device>|<param>|<local>" or "error 0x...".
std::wstring parsed(const wchar_t* path) {
    FileRequest r;
    r.fullPath = path;
    if (!FileIFC::parsePath(r))
        return L"error " + currentError().params.get(0);
    if (r.isNative())
        return std::wstring(L"native:") + r.localPath;
    return std::wstring(r.deviceName) + L"|" + r.deviceParam + L"|" + r.localPath;
}

::testing::AssertionResult parsesTo(const wchar_t* path, const std::wstring& expected) {
    std::wstring actual = parsed(path);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "path " << ::testing::PrintToString(std::wstring(path)) << " expected "
                                         << ::testing::PrintToString(expected) << " actual "
                                         << ::testing::PrintToString(actual);
}

TEST(DevicePathParseTest, PrefixesParametersAndNativePaths) {
    std::wstring name63(63, L'n');
    std::wstring name64(64, L'n');
    std::wstring path63 = name63 + L":x";
    std::wstring path64 = name64 + L":x";
    const struct {
        const wchar_t* path;
        std::wstring expected;
    } rows[] = {
        {L"C:\\x.txt", L"native:C:\\x.txt"},
        {L"x.txt", L"native:x.txt"},
        {L"\\\\srv\\share\\x", L"native:\\\\srv\\share\\x"},
        {L"\\\\?\\C:\\x", L"native:\\\\?\\C:\\x"},
        {L"ab:x", L"ab||x"},
        {L"User:grammars/x.json", L"user||grammars/x.json"},
        {L"root[nb]:a.txt", L"root|nb|a.txt"},
        {L"root[65536]junk:a", L"root|65536|a"},
        {L"root[nb:a.txt", L"error 0x20001004"},
        {path63.c_str(), name63 + L"||x"},
        {path64.c_str(), L"error 0x20001001"},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(parsesTo(r.path, r.expected));
}

TEST_F(DeviceTableTest, NamedPathsGoToTheirDeviceWhatevertheCase) {
    FakeDevice dev(L"z");
    ASSERT_TRUE(attach(&dev, L"zfake", 100));
    dev.existing.insert(L"a.txt");
    EXPECT_TRUE(fileGetAttributes(L"ZFake:a.txt", nullptr));
    EXPECT_EQ(0u, lastErrorCode());
    EXPECT_TRUE(fileGetAttributes(L"zfake[nb]:a.txt", nullptr));
    ASSERT_EQ(2u, dev.calls.size());
    EXPECT_EQ(L"z.attr:a.txt[nb]", dev.calls[1]);
}

TEST_F(DeviceTableTest, MappingsAreTriedInPriorityOrder) {
    FakeDevice user(L"user");
    FakeDevice root(L"root");
    FakeDevice late(L"late");
    ASSERT_TRUE(attach(&root, L"zbase:root", 128));
    ASSERT_TRUE(attach(&user, L"zbase:user", 129));
    ASSERT_TRUE(attach(&late, L"zbase:late", 128)); // equal priority goes after
    root.existing.insert(L"x");
    late.existing.insert(L"x");
    FileInfo info;
    ASSERT_TRUE(fileGetAttributes(L"zbase:x", &info));
    EXPECT_STREQ(L"root", info.name);
    std::vector<std::wstring> expected = {L"user.attr:x", L"root.attr:x"};
    EXPECT_EQ(expected, FakeDevice::allCalls());

    // None serves: the error of the last device tried.
    FakeDevice::allCalls().clear();
    EXPECT_FALSE(fileGetAttributes(L"zbase:missing", nullptr));
    expected = {L"user.attr:missing", L"root.attr:missing", L"late.attr:missing"};
    EXPECT_EQ(expected, FakeDevice::allCalls());
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), lastErrorCode());
}

TEST_F(DeviceTableTest, AttachRefusesTakenNamesAndLogs) {
    FakeDevice a(L"a");
    FakeDevice b(L"b");
    zemtest::LogCapture log(FileIFC::instance().logSource());
    ASSERT_TRUE(attach(&a, L"zmem", 10));
    EXPECT_FALSE(attach(&b, L"zmem", 10));
    EXPECT_NE(0u, lastErrorCode()); // never "Success." for a refusal
    ASSERT_TRUE(attach(&a, L"zmap:one", 10));
    EXPECT_FALSE(attach(&b, L"zmap", 10)); // a plain name over existing mappings
    EXPECT_TRUE(attach(&b, L"zmap:two", 10));
    auto lines = log.lines();
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(L"devAttach: device'zmem' attached", lines[0].text);
    EXPECT_EQ(L"devAttach: device'zmem' is already registered", lines[1].text);
    EXPECT_EQ(LOG_ERROR, lines[1].level);
    EXPECT_EQ(L"devAttach: device mapping 'zmap:one' attached", lines[2].text);
    EXPECT_EQ(L"devAttach: device'zmap' is already registered", lines[3].text);

    EXPECT_TRUE(fileDetachDevice(L"zmap:one"));
    forget(L"zmap:one");
    EXPECT_TRUE(fileDetachDevice(L"ZMEM"));
    forget(L"zmem");
    lines = log.lines();
    EXPECT_EQ(L"Device mapping 'zmap:one' detached", lines[5].text);
    EXPECT_EQ(L"Device 'ZMEM' detached", lines[6].text);
    EXPECT_FALSE(fileDetachDevice(L"zmem"));
    EXPECT_EQ(ERR_UNKNOWN_DEVICE, lastErrorCode());
    EXPECT_EQ(L"Unknown file system device 'zmem'.", errorText());
}

TEST_F(DeviceTableTest, NameLengthAndMalformedNames) {
    FakeDevice a(L"a");
    std::wstring name63 = L"z" + std::wstring(62, L'q');
    std::wstring name64 = L"z" + std::wstring(63, L'q');
    EXPECT_TRUE(attach(&a, name63, 1));
    EXPECT_FALSE(attach(&a, name64, 1));
    EXPECT_EQ(ERR_DEVICE_NAME_TOO_LONG, lastErrorCode());
    for (const wchar_t* bad : {L"", L"z", L"z[x]", L"z/a", L"zz:", L"a b"}) {
        EXPECT_FALSE(attach(&a, bad, 1)) << ::testing::PrintToString(std::wstring(bad));
        EXPECT_EQ(ERR_INVALID_CALL, lastErrorCode());
    }
    EXPECT_FALSE(fileAttachDevice(nullptr, L"zx", 1));
    EXPECT_EQ(ERR_INVALID_CALL, lastErrorCode());
}

TEST_F(DeviceTableTest, ThirtyTwoDevicesAtMost) {
    std::vector<std::unique_ptr<FakeDevice>> devices;
    size_t present = FileIFC::instance().deviceCount();
    ASSERT_LE(present, 32u);
    for (size_t i = present; i < 32; ++i) {
        devices.emplace_back(new FakeDevice(L"f"));
        ASSERT_TRUE(attach(devices.back().get(), L"zfill" + std::to_wstring(i), 5));
    }
    FakeDevice extra(L"x");
    EXPECT_FALSE(attach(&extra, L"zextra", 5));
    EXPECT_EQ(ERR_TOO_MANY_DEVICES, lastErrorCode());
    EXPECT_EQ(32u, FileIFC::instance().deviceCount());
    TearDown();
    m_names.clear();
}

TEST_F(DeviceTableTest, UnknownDevicesAndNullArguments) {
    EXPECT_EQ(nullptr, fileOpen(L"znosuch:x", FILE_MODE_READ));
    EXPECT_EQ(ERR_UNKNOWN_DEVICE, lastErrorCode());
    EXPECT_EQ(L"Unknown file system device 'znosuch'.", errorText());
    EXPECT_EQ(nullptr, fileOpen(nullptr, FILE_MODE_READ));
    EXPECT_EQ(ERR_INVALID_CALL, lastErrorCode());
    EXPECT_FALSE(fileClose(nullptr));
    EXPECT_EQ(ERR_INVALID_CALL, lastErrorCode());
    EXPECT_FALSE(fileDelete(nullptr));
    EXPECT_EQ(0xFFFFFFFFu, fileGetPathHash(nullptr, nullptr));
}

TEST_F(DeviceTableTest, ModifyingCallsSkipReadOnlyDevices) {
    FakeDevice ro(L"ro", FILEDEV_READ_ONLY);
    FakeDevice rw(L"rw");
    ASSERT_TRUE(attach(&ro, L"zlay:ro", 9));
    ASSERT_TRUE(attach(&rw, L"zlay:rw", 8));
    ro.existing.insert(L"f");
    rw.existing.insert(L"f");
    EXPECT_TRUE(fileDelete(L"zlay:f"));
    EXPECT_EQ(1u, ro.existing.count(L"f"));
    EXPECT_EQ(0u, rw.existing.count(L"f"));
    // A read goes to the read-only device first.
    EXPECT_TRUE(fileGetAttributes(L"zlay:f", nullptr));
    EXPECT_EQ(L"ro.attr:f", ro.calls.back());
}

TEST_F(DeviceTableTest, FailuresAlwaysCarryARealCode) {
    // Found when every device was skipped: the call failed with "Success.".
    FakeDevice ro(L"ro", FILEDEV_READ_ONLY);
    ASSERT_TRUE(attach(&ro, L"zro", 9));
    ro.existing.insert(L"f");
    EXPECT_FALSE(fileDelete(L"zro:f"));
    EXPECT_EQ(ERR_DEVICE_READ_ONLY, lastErrorCode());
    EXPECT_EQ(1u, ro.existing.count(L"f"));
    EXPECT_TRUE(ro.calls.empty());

    // A device that declines without a code (a missing RAM file) still fails with one.
    FakeDevice quiet(L"q");
    quiet.failCode = 0;
    ASSERT_TRUE(attach(&quiet, L"zquiet", 9));
    EXPECT_FALSE(fileDelete(L"zquiet:missing"));
    EXPECT_EQ(static_cast<uint32_t>(ERROR_FILE_NOT_FOUND), lastErrorCode());
    EXPECT_EQ(L"zquiet:missing", currentError().params.get(1));
}

TEST_F(DeviceTableTest, SuccessAfterAFailedDeviceClearsTheError) {
    FakeDevice first(L"a");
    FakeDevice second(L"b");
    ASSERT_TRUE(attach(&first, L"zpair:a", 2));
    ASSERT_TRUE(attach(&second, L"zpair:b", 1));
    second.existing.insert(L"x");
    EXPECT_TRUE(fileGetAttributes(L"zpair:x", nullptr));
    EXPECT_EQ(0u, lastErrorCode());
}

TEST_F(DeviceTableTest, UniqueNamesAndDeviceIds) {
    WorkString a;
    WorkString b;
    ASSERT_TRUE(fileMakeUniqueName(L"base", a));
    ASSERT_TRUE(fileMakeUniqueName(L"base", b));
    std::wstring prefix = L"base-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    ASSERT_EQ(0u, a.str().find(prefix));
    unsigned n = std::stoul(a.str().substr(prefix.size()));
    EXPECT_EQ(prefix + std::to_wstring(n + 1), b.str());

    uint32_t id1 = FileIFC::instance().nextDeviceId();
    uint32_t id2 = FileIFC::instance().nextDeviceId();
    EXPECT_NE(0u, id1);
    EXPECT_EQ((id1 + 47) % 1085801, id2);
}

TEST_F(DeviceTableTest, CreateUniqueTriesNumberedNames) {
    FakeDevice dev(L"u");
    ASSERT_TRUE(attach(&dev, L"zuniq", 1));
    dev.existing = {L"a.txt", L"a_1.txt", L"a_2.txt", L"d.x/b", L"d.x/b_1"};
    File* f = fileCreateUnique(L"zuniq:a.txt");
    ASSERT_NE(nullptr, f);
    EXPECT_STREQ(L"zuniq:a_3.txt", f->getPath());
    fileClose(f);
    f = fileCreateUnique(L"zuniq:d.x/b");
    ASSERT_NE(nullptr, f);
    EXPECT_STREQ(L"zuniq:d.x/b_2", f->getPath());
    fileClose(f);

    dev.existing.insert(L"c.txt");
    for (int i = 1; i <= 98; ++i)
        dev.existing.insert(L"c_" + std::to_wstring(i) + L".txt");
    dev.calls.clear();
    EXPECT_EQ(nullptr, fileCreateUnique(L"zuniq:c.txt"));
    EXPECT_EQ(ERR_UNIQUE_FILE_FAILED, lastErrorCode());
    EXPECT_EQ(99u, dev.calls.size());
    EXPECT_EQ(L"u.open:c_98.txt", dev.calls.back());
    EXPECT_EQ(0, dev.m_info.ref_count);
}

TEST_F(DeviceTableTest, CreateDirectoriesSkipsDriveShareAndDevicePrefix) {
    FakeDevice native(L"n", FILEDEV_NATIVE);
    FakeDevice named(L"d");
    ASSERT_TRUE(attach(&native, L"zznative", 1000));
    ASSERT_TRUE(attach(&named, L"zdirs", 1));
    const struct {
        const wchar_t* path;
        std::vector<std::wstring> created;
    } rows[] = {
        {L"zdirs:a/b", {L"d.mkdir:a/", L"d.mkdir:a/b"}},
        {L"C:\\x\\y\\", {L"n.mkdir:C:\\", L"n.mkdir:C:\\x\\", L"n.mkdir:C:\\x\\y\\"}},
        // Found: a network path tried to create its server and share and failed.
        {L"\\\\srv\\share\\p\\q", {L"n.mkdir:\\\\srv\\share\\p\\", L"n.mkdir:\\\\srv\\share\\p\\q"}},
        {L"\\\\?\\UNC\\srv\\share\\r", {L"n.mkdir:\\\\?\\UNC\\srv\\share\\r"}},
    };
    for (const auto& r : rows) {
        FakeDevice::allCalls().clear();
        ASSERT_TRUE(fileCreateDirectories(r.path));
        std::vector<std::wstring> created;
        for (const std::wstring& c : FakeDevice::allCalls()) {
            if (c.find(L".mkdir:") != std::wstring::npos)
                created.push_back(c);
        }
        EXPECT_EQ(r.created, created) << ::testing::PrintToString(std::wstring(r.path));
    }
}

TEST_F(DeviceTableTest, NativePathsNeedANativeDevice) {
    FileRequest r;
    r.fullPath = L"C:\\x";
    ASSERT_TRUE(FileIFC::parsePath(r));
    if (FileIFC::instance().resolve(r))
        GTEST_SKIP() << "a native device is attached by another test";
    EXPECT_FALSE(fileGetAttributes(L"C:\\x", nullptr));
    EXPECT_EQ(ERR_NO_ROOT_DEVICE, lastErrorCode());
}

TEST_F(DeviceTableTest, PathKeysCompareWholeAndByPrefix) {
    FakeDevice dev(L"k");
    ASSERT_TRUE(attach(&dev, L"zkey", 1));
    EXPECT_TRUE(filePathsEqual(L"zkey:Dir/A.txt", L"ZKEY:dir/a.TXT"));
    EXPECT_FALSE(filePathsEqual(L"zkey:dir/a.txt", L"zkey:dir/a.txt2"));
    EXPECT_TRUE(filePathStartsWith(L"zkey:Dir/A.txt", L"zkey:dir/"));
    EXPECT_FALSE(filePathStartsWith(L"zkey:dir", L"zkey:dir/"));
}

TEST_F(DeviceTableTest, MoveDispatchesLocalPathsOfOneDevice) {
    FakeDevice dev(L"m");
    ASSERT_TRUE(attach(&dev, L"zmove", 1));
    ASSERT_TRUE(fileMove(L"zmove:a/b.txt", L"zmove:c.txt"));
    EXPECT_EQ(L"move a/b.txt -> c.txt", dev.calls.back());
    FakeDevice other(L"o");
    ASSERT_TRUE(attach(&other, L"zother", 1));
    dev.existing.insert(L"f");
    EXPECT_FALSE(fileMove(L"zmove:f", L"zother:f"));
    EXPECT_EQ(ERR_MOVE_FILE_ACROSS_DEVICES, lastErrorCode());
    EXPECT_EQ(1u, dev.existing.count(L"f"));
}

} // namespace
