// The main window's menu bar: each title takes the room of its text in the menu font,
// so the bar's entries sit side by side as a native bar's do.
#pragma once
#include "corvel/widgets/afMenu.h"

namespace corvel {

class MenuBar : public afMenuBar {
public:
    // The bar with its native menu, or null when the menu cannot be made.
    static MenuBar* make();

    void measureItem(afMenuNode* node, afCanvas& canvas, MEASUREITEMSTRUCT& item) override;
};

} // namespace corvel
