#include "corvel/ui/afUnicode.h"

#include "ControlLabel.h"
#include "corvel/ui/afUnicodeContext.h"
#include "corvel/ui/afUnicodeFontManager.h"
#include "zem/base/CharClass.h"
#include "zem/log/LogManager.h"

#include <algorithm>

namespace corvel {

namespace {

constexpr uint32_t UI_LOG_SOURCE = 0x629B9E5Bu;
constexpr int MAX_BREAK_RUN = 32768; // ScriptBreak and merging never see longer items
constexpr int MAX_GLYPHS = 0xFFFF;

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

int glyphCapacity(int length) { return length * 3 / 2 + 16; }

} // namespace

afUnicode::afUnicode() { reset(); }

void afUnicode::reset() {
    m_text.clear();
    m_cells.clear();
    m_logicalLength = 0;
    m_indent = 0;
    m_leadingEnd = 0;
    m_trailingStart = 0;
    m_restyle = 1;
}

bool afUnicode::process(afUnicodeContext& context) {
    const int length = static_cast<int>(m_text.size());
    if (static_cast<size_t>(length) > m_cells.size()) {
        zem::logMessage(1, UI_LOG_SOURCE,
                        L"afUnicode::process: Text and style data lengths are not compatible. T=%d > S=%d\n", length,
                        static_cast<int>(m_cells.size()));
        return false;
    }
    m_context = &context;
    context.setCurrentLine(this);
    m_attrs.assign(length, 0);
    m_clusters.resize(length);
    m_logicalWidths.resize(length);
    const int glyphs = glyphCapacity(length);
    m_glyphs.resize(glyphs);
    m_visattrs.assign(glyphs, SCRIPT_VISATTR{});
    m_offsets.assign(glyphs, GOFFSET{});
    m_advances.resize(glyphs);
    m_glyphCount = 0;
    m_lineWidth = 0;
    m_widestRow = 0;
    m_items.clear();
    m_visualOrder.clear();
    m_rowEnds.clear();
    m_rowWidths.clear();

    std::vector<SCRIPT_ITEM> itemizerItems;
    if (length > 0 && itemize(context, &itemizerItems)) {
        merge(context, &itemizerItems);
        splitRuns(context, itemizerItems);
        buildItems(context);
    }
    if (!m_items.empty()) {
        m_rowEnds.push_back(static_cast<int32_t>(m_items.size()) - 1);
        orderRows();
        m_rowEnds.clear();
        setSpecialWidths(context);
    }
    wrapRows(context);
    context.setCurrentLine(nullptr);
    return true;
}

bool afUnicode::itemize(afUnicodeContext& context, std::vector<SCRIPT_ITEM>* out) {
    const int length = static_cast<int>(m_text.size());
    int maxItems = 6;
    int count = 0;
    for (;;) {
        out->resize(maxItems + 1);
        HRESULT result = ScriptItemize(m_text.data(), length, maxItems, context.scriptControl(),
                                       context.scriptState(), out->data(), &count);
        if (result == E_OUTOFMEMORY) {
            maxItems *= 2;
            continue;
        }
        if (FAILED(result)) {
            zem::logMessage(1, UI_LOG_SOURCE, L"afUnicode::process: Itemizing failed (0x%08x).\n",
                            static_cast<unsigned>(result));
            out->clear();
            return false;
        }
        break;
    }
    out->resize(count + 1); // the last entry is the end sentinel
    // Break data per item; an item longer than ScriptBreak takes is cut at a character stop.
    for (size_t i = 0; i + 1 < out->size(); ++i) {
        int start = (*out)[i].iCharPos;
        int itemLength = (*out)[i + 1].iCharPos - start;
        int breakLength = std::min(itemLength, MAX_BREAK_RUN);
        ScriptBreak(m_text.data() + start, breakLength, &(*out)[i].a,
                    reinterpret_cast<SCRIPT_LOGATTR*>(m_attrs.data() + start));
        if (itemLength <= MAX_BREAK_RUN)
            continue;
        int cut = MAX_BREAK_RUN;
        for (int at = MAX_BREAK_RUN - 1; at >= 1; --at) {
            if (m_attrs[start + at] & CHAR_STOP) {
                cut = at;
                break;
            }
        }
        SCRIPT_ITEM rest = (*out)[i];
        rest.iCharPos = start + cut;
        out->insert(out->begin() + static_cast<std::ptrdiff_t>(i) + 1, rest);
    }
    // A caret stop never falls between the halves of a surrogate pair.
    for (int i = 1; i < length; ++i) {
        if (isLowSurrogate(m_text[i]) && isHighSurrogate(m_text[i - 1]))
            m_attrs[i] &= static_cast<uint8_t>(~(CHAR_STOP | WORD_STOP | SOFT_BREAK));
    }
    return true;
}

void afUnicode::merge(afUnicodeContext& context, std::vector<SCRIPT_ITEM>* items) {
    if (items->empty())
        return;
    if (items->size() == 1) {
        zem::logMessage(1, UI_LOG_SOURCE, L"afUnicode::merge(): Invalid items passed.\n");
        return;
    }
    // items->back() is the sentinel; after a merge the walk goes on with the pair after
    // the removed item, so a merged item is not merged again in this pass.
    size_t i = 1;
    while (i + 1 < items->size()) {
        SCRIPT_ITEM& previous = (*items)[i - 1];
        const SCRIPT_ITEM& current = (*items)[i];
        int combined = (*items)[i + 1].iCharPos - previous.iCharPos;
        bool mergeable = combined < 0x8000 && !context.isComplexScript(previous.a.eScript) &&
                         !context.isComplexScript(current.a.eScript) &&
                         previous.a.s.uBidiLevel == current.a.s.uBidiLevel;
        if (!mergeable) {
            ++i;
            continue;
        }
        previous.a.eScript = SCRIPT_UNDEFINED;
        items->erase(items->begin() + static_cast<std::ptrdiff_t>(i));
        ++i;
    }
}

void afUnicode::splitRuns(afUnicodeContext& context, const std::vector<SCRIPT_ITEM>& itemizerItems) {
    afUnicodeFontFamily* family = context.fontFamily();
    afUnicodeFontManager* fonts = context.fontManager();
    uint16_t previousWordClass = 0;
    for (size_t k = 0; k + 1 < itemizerItems.size(); ++k) {
        const SCRIPT_ITEM& source = itemizerItems[k];
        const int end = itemizerItems[k + 1].iCharPos;
        unsigned previousVariant = 0;
        int previousSlot = -1;
        uint8_t previousKind = afUnicodeItem::TEXT;
        for (int i = source.iCharPos; i < end;) {
            uint32_t codePoint = m_text[i];
            int units = 1;
            if (isHighSurrogate(m_text[i]) && i + 1 < end && isLowSurrogate(m_text[i + 1])) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (m_text[i + 1] - 0xDC00);
                units = 2;
            }
            uint8_t kind = afUnicodeItem::TEXT;
            if (codePoint == 9)
                kind = afUnicodeItem::TAB;
            else if (codePoint == 10 || codePoint == 13)
                kind = afUnicodeItem::LINE_BREAK;
            else if (codePoint < 32)
                kind = afUnicodeItem::CONTROL;

            uint16_t wordClass = zem::getCharFlags(m_text[i]) & 0x88;
            if (wordClass && previousWordClass && wordClass == previousWordClass) {
                m_attrs[i] &= static_cast<uint8_t>(~WORD_STOP);
            } else {
                m_attrs[i] |= WORD_STOP;
                previousWordClass = wordClass;
            }

            unsigned variant = 0;
            int slot = afUnicodeFontGroup::PRIMARY_SLOT;
            if (kind == afUnicodeItem::TAB)
                m_attrs[i] |= WHITE_SPACE;
            if (kind == afUnicodeItem::TEXT || kind == afUnicodeItem::LINE_BREAK) {
                variant = context.styleFor(m_cells[i].styleId).flags & 0xF;
                slot = family ? fonts->slotForChar(family->group(variant), codePoint) : 1;
            }
            bool opens = i == source.iCharPos || variant != previousVariant || slot != previousSlot ||
                         kind != afUnicodeItem::TEXT || previousKind != afUnicodeItem::TEXT;
            if (opens) {
                afUnicodeItem run;
                run.analysis = source.a;
                run.analysis.eScript = SCRIPT_UNDEFINED;
                if (i != source.iCharPos) {
                    m_items.back().analysis.fLinkAfter = 0;
                    run.analysis.fLinkBefore = 0;
                }
                run.itemizerScript = source.a.eScript;
                run.kind = kind;
                run.firstChar = i;
                if (family)
                    run.font = fonts->fontForSlot(family->group(variant), static_cast<uint8_t>(slot),
                                                  context.memoryDC());
                else
                    run.font = fonts->defaultFont();
                m_items.push_back(run);
            }
            previousVariant = variant;
            previousSlot = slot;
            previousKind = kind;
            i += units;
        }
    }
    for (size_t r = 0; r < m_items.size(); ++r) {
        int next = r + 1 < m_items.size() ? m_items[r + 1].firstChar : static_cast<int>(m_text.size());
        m_items[r].charCount = next - m_items[r].firstChar;
    }
}

