// A controller's search state: the mode, where the search started, and the span context
// holding one span per match shown. Made by the controller on first use. (The finders
// and the find and replace operations join this class with the search engine.)
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace corvel {

class DocumentController;
class Selection;
class SpanContext;
class TextPosition;
struct SelectionBehaviorRange;

class DocumentControllerSearchSession {
public:
    static constexpr uint32_t MODE_NONE = 0x7F9000CF;
    static constexpr int32_t ANCHOR_UNSET = static_cast<int32_t>(0x80000000u);
    typedef std::vector<std::pair<int32_t, int32_t>> Ranges; // (anchor, caret) offsets

    explicit DocumentControllerSearchSession(DocumentController* controller);
    ~DocumentControllerSearchSession();
    DocumentControllerSearchSession(const DocumentControllerSearchSession&) = delete;
    DocumentControllerSearchSession& operator=(const DocumentControllerSearchSession&) = delete;

    // A new mode drops the match context and the anchor.
    void setMode(uint32_t mode);
    // One span per non-empty range in a new match context (match i is placeholder i,
    // from 1); with no range, the existing context.
    SpanContext* showMatches(const Ranges& ranges);

    uint32_t getMode() const { return m_mode; }
    int32_t getStartOffset() const { return m_startOffset; }
    int32_t getAnchorOffset() const { return m_anchorOffset; }
    void setAnchorOffset(int32_t offset) { m_anchorOffset = offset; }
    SpanContext* getMatchContext() const { return m_matchContext; }
    DocumentController* getController() const { return m_controller; }

private:
    static void onSelectionChanged(void* self, Selection* selection, const SelectionBehaviorRange* range);
    // The match context, when it is still in the controller's span tree.
    SpanContext* liveMatchContext() const;
    static void onMatchContextRemoved(void* self, class Span* span);
    void dropMatchContextListener();

    uint32_t m_mode = MODE_NONE;
    uint32_t m_words[4] = {0, 0, 0, 0};
    int32_t m_startOffset = 0;
    int32_t m_anchorOffset = ANCHOR_UNSET;
    SpanContext* m_matchContext = nullptr; // in the controller's span tree
    DocumentController* m_controller;
};

} // namespace corvel
