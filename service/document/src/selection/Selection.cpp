#include "corvel/document/Selection.h"

#include "corvel/config/Stream.h"
#include "corvel/config/StreamFields.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/SelectionBehaviorNormal.h"
#include "corvel/document/SelectionBehaviorRectangle.h"
#include "corvel/document/Span.h"
#include "zem/base/Format.h"

#include <algorithm>
#include <cstring>

namespace corvel {

namespace {

struct RecordHeader {
    uint32_t rangeCount = 0;
    uint8_t caretOptions = 0;
    uint8_t virtualMode = 0;
    uint32_t behaviorId = 0;
    TextPosition anchor;
    TextPosition caret;
};

void putU32(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
    at[2] = uint8_t(value >> 16);
    at[3] = uint8_t(value >> 24);
}

uint32_t getU32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

void encodeHeader(const RecordHeader& header, uint8_t* bytes) {
    std::memset(bytes, 0, Selection::RECORD_HEADER_SIZE);
    putU32(bytes, header.rangeCount);
    bytes[4] = header.caretOptions;
    bytes[5] = header.virtualMode;
    putU32(bytes + 8, header.behaviorId);
    putU32(bytes + 12, static_cast<uint32_t>(header.anchor.line));
    putU32(bytes + 16, static_cast<uint32_t>(header.anchor.offset));
    bytes[20] = header.anchor.virtualFlag;
    putU32(bytes + 24, static_cast<uint32_t>(header.caret.line));
    putU32(bytes + 28, static_cast<uint32_t>(header.caret.offset));
    bytes[32] = header.caret.virtualFlag;
}

bool readHeader(Stream& stream, RecordHeader& header) {
    uint8_t bytes[Selection::RECORD_HEADER_SIZE];
    if (stream.read(bytes, sizeof bytes) != sizeof bytes)
        return false;
    header.rangeCount = getU32(bytes);
    header.caretOptions = bytes[4];
    header.virtualMode = bytes[5];
    header.behaviorId = getU32(bytes + 8);
    header.anchor = TextPosition(static_cast<int32_t>(getU32(bytes + 12)), static_cast<int32_t>(getU32(bytes + 16)),
                                 bytes[20] ? 1 : 0);
    header.caret = TextPosition(static_cast<int32_t>(getU32(bytes + 24)), static_cast<int32_t>(getU32(bytes + 28)),
                                bytes[32] ? 1 : 0);
    return true;
}

const wchar_t* dumpWord(uint32_t id) {
    switch (id) {
    case Selection::ID_NORMAL:
        return L"normal";
    case Selection::ID_RECTANGLE:
        return L"rectangle";
    case Selection::ID_START_OVER:
        return L"caret (!)";
    case Selection::ID_CURRENT:
        return L"current (!)";
    default:
        return L"UNKNOWN";
    }
}

TextPosition sanePosition(const TextPosition& position) {
    return TextPosition(std::max(position.line, 0), std::max(position.offset, 0), position.virtualFlag);
}

} // namespace

Selection::Selection(DocumentController* controller) : m_controller(controller) {
    m_style.fill = ColorF::fromPacked(0x40FF0000);
    m_style.second = ColorF::fromPacked(0x00FFFFFF);
    m_style.flags = 0;
    m_behaviors[ID_NORMAL].reset(new SelectionBehaviorNormal(controller));
    m_behaviors[ID_RECTANGLE].reset(new SelectionBehaviorRectangle(controller));
    m_behavior = m_behaviors[ID_NORMAL].get();
    m_behaviorId = ID_NORMAL;
}

Selection::~Selection() {
    if (m_behavior)
        m_behavior->detach();
}

SelectionBehavior* Selection::findBehavior(uint32_t id) const {
    const auto found = m_behaviors.find(id);
    return found == m_behaviors.end() ? nullptr : found->second.get();
}

void Selection::markBehaviorRange() {
    const std::pair<TextPosition, TextPosition> ends = m_behavior->getPositions();
    m_controller->markChanged(m_controller->positionToOffset(ends.first), m_controller->positionToOffset(ends.second));
}

void Selection::select(const TextPosition& anchor, const TextPosition& caret, uint32_t options, uint32_t id) {
    m_rangeCache.clear();
    m_controller->beginChangeBatch();
    markBehaviorRange();

    uint32_t resolvedId = id;
    SelectionBehavior* behavior = nullptr;
    if (id == ID_START_OVER) {
        resolvedId = ID_NORMAL;
    } else if (id == ID_CURRENT) {
        resolvedId = m_behaviorId;
    }
    behavior = findBehavior(resolvedId);
    if (behavior && behavior != m_behavior) {
        m_behavior->detach();
        m_behavior = behavior;
        m_behaviorId = resolvedId;
        m_behavior->attach();
    }

    if (id == ID_START_OVER) {
        if (!m_ranges.empty()) {
            m_controller->markChanged(m_ranges.begin()->second.start(), m_ranges.rbegin()->second.start());
            m_ranges.clear();
            m_nextSequence = 1;
        }
        m_anchor = caret;
        m_caret = caret;
    } else {
        m_anchor = anchor;
        m_caret = caret;
    }
    m_behavior->begin(m_anchor, m_caret, options);

    if (m_pendingCaret) {
        m_pendingCaret->position = m_caret;
        m_pendingCaret->options = options;
    } else {
        applyCaret(m_caret, options);
    }

    markBehaviorRange();
    m_controller->endChangeBatch();
    const std::pair<TextPosition, TextPosition> ends = m_behavior->getPositions();
    const BehaviorRange range{ends.first, ends.second};
    selectionChanged.invoke(this, &range);
}

void Selection::applyCaret(const TextPosition& caret, uint32_t options) {
    if (caret.line != m_caretRecord.line || caret.offset != m_caretRecord.offset || options != m_caretOptions) {
        const uint8_t virtualBit = (options & CARET_VIRTUAL) ? 1 : 0;
        m_lastVirtual = virtualBit;
        const bool real = caret.line >= 0 && caret.line < m_controller->getLineCount() && caret.offset >= 0 &&
                          caret.offset <= m_controller->getLineTextLength(caret.line);
        bool changed = false;
        TextPosition record = caret;
        if (real || virtualBit || virtualBit != m_virtualMode) {
            changed = true;
        } else {
            record = m_controller->clampPosition(caret);
            changed = record != m_caretRecord || options != m_caretOptions;
        }
        if (changed) {
            m_caretRecord = record;
            caretChanged.invoke(this, &m_caretRecord, options);
        }
    }
    m_caretOptions = options;
}

void Selection::selectOffsets(int32_t anchorOffset, int32_t caretOffset, uint32_t id) {
    m_controller->beginEdit(DocumentController::EDIT_READ);
    const TextPosition anchor = m_controller->offsetToPosition(anchorOffset);
    const TextPosition caret = m_controller->offsetToPosition(caretOffset);
    m_controller->endEdit();
    select(anchor, caret, CARET_ANCHOR, id);
}

void Selection::commitBehaviorRange() {
    m_nextSequence = m_behavior->buildRanges(m_ranges, m_nextSequence);
}

void Selection::addSelection(const TextPosition& anchor, const TextPosition& caret, uint32_t id) {
    commitBehaviorRange();
    select(anchor, caret, CARET_ANCHOR, id);
}

void Selection::extendTo(const TextPosition& caret, uint32_t options, uint32_t id) {
    select(m_anchor, caret, options, id);
}

void Selection::collapse() {
    select(m_caretRecord, m_caretRecord, m_caretOptions, ID_START_OVER);
}

void Selection::startOver() {
    collapse();
}

void Selection::setCaret(const TextPosition& position) {
    collapse();
    select(position, position, CARET_ANCHOR, ID_CURRENT);
}

void Selection::setCaretOffset(int32_t offset) {
    m_controller->beginEdit(DocumentController::EDIT_READ);
    const TextPosition position = m_controller->offsetToPosition(offset);
    m_controller->endEdit();
    setCaret(position);
}

int32_t Selection::getCaretOffset() {
    m_controller->beginEdit(DocumentController::EDIT_READ);
    const int32_t offset = m_controller->positionToOffset(m_caret);
    m_controller->endEdit();
    return offset;
}

void Selection::orient(bool forward) {
    const bool anchorFirst = !m_caret.before(m_anchor);
    const TextPosition first = anchorFirst ? m_anchor : m_caret;
    const TextPosition last = anchorFirst ? m_caret : m_anchor;
    if (forward)
        select(first, last, CARET_ANCHOR, ID_CURRENT);
    else
        select(last, first, CARET_ANCHOR, ID_CURRENT);
}

bool Selection::isEmpty() {
    return (m_anchor.samePlace(m_caret) || m_behavior->getRangeCount() <= 0) && m_ranges.empty();
}

uint32_t Selection::getKind() {
    const bool normal = m_behaviorId == ID_NORMAL;
    if (m_anchor.samePlace(m_caret) || m_behavior->getRangeCount() <= 0) {
        if (m_ranges.empty())
            return KIND_NOTHING;
        return normal ? ID_NORMAL : KIND_MIXED;
    }
    if (m_ranges.empty())
        return m_behaviorId;
    return normal ? ID_NORMAL : KIND_MIXED;
}

const std::vector<SelectionRange>& Selection::getRanges() {
    if (!m_rangeCache.empty())
        return m_rangeCache;
    SelectionRangeMap all = m_ranges;
    m_behavior->buildRanges(all, m_nextSequence);
    m_rangeCache.reserve(all.size());
    for (const auto& entry : all)
        m_rangeCache.push_back(entry.second);
    return m_rangeCache;
}

std::vector<SelectionRange> Selection::rangesBySequence() {
    std::vector<SelectionRange> ranges = getRanges();
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const SelectionRange& a, const SelectionRange& b) { return a.sequence < b.sequence; });
    return ranges;
}