void afUnicode::buildItems(afUnicodeContext& context) {
    size_t built = 0;
    for (; built < m_items.size(); ++built) {
        afUnicodeItem& item = m_items[built];
        item.analysis.eScript = item.itemizerScript;
        if (!shapeItem(context, item, m_text.data() + item.firstChar)) {
            zem::logMessage(1, UI_LOG_SOURCE,
                            L"afUnicode::buildItem(): Shaping failed. Disabling shaping and starting again.\n");
            item.analysis.eScript = SCRIPT_UNDEFINED;
            std::wstring plain = m_text.substr(item.firstChar, item.charCount);
            for (wchar_t& c : plain) {
                if (isHighSurrogate(c) || isLowSurrogate(c))
                    c = 0xFFFD;
            }
            if (!shapeItem(context, item, plain.data()))
                break;
        }
        if (m_offsets.size() < static_cast<size_t>(m_glyphCount)) {
            m_offsets.resize(m_glyphCount);
            m_advances.resize(m_glyphCount);
        }
        if (!placeItem(context, item))
            break;
    }
    // The line is drawn as far as it was built.
    m_items.resize(built);
}

bool afUnicode::shapeItem(afUnicodeContext& context, afUnicodeItem& item, const wchar_t* chars) {
    item.analysis.fLogicalOrder = 1;
    item.firstGlyph = m_glyphCount;
    HDC dc = nullptr;
    bool triedDC = false;
    for (;;) {
        int maxGlyphs = std::min(static_cast<int>(m_glyphs.size()) - item.firstGlyph, MAX_GLYPHS);
        int count = 0;
        HRESULT result = ScriptShape(dc, item.font->scriptCache(), chars, item.charCount, maxGlyphs, &item.analysis,
                                     m_glyphs.data() + item.firstGlyph, m_clusters.data() + item.firstChar,
                                     m_visattrs.data() + item.firstGlyph, &count);
        if (result == E_INVALIDARG) {
            zem::logMessage(1, UI_LOG_SOURCE,
                            L"afUnicode::shapeItem(): Too much glyphs for shaping, we cannot shape this item run.\n");
            return false;
        }
        if (result == E_OUTOFMEMORY) {
            if (maxGlyphs >= MAX_GLYPHS)
                return false;
            size_t grown = m_glyphs.size() + glyphCapacity(item.charCount);
            m_glyphs.resize(grown);
            m_visattrs.resize(grown, SCRIPT_VISATTR{});
            m_offsets.resize(grown, GOFFSET{});
            m_advances.resize(grown);
            continue;
        }
        if (result == E_PENDING) {
            if (triedDC)
                return false;
            triedDC = true;
            dc = context.memoryDC();
            SelectObject(dc, item.font->handle());
            continue;
        }
        if (FAILED(result))
            return false;
        item.glyphCount = count;
        m_glyphCount += count;
        return true;
    }
}

