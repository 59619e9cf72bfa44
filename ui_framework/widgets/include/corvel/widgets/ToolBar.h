// A row of tool views (buttons, fields) in a native child window, painted with the widget
// palette. Tools join before the trailing views, which stay at the end (the tool strip's
// status). Main thread only.
#pragma once
#include "corvel/ui/afWidget.h"

#include <cstdint>

namespace corvel {

class afLayoutLinear;
class ViewVirtualButton;

class ToolBar : public afWidget {
public:
    explicit ToolBar(afView* parent);

    // Null for a null parent.
    static ToolBar* create(afView* parent);

    const wchar_t* getTypeName() const override;
    bool buildSeed(Seed& seed) override;
    bool onDraw(afCanvas* canvas, afCanvasRegion* region) override;

    // Before the trailing views, wrapping its width and filling the height.
    void addTool(afView* view);
    // Takes the bar's edge lines (added to its own) and style, then joins as a tool.
    void addButton(ViewVirtualButton* button);
    // Edge lines (ViewVirtualButton's edge bits); a top or bottom line gets a pixel of
    // padding so that tools do not cover it.
    void setEdges(int edges);
    int getEdges() const { return m_edges; }
    // Non-zero: the palette's second row of fills (a plain tool bar); 0 for the tool strip.
    void setBackgroundStyle(uint8_t style);
    uint8_t getBackgroundStyle() const { return m_style; }
    // Deletes every tool, the last first; the trailing views stay.
    void clear();
    afLayoutLinear* getContent() const { return m_row; }
    int getToolCount() const;

protected:
    // The last count views of the row stay behind tools added later.
    void setTrailingCount(int count) { m_trailing = count; }

private:
    afLayoutLinear* m_row; // the content view, owned by the bar
    uint8_t m_style = 1;
    int m_edges = 0;
    int m_trailing = 0;
};

} // namespace corvel
