// Prints how long reading 2,000 bundle entry files through the entries' reload takes,
// against reading, decoding and parsing the same files directly, and the ratio.
#include "corvel/bundles/ExecutableBundleItem.h"
#include "corvel/text/StringUtils.h"
#include "zem/base/Clock.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/Value.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int SNIPPETS = 1960;
constexpr int GRAMMARS = 40;
constexpr size_t GRAMMAR_BYTES = 200 * 1024;
constexpr int RUNS = 3;

void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string snippetText(int i) {
    return "{\n  title: 'Snippet " + std::to_string(i) + "'\n  scope: 'source.c, source.c++'\n  tab_trigger: 'sn" +
           std::to_string(i) + "'\n  content: 'for (int ${1:i} = 0; $1 < ${2:count}; ++$1) {\\n\\t$0\\n}'\n}\n";
}

// A grammar-shaped file: nested pattern dictionaries with regular expressions, about 200 KB.
std::string grammarText(int i) {
    std::string text = "{\n  title: 'Grammar " + std::to_string(i) + "'\n  scope: 'source.g" + std::to_string(i) +
                       "'\n  patterns: [\n";
    for (int rule = 0; text.size() < GRAMMAR_BYTES; ++rule) {
        text += "    {name: 'keyword.control.rule" + std::to_string(rule) +
                "', match: /\\b(?:if|else|while|for|return)\\b/, captures: {1: {name: 'x'}}, comment: "
                "\"Rule with a longer comment so that the file grows like a real one.\"}\n";
    }
    return text + "  ]\n}\n";
}

struct Files {
    std::wstring dir;
    std::vector<corvel::BundleEntryLocation> locations;
};

Files makeFiles() {
    Files files;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    files.dir = std::wstring(temp) + L"bundle-reload-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(files.dir.c_str(), nullptr);
    std::wstring bundle = files.dir + L"bundles\\bench.cvBundle\\";
    CreateDirectoryW((files.dir + L"bundles").c_str(), nullptr);
    CreateDirectoryW(bundle.c_str(), nullptr);
    CreateDirectoryW((bundle + L"snippets").c_str(), nullptr);
    CreateDirectoryW((bundle + L"grammars").c_str(), nullptr);
    for (int i = 0; i < SNIPPETS + GRAMMARS; ++i) {
        bool grammar = i < GRAMMARS;
        std::wstring folder = grammar ? L"grammars" : L"snippets";
        std::wstring name = L"e" + std::to_wstring(i) + (grammar ? L".cvGrammar" : L".cvSnippet");
        writeFile(bundle + folder + L"\\" + name, grammar ? grammarText(i) : snippetText(i));
        corvel::BundleEntryLocation location;
        location.root = corvel::ENTRY_ROOT_INSTALL;
        location.parseBundleFileName(L"bench.cvBundle");
        location.kindFolder = folder;
        location.parseItemFileName(name);
        files.locations.push_back(location);
    }
    return files;
}

void removeFiles(const Files& files) {
    for (const corvel::BundleEntryLocation& location : files.locations)
        zem::fileDelete(location.toString().c_str());
    std::wstring bundle = files.dir + L"bundles\\bench.cvBundle\\";
    RemoveDirectoryW((bundle + L"snippets").c_str());
    RemoveDirectoryW((bundle + L"grammars").c_str());
    RemoveDirectoryW(bundle.c_str());
    RemoveDirectoryW((files.dir + L"bundles").c_str());
    RemoveDirectoryW(files.dir.c_str());
}

// Reads, decodes and parses each file the plain way; returns the milliseconds taken.
double readDirectly(const Files& files, int& parsed) {
    int64_t start = zem::currentTimeUs();
    parsed = 0;
    for (const corvel::BundleEntryLocation& location : files.locations) {
        zem::File* file = zem::fileOpen(location.toString().c_str(), zem::FILE_MODE_READ);
        if (!file)
            continue;
        std::vector<uint8_t> bytes(file->getSize());
        file->read(bytes.data(), static_cast<uint32_t>(bytes.size()));
        zem::fileClose(file);
        std::wstring text;
        corvel::decodeText(bytes.data(), bytes.size(), text);
        std::unique_ptr<zem::Value> value(zem::parseJasmine(text));
        parsed += value != nullptr;
    }
    return zem::microsecondsSince(start) / 1000.0;
}

// Makes an entry per file and reloads it, as the loader does; returns the milliseconds taken.
double readThroughEntries(const Files& files, int& loaded) {
    corvel::BundleEntryTypeInfo snippet;
    corvel::fillStandardEntryType(corvel::SNIPPET_TYPE_ID, snippet);
    corvel::BundleEntryTypeInfo grammar;
    corvel::fillStandardEntryType(corvel::LANGUAGE_TYPE_ID, grammar);
    int64_t start = zem::currentTimeUs();
    loaded = 0;
    for (const corvel::BundleEntryLocation& location : files.locations) {
        bool isGrammar = location.kindFolder == L"grammars";
        corvel::BundleEntry* entry =
            isGrammar ? static_cast<corvel::BundleEntry*>(
                            new corvel::BundleItem(&grammar, corvel::entryUuidFor(location, false)))
                      : new corvel::ExecutableBundleItem(&snippet, corvel::entryUuidFor(location, false));
        location.storeIn(*entry);
        loaded += entry->reload();
        entry->release();
    }
    return zem::microsecondsSince(start) / 1000.0;
}

} // namespace

int main() {
    Files files = makeFiles();
    zem::FileDeviceWin32 root(files.dir.c_str());
    zem::FileDeviceWin32 native(nullptr, zem::FILEDEV_NATIVE);
    zem::fileAttachDevice(&root, L"root", 200);
    zem::fileAttachDevice(&native, L"__zbenchfs", 256);

    double direct = 1e300;
    double entries = 1e300;
    int parsed = 0;
    int loaded = 0;
    // Best of a few runs each, alternating, so the file cache treats both alike.
    for (int run = 0; run < RUNS; ++run) {
        double d = readDirectly(files, parsed);
        double e = readThroughEntries(files, loaded);
        direct = d < direct ? d : direct;
        entries = e < entries ? e : entries;
    }
    std::printf("bundle reload: %d entry files (%d of about %u KB)\n", SNIPPETS + GRAMMARS, GRAMMARS,
                static_cast<unsigned>(GRAMMAR_BYTES / 1024));
    std::printf("  read, decode and parseJasmine: %.1f ms (%d parsed)\n", direct, parsed);
    std::printf("  BundleEntry::reload:           %.1f ms (%d loaded)\n", entries, loaded);
    std::printf("  ratio: %.2f\n", direct > 0 ? entries / direct : 0.0);

    removeFiles(files);
    zem::fileDetachDevice(L"root");
    zem::fileDetachDevice(L"__zbenchfs");
    return 0;
}