bool afUnicode::placeItem(afUnicodeContext& context, afUnicodeItem& item) {
    ABC abc{};
    HRESULT result = ScriptPlace(nullptr, item.font->scriptCache(), m_glyphs.data() + item.firstGlyph,
                                 item.glyphCount, m_visattrs.data() + item.firstGlyph, &item.analysis,
                                 m_advances.data() + item.firstGlyph, m_offsets.data() + item.firstGlyph, &abc);
    if (result == E_PENDING) {
        HDC dc = context.memoryDC();
        SelectObject(dc, item.font->handle());
        result = ScriptPlace(dc, item.font->scriptCache(), m_glyphs.data() + item.firstGlyph, item.glyphCount,
                             m_visattrs.data() + item.firstGlyph, &item.analysis,
                             m_advances.data() + item.firstGlyph, m_offsets.data() + item.firstGlyph, &abc);
    }
    if (FAILED(result))
        return false;
    item.width = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
    return true;
}

void afUnicode::setSpecialWidths(afUnicodeContext& context) {
    const int tabUnit = std::max(1, context.tabWidth() * context.spaceWidth());
    int x = 0;
    for (int32_t index : m_visualOrder) {
        afUnicodeItem& item = m_items[index];
        int width = item.width;
        if (item.kind == afUnicodeItem::TAB) {
            width = tabUnit - (x % tabUnit);
            m_text[item.firstChar] = L' ';
        } else if (item.kind == afUnicodeItem::LINE_BREAK) {
            width = context.spaceWidth();
            m_attrs[item.firstChar] |= WHITE_SPACE;
        } else if (item.kind == afUnicodeItem::CONTROL) {
            std::wstring label = controlLabel(m_text[item.firstChar]);
            HDC dc = context.memoryDC();
            HGDIOBJ previous = SelectObject(dc, item.font->handle());
            SIZE extent{};
            GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
            SelectObject(dc, previous);
            width = extent.cx + 4;
        }
        if (item.kind != afUnicodeItem::TEXT) {
            item.width = width;
            for (int g = 0; g < item.glyphCount; ++g)
                m_advances[item.firstGlyph + g] = g == 0 ? width : 0;
        }
        x += item.width;
    }
    m_lineWidth = 0;
    for (const afUnicodeItem& item : m_items)
        m_lineWidth += item.width;
}

