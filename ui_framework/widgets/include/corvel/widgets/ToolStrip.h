// The main window's bottom strip: a tool bar whose last view is the status part.
#pragma once
#include "corvel/widgets/ToolBar.h"

namespace corvel {

class ToolStripStatus;

class ToolStrip : public ToolBar {
public:
    explicit ToolStrip(afView* parent);

    // Null for a null parent.
    static ToolStrip* create(afView* parent);

    ToolStripStatus* getStatus() const { return m_status; }

private:
    ToolStripStatus* m_status; // the trailing view of the row
};

} // namespace corvel
