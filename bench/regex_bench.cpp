// Search throughput of zem::RegEx over a generated text of about 100 MB (UTF-16): a
// literal pattern and a class-plus-suffix pattern, every match found by repeated search
// and read through the match results.
#include "BenchText.h"
#include "zem/base/Clock.h"
#include "zem/text/RegEx.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string narrow(const wchar_t* text) {
    std::string out;
    for (; *text; ++text)
        out += *text < 128 ? static_cast<char>(*text) : '?';
    return out;
}

void run(const std::wstring& text, const wchar_t* pattern) {
    std::string name = narrow(pattern);
    zem::RegExPtr re = zem::RegEx::create(pattern);
    zem::RegExError error;
    if (re->getError(error)) {
        std::printf("%s: error %d\n", name.c_str(), error.code);
        return;
    }
    std::unique_ptr<zem::MatchResultsRegEx> results = zem::createMatchResultsRegEx();
    const wchar_t* start = text.data();
    const wchar_t* end = start + text.size();
    size_t matches = 0;
    zem::Stopwatch watch;
    watch.start();
    const wchar_t* at = start;
    while (at <= end) {
        zem::RegEx::search(results.get(), re.get(), start, end, at, end);
        if (!results->isMatched())
            break;
        ++matches;
        int matchEnd = results->getEnd(0);
        at = start + (matchEnd > results->getBegin(0) ? matchEnd : matchEnd + 1);
    }
    watch.stop();
    double seconds = static_cast<double>(watch.elapsed()) / 1e6;
    double megabytes = static_cast<double>(text.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);
    std::printf("%-14s %10zu matches  %8.3f s  %9.1f MB/s\n", name.c_str(), matches, seconds, megabytes / seconds);
}

} // namespace

int main() {
    std::wstring text = bench::makeText();
    std::printf("text: %zu UTF-16 units (%.1f MB)\n", text.size(),
                static_cast<double>(text.size() * sizeof(wchar_t)) / (1024.0 * 1024.0));
    run(text, L"needle");
    run(text, L"[a-zA-Z]+ing");
    return 0;
}
