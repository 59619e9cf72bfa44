// Cost of the tree control's bookkeeping: 20,000 items (200 folders of 100) inserted and
// all folders expanded, the view state saved, the tree cleared, rebuilt and the state
// restored; in the same run the same work on a bare native tree through TVM_ messages
// (paths built and looked up by hand). Prints milliseconds per cycle of both and the ratio.
#include "BenchHost.h"
#include "corvel/ui/afResources.h"
#include "corvel/ui/afWidget.h"
#include "corvel/widgets/afControlTree.h"

#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

#include "BenchClock.h"

using namespace corvel;

namespace {

const int FOLDERS = 200;
const int ITEMS = 100; // per folder
const int ROUNDS = 3;

std::wstring folderName(int folder) {
    return L"folder " + std::to_wstring(folder);
}

std::wstring itemName(int item) {
    return L"item " + std::to_wstring(item) + L".txt";
}

// --- the control ---

void fillControl(afControlTree& tree) {
    for (int folder = 0; folder < FOLDERS; ++folder) {
        afControlTreeItem* parent = tree.insertItem(nullptr, folderName(folder));
        for (int item = 0; item < ITEMS; ++item)
            tree.insertItem(parent, itemName(item));
    }
}

size_t cycleControl(afControlTree& tree) {
    fillControl(tree);
    for (afControlTreeItem* folder = tree.getFirstItem(); folder; folder = folder->getNextSibling())
        tree.expandItem(folder, true);
    tree.selectItem(tree.findByPath(L"\\folder 150\\item 50.txt"));
    afControlTreeState state;
    tree.saveState(state);
    tree.clear();
    fillControl(tree);
    tree.restoreState(state);
    size_t expanded = state.expanded.size();
    tree.clear();
    return expanded;
}

// --- the bare native tree ---

struct RawState {
    std::wstring selected;
    std::wstring firstVisible;
    std::vector<std::wstring> expanded;
};

HTREEITEM rawInsert(HWND tree, HTREEITEM parent, const std::wstring& text) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = 1;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM rawNext(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::wstring rawText(HWND tree, HTREEITEM item) {
    wchar_t text[261] = {};
    TVITEMW entry{};
    entry.mask = TVIF_HANDLE | TVIF_TEXT;
    entry.hItem = item;
    entry.pszText = text;
    entry.cchTextMax = 261;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    return text;
}

std::wstring rawPath(HWND tree, HTREEITEM item) {
    std::wstring path;
    for (; item; item = rawNext(tree, item, TVGN_PARENT))
        path.insert(0, L"\\" + rawText(tree, item));
    return path;
}

HTREEITEM rawFind(HWND tree, const std::wstring& path) {
    HTREEITEM found = nullptr;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring part = path.substr(start, end - start);
        HTREEITEM child = found ? rawNext(tree, found, TVGN_CHILD) : rawNext(tree, nullptr, TVGN_ROOT);
        while (child && rawText(tree, child) != part)
            child = rawNext(tree, child, TVGN_NEXT);
        if (!child)
            break;
        found = child;
        start = end + 1;
    }
    return found;
}

void fillRaw(HWND tree) {
    for (int folder = 0; folder < FOLDERS; ++folder) {
        HTREEITEM parent = rawInsert(tree, TVI_ROOT, folderName(folder));
        for (int item = 0; item < ITEMS; ++item)
            rawInsert(tree, parent, itemName(item));
    }
}

size_t cycleRaw(HWND tree) {
    fillRaw(tree);
    for (HTREEITEM folder = rawNext(tree, nullptr, TVGN_ROOT); folder; folder = rawNext(tree, folder, TVGN_NEXT))
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(rawFind(tree, L"\\folder 150\\item 50.txt")));
    RawState state;
    state.firstVisible = rawPath(tree, rawNext(tree, nullptr, TVGN_FIRSTVISIBLE));
    state.selected = rawPath(tree, rawNext(tree, nullptr, TVGN_CARET));
    // Every item in pre-order, as a saved state must.
    for (HTREEITEM folder = rawNext(tree, nullptr, TVGN_ROOT); folder; folder = rawNext(tree, folder, TVGN_NEXT)) {
        std::wstring path = L"\\" + rawText(tree, folder);
        HTREEITEM child = rawNext(tree, folder, TVGN_CHILD);
        if (child &&
            (SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(folder), TVIS_EXPANDED) & TVIS_EXPANDED))
            state.expanded.push_back(path);
        for (; child; child = rawNext(tree, child, TVGN_NEXT)) {
            if (rawNext(tree, child, TVGN_CHILD))
                state.expanded.push_back(path + L"\\" + rawText(tree, child));
        }
    }
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    fillRaw(tree);
    for (const std::wstring& path : state.expanded)
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(rawFind(tree, path)));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(rawFind(tree, state.selected)));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(rawFind(tree, state.firstVisible)));
    size_t expanded = state.expanded.size();
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    return expanded;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    afResources::create();
    bench::HostWindow host(340, 440);
    afControlTree* tree = afControlTree::create(&host);
    tree->setFrameRect(0, 0, 300, 400);
    HWND raw = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
                               300, 400, host.getHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    double controlTime = 0;
    double rawTime = 0;
    size_t checksum = 0;
    // Alternating the two in every round keeps machine load from favouring either.
    for (int round = 0; round < ROUNDS; ++round) {
        bench::Clock::time_point start = bench::Clock::now();
        checksum += cycleControl(*tree);
        controlTime += bench::secondsSince(start);
        start = bench::Clock::now();
        checksum += cycleRaw(raw);
        rawTime += bench::secondsSince(start);
    }
    std::printf("tree_fill: %d items (%d folders of %d), all expanded, state saved, cleared, rebuilt, restored\n",
                FOLDERS * (ITEMS + 1), FOLDERS, ITEMS);
    std::printf("  bare native tree (baseline): %8.1f ms per cycle\n", rawTime * 1000 / ROUNDS);
    std::printf("  afControlTree:               %8.1f ms per cycle\n", controlTime * 1000 / ROUNDS);
    std::printf("  ratio (afControlTree / bare): %.2f (aim: at most 1.5); folders restored: %u\n",
                controlTime / rawTime, static_cast<unsigned>(checksum / (2 * ROUNDS)));
    DestroyWindow(raw);
    return 0;
}
