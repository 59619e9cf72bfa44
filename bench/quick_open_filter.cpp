// Cost of a keystroke in quick open: a file chooser of 100,000 generated paths refiltered
// for each of 12 typed characters (the filter growing one character at a time), against the
// bare filter-matcher loop over the same texts in the same run. Prints milliseconds per
// keystroke for both and the ratio.
#include "BenchClock.h"
#include "BenchHost.h"
#include "corvel/app/FileSelectWindow.h"
#include "corvel/document/FilterMatcher.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidget.h"

#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

using namespace corvel;

namespace {

const int PATHS = 100000;
const wchar_t TYPED[] = L"src main.cpp"; // 12 characters
const int KEYSTROKES = 12;
const int ROUNDS = 3;

const wchar_t* const FOLDERS[] = {L"src", L"include", L"tests", L"docs", L"tools", L"lib", L"app", L"main"};
const wchar_t* const NAMES[] = {L"main", L"window", L"parser", L"buffer", L"config", L"manager", L"view", L"test"};
const wchar_t* const EXTENSIONS[] = {L".cpp", L".h", L".txt", L".py", L".json"};

std::vector<std::wstring> makePaths() {
    bench::Random random;
    std::vector<std::wstring> paths;
    paths.reserve(PATHS);
    for (int i = 0; i < PATHS; ++i) {
        std::wstring path = L"c:\\projects";
        int depth = 1 + static_cast<int>(random.below(4));
        for (int d = 0; d < depth; ++d) {
            path += L'\\';
            path += FOLDERS[random.below(8)];
        }
        path += L'\\';
        path += NAMES[random.below(8)];
        path += std::to_wstring(i);
        path += EXTENSIONS[random.below(5)];
        paths.push_back(path);
    }
    return paths;
}

// Milliseconds per keystroke through the chooser.
double runChooser(FileSelectWindow& window) {
    auto start = bench::Clock::now();
    for (int round = 0; round < ROUNDS; ++round) {
        for (int typed = 1; typed <= KEYSTROKES; ++typed)
            window.refilter(std::wstring(TYPED, static_cast<size_t>(typed)));
    }
    return bench::secondsSince(start) * 1000.0 / (ROUNDS * KEYSTROKES);
}

// Milliseconds per keystroke of the matcher alone over the same texts.
double runMatcher(const std::vector<std::wstring>& paths, size_t& kept) {
    auto start = bench::Clock::now();
    for (int round = 0; round < ROUNDS; ++round) {
        for (int typed = 1; typed <= KEYSTROKES; ++typed) {
            FilterMatcher matcher(std::wstring(TYPED, static_cast<size_t>(typed)).c_str());
            kept = 0;
            uint32_t score = 0;
            for (const std::wstring& path : paths)
                kept += matcher.match(path.c_str(), path.size(), score) ? 1 : 0;
        }
    }
    return bench::secondsSince(start) * 1000.0 / (ROUNDS * KEYSTROKES);
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    afResources::create();
    bench::HostWindow host(600, 400);
    std::vector<std::wstring> paths = makePaths();
    auto* window = new FileSelectWindow(&host);
    for (const std::wstring& path : paths)
        window->addFileText(path);
    window->afViewPlatform::create();

    size_t kept = 0;
    runMatcher(paths, kept); // warm-up
    runChooser(*window);
    double bare = runMatcher(paths, kept);
    double chooser = runChooser(*window);
    std::printf("quick_open_filter: %d paths, %d keystrokes (\"%ls\"), %zu left at the end\n", PATHS, KEYSTROKES, TYPED,
                window->getVisibleRows().size());
    std::printf("  bare matcher loop (baseline): %8.2f ms per keystroke\n", bare);
    std::printf("  file chooser refilter:        %8.2f ms per keystroke (aim: under 30)\n", chooser);
    std::printf("  ratio (chooser / matcher): %.2f (aim: at most 1.3)\n", chooser / bare);
    DestroyWindow(window->getHandle());
    return 0;
}