bool Selection::isOffsetSelected(const TextPosition& position) {
    if (m_behavior->contains(position, false))
        return true;
    const int32_t offset = m_controller->positionToOffset(position);
    for (const auto& entry : m_ranges) {
        const SelectionRange& range = entry.second;
        if (!range.isEmpty() && range.start() <= offset && offset <= range.end())
            return true;
    }
    return false;
}

void Selection::selectLineRanges(const LineIntervals& intervals, bool backward) {
    m_controller->beginChangeBatch();
    startOver();
    const int32_t lineCount = m_controller->getLineCount();
    bool first = true;
    // From the last interval to the first, whatever the direction: the first ends up primary.
    for (size_t n = intervals.size(); n-- > 0;) {
        const std::pair<int32_t, int32_t>& interval = intervals[n];
        const TextPosition start(interval.first, 0);
        TextPosition end(interval.second, 0);
        if (interval.second < lineCount - 1)
            end = TextPosition(interval.second + 1, 0);
        else if (interval.second == lineCount - 1)
            end = TextPosition(interval.second, m_controller->getLineTextLength(interval.second), 1);
        if (!first)
            commitBehaviorRange();
        first = false;
        if (backward)
            select(end, start, CARET_ANCHOR, ID_NORMAL);
        else
            select(start, end, CARET_ANCHOR, ID_NORMAL);
    }
    m_controller->endChangeBatch();
}

