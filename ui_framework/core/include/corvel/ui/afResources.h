// The application's one registry of shared drawing resources: system colours, eight
// standard fonts, twenty standard icons, three cursors, and icons other parts register
// under symbol ids. Created at start-up, destroyed at shutdown; main thread only.
#pragma once
#include "corvel/ui/afFont.h"
#include "corvel/ui/afIcon.h"

#include <cstdint>
#include <memory>
#include <windows.h>

namespace corvel {

class afResources {
public:
    static constexpr int COLOR_COUNT = 31;
    static constexpr int FONT_COUNT = 8;
    static constexpr int ICON_COUNT = 20;
    static constexpr int CURSOR_COUNT = 3;
    enum Cursor { CURSOR_ARROW = 0, CURSOR_HAND = 1, CURSOR_IBEAM = 2 };

    // Fills colours, fonts, icons and cursors unless the registry exists. A missing icon
    // or cursor is fatal (application panic).
    static void create();
    static void destroy();
    static bool exists();

    // The index must lie inside its table; the caller sees to it.
    static COLORREF getColor(int index);
    static const afFont& getFont(int index);
    // The record the font was made from, for deriving variants.
    static const LOGFONTW& getLogFont(int index);
    static const afIcon& getIcon(int index);
    static const afCursor& getCursor(int index);

    // Registers icon under id; the first registration wins (then true). A later icon for
    // the same id is not taken: it is destroyed and the result is false.
    static bool add(uint32_t id, std::unique_ptr<afIcon> icon);
    // The icon registered under id, or null.
    static const afIcon* find(uint32_t id);

    struct Registry; // the process-wide tables, private to the implementation
};

} // namespace corvel
