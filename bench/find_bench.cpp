// Find throughput over a document of about 100 MB (UTF-16) with its gap mid-text: every
// match of a literal, case-sensitive and not, against std::wstring::find on a copy; and
// of a class-plus-suffix regular expression against the same finder without its literal
// prefilter. MB/s count UTF-16 bytes.
#include "BenchText.h"
#include "corvel/document/Document.h"
#include "corvel/document/FinderBoyerMoore.h"
#include "corvel/document/FinderRegEx.h"
#include "zem/base/Clock.h"
#include "zem/thread/Thread.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

struct Figure {
    size_t matches = 0;
    double seconds = 0;
};

double megabytes(const std::wstring& text) {
    return static_cast<double>(text.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);
}

// Best of three runs of count(), which returns the number of matches.
Figure measure(const std::function<size_t()>& count) {
    Figure best;
    for (int run = 0; run < 3; ++run) {
        zem::Stopwatch watch;
        watch.start();
        size_t matches = count();
        watch.stop();
        double seconds = static_cast<double>(watch.elapsed()) / 1e6;
        if (run == 0 || seconds < best.seconds)
            best = Figure{matches, seconds};
    }
    return best;
}

size_t countAll(corvel::Finder& finder, const corvel::Document& document) {
    size_t matches = 0;
    int32_t length = document.getLength();
    for (int32_t at = 0; at <= length;) {
        const zem::MatchResults& found = finder.find(document, at, length, false);
        if (!found.isMatched())
            break;
        ++matches;
        at = found.getEnd(0) > found.getBegin(0) ? found.getEnd(0) : found.getEnd(0) + 1;
    }
    return matches;
}

size_t countCopy(const std::wstring& text, const std::wstring& pattern) {
    size_t matches = 0;
    for (size_t at = text.find(pattern); at != std::wstring::npos; at = text.find(pattern, at + pattern.size()))
        ++matches;
    return matches;
}

void report(const char* name, const std::wstring& text, const Figure& figure, const char* baselineName,
            const Figure& baseline) {
    double mb = megabytes(text);
    std::printf("%-30s %8zu matches %8.3f s %9.1f MB/s | %-24s %8zu matches %8.3f s %9.1f MB/s | ratio %.2f\n", name,
                figure.matches, figure.seconds, mb / figure.seconds, baselineName, baseline.matches, baseline.seconds,
                mb / baseline.seconds, baseline.seconds / figure.seconds);
}

} // namespace

int main() {
    zem::recordMainThread();
    std::wstring text = bench::makeText();
    std::printf("text: %zu UTF-16 units (%.1f MB)\n", text.size(), megabytes(text));
    corvel::Document document(nullptr);
    document.lockEdit();
    document.beginEdit(nullptr, true);
    size_t half = text.size() / 2;
    document.insertText(0, static_cast<int32_t>(text.size() - half), text.data() + half, 0);
    document.insertText(0, static_cast<int32_t>(half), text.data(), 0);
    document.endEdit();

    std::wstring copy = text;
    corvel::FinderBoyerMoore literal(L"needle", false, false);
    report("literal needle", text, measure([&] { return countAll(literal, document); }), "wstring::find",
           measure([&] { return countCopy(copy, L"needle"); }));

    std::wstring upperCopy = text;
    CharUpperBuffW(&upperCopy[0], static_cast<DWORD>(upperCopy.size()));
    corvel::FinderBoyerMoore folded(L"Needle", true, false);
    report("literal Needle, any case", text, measure([&] { return countAll(folded, document); }), "wstring::find upper",
           measure([&] { return countCopy(upperCopy, L"NEEDLE"); }));

    corvel::FinderBoyerMoore tables(L"needle", false, false);
    tables.setFastScan(false);
    report("literal needle, fast scan", text, measure([&] { return countAll(literal, document); }), "tables only",
           measure([&] { return countAll(tables, document); }));

    corvel::FinderRegEx regex(L"[a-zA-Z]+ing", false), plain(L"[a-zA-Z]+ing", false);
    plain.setPrefilter(false);
    report("regex [a-zA-Z]+ing", text, measure([&] { return countAll(regex, document); }), "engine alone",
           measure([&] { return countAll(plain, document); }));
    document.unlockEdit();
    return 0;
}
