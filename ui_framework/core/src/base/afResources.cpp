#include "corvel/ui/afResources.h"

#include "zem/base/Assert.h"

#include <map>
#include <vector>

namespace corvel {

struct afResources::Registry {
    struct FontEntry {
        afFont font;
        LOGFONTW logFont;
        FontEntry(const LOGFONTW& record, HFONT handle) : font(handle, true), logFont(record) {}
    };
    std::vector<std::unique_ptr<FontEntry>> fonts;          // FONT_COUNT, in table order
    std::vector<COLORREF> colors;                           // COLOR_COUNT
    std::vector<std::unique_ptr<afIcon>> icons;             // ICON_COUNT
    std::vector<std::unique_ptr<afCursor>> cursors;         // CURSOR_COUNT
    std::map<uint32_t, std::unique_ptr<afIcon>> registered; // first registration wins

    void fillColors();
    void fillFonts();
    void fillIcons();
    void fillCursors();
};

namespace {

std::unique_ptr<afResources::Registry> g_registry;

afResources::Registry& registry() {
    ZEM_ASSERT_MSG(g_registry, L"afResources::create must run before the registry is read");
    return *g_registry;
}

} // namespace

void afResources::Registry::fillColors() {
    // Index 27 stays 0; 29 and 30 are the fixed dark blue and red.
    static const int systemColors[] = {
        COLOR_ACTIVEBORDER, COLOR_ACTIVECAPTION, COLOR_APPWORKSPACE,   COLOR_BACKGROUND,      COLOR_BTNFACE,
        COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,     COLOR_BTNTEXT,        COLOR_CAPTIONTEXT,     COLOR_GRAYTEXT,
        COLOR_HIGHLIGHT,    COLOR_HIGHLIGHTTEXT, COLOR_INACTIVEBORDER, COLOR_INACTIVECAPTION, COLOR_INACTIVECAPTIONTEXT,
        COLOR_INFOBK,       COLOR_INFOTEXT,      COLOR_MENU,           COLOR_MENUBAR,         COLOR_MENUTEXT,
        COLOR_SCROLLBAR,    COLOR_3DDKSHADOW,    COLOR_3DFACE,         COLOR_3DHIGHLIGHT,     COLOR_3DLIGHT,
        COLOR_3DSHADOW,     COLOR_WINDOW,
    };
    colors.assign(COLOR_COUNT, 0);
    for (size_t i = 0; i < sizeof(systemColors) / sizeof(systemColors[0]); ++i)
        colors[i] = GetSysColor(systemColors[i]);
    colors[28] = GetSysColor(COLOR_WINDOWTEXT);
    colors[29] = 0x993300;
    colors[30] = 0x0000CC;
}

void afResources::Registry::fillFonts() {
    fonts.clear();
    fonts.resize(FONT_COUNT);
    auto put = [this](int index, const LOGFONTW& record) {
        fonts[index] = std::make_unique<FontEntry>(record, createFontFromLogFont(record));
    };
    // The UI font is the system's message font; variants derive from one working record
    // in this order: 0 as read, 3 underlined, 1 bold, 4 at 13 points, 2 at 7 points.
    LOGFONTW working{};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = 500; // the size before the padded-border field, accepted by every version
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        working = metrics.lfMessageFont;
    else
        makeLogFont(0, L"Tahoma", 8, working);
    put(0, working);
    working.lfUnderline = 1;
    put(3, working);
    working.lfUnderline = 0;
    working.lfWeight = FW_BOLD;
    put(1, working);
    working.lfWeight = FW_NORMAL;
    working.lfHeight = pointsToHeight(13);
    put(4, working);
    working.lfWeight = 0;
    working.lfHeight = pointsToHeight(7);
    put(2, working);
    LOGFONTW fresh;
    makeLogFont(0, L"Courier New", 10, fresh);
    put(5, fresh);
    makeLogFont(0, L"MS Shell Dlg 2", 8, fresh);
    put(6, fresh);
    makeLogFont(AF_FONT_BOLD, L"MS Shell Dlg 2", 8, fresh);
    put(7, fresh);
}

void afResources::Registry::fillIcons() {
    static const struct {
        int id;
        int size;
    } table[ICON_COUNT] = {{138, 16}, {105, 16}, {148, 16}, {147, 16}, {161, 16}, {109, 16}, {127, 16},
                           {135, 16}, {134, 16}, {136, 16}, {137, 16}, {135, 32}, {134, 32}, {136, 32},
                           {137, 32}, {156, 16}, {157, 16}, {158, 16}, {160, 16}, {159, 16}};
    icons.clear();
    for (const auto& entry : table)
        icons.push_back(std::make_unique<afIcon>(entry.id, entry.size));
}

void afResources::Registry::fillCursors() {
    cursors.clear();
    cursors.push_back(std::make_unique<afCursor>(IDC_ARROW));
    cursors.push_back(std::make_unique<afCursor>(IDC_HAND));
    cursors.push_back(std::make_unique<afCursor>(IDC_IBEAM));
}

void afResources::create() {
    if (g_registry)
        return;
    g_registry = std::make_unique<Registry>();
    g_registry->fillColors();
    g_registry->fillFonts();
    g_registry->fillIcons();
    g_registry->fillCursors();
}

void afResources::destroy() {
    g_registry.reset();
}

bool afResources::exists() {
    return g_registry != nullptr;
}

COLORREF afResources::getColor(int index) {
    return registry().colors.at(index);
}

const afFont& afResources::getFont(int index) {
    return registry().fonts.at(index)->font;
}

const LOGFONTW& afResources::getLogFont(int index) {
    return registry().fonts.at(index)->logFont;
}

const afIcon& afResources::getIcon(int index) {
    return *registry().icons.at(index);
}

const afCursor& afResources::getCursor(int index) {
    return *registry().cursors.at(index);
}

bool afResources::add(uint32_t id, std::unique_ptr<afIcon> icon) {
    return registry().registered.emplace(id, std::move(icon)).second;
}

const afIcon* afResources::find(uint32_t id) {
    auto& registered = registry().registered;
    auto found = registered.find(id);
    return found == registered.end() ? nullptr : found->second.get();
}

} // namespace corvel
