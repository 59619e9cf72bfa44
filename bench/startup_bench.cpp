// Start-up time of corvel.exe: five starts with a fresh user folder each and a C file
// given on the command line, the document a user comes back to. Timed from process
// creation until an editor of the main window first shows that file's text, and until it
// is painted in more colours than the plain text's two (the grammar has highlighted it:
// the shipped bundles are loaded, compiled and the text parsed); then the program is
// closed. The baseline is this program started as a minimal window program the same way,
// until its window is shown. Prints the medians, their ratios and the aim.
#include "BenchFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const wchar_t MINIMAL_CLASS[] = L"StartupBenchMinimal";
const wchar_t MAIN_CLASS[] = L"Corvel35WindowClass";
const wchar_t EDITOR_CLASS[] = L"CorvelEditor";
constexpr int RUNS = 5;
constexpr double AIM_RATIO = 2.5;
constexpr int GUTTER_SKIP = 80; // pixels

LRESULT CALLBACK minimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int runMinimal(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &minimalProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MINIMAL_CLASS;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, MINIMAL_CLASS, L"Minimal", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 32, 32, 700, 433,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring ownPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK findVisible(HWND window, LPARAM data) {
    Search* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (owner == search->process && wcscmp(name, search->className) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findEditor(HWND window, LPARAM data) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (wcscmp(name, EDITOR_CLASS) != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

struct EditorPicture {
    bool text = false;        // the most common ink covers more than a caret would
    bool highlighted = false; // see readEditor
};

constexpr int TEXT_INK_PIXELS = 200;

// What the window's part of the screen shows: highlighted text has at least three colours
// that are no blend of a row's background with the most common ink; plain text gives one
// ink and its edge shades.
EditorPicture readEditor(HWND window) {
    EditorPicture picture;
    // The text column only: the gutter's numbers and the scroll bars have colours of their own.
    RECT area;
    if (!GetClientRect(window, &area))
        return picture;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    area.left += GUTTER_SKIP;
    if (area.right - area.left < 8 || area.bottom - area.top < 8)
        return picture;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + width * height);
    DeleteObject(bitmap);

    // Each row's background is its most common colour; the ink is the most common other one.
    std::vector<uint32_t> background(static_cast<size_t>(height));
    std::map<uint32_t, int> inks;
    for (int y = 0; y < height; ++y) {
        std::map<uint32_t, int> counts;
        for (int x = 0; x < width; ++x)
            ++counts[pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF];
        background[static_cast<size_t>(y)] =
            std::max_element(counts.begin(), counts.end(),
                             [](const std::pair<const uint32_t, int>& a, const std::pair<const uint32_t, int>& b) {
                                 return a.second < b.second;
                             })
                ->first;
        for (const auto& entry : counts) {
            if (entry.first != background[static_cast<size_t>(y)])
                inks[entry.first] += entry.second;
        }
    }
    if (inks.empty())
        return picture;
    const auto mostCommon = std::max_element(
        inks.begin(), inks.end(), [](const std::pair<const uint32_t, int>& a, const std::pair<const uint32_t, int>& b) {
            return a.second < b.second;
        });
    const uint32_t ink = mostCommon->first;
    picture.text = mostCommon->second >= TEXT_INK_PIXELS;
    // Colours far from the line between a row's background and the ink, by hue groups.
    std::map<uint32_t, int> others;
    for (int y = 0; y < height; ++y) {
        const uint32_t back = background[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF;
            double distance = 0;
            double along = 0;
            double length = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const double b = (back >> shift) & 0xFF;
                along += (((pixel >> shift) & 0xFF) - b) * (((ink >> shift) & 0xFF) - b);
                length += (((ink >> shift) & 0xFF) - b) * (((ink >> shift) & 0xFF) - b);
            }
            const double t = length > 0 ? std::max(0.0, std::min(1.0, along / length)) : 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const double b = (back >> shift) & 0xFF;
                const double onLine = b + t * (((ink >> shift) & 0xFF) - b);
                const double d = ((pixel >> shift) & 0xFF) - onLine;
                distance += d * d;
            }
            if (distance > 60 * 60)
                ++others[pixel & 0xC0C0C0];
        }
    }
    int groups = 0;
    for (const auto& entry : others)
        groups += entry.second >= 40 ? 1 : 0;
    picture.highlighted = groups >= 2;
    return picture;
}

// Starts the program in the folder; false when it could not be started.
bool startProgram(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments,
                  PROCESS_INFORMATION& run) {
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &run) !=
           FALSE;
}

