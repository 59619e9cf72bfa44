// Decoding speed of StreamTextReader against one raw ICU conversion of the same bytes.
// Makes a 100 MB UTF-8 file in the temporary folder, decodes it to UTF-16 through the
// reader (over the file and over the bytes in memory) and through one ucnv_toUChars
// call on the whole buffer, prints the times and ratios, and removes the file.
#include "zem/text/StreamTextReader.h"

#include <windows.h>

#include <unicode/ucnv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

const size_t FILE_SIZE = 100u * 1024 * 1024;
const int ROUNDS = 3;

typedef std::chrono::steady_clock Clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Source-like text: mostly ASCII, with accented letters, CJK and emoji sprinkled in.
std::string makeText(size_t size) {
    static const char* const lines[] = {
        "    for (int i = 0; i < count; ++i) { total += values[i]; }\r\n",
        "// Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65, na\xC3\xAFve fa\xC3\xA7\x61\x64\x65\r\n",
        "    std::wstring title = L\"\xE4\xB8\xAD\xE6\x96\x87\xE6\xA0\x87\xE9\xA2\x98\";\r\n",
        "\treturn result; // \xF0\x9F\x98\x80 done\r\n",
        "}\r\n",
        "\r\n",
    };
    std::string text;
    text.reserve(size + 128);
    for (size_t i = 0; text.size() < size; ++i)
        text += lines[(i * 7 + i / 5) % (sizeof(lines) / sizeof(lines[0]))];
    // Cut back to a whole line so the file ends on a complete sequence.
    text.resize(text.rfind('\n', size - 1) + 1);
    return text;
}

std::wstring tempFilePath() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    return std::wstring(folder) + L"text_decode_bench.txt";
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

class MemoryBuf : public std::streambuf {
public:
    MemoryBuf(const char* bytes, size_t length) {
        char* begin = const_cast<char*>(bytes);
        setg(begin, begin, begin + length);
    }
};

// One conversion of the whole buffer; returns the units produced, -1 on failure.
long long rawConvert(const std::string& bytes, std::vector<UChar>& out) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("UTF-8", &status);
    if (U_FAILURE(status))
        return -1;
    status = U_ZERO_ERROR;
    const int32_t units = ucnv_toUChars(converter, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                        static_cast<int32_t>(bytes.size()), &status);
    ucnv_close(converter);
    return U_FAILURE(status) ? -1 : units;
}

// Into a buffer of the caller's, as the raw call is given one.
long long readerRead(std::istream& input, std::vector<wchar_t>& out) {
    zem::StreamTextReader reader(input, zem::TextEncoding::forName(L"UTF-8"));
    return reader.read(out.data(), static_cast<int>(out.size()));
}

// Into a string that grows as the text comes.
long long readerReadAll(std::istream& input, std::wstring& out) {
    zem::StreamTextReader reader(input, zem::TextEncoding::forName(L"UTF-8"));
    return reader.readAll(out);
}

struct Timing {
    double seconds = 1e9;
    long long units = 0;
    void take(Clock::time_point start, long long produced) {
        seconds = std::min(seconds, secondsSince(start));
        units = produced;
    }
};

} // namespace

int main() {
    const std::wstring path = tempFilePath();
    if (path.empty()) {
        std::printf("no temporary folder\n");
        return 1;
    }
    std::string bytes = makeText(FILE_SIZE);
    if (!writeFile(path, bytes)) {
        std::printf("cannot write the test file\n");
        return 1;
    }
    const size_t size = bytes.size();
    std::printf("UTF-8 input: %.1f MB\n", size / (1024.0 * 1024.0));

    std::vector<UChar> rawOut(size + 1);
    std::vector<wchar_t> readerOut(size + 1);
    std::wstring readerText;
    readerText.reserve(size + 1); // readAll clears the string but keeps its room
    Timing raw, fileRead, readMemory, readAllMemory, readFile, readAllFile;
    for (int round = 0; round < ROUNDS; ++round) {
        Clock::time_point start = Clock::now();
        raw.take(start, rawConvert(bytes, rawOut));

        start = Clock::now();
        {
            MemoryBuf buf(bytes.data(), bytes.size());
            std::istream input(&buf);
            readMemory.take(start, readerRead(input, readerOut));
        }
        start = Clock::now();
        {
            MemoryBuf buf(bytes.data(), bytes.size());
            std::istream input(&buf);
            readAllMemory.take(start, readerReadAll(input, readerText));
        }
        start = Clock::now();
        {
            std::ifstream input(path.c_str(), std::ios::binary);
            std::string whole(size, '\0');
            input.read(&whole[0], static_cast<std::streamsize>(size));
            fileRead.take(start, input.gcount());
        }
        start = Clock::now();
        {
            std::ifstream input(path.c_str(), std::ios::binary);
            readFile.take(start, readerRead(input, readerOut));
        }
        start = Clock::now();
        {
            std::ifstream input(path.c_str(), std::ios::binary);
            readAllFile.take(start, readerReadAll(input, readerText));
        }
    }
    const auto sameUnits = [&](const wchar_t* text, long long units) {
        return units == raw.units && raw.units >= 0 &&
               std::equal(text, text + units, rawOut.begin(),
                          [](wchar_t a, UChar b) { return a == static_cast<wchar_t>(b); });
    };
    const bool same = sameUnits(readerOut.data(), readFile.units) && sameUnits(readerText.data(), readAllFile.units) &&
                      readMemory.units == raw.units && readAllMemory.units == raw.units;
    DeleteFileW(path.c_str());

    const double mb = size / (1024.0 * 1024.0);
    const auto line = [&](const char* what, const Timing& t) {
        std::printf("  %-48s %7.3f s %8.1f MB/s   ratio %.2f\n", what, t.seconds, mb / t.seconds,
                    t.seconds / raw.seconds);
    };
    std::printf("output: %lld UTF-16 units; reader and raw agree: %s\n", raw.units, same ? "yes" : "NO");
    std::printf("best of %d rounds; ratio = time / time of the raw call\n", ROUNDS);
    std::printf("  %-48s %7.3f s %8.1f MB/s\n", "raw ucnv_toUChars, whole buffer in memory", raw.seconds,
                mb / raw.seconds);
    line("reader.read(buffer) over the file (ifstream)", readFile);
    line("reader.readAll(string) over the file", readAllFile);
    line("reader.read(buffer) over the bytes in memory", readMemory);
    line("reader.readAll(string) over the bytes in memory", readAllMemory);
    std::printf("  %-48s %7.3f s   (raw call + file read: %.3f s)\n", "file read whole into memory (ifstream)",
                fileRead.seconds, raw.seconds + fileRead.seconds);
    return same ? 0 : 1;
}