void afUnicode::orderRows() {
    m_visualOrder.assign(m_items.size(), 0);
    std::vector<BYTE> levels;
    std::vector<int> visualToLogical;
    std::vector<int> ordered;
    int first = 0;
    for (int32_t last : m_rowEnds) {
        ordered.clear();
        levels.clear();
        for (int i = first; i <= last; ++i) {
            if (m_items[i].kind == afUnicodeItem::LINE_BREAK)
                continue;
            ordered.push_back(i);
            levels.push_back(static_cast<BYTE>(m_items[i].analysis.s.uBidiLevel));
        }
        visualToLogical.assign(levels.size(), 0);
        if (!levels.empty() &&
            FAILED(ScriptLayout(static_cast<int>(levels.size()), levels.data(), visualToLogical.data(), nullptr))) {
            for (size_t v = 0; v < visualToLogical.size(); ++v)
                visualToLogical[v] = static_cast<int>(v);
        }
        // Line breaks keep their own place; the other positions take the visual order.
        size_t next = 0;
        for (int i = first; i <= last; ++i) {
            if (m_items[i].kind == afUnicodeItem::LINE_BREAK)
                m_visualOrder[i] = i;
            else
                m_visualOrder[i] = ordered[visualToLogical[next++]];
        }
        first = last + 1;
    }
}

const int* afUnicode::getLogicalWidths(size_t index) {
    afUnicodeItem& item = m_items[index];
    if (!(item.flags & afUnicodeItem::LOGICAL_WIDTHS)) {
        HRESULT result = ScriptGetLogicalWidths(&item.analysis, item.charCount, item.glyphCount,
                                                m_advances.data() + item.firstGlyph,
                                                m_clusters.data() + item.firstChar,
                                                m_visattrs.data() + item.firstGlyph,
                                                m_logicalWidths.data() + item.firstChar);
        if (FAILED(result)) {
            zem::logMessage(1, UI_LOG_SOURCE,
                            L"afUnicodeItem::getLogicalWidths(): Cannot get logical glyph widths for the item.");
            std::fill_n(m_logicalWidths.begin() + item.firstChar, item.charCount, 0);
        }
        item.flags |= afUnicodeItem::LOGICAL_WIDTHS;
    }
    return m_logicalWidths.data() + item.firstChar;
}

int afUnicode::itemAt(int offset) const {
    auto found = std::upper_bound(m_items.begin(), m_items.end(), offset,
                                  [](int value, const afUnicodeItem& item) { return value < item.firstChar; });
    if (found == m_items.begin())
        return 0;
    return static_cast<int>(found - m_items.begin()) - 1;
}

void afUnicode::clusterGlyphRange(const afUnicodeItem& item, int fromChar, int toChar, int* first, int* last) const {
    *first = m_clusters[item.firstChar + fromChar];
    *last = toChar < item.charCount ? m_clusters[item.firstChar + toChar] - 1 : item.glyphCount - 1;
}

} // namespace corvel
