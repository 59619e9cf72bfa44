// Find and replace of a controller's search session: the finder and the replacer, and
// the searches over the spans that bound them.
#include "corvel/document/DocumentControllerSearchSession.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/FinderBoyerMoore.h"
#include "corvel/document/FinderRegEx.h"
#include "corvel/document/Replacer.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "zem/base/Exception.h"
#include "zem/log/LogManager.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace corvel {

namespace {

const zem::MatchResultsSimple& noMatch() {
    static const zem::MatchResultsSimple empty;
    return empty;
}

class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = m_old; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

} // namespace

bool DocumentControllerSearchSession::setFinder(const std::wstring& text, bool regex, bool matchCase, bool wholeWord) {
    m_finder.reset();
    if (text.empty()) {
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE,
                        L"DocumentControllerSearchSession::setFinder(): Find string was empty.");
        return false;
    }
    if (!regex) {
        m_finder.reset(new FinderBoyerMoore(text, !matchCase, wholeWord));
        return true;
    }
    try {
        m_finder.reset(new FinderRegEx(text, !matchCase));
        return true;
    } catch (const std::exception& e) {
        std::wstring what;
        for (const char* c = e.what(); *c; ++c)
            what += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE,
                        L"DocumentControllerSearchSession::setFinder(): Cannot compile regular expression: `%s`",
                        what.c_str());
        return false;
    }
}

bool DocumentControllerSearchSession::setReplacer(const std::wstring& text, bool formatMode) {
    m_replacer.reset();
    if (!formatMode) {
        m_replacer.reset(new ReplacerSimple(text));
        return true;
    }
    // The format is the user's text: one the reader refuses (nested too deeply, say) is
    // reported as a bad pattern is, and the replace does not run.
    try {
        m_replacer.reset(new ReplacerFormat(text));
        return true;
    } catch (const zem::Exception& e) {
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE,
                        L"DocumentControllerSearchSession::setReplacer(): Cannot read replacement format: `%s`",
                        e.message().c_str());
        return false;
    }
}

// The range holding position; else, going forward, the first one after it, going
// backward, the last one before it (-1 or the count when there is none).
int32_t DocumentControllerSearchSession::rangeAt(const Ranges& ranges, int32_t position, bool backward) {
    const int32_t count = static_cast<int32_t>(ranges.size());
    for (int32_t i = 0; i < count; ++i) {
        if (ranges[i].first <= position && position <= ranges[i].second)
            return i;
    }
    if (backward) {
        for (int32_t i = count - 1; i >= 0; --i) {
            if (ranges[i].second < position)
                return i;
        }
        return -1;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (ranges[i].first > position)
            return i;
    }
    return count;
}

SpanContext* DocumentControllerSearchSession::liveSearchContext() const {
    const SpanBinding* binding = m_controller->spans();
    if (!m_searchContext || !binding || !inTree(binding->getRoot(), m_searchContext))
        return nullptr;
    return m_searchContext;
}

DocumentControllerSearchSession::Ranges DocumentControllerSearchSession::searchRanges() const {
    Ranges ranges;
    if (SpanContext* context = liveSearchContext()) {
        for (const Span* child = context->getFirstChild(); child; child = child->getNextSibling())
            ranges.push_back(std::make_pair(child->getStart(), child->getEnd()));
    }
    if (ranges.empty())
        ranges.push_back(std::make_pair(0, m_controller->getDocument()->getLength()));
    return ranges;
}

const zem::MatchResults& DocumentControllerSearchSession::findInSpans(bool backward, const WrapQuery& wrap) {
    if (!m_finder)
        return noMatch();
    ChangeBatchScope batch(*m_controller);
    const Document& document = *m_controller->getDocument();
    const Ranges ranges = searchRanges();
    const int32_t count = static_cast<int32_t>(ranges.size());
    int32_t position = m_lastPosition;
    int32_t index = rangeAt(ranges, position, backward);
    if (index >= 0 && index < count && (position < ranges[index].first || position > ranges[index].second))
        position = backward ? ranges[index].second : ranges[index].first;
    bool wrapped = false;
    for (;;) {
        if (index < 0 || index >= count) {
            if (wrapped || !wrap || !wrap())
                return noMatch();
            wrapped = true;
            index = backward ? count - 1 : 0;
            position = backward ? ranges[index].second : ranges[index].first;
        }
        const int32_t lower = backward ? ranges[index].first : std::max(ranges[index].first, position);
        const int32_t upper = backward ? std::min(ranges[index].second, position) : ranges[index].second;
        if (lower <= upper) {
            const zem::MatchResults& found = m_finder->find(document, lower, upper, backward);
            if (found.isMatched())
                return found;
        }
        index += backward ? -1 : 1;
        if (index >= 0 && index < count)
            position = backward ? ranges[index].second : ranges[index].first;
    }
}

