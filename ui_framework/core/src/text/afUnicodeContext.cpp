#include "corvel/ui/afUnicodeContext.h"

#include "ScreenDC.h"
#include "corvel/ui/afUnicode.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "zem/thread/Thread.h"

#include <algorithm>

namespace corvel {

afUnicodeContext::afUnicodeContext(afUnicodeFontManager* fonts)
    : m_fonts(fonts ? fonts : afUnicodeFontManager::instance()) {
    ScreenDC screen;
    m_dc = CreateCompatibleDC(screen.get());
    ScriptGetProperties(&m_scriptProperties, &m_scriptCount);
    m_defaultStyle.background = 0xFFFFFFFF;
    m_defaultStyle.foreground = 0xFF000000;
    m_defaultStyle.reserved = 0;
    m_defaultStyle.flags = 0;
}

afUnicodeContext::~afUnicodeContext() {
    if (m_dc)
        DeleteDC(m_dc);
}

bool afUnicodeContext::isComplexScript(int script) const {
    return script >= 0 && script < m_scriptCount && m_scriptProperties && m_scriptProperties[script]->fComplex;
}

bool afUnicodeContext::setFontFamily(afUnicodeFontFamily* family, int extraSpacing1, int extraSpacing2) {
    m_family = family;
    m_extraSpacing1 = extraSpacing1;
    m_extraSpacing2 = extraSpacing2;
    updateMetrics();
    return true;
}

void afUnicodeContext::updateMetrics() {
    if (!m_family)
        return;
    afUnicodeFont* base = m_fonts->fontForSlot(m_family->group(0), afUnicodeFontGroup::PRIMARY_SLOT, m_dc);
    const TEXTMETRICW& metrics = base->metrics();
    m_ascent = metrics.tmAscent;
    m_lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    m_averageCharWidth = metrics.tmAveCharWidth;
    HGDIOBJ previous = SelectObject(m_dc, base->handle());
    SIZE space{};
    GetTextExtentPoint32W(m_dc, L" ", 1, &space);
    SelectObject(m_dc, previous);
    m_spaceWidth = space.cx;
    m_lineHeight += m_extraSpacing1 + m_extraSpacing2;
}

bool afUnicodeContext::setWrap(bool enabled, int width) {
    bool wrap = enabled && width > 0;
    int newWidth = wrap ? std::max(width, 30 * m_averageCharWidth) : 0;
    bool changed = wrap != m_wrap || newWidth != m_wrapWidth;
    m_wrap = wrap;
    m_wrapWidth = newWidth;
    return changed;
}

void afUnicodeContext::addStyleLayer(afUnicodeStyleLayer* layer) {
    if (m_layers.size() >= MAX_LAYERS || std::find(m_layers.begin(), m_layers.end(), layer) != m_layers.end())
        return;
    layer->setMask(static_cast<uint8_t>(1u << m_layers.size()));
    m_layers.push_back(layer);
    updateStyles();
}

void afUnicodeContext::removeStyleLayer(afUnicodeStyleLayer* layer) {
    auto found = std::find(m_layers.begin(), m_layers.end(), layer);
    if (found == m_layers.end())
        return;
    m_layers.erase(found);
    // The blended table is indexed by position, so the layers after it move down a bit.
    for (size_t i = 0; i < m_layers.size(); ++i)
        m_layers[i]->setMask(static_cast<uint8_t>(1u << i));
    updateStyles();
}

void afUnicodeContext::updateStyles() {
    for (size_t combination = 0; combination < BLENDED_COUNT; ++combination) {
        afUnicodeBlendedStyle entry;
        bool first = true;
        for (size_t position = 0; position < m_layers.size(); ++position) {
            if (!(combination & (1u << position)))
                continue;
            afUnicodeBlendedStyle style;
            m_layers[position]->getStyle(&style);
            if (first) {
                entry = style;
                first = false;
                continue;
            }
            entry.background = entry.background.blend(style.background, style.background.alpha);
            entry.foreground = entry.foreground.blend(style.foreground, style.foreground.alpha);
            entry.flags = static_cast<uint16_t>(entry.flags | style.flags);
        }
        m_blended[combination] = entry;
    }
}

void afUnicodeContext::applyStyleLayers(afUnicode& line, int lineNumber, int lineOffset) {
    if (!line.needsRestyle())
        return;
    zem::checkMainThread();
    // Cleared on every restyle, not only for dirty cells: a layer that now covers less
    // (a shrunk selection) must not leave its old marks behind.
    for (afUnicodeStyleCell& cell : line.cells()) {
        cell.layerMask = 0;
        cell.barMask = 0;
    }
    line.clearCellsDirty();
    for (afUnicodeStyleLayer* layer : m_layers)
        layer->restyle(lineNumber, lineOffset, lineOffset + line.logicalLength(), line.cells());
    line.setRestyleMark(false);
}

int afUnicodeContext::columnFromX(int x) const {
    int unit = spaceUnit();
    int columns = x / unit;
    if (x % unit > unit / 2)
        ++columns;
    return columns;
}

int afUnicodeContext::continuationIndent(const afUnicode& line) const {
    return (m_continuationIndent ? 2 * m_spaceWidth : 0) + (m_keepIndent ? line.indent() * m_spaceWidth : 0);
}

int afUnicodeContext::rowRoom(const afUnicode& line, int row) const {
    return m_wrapWidth - (row > 0 ? continuationIndent(line) : 0);
}

int afUnicodeContext::getRowIndent(const afUnicode& line, int row) const {
    if (row <= 0 || row >= line.rowCount())
        return 0;
    int indent = continuationIndent(line);
    if (!m_wrap)
        return indent;
    int lastPosition = line.rowLastPosition(row);
    if (lastPosition < line.rowFirstPosition(row))
        return indent;
    const afUnicodeItem& last = line.items()[line.visualOrder()[lastPosition]];
    int room = rowRoom(line, row);
    int width = line.rowWidths()[row];
    if (last.rightToLeft() && width > room)
        indent += room - width;
    return indent;
}

void afUnicodeContext::resolveColors(const afUnicode& line, int i, const ColorF& overlay, ColorF* background,
                                     ColorF* foreground) const {
    const std::vector<afUnicodeStyleCell>& cells = line.cells();
    uint16_t styleId = i >= 0 && static_cast<size_t>(i) < cells.size() ? cells[i].styleId : 0;
    const afUnicodeStyle& style = styleFor(styleId);
    // At or past the logical length the cell shows the end-of-line colour.
    uint32_t packed = i >= line.logicalLength() ? line.endOfLineColor() : style.background;
    *background = ColorF::fromPacked(packed).blend(overlay, overlay.alpha);
    ColorF styleForeground = ColorF::fromPacked(style.foreground);
    *foreground = ColorF::fromPacked(style.background).blend(styleForeground, styleForeground.alpha);
}

afUnicodeContext::CellColors afUnicodeContext::backgroundColors(const afUnicode& line, int i,
                                                                const ColorF& overlay) const {
    ColorF background, foreground;
    resolveColors(line, i, overlay, &background, &foreground);
    const std::vector<afUnicodeStyleCell>& cells = line.cells();
    afUnicodeStyleCell cell = i >= 0 && static_cast<size_t>(i) < cells.size() ? cells[i] : afUnicodeStyleCell();
    if (cell.layerMask) {
        const ColorF& layer = blendedStyle(cell.layerMask).background;
        background = background.blend(layer, layer.alpha);
    }
    CellColors colors{background.toColorRef(), 0, false};
    if (cell.barMask) {
        const ColorF& bar = blendedStyle(cell.barMask).background;
        colors.bar = background.blend(bar, bar.alpha).toColorRef();
        colors.hasBar = true;
    }
    return colors;
}

ColorF afUnicodeContext::textColor(const afUnicode& line, int i, const ColorF& overlay) const {
    ColorF background, foreground;
    resolveColors(line, i, overlay, &background, &foreground);
    const std::vector<afUnicodeStyleCell>& cells = line.cells();
    uint8_t mask = i >= 0 && static_cast<size_t>(i) < cells.size() ? cells[i].layerMask : 0;
    const ColorF& layer = blendedStyle(mask).foreground;
    return foreground.blend(layer, layer.alpha);
}

} // namespace corvel
