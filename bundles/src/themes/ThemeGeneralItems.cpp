#include "corvel/bundles/ThemeGeneralItems.h"

namespace corvel {

const std::vector<ThemeGeneralItem>& themeGeneralItems() {
    static const std::vector<ThemeGeneralItem> items = {
        {L"Default", 0, L"Default theme text and background colors", 1},
        {L"Environment", 0, L"Background color used around editing canvas when centering.", 1},
    };
    return items;
}

} // namespace corvel