bool DocumentControllerSearchSession::find(bool backward, const WrapQuery& wrap, bool collapseWhenNotFound) {
    BusyFlag busy(m_busy);
    EditBracket bracket(*m_controller, DocumentController::EDIT_READ);
    // Turning round at the last match starts from its other end, so it is not found again.
    if (m_lastMatch.first >= 0 && m_lastPosition == (backward ? m_lastMatch.second : m_lastMatch.first))
        m_lastPosition = backward ? m_lastMatch.first : m_lastMatch.second;
    const zem::MatchResults& found = findInSpans(backward, wrap);
    Selection* selection = m_controller->getSelection();
    if (!found.isMatched()) {
        if (collapseWhenNotFound)
            selection->setCaretOffset(m_lastPosition);
        return false;
    }
    const int32_t start = found.getBegin(0), end = found.getEnd(0);
    if (backward)
        selection->selectOffsets(end, start, Selection::ID_CURRENT);
    else
        selection->selectOffsets(start, end, Selection::ID_CURRENT);
    m_lastPosition = backward ? start : end;
    m_lastMatch = std::make_pair(start, end);
    return true;
}

bool DocumentControllerSearchSession::replaceMatch(const zem::MatchResults& match) {
    const int32_t start = match.getBegin(0), end = match.getEnd(0);
    std::wstring text;
    if (m_replacer)
        m_replacer->replace(match, *m_controller->getDocument(), text);
    const int32_t length = static_cast<int32_t>(text.size());
    SpanContext* context = liveSearchContext();
    Span* around = nullptr;
    for (Span* child = context ? context->getFirstChild() : nullptr; child && !around; child = child->getNextSibling())
        around = child->covers(start, end) ? child : nullptr;
    if (!around) {
        if (length > 0)
            m_controller->insertAt(start, length, text.c_str());
        m_controller->removeAt(end - start, start + length);
    } else {
        // Edits through the controller would close the search spans; the span around
        // the match takes the change itself, and its ancestors and later siblings follow.
        Document* document = m_controller->getDocument();
        if (length > 0)
            document->insertText(start, length, text.c_str(), 0);
        if (end > start)
            document->removeText(end - start, start + length, 0);
        around->setLength(around->getLength() + length - (end - start));
    }
    m_lastPosition = start + length;
    if (m_anchorOffset == ANCHOR_UNSET)
        m_anchorOffset = start;
    return end == start;
}

bool DocumentControllerSearchSession::replace(int32_t start, int32_t end, const WrapQuery& wrap) {
    if (!m_finder)
        return false;
    BusyFlag busy(m_busy);
    {
        EditBracket bracket(*m_controller, DocumentController::EDIT_WRITE);
        // The current match is replaced only while it is exactly what is selected.
        const zem::MatchResults& match = m_finder->find(*m_controller->getDocument(), start, end, false);
        if (match.isMatched() && match.getBegin(0) == start && match.getEnd(0) == end)
            replaceMatch(match);
    }
    return find(false, wrap);
}

bool DocumentControllerSearchSession::replaceAll() {
    if (!m_finder)
        return false;
    BusyFlag busy(m_busy);
    bool replaced = false;
    {
        EditBracket bracket(*m_controller, DocumentController::EDIT_WRITE);
        const Ranges ranges = searchRanges();
        m_lastPosition = ranges.front().first;
        if (m_anchorOffset == ANCHOR_UNSET)
            m_anchorOffset = m_lastPosition;
        for (;;) {
            const zem::MatchResults& found = findInSpans(false, WrapQuery());
            if (!found.isMatched())
                break;
            zem::MatchResultsSimple match;
            for (int i = 0; i < found.getCount(); ++i)
                match.add(found.getBegin(i), found.getEnd(i));
            replaced = true;
            // After an empty match the next search starts one unit on, so the loop ends.
            if (replaceMatch(match))
                ++m_lastPosition;
            if (m_lastPosition > m_controller->getDocument()->getLength())
                break;
        }
    }
    m_controller->getSelection()->setCaretOffset(std::min(m_lastPosition, m_controller->getDocument()->getLength()));
    return replaced;
}

} // namespace corvel
