// Cost of opening the bundle editor's "All items" tree: 2,000 loaded items in 100 bundles
// (grammars, themes and snippets) shown with their kinds' icons and sorted; in the same
// run the same rows put into a bare native tree through TVM_ messages and sorted once
// with TVM_SORTCHILDRENCB. Prints milliseconds per opening of both and the ratio.
#include "BenchHost.h"
#include "corvel/bundles/Bundle.h"
#include "corvel/bundles/BundleItem.h"
#include "corvel/bundles/BundleManager.h"
#include "corvel/config/Config.h"
#include "corvel/ui/afIcon.h"
#include "corvel/ui/afResources.h"
#include "corvel/widgets/afControlTree.h"
#include "corvel/workspace/BundleEditorAllItemsWindow.h"
#include "zem/base/Exception.h"
#include "zem/thread/MessageRegistry.h"
#include "zem/thread/Thread.h"

#include <commctrl.h>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

#include "BenchClock.h"

using namespace corvel;

namespace {

const int BUNDLES = 100;
const int ITEMS = 20; // per bundle
const int ROUNDS = 5;
const uint32_t KINDS[] = {LANGUAGE_TYPE_ID, THEME_TYPE_ID, SNIPPET_TYPE_ID};

// One kind of plain items.
class PlainKind : public BundleEntryManager {
public:
    PlainKind(BundleManager& owner, uint32_t typeId) : m_owner(owner), m_typeId(typeId) {}
    BundleEntry* createEntry(uint32_t typeId, const zem::Uuid& uuid) override {
        return new BundleItem(m_owner.getEntryManager(typeId), uuid);
    }
    void getEntryType(BundleEntryTypeInfo& out) override {
        fillStandardEntryType(m_typeId, out);
        static const int icon = 0;
        out.icon = &icon;
    }
    bool installEntry(BundleEntry*) override { return true; }
    bool uninstallEntry(BundleEntry*) override { return true; }
    BundleEntryEditorFactory getEditorFactory(BundleEntry*) override { return nullptr; }

private:
    BundleManager& m_owner;
    uint32_t m_typeId;
};

zem::Uuid uuidOf(int n) {
    wchar_t text[40];
    swprintf(text, 40, L"%08x-0000-4000-8000-000000000000", n);
    zem::Uuid uuid;
    uuid.fromString(text);
    return uuid;
}

// Titles in no particular order, so that sorting has work to do.
std::wstring titleOf(int n) {
    unsigned mixed = static_cast<unsigned>(n) * 2654435761u;
    return (mixed & 1 ? L"item " : L"Item ") + std::to_wstring(mixed % 100000);
}

void loadEntries(BundleManager& manager) {
    std::vector<BundleEntry*> entries;
    int n = 0;
    for (int b = 0; b < BUNDLES; ++b) {
        auto* bundle = static_cast<Bundle*>(manager.createEntry(BUNDLE_TYPE_ID, uuidOf(++n)));
        bundle->setTitle(L"Bundle " + titleOf(n));
        bundle->clearModified(); // as loaded from its file
        entries.push_back(bundle);
        for (int i = 0; i < ITEMS; ++i) {
            auto* item = static_cast<BundleItem*>(manager.createEntry(KINDS[i % 3], uuidOf(++n)));
            item->setTitle(titleOf(n));
            bundle->addEntry(item);
            item->clearModified();
            entries.push_back(item);
        }
    }
    manager.addEntries(entries);
    for (BundleEntry* entry : entries)
        entry->release();
}

// --- the bare native tree ---

struct RawRow {
    uint32_t type;
    std::wstring title;
};

int rawRank(uint32_t type) {
    return type == LANGUAGE_TYPE_ID ? 0 : type == THEME_TYPE_ID ? 1 : 2;
}

int CALLBACK rawCompare(LPARAM a, LPARAM b, LPARAM) {
    const auto* left = reinterpret_cast<const RawRow*>(a);
    const auto* right = reinterpret_cast<const RawRow*>(b);
    if (left->type != right->type)
        return rawRank(left->type) - rawRank(right->type);
    return _wcsicmp(left->title.c_str(), right->title.c_str());
}

HTREEITEM rawInsert(HWND tree, HTREEITEM parent, const RawRow& row, int image) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(row.title.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = reinterpret_cast<LPARAM>(&row);
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void rawSort(HWND tree, HTREEITEM parent) {
    TVSORTCB sort{};
    sort.hParent = parent;
    sort.lpfnCompare = &rawCompare;
    SendMessageW(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

// The rows of the manager's bundles, made once: the baseline is handed its data.
std::vector<std::vector<RawRow>> rawRows(BundleManager& manager) {
    std::vector<Bundle*> bundles;
    manager.getBundles(bundles);
    std::vector<std::vector<RawRow>> rows;
    for (Bundle* bundle : bundles) {
        rows.emplace_back();
        rows.back().push_back(RawRow{BUNDLE_TYPE_ID, bundle->getTitle()});
        for (uint32_t kind : KINDS) {
            std::vector<BundleItem*> items;
            bundle->getEntries(kind, items);
            for (BundleItem* item : items)
                rows.back().push_back(RawRow{kind, item->getTitle()});
        }
    }
    return rows;
}

size_t openRaw(HWND host, const std::vector<std::vector<RawRow>>& rows) {
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
                                300, 400, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 16, 8);
    for (uint32_t kind : {BUNDLE_TYPE_ID, LANGUAGE_TYPE_ID, THEME_TYPE_ID, SNIPPET_TYPE_ID})
        ImageList_AddIcon(images, afResources::find(kind)->getHandle());
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    SendMessageW(tree, TVM_SETITEMHEIGHT, 20, 0);
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    std::vector<HTREEITEM> roots;
    for (const std::vector<RawRow>& bundle : rows) {
        HTREEITEM root = rawInsert(tree, TVI_ROOT, bundle[0], 0);
        roots.push_back(root);
        for (size_t i = 1; i < bundle.size(); ++i)
            rawInsert(tree, root, bundle[i], 1 + rawRank(bundle[i].type));
    }
    rawSort(tree, TVI_ROOT);
    for (HTREEITEM root : roots)
        rawSort(tree, root);
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    size_t count = static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0));
    DestroyWindow(tree);
    ImageList_Destroy(images);
    return count;
}

size_t openControl(bench::HostWindow& host, BundleManager& manager) {
    auto* window = new BundleEditorAllItemsWindow(&host, &manager);
    window->afViewPlatform::create();
    window->setFrameRect(0, 0, 300, 400);
    size_t count = static_cast<size_t>(window->getTree()->getItemCount());
    // The host frees the view when it goes.
    DestroyWindow(window->getHandle());
    return count;
}

} // namespace

