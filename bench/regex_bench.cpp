// Search throughput of zem::RegEx over a generated text of about 100 MB (UTF-16): a
// literal pattern and a class-plus-suffix pattern, every match found by repeated search
// and read through the match results.
#include "zem/base/Clock.h"
#include "zem/text/RegEx.h"

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const size_t TEXT_UNITS = 50u * 1024u * 1024u; // 100 MB of UTF-16

std::wstring makeText() {
    static const wchar_t* const words[] = {L"editor", L"buffer",   L"line",   L"parsing", L"scope",  L"caret",
                                           L"undo",   L"grammar",  L"theme",  L"running", L"bundle", L"cache",
                                           L"token",  L"matching", L"window", L"kernel",  L"string", L"render"};
    const size_t wordCount = sizeof(words) / sizeof(words[0]);
    std::mt19937 rng(12345u);
    std::wstring text;
    text.reserve(TEXT_UNITS + 64);
    size_t column = 0;
    while (text.size() < TEXT_UNITS) {
        unsigned roll = rng() % 1000;
        if (roll == 0)
            text += L"needle";
        else
            text += words[rng() % wordCount];
        column += 8;
        if (column > 70) {
            text += L'\n';
            column = 0;
        } else {
            text += (roll % 7 == 0) ? L", " : L" ";
        }
    }
    text.resize(TEXT_UNITS);
    return text;
}

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
    std::wstring text = makeText();
    std::printf("text: %zu UTF-16 units (%.1f MB)\n", text.size(),
                static_cast<double>(text.size() * sizeof(wchar_t)) / (1024.0 * 1024.0));
    run(text, L"needle");
    run(text, L"[a-zA-Z]+ing");
    return 0;
}
