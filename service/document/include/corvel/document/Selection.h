// The selection of one DocumentController: an anchor and a caret turned into ranges by
// the active behaviour (normal or rectangular), any number of further ranges (multiple
// selection), the caret as displayed, and two notification lists. It is the
// controller's first highlighter. Everything runs inside the controller's brackets and
// change batches.
#pragma once
#include "corvel/document/SelectionRange.h"
#include "corvel/document/TextHighlighter.h"
#include "corvel/document/TextPosition.h"
#include "zem/base/CallbackList.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class DocumentController;
class SelectionBehavior;
class Span;
class Stream;

class Selection : public TextHighlighter {
public:
    enum : uint32_t {
        ID_NORMAL = 0x218568E4,
        ID_RECTANGLE = 0x4C19FA99,
        ID_START_OVER = 0x83BDFC1F, // drop the further ranges, select with the normal behaviour
        ID_CURRENT = 0xDCF3340B,    // keep the active behaviour
        KIND_MIXED = 0xE919FF23,
        KIND_NOTHING = 0x7F9000CF,
    };
    enum : uint32_t { CARET_ANCHOR = 1, CARET_VIRTUAL = 2 };
    static constexpr uint32_t RECORD_HEADER_SIZE = 36;
    static constexpr uint32_t RECORD_ITEM_SIZE = 12;
    // Bound on the ranges a record may claim, so that a damaged one cannot ask for
    // unbounded memory.
    static constexpr uint32_t MAX_RECORD_RANGES = 1u << 24;

    typedef SelectionBehaviorRange BehaviorRange;
    typedef std::vector<std::pair<int32_t, int32_t>> LineIntervals;

    zem::CallbackList<void(Selection*, const BehaviorRange*)> selectionChanged;
    zem::CallbackList<void(Selection*, const TextPosition*, uint32_t)> caretChanged;

    explicit Selection(DocumentController* controller);
    ~Selection() override;
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    // The one operation that changes the selection; the others go through it.
    void select(const TextPosition& anchor, const TextPosition& caret, uint32_t options, uint32_t id);
    void selectOffsets(int32_t anchorOffset, int32_t caretOffset, uint32_t id);
    void addSelection(const TextPosition& anchor, const TextPosition& caret, uint32_t id);
    void extendTo(const TextPosition& caret, uint32_t options, uint32_t id);
    void collapse();
    void setCaret(const TextPosition& position);
    void setCaretOffset(int32_t offset);
    int32_t getCaretOffset();
    void orient(bool forward);

    bool isEmpty();
    uint32_t getKind();
    // All ranges in start order: the further ones and the behaviour's.
    const std::vector<SelectionRange>& getRanges();
    bool isOffsetSelected(const TextPosition& position);

    // Multiple selection: the last item becomes the behaviour's own (primary) range.
    void selectLineRanges(const LineIntervals& intervals, bool backward);
    void selectLines(const std::vector<int32_t>& lines);
    void selectRanges(const std::vector<SelectionRange>& ranges);
    // One range per child of span with an order of 0 or more, appended to list (or to a
    // new list sorted by order), then selected.
    void selectSpans(std::vector<SelectionRange>* list, Span* span);

    // Deferred caret: while pending, select() stores the caret here.
    void beginUpdate();
    void updateCaret(const TextPosition& position, uint32_t options, bool force);
    // Applies and drops the pending caret (the end of a write bracket).
    void flushPendingCaret();
    bool hasPendingCaret() const { return m_pendingCaret != nullptr; }

    std::vector<int32_t> collectSelectedLineNumbers();
    LineIntervals collectSelectedLines(bool inPositionOrder);

    // The state record of the undo journal.
    void save(Stream& stream);
    // False, with nothing changed, for a record that is short or damaged.
    bool restore(Stream& stream);
    static void dump(Stream& stream, std::wstring& out, const wchar_t* prefix);

    void highlight(int32_t line, int32_t lineStart, int32_t lineEnd, CellMarks& cells) override;

    const TextPosition& getAnchor() const { return m_anchor; }
    const TextPosition& getCaret() const { return m_caret; }
    const TextPosition& getCaretRecord() const { return m_caretRecord; }
    uint32_t getCaretOptions() const { return m_caretOptions; }
    SelectionBehavior* getBehavior() const { return m_behavior; }
    uint32_t getBehaviorId() const { return m_behaviorId; }
    SelectionBehavior* findBehavior(uint32_t id) const;
    const SelectionRangeMap& getFurtherRanges() const { return m_ranges; }
    int32_t getNextSequence() const { return m_nextSequence; }
    uint8_t getVirtualMode() const { return m_virtualMode; }
    void setVirtualMode(uint8_t mode) { m_virtualMode = mode; }
    DocumentController* getController() const { return m_controller; }

private:
    struct PendingCaret {
        TextPosition position;
        uint32_t options;
    };

    void markBehaviorRange();
    void applyCaret(const TextPosition& caret, uint32_t options);
    void commitBehaviorRange();
    void startOver();
    std::vector<SelectionRange> rangesBySequence();

    DocumentController* m_controller;
    SelectionBehavior* m_behavior = nullptr;
    uint32_t m_behaviorId = ID_NORMAL;
    std::map<uint32_t, std::unique_ptr<SelectionBehavior>> m_behaviors;
    TextPosition m_anchor;
    TextPosition m_caret;
    TextPosition m_caretRecord;
    uint32_t m_caretOptions = 0;
    std::unique_ptr<PendingCaret> m_pendingCaret;
    uint8_t m_lastVirtual = 0;
    uint8_t m_virtualMode = 0;
    SelectionRangeMap m_ranges;
    std::vector<SelectionRange> m_rangeCache;
    int32_t m_nextSequence = 1;
};

} // namespace corvel
