#include "corvel/widgets/ToolBar.h"

#include "corvel/ui/afCanvas.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/widgets/ViewVirtualButton.h"
#include "corvel/widgets/WidgetPalette.h"
#include "corvel/widgets/createControl.h"

namespace corvel {

namespace {

constexpr int EDGE_COLOR = 5;

} // namespace

ToolBar::ToolBar(afView* parent) : afWidget(parent), m_row(new afLayoutLinear(this, afLayoutLinear::HORIZONTAL)) {
    setContentView(m_row);
}

ToolBar* ToolBar::create(afView* parent) {
    return createControl<ToolBar>(parent);
}

const wchar_t* ToolBar::getTypeName() const {
    return L"ui.tool_strip";
}

bool ToolBar::buildSeed(Seed& seed) {
    static bool registered = false;
    registerOwnClass(*this, registered, L"ToolBar");
    seed.className = L"ToolBar";
    seed.style = WS_CHILD | WS_VISIBLE;
    return true;
}

bool ToolBar::onDraw(afCanvas* canvas, afCanvasRegion*) {
    WidgetPalette* palette = WidgetPalette::instance();
    if (!canvas || !palette)
        return false;
    afRect client = getClientFrame();
    afRect area(0, 0, client.width(), client.height());
    palette->fill(m_style ? 17 : 1, *canvas, area);
    canvas->drawEdges(area, m_edges, palette->color(EDGE_COLOR));
    return true;
}

int ToolBar::getToolCount() const {
    return m_row->getChildCount() - m_trailing;
}

void ToolBar::addTool(afView* view) {
    m_row->addChild(view, getToolCount(), afLayoutParams::WRAP_CONTENT, afLayoutParams::FILL_PARENT);
}

void ToolBar::addButton(ViewVirtualButton* button) {
    button->setEdges(button->getEdges() | m_edges);
    button->setStyle(m_style);
    addTool(button);
}

void ToolBar::setEdges(int edges) {
    m_edges = edges;
    m_row->setPadding(0, (edges & ViewVirtualButton::EDGE_TOP) ? 1 : 0, 0,
                      (edges & ViewVirtualButton::EDGE_BOTTOM) ? 1 : 0);
    invalidate();
}

void ToolBar::setBackgroundStyle(uint8_t style) {
    m_style = style;
    invalidate();
}

void ToolBar::clear() {
    for (int index = getToolCount() - 1; index >= 0; --index) {
        afView* tool = m_row->getChildAt(index);
        // The bar hosts its tools: the one under the pointer must not be told of the next move.
        if (m_hover && (m_hover == tool || tool->hasDescendant(m_hover)))
            m_hover = nullptr;
        m_row->removeChild(tool);
        delete tool;
    }
    m_row->needLayout("ToolBar::clear");
}

} // namespace corvel
