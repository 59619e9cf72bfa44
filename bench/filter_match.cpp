// One keystroke in the file chooser: the filter "src/doc/ctl" scored against 50,000
// project paths, beside a case-insensitive substring search of the same paths in the
// same run. Prints milliseconds per keystroke and the ratio.
#include "corvel/config/Timer.h"
#include "corvel/document/FilterMatcher.h"

#include <cstdio>
#include <cwctype>
#include <random>
#include <string>
#include <vector>

namespace {

const int PATHS = 50000;
const int ROUNDS = 20;

std::vector<std::wstring> makePaths() {
    static const wchar_t* const parts[] = {L"src",   L"doc",     L"lib",     L"include",  L"Controls", L"editor",
                                           L"tests", L"ui",      L"widgets", L"Document", L"core",     L"platform",
                                           L"ctl",   L"bundles", L"themes",  L"service",  L"app",      L"support"};
    static const wchar_t* const names[] = {L"Controller", L"DocumentCtl", L"Scope", L"Filter", L"Main",  L"Window",
                                           L"Layout",     L"Buffer",      L"Caret", L"Render", L"Token", L"Action"};
    static const wchar_t* const extensions[] = {L".cpp", L".h", L".txt", L".cvConfig"};
    std::mt19937 rng(777u);
    std::vector<std::wstring> paths;
    for (int i = 0; i < PATHS; ++i) {
        std::wstring path = L"C:\\work\\corvel";
        unsigned depth = 2 + rng() % 5;
        for (unsigned d = 0; d < depth; ++d)
            path += std::wstring(L"\\") + parts[rng() % (sizeof(parts) / sizeof(parts[0]))];
        path += std::wstring(L"\\") + names[rng() % (sizeof(names) / sizeof(names[0]))] + std::to_wstring(i % 97) +
                extensions[rng() % 4];
        paths.push_back(path);
    }
    return paths;
}

// Baseline: does the path hold the needle, ignoring case (the needle is lower case).
bool containsNoCase(const std::wstring& text, const std::wstring& needle) {
    if (needle.size() > text.size())
        return false;
    for (size_t i = 0; i + needle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && static_cast<wchar_t>(std::towlower(text[i + k])) == needle[k])
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

} // namespace

int main() {
    corvel::initTimer();
    std::vector<std::wstring> paths = makePaths();
    corvel::FilterMatcher matcher(L"src/doc/ctl");
    matcher.setFlags(0);

    size_t passed = 0;
    int64_t start = corvel::timerNowMicroseconds();
    for (int round = 0; round < ROUNDS; ++round) {
        for (const std::wstring& path : paths) {
            uint32_t score = 0;
            passed += matcher.match(path.c_str(), path.size(), score) ? 1 : 0;
        }
    }
    double matcherMs = static_cast<double>(corvel::timerNowMicroseconds() - start) / ROUNDS / 1000.0;

    const std::wstring needle = L"ctl";
    size_t found = 0;
    start = corvel::timerNowMicroseconds();
    for (int round = 0; round < ROUNDS; ++round) {
        for (const std::wstring& path : paths)
            found += containsNoCase(path, needle) ? 1 : 0;
    }
    double baselineMs = static_cast<double>(corvel::timerNowMicroseconds() - start) / ROUNDS / 1000.0;

    std::printf("filter_match: \"src/doc/ctl\" over %d paths, %d rounds\n", PATHS, ROUNDS);
    std::printf("  filter matcher:            %7.2f ms per keystroke (%zu pass)\n", matcherMs, passed / ROUNDS);
    std::printf("  case-insensitive substring: %6.2f ms per keystroke (%zu hold \"ctl\")\n", baselineMs,
                found / ROUNDS);
    std::printf("  matcher time / baseline time: %.2f\n", baselineMs > 0 ? matcherMs / baselineMs : 0.0);
    return 0;
}