int run() {
    zem::recordMainThread();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    afResources::create();
    // The kinds' icons, as the program registers them at start.
    const LPCWSTR systemIcons[] = {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION};
    const uint32_t iconKinds[] = {BUNDLE_TYPE_ID, LANGUAGE_TYPE_ID, THEME_TYPE_ID, SNIPPET_TYPE_ID};
    for (int i = 0; i < 4; ++i)
        afResources::add(iconKinds[i], std::make_unique<afIcon>(LoadIconW(nullptr, systemIcons[i]), 16, false));
    bench::HostWindow host(340, 440);
    // The bundle manager's background scheduler reports through the message registry.
    zem::MessageRegistry registry;
    registry.init(host.getHandle());
    Config config;
    std::unique_ptr<BundleManager> manager(new BundleManager());
    manager->onConfigReady(config);
    for (uint32_t kind : KINDS)
        manager->registerEntryManager(new PlainKind(*manager, kind));
    loadEntries(*manager);
    std::vector<std::vector<RawRow>> rows = rawRows(*manager);

    double controlTime = 0;
    double rawTime = 0;
    size_t controlRows = 0;
    size_t rawRowCount = 0;
    // Alternating the two in every round keeps machine load from favouring either.
    for (int round = 0; round < ROUNDS; ++round) {
        bench::Clock::time_point start = bench::Clock::now();
        controlRows = openControl(host, *manager);
        controlTime += bench::secondsSince(start);
        start = bench::Clock::now();
        rawRowCount = openRaw(host.getHandle(), rows);
        rawTime += bench::secondsSince(start);
    }
    std::printf("bundle_editor_open: %d items in %d bundles; tree made, filled with icons and sorted\n",
                BUNDLES * ITEMS, BUNDLES);
    std::printf("  bare native tree, sorted once (baseline): %8.1f ms per opening (%u rows)\n", rawTime * 1000 / ROUNDS,
                static_cast<unsigned>(rawRowCount));
    std::printf("  BundleEditorAllItemsWindow:               %8.1f ms per opening (%u rows)\n",
                controlTime * 1000 / ROUNDS, static_cast<unsigned>(controlRows));
    std::printf("  ratio (window / bare): %.2f (aim: under 300 ms, at most 2)\n", controlTime / rawTime);
    manager.reset();
    registry.shutdown();
    return 0;
}

int main() {
    try {
        return run();
    } catch (const zem::Exception& e) {
        std::wstring text = e.message();
        std::fwprintf(stderr, L"bundle_editor_open: %ls\n", text.c_str());
        return 1;
    }
}
