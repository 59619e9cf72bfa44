// A controller's search state: the mode, where the search started, and the span context
// holding one span per match shown. Made by the controller on first use. (The finders
// and the find and replace operations join this class with the search engine.)
#pragma once
#include "zem/text/MatchResults.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvel {

class DocumentController;
class Finder;
class Replacer;
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

    // Find and replace. A wrap query is asked once when a search reaches the end of its
    // spans; an empty one never wraps.
    typedef std::function<bool()> WrapQuery;
    // False, leaving no finder, for an empty text or a pattern that does not compile.
    bool setFinder(const std::wstring& text, bool regex, bool matchCase, bool wholeWord);
    // False, leaving no replacer, for a format that does not read (logged).
    bool setReplacer(const std::wstring& text, bool formatMode);
    // Bounds searches to the children of context (find in selection); null: the document.
    void setSearchContext(SpanContext* context) { m_searchContext = context; }
    // The next match from the last position inside the search spans; no match is the
    // empty result.
    const zem::MatchResults& findInSpans(bool backward, const WrapQuery& wrap);
    // Find next: selects the match (backward with the caret at its start); without one,
    // on request, collapses the selection at the last position.
    bool find(bool backward, const WrapQuery& wrap, bool collapseWhenNotFound = false);
    // Replaces [start, end) when it is a match, then finds and selects the next.
    bool replace(int32_t start, int32_t end, const WrapQuery& wrap);
    // Every match of the search spans in one write bracket; true when one was replaced.
    bool replaceAll();
    int32_t getLastPosition() const { return m_lastPosition; }
    void setLastPosition(int32_t position) { m_lastPosition = position; }
    // The next find starts at position as a fresh search: the match found last is
    // forgotten, so a match starting there is found again (find as you type).
    void restartAt(int32_t position) {
        m_lastPosition = position;
        m_lastMatch = std::make_pair(-1, -1);
    }

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
    static bool inTree(const Span* node, const Span* wanted);
    // The search context, when it is still in the controller's span tree.
    SpanContext* liveSearchContext() const;
    Ranges searchRanges() const;
    static int32_t rangeAt(const Ranges& ranges, int32_t position, bool backward);
    // Writes the replacement over match, keeping the search span around it; true when
    // the match was empty.
    bool replaceMatch(const zem::MatchResults& match);

    uint32_t m_mode = MODE_NONE;
    uint32_t m_words[4] = {0, 0, 0, 0};
    int32_t m_startOffset = 0;
    int32_t m_anchorOffset = ANCHOR_UNSET;
    SpanContext* m_matchContext = nullptr; // in the controller's span tree
    DocumentController* m_controller;
    std::unique_ptr<Finder> m_finder;     // none until a search text is set
    std::unique_ptr<Replacer> m_replacer; // none: matches are replaced by nothing
    SpanContext* m_searchContext = nullptr;
    int32_t m_lastPosition = 0;
    std::pair<int32_t, int32_t> m_lastMatch{-1, -1}; // the match find selected last
    bool m_busy = false;                             // inside a search: selection changes are the search's own
};

} // namespace corvel
