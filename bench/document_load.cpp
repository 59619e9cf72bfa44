// Loading and saving a large document against the plain platform work underneath.
// Writes a 100 MB UTF-8 file (5% non-ASCII characters of two to four bytes, CR LF lines of
// 0 to 160 characters) and reads it once to warm the cache. Then, best of three rounds that
// alternate the two, so that the machine's load falls on both alike: a raw decode (1 MiB
// ReadFile chunks through ICU's UTF-8 converter into a preallocated buffer) against a
// DocumentIO load; and WideCharToMultiByte plus WriteFile of the same text against a
// DocumentIO save. Prints the times, their ratios and the private bytes a loaded document
// holds per UTF-16 unit while it lives, beside the aims.
#include "BenchClock.h"
#include "BenchSampler.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentIO.h"
#include "zem/files/FileDeviceWin32.h"
#include "zem/files/FileIO.h"
#include "zem/thread/Thread.h"

#include <windows.h>

#include <unicode/ucnv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const size_t FILE_SIZE = 100u * 1024 * 1024;
const DWORD CHUNK = 0x100000;
const int ROUNDS = 3;

using bench::Clock;
using bench::Random;
using bench::secondsSince;

void appendNonAscii(std::string& text, Random& random) {
    static const char* const samples[] = {"\xC3\xA9", "\xD0\x96", "\xE2\x82\xAC", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"};
    text += samples[random.below(5)];
}

std::string makeText(size_t size) {
    Random random;
    std::string text;
    text.reserve(size + 1024);
    while (text.size() < size) {
        const uint32_t length = random.below(161);
        for (uint32_t i = 0; i < length; ++i) {
            if (random.below(100) < 5)
                appendNonAscii(text, random);
            else
                text += static_cast<char>('a' + random.below(26));
        }
        text += "\r\n";
    }
    return text;
}

std::wstring tempFilePath(const wchar_t* name) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    return std::wstring(folder) + name;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Reads the file in 1 MiB chunks through one ICU converter; returns the units produced.
long long rawDecode(const std::wstring& path, std::vector<UChar>& out) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("UTF-8", &status);
    std::vector<char> chunk(CHUNK);
    UChar* target = out.data();
    UChar* const targetLimit = out.data() + out.size();
    DWORD got = 0;
    while (U_SUCCESS(status) && ReadFile(file, chunk.data(), CHUNK, &got, nullptr) && got > 0) {
        const char* source = chunk.data();
        ucnv_toUnicode(converter, &target, targetLimit, &source, source + got, nullptr, false, &status);
    }
    const char* none = chunk.data();
    ucnv_toUnicode(converter, &target, targetLimit, &none, none, nullptr, true, &status);
    ucnv_close(converter);
    CloseHandle(file);
    return U_FAILURE(status) ? -1 : target - out.data();
}

// Converts the text in 1 MiB pieces and writes each; returns the bytes written.
long long rawEncode(const std::wstring& path, const std::wstring& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    std::vector<char> bytes(3 * CHUNK + 16);
    long long total = 0;
    for (size_t offset = 0; offset < text.size(); offset += CHUNK) {
        const int count = static_cast<int>(std::min<size_t>(CHUNK, text.size() - offset));
        const int length = WideCharToMultiByte(CP_UTF8, 0, text.data() + offset, count, bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(length), &written, nullptr);
        total += written;
    }
    CloseHandle(file);
    return total;
}