// Closes the window (when found) and waits for the program to end.
void endProgram(HWND window, PROCESS_INFORMATION& run) {
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(run.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(run.hProcess, 1);
    CloseHandle(run.hProcess);
    CloseHandle(run.hThread);
}

double millisecondsSince(std::chrono::steady_clock::time_point begin) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

// Milliseconds until an editor of the main window shows highlighted text; -1 when it never did.
// firstText: until it first showed text, highlighted or not.
double timeHighlighted(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments,
                       double& firstText) {
    firstText = -1;
    PROCESS_INFORMATION run{};
    const auto begin = std::chrono::steady_clock::now();
    if (!startProgram(program, folder, arguments, run))
        return -1;
    Search search{run.dwProcessId, MAIN_CLASS, nullptr};
    double ms = -1;
    for (int i = 0; i < 6000 && ms < 0; ++i) {
        if (!search.found)
            EnumWindows(&findVisible, reinterpret_cast<LPARAM>(&search));
        HWND editor = nullptr;
        if (search.found)
            EnumChildWindows(search.found, &findEditor, reinterpret_cast<LPARAM>(&editor));
        const EditorPicture picture = editor ? readEditor(editor) : EditorPicture();
        if (picture.text && firstText < 0)
            firstText = millisecondsSince(begin);
        if (picture.highlighted)
            ms = millisecondsSince(begin);
        else
            Sleep(2);
    }
    endProgram(search.found, run);
    return ms;
}

// Milliseconds until the window is shown and the program idles; -1 when it never was.
double timeStart(const std::wstring& program, const std::wstring& folder, const std::wstring& arguments,
                 const wchar_t* className) {
    PROCESS_INFORMATION run{};
    const auto begin = std::chrono::steady_clock::now();
    if (!startProgram(program, folder, arguments, run))
        return -1;
    Search search{run.dwProcessId, className, nullptr};
    for (int i = 0; i < 4000 && !search.found; ++i) {
        EnumWindows(&findVisible, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(5);
    }
    WaitForInputIdle(run.hProcess, 20000);
    const double ms = millisecondsSince(begin);
    endProgram(search.found, run);
    return search.found ? ms : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--minimal")
        return runMinimal(GetModuleHandleW(nullptr));

    std::wstring build = folderOf(folderOf(ownPath()).substr(0, folderOf(ownPath()).size() - 1));
    std::wstring program = build + L"app\\corvel.exe";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"corvel-startup-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\corvel.exe";
    if (!CreateHardLinkW(copy.c_str(), program.c_str(), nullptr) && !CopyFileW(program.c_str(), copy.c_str(), FALSE)) {
        std::printf("cannot copy %ls\n", program.c_str());
        return 1;
    }
    bench::copyTreeNative(build + L"app\\bundles", folder + L"\\bundles");
    CreateDirectoryW((folder + L"\\config").c_str(), nullptr);
    // The document of the last session: a C file with comments, strings and keywords.
    const std::wstring source = folder + L"\\session.c";
    bench::writeFile(source, "/* The file the user comes back to. */\n#include <stdio.h>\n\n"
                             "static const char *greeting = \"hello, world\";\n\n"
                             "int main(int argc, char **argv) {\n"
                             "    // one line per argument\n"
                             "    for (int i = 0; i < argc; ++i)\n"
                             "        printf(\"%s %d\\n\", argv[i], 42);\n"
                             "    return 0;\n}\n");

    std::vector<double> corvel;
    std::vector<double> firstText;
    std::vector<double> minimal;
    for (int i = 0; i < RUNS; ++i) {
        // A fresh user folder each time: the first start of a new user.
        std::wstring user = folder + L"\\user" + std::to_wstring(i);
        CreateDirectoryW(user.c_str(), nullptr);
        std::string forward(user.begin(), user.end());
        std::replace(forward.begin(), forward.end(), '\\', '/');
        bench::writeFile(folder + L"\\config\\startup.cvConfig",
                         "{ version : '0 9 4 0' app.startup : { user_dir : '" + forward + "' } }");
        double text = -1;
        corvel.push_back(timeHighlighted(copy, folder, L"\"" + source + L"\"", text));
        firstText.push_back(text);
        minimal.push_back(timeStart(ownPath(), folder, L"--minimal", MINIMAL_CLASS));
    }
    for (int i = 0; i < RUNS; ++i)
        std::printf("run %d: corvel %.1f ms (its text first shown at %.1f ms), minimal window program %.1f ms\n", i + 1,
                    corvel[i], firstText[i], minimal[i]);
    bench::removeTree(folder);
    double a = median(corvel);
    double b = median(minimal);
    std::printf("median start: corvel until its editor shows the file highlighted %.1f ms, minimal window program "
                "until shown %.1f ms, ratio %.2f (aim %.1f)\n",
                a, b, b > 0 ? a / b : 0.0, AIM_RATIO);
    const double c = median(firstText);
    std::printf("median first picture of the file's text: %.1f ms, %.2f times the minimal window program\n", c,
                b > 0 ? c / b : 0.0);
    return 0;
}