void Selection::selectLines(const std::vector<int32_t>& lines) {
    m_controller->beginChangeBatch();
    startOver();
    const int32_t lineCount = m_controller->getLineCount();
    bool first = true;
    for (int32_t line : lines) {
        const TextPosition start(line, 0);
        const TextPosition end(line, line < lineCount ? m_controller->getLineTextLength(line) : 0);
        if (!first)
            commitBehaviorRange();
        first = false;
        select(start, end, CARET_ANCHOR, ID_NORMAL);
    }
    m_controller->endChangeBatch();
}

void Selection::selectRanges(const std::vector<SelectionRange>& ranges) {
    m_controller->beginChangeBatch();
    startOver();
    bool first = true;
    for (const SelectionRange& range : ranges) {
        if (!first)
            commitBehaviorRange();
        first = false;
        select(m_controller->offsetToPosition(range.anchor), m_controller->offsetToPosition(range.caret), CARET_ANCHOR,
               ID_NORMAL);
    }
    m_controller->endChangeBatch();
}

void Selection::selectSpans(std::vector<SelectionRange>* list, Span* span) {
    std::vector<SelectionRange> own;
    std::vector<SelectionRange>& ranges = list ? *list : own;
    for (Span* child = span ? span->getFirstChild() : nullptr; child; child = child->getNextSibling()) {
        if (child->getOrder() < 0)
            continue;
        if (child->getDirection() == 1)
            ranges.emplace_back(child->getStart(), child->getEnd(), child->getOrder());
        else
            ranges.emplace_back(child->getEnd(), child->getStart(), child->getOrder());
    }
    if (!list) {
        std::stable_sort(ranges.begin(), ranges.end(),
                         [](const SelectionRange& a, const SelectionRange& b) { return a.sequence < b.sequence; });
    }
    selectRanges(ranges);
}

void Selection::beginUpdate() {
    if (m_pendingCaret)
        return;
    m_pendingCaret.reset(new PendingCaret{m_caretRecord, m_caretOptions});
}

void Selection::updateCaret(const TextPosition& position, uint32_t options, bool force) {
    if (!force && m_pendingCaret) {
        m_pendingCaret->position = position;
        m_pendingCaret->options = options;
        return;
    }
    applyCaret(position, options);
}

void Selection::flushPendingCaret() {
    if (!m_pendingCaret)
        return;
    const PendingCaret pending = *m_pendingCaret;
    m_pendingCaret.reset();
    updateCaret(pending.position, pending.options, true);
}

std::vector<int32_t> Selection::collectSelectedLineNumbers() {
    std::vector<int32_t> lines;
    for (const SelectionRange& range : rangesBySequence()) {
        const int32_t first = m_controller->offsetToPosition(range.start()).line;
        const int32_t last = m_controller->offsetToPosition(range.end()).line;
        for (int32_t line = first; line <= last; ++line) {
            if (std::find(lines.begin(), lines.end(), line) == lines.end())
                lines.push_back(line);
        }
    }
    return lines;
}