// Committed private memory, summed over the address space (what the system charges for).
size_t privateBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* address = nullptr;
    while (VirtualQuery(address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// One request to its end; true on success.
bool runRequest(corvel::DocumentIO& io, corvel::Document& document, const std::wstring& path, int32_t kind) {
    corvel::DocumentIORequest* request = io.doRequest(&document, path.c_str(), kind);
    if (request == nullptr)
        return false;
    request->done.wait(-1);
    const bool ok = !request->error;
    io.releaseRequest(request);
    return ok;
}

} // namespace

int main() {
    zem::recordMainThread();
    zem::FileDeviceWin32 native(nullptr, zem::FILEDEV_NATIVE);
    zem::fileAttachDevice(&native, L"__native", 256);
    const std::wstring path = tempFilePath(L"document_load_bench.txt");
    const std::wstring savedPath = tempFilePath(L"document_load_bench.saved.txt");
    const std::wstring rawSavedPath = tempFilePath(L"document_load_bench.raw.txt");
    {
        const std::string bytes = makeText(FILE_SIZE);
        if (path.empty() || !writeFile(path, bytes)) {
            std::printf("cannot write the test file\n");
            return 1;
        }
        std::printf("UTF-8 input: %.1f MB\n", bytes.size() / (1024.0 * 1024.0));
    }
    std::vector<UChar> rawOut(FILE_SIZE + 1024);
    rawDecode(path, rawOut); // warms the cache

    corvel::DocumentIO io(nullptr);
    double rawSeconds = 1e9;
    long long rawUnits = 0;
    double loadSeconds = 1e9;
    double bytesPerUnit = 0;
    std::unique_ptr<corvel::Document> document;
    for (int round = 0; round < ROUNDS; ++round) {
        Clock::time_point start = Clock::now();
        rawUnits = rawDecode(path, rawOut);
        rawSeconds = std::min(rawSeconds, secondsSince(start));

        document.reset();
        const size_t before = privateBytes();
        document = std::make_unique<corvel::Document>(nullptr);
        start = Clock::now();
        {
            bench::Sampler samples(round == 0 ? "load" : "load-again", bench::Sampler::ALL_THREADS);
            if (!runRequest(io, *document, path, corvel::DocumentIORequest::LOAD)) {
                std::printf("the load failed\n");
                return 1;
            }
        }
        loadSeconds = std::min(loadSeconds, secondsSince(start));
        // Measured with the document alive: what it holds, not what the load passed through.
        if (round == 0)
            bytesPerUnit = double(privateBytes() - before) / document->getLength();
    }
    std::vector<UChar>().swap(rawOut);
    const int32_t units = document->getLength();
    // The raw decode keeps every CR; the document holds one LF per break.
    std::printf("units: raw %lld, document %d in %d lines\n", rawUnits, units, document->getLineCount());
    std::printf("best of %d rounds; ratio = time / time of the baseline\n", ROUNDS);
    std::printf("  %-44s %7.3f s\n", "raw decode (ReadFile + ICU, 1 MiB chunks)", rawSeconds);
    std::printf("  %-44s %7.3f s   ratio %.2f (aim 1.25)\n", "DocumentIO load", loadSeconds, loadSeconds / rawSeconds);
    std::printf("  %-44s %7.2f      (aim 2.3)\n", "private bytes per UTF-16 unit, document alive", bytesPerUnit);

    const std::wstring text = document->getText(0, units);
    const struct {
        int32_t lineEnding;
        const char* what;
    } saves[] = {{corvel::LINE_ENDING_LF, "DocumentIO save, LF breaks"},
                 {corvel::LINE_ENDING_CRLF, "DocumentIO save, CR LF breaks"}};
    double rawSaveSeconds = 1e9;
    double saveSeconds[2] = {1e9, 1e9};
    for (int round = 0; round < ROUNDS; ++round) {
        Clock::time_point start = Clock::now();
        rawEncode(rawSavedPath, text);
        rawSaveSeconds = std::min(rawSaveSeconds, secondsSince(start));
        for (int kind = 0; kind < 2; ++kind) {
            document->lockState().lineEnding = saves[kind].lineEnding;
            document->unlockState();
            start = Clock::now();
            if (!runRequest(io, *document, savedPath, corvel::DocumentIORequest::SAVE)) {
                std::printf("the save failed\n");
                return 1;
            }
            saveSeconds[kind] = std::min(saveSeconds[kind], secondsSince(start));
        }
    }
    std::printf("  %-44s %7.3f s\n", "WideCharToMultiByte + WriteFile", rawSaveSeconds);
    for (int kind = 0; kind < 2; ++kind)
        std::printf("  %-44s %7.3f s   ratio %.2f (aim 1.5)\n", saves[kind].what, saveSeconds[kind],
                    saveSeconds[kind] / rawSaveSeconds);
    document.reset();
    DeleteFileW(path.c_str());
    DeleteFileW(savedPath.c_str());
    DeleteFileW(rawSavedPath.c_str());
    zem::fileDetachDevice(L"__native");
    return 0;
}
