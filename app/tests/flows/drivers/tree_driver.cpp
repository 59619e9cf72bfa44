// Reads and drives the tree controls of a running program from outside, for the user-flow
// scripts: the trees live in another process, so item texts and rectangles pass through
// memory allocated in that process.
//
//   tree_driver list TITLE            every item of every visible tree, two spaces per level
//   tree_driver select TITLE TEXT     selects the first item with that text (and shows it)
//   tree_driver point TITLE TEXT      "x y": the screen point at the middle of that item, which is
//                                     brought into view first
//   tree_driver expand TITLE TEXT     expands that item
//   tree_driver space TITLE           "x y": a screen point of the first tree below its last item
//
// TITLE is a part of the caption of the program's top-level window. Exit code 0 on success,
// 1 when the window, a tree or the item is not there, 2 for bad arguments.
#include "TopLevelWindow.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

BOOL CALLBACK collectTrees(HWND hwnd, LPARAM data) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (IsWindowVisible(hwnd) && std::wcscmp(name, WC_TREEVIEWW) == 0)
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
    return TRUE;
}

// A block of memory in the tree's process, freed when it goes.
class RemoteBlock {
public:
    RemoteBlock(HWND tree, size_t size) : m_size(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(tree, &pid);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process)
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return m_address != nullptr; }
    char* address() const { return static_cast<char*>(m_address); }
    bool write(size_t offset, const void* data, size_t size) const {
        return offset + size <= m_size && WriteProcessMemory(m_process, address() + offset, data, size, nullptr);
    }
    bool read(size_t offset, void* data, size_t size) const {
        return offset + size <= m_size && ReadProcessMemory(m_process, address() + offset, data, size, nullptr);
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
    size_t m_size;
};

constexpr size_t TEXT_UNITS = 261;

std::wstring itemText(HWND tree, HTREEITEM item) {
    RemoteBlock block(tree, sizeof(TVITEMW) + TEXT_UNITS * sizeof(wchar_t));
    if (!block.ok())
        return std::wstring();
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<wchar_t*>(block.address() + sizeof(TVITEMW));
    request.cchTextMax = static_cast<int>(TEXT_UNITS);
    if (!block.write(0, &request, sizeof(request)))
        return std::wstring();
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.address())))
        return std::wstring();
    wchar_t text[TEXT_UNITS] = {};
    if (!block.read(sizeof(TVITEMW), text, sizeof(text)))
        return std::wstring();
    text[TEXT_UNITS - 1] = 0;
    return text;
}

HTREEITEM next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// Depth first over every item, collapsed ones' children included.
template <class Visit> bool walk(HWND tree, HTREEITEM first, int depth, Visit visit) {
    for (HTREEITEM item = first; item; item = next(tree, item, TVGN_NEXT)) {
        if (visit(item, depth))
            return true;
        if (walk(tree, next(tree, item, TVGN_CHILD), depth + 1, visit))
            return true;
    }
    return false;
}

std::vector<HWND> treesOf(const wchar_t* title) {
    const HWND window = flowdriver::findTopLevelWindow(title);
    std::vector<HWND> trees;
    if (window)
        EnumChildWindows(window, &collectTrees, reinterpret_cast<LPARAM>(&trees));
    return trees;
}

bool findItem(const std::vector<HWND>& trees, const wchar_t* text, HWND& tree, HTREEITEM& found) {
    for (HWND candidate : trees) {
        bool hit = walk(candidate, next(candidate, nullptr, TVGN_ROOT), 0, [&](HTREEITEM item, int) {
            if (itemText(candidate, item) != text)
                return false;
            found = item;
            return true;
        });
        if (hit) {
            tree = candidate;
            return true;
        }
    }
    return false;
}

void printUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    std::wstring command = argv[1];
    std::vector<HWND> trees = treesOf(argv[2]);
    if (trees.empty())
        return 1;
    if (command == L"space") {
        // Near the bottom of the client area, where no item stands in a short tree.
        RECT client{};
        GetClientRect(trees.front(), &client);
        POINT point{client.right / 2, client.bottom - 8};
        ClientToScreen(trees.front(), &point);
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    if (command == L"list") {
        for (HWND tree : trees) {
            walk(tree, next(tree, nullptr, TVGN_ROOT), 0, [&](HTREEITEM item, int depth) {
                printUtf8(std::wstring(static_cast<size_t>(depth) * 2, L' ') + itemText(tree, item));
                return false;
            });
        }
        return 0;
    }
    if (argc < 4)
        return 2;
    HWND tree = nullptr;
    HTREEITEM item = nullptr;
    if (!findItem(trees, argv[3], tree, item))
        return 1;
    if (command == L"select") {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        return 0;
    }
    if (command == L"expand") {
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        return 0;
    }
    if (command == L"point") {
        // Only a shown item has a rectangle: its folders open and it scrolls into view.
        SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        // The rectangle's first field carries the item in, the text's rectangle comes out.
        RemoteBlock block(tree, sizeof(RECT));
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));
        if (!block.ok() || !block.write(0, &rect, sizeof(rect)) ||
            !SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.address())) ||
            !block.read(0, &rect, sizeof(rect)))
            return 1;
        POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(tree, &middle);
        std::printf("%ld %ld\n", middle.x, middle.y);
        return 0;
    }
    return 2;
}