Selection::LineIntervals Selection::collectSelectedLines(bool inPositionOrder) {
    const std::vector<SelectionRange> ranges = inPositionOrder ? getRanges() : rangesBySequence();
    LineIntervals intervals;
    for (const SelectionRange& range : ranges) {
        const int32_t first = m_controller->offsetToPosition(range.start()).line;
        const int32_t last = m_controller->offsetToPosition(range.end()).line;
        bool merged = false;
        for (std::pair<int32_t, int32_t>& interval : intervals) {
            if (first <= interval.second && last >= interval.first) {
                interval.first = std::min(interval.first, first);
                interval.second = std::max(interval.second, last);
                merged = true;
                break;
            }
        }
        if (!merged)
            intervals.emplace_back(first, last);
    }
    return intervals;
}

void Selection::save(Stream& stream) {
    RecordHeader header;
    header.rangeCount = static_cast<uint32_t>(m_ranges.size());
    header.caretOptions = static_cast<uint8_t>(m_caretOptions);
    header.virtualMode = m_virtualMode;
    header.behaviorId = m_behaviorId;
    header.anchor = m_anchor;
    header.caret = m_caret;
    uint8_t bytes[RECORD_HEADER_SIZE];
    encodeHeader(header, bytes);
    stream.write(bytes, sizeof bytes);
    for (const auto& entry : m_ranges) {
        writeInt32(stream, entry.second.anchor);
        writeInt32(stream, entry.second.caret);
        writeInt32(stream, entry.second.sequence);
    }
}

bool Selection::restore(Stream& stream) {
    // Everything is read and checked before anything changes.
    RecordHeader header;
    if (!readHeader(stream, header) || header.rangeCount > MAX_RECORD_RANGES)
        return false;
    std::vector<SelectionRange> items;
    for (uint32_t i = 0; i < header.rangeCount; ++i) {
        SelectionRange item;
        if (!readInt32(stream, item.anchor) || !readInt32(stream, item.caret) || !readInt32(stream, item.sequence))
            return false;
        items.push_back(item);
    }
    const int32_t length = m_controller->getTextLength();
    m_controller->beginChangeBatch();
    collapse();
    m_virtualMode = header.virtualMode ? 1 : 0;
    int32_t greatest = 0;
    for (const SelectionRange& item : items) {
        const int32_t anchor = std::max(0, std::min(item.anchor, length));
        const int32_t caret = std::max(0, std::min(item.caret, length));
        addSelectionRange(m_ranges, false, anchor, caret, item.sequence);
        greatest = std::max(greatest, item.sequence);
    }
    if (greatest + 1 > m_nextSequence)
        m_nextSequence = greatest + 1;
    // An unknown behaviour reads as the normal one.
    const uint32_t id = findBehavior(header.behaviorId) ? header.behaviorId : static_cast<uint32_t>(ID_NORMAL);
    select(sanePosition(header.anchor), sanePosition(header.caret), header.caretOptions, id);
    m_controller->endChangeBatch();
    return true;
}

void Selection::dump(Stream& stream, std::wstring& out, const wchar_t* prefix) {
    RecordHeader header;
    if (!readHeader(stream, header))
        return;
    out += zem::format(L"%sRanges count = %u\n", prefix, header.rangeCount);
    out += prefix;
    out += L"Caret options = ";
    if ((header.caretOptions & 3) == 0) {
        out += L"None";
    } else {
        if (header.caretOptions & CARET_ANCHOR)
            out += L"Anchor ";
        if (header.caretOptions & CARET_VIRTUAL)
            out += L"Virtual";
    }
    out += L"\n";
    out += zem::format(L"%sCaret virtual mode = %s\n", prefix, header.virtualMode ? L"Yes" : L"No");
    out += zem::format(L"%sBehavior = %s\n", prefix, dumpWord(header.behaviorId));
    out += zem::format(L"%sBehavior range = [ Line = %d, Loff = %d ] -> [ Line = %d, Loff = %d ]\n", prefix,
                       header.anchor.line, header.anchor.offset, header.caret.line, header.caret.offset);
}

void Selection::highlight(int32_t line, int32_t lineStart, int32_t lineEnd, CellMarks& cells) {
    if (m_behavior->getRangeCount() > 0)
        m_behavior->highlight(line, cells, m_markBit);
    auto it = m_ranges.begin();
    while (it != m_ranges.end() && it->second.end() < lineStart)
        ++it;
    for (; it != m_ranges.end(); ++it) {
        if (!markRangeOnLine(it->second.start(), it->second.end(), lineStart, lineEnd, m_markBit, cells))
            break;
    }
}

} // namespace corvel
