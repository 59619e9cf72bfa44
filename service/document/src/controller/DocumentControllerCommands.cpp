// The text operations of DocumentController: reading, positions, editing at the
// selection, whole-line moves, indentation, transforms and format settings.
#include "corvel/document/DocumentController.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentScope.h"
#include "corvel/document/DocumentState.h"
#include "corvel/document/Finder.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SelectionBehavior.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "corvel/document/TextChunk.h"
#include "corvel/text/StringUtils.h"
#include "zem/base/Exception.h"

#include <algorithm>

namespace corvel {

// --- Reading -------------------------------------------------------------------------------

int32_t DocumentController::getLineCount() const {
    return m_document->getLineCount();
}

int32_t DocumentController::getTextLength() const {
    return m_document->getLength();
}

int32_t DocumentController::getLineTextLength(int32_t line) const {
    if (line < 0 || line >= m_document->getLineCount())
        return 0;
    return m_document->getLineTextLength(line);
}

void DocumentController::getText(std::wstring& string, int32_t length, int32_t offset) {
    const int32_t total = m_document->getLength();
    if (offset < 0 || length < 0 || offset >= total) {
        string.clear();
        return;
    }
    string = m_document->getText(offset, std::min(length, total - offset));
}

void DocumentController::getAllText(std::wstring& string) {
    beginEdit(EDIT_READ);
    string = m_document->getText(0, m_document->getLength());
    endEdit();
}

bool DocumentController::getLineText(int32_t line, std::wstring& string, bool withLineEnd) {
    if (line < 0 || line >= m_document->getLineCount())
        return false;
    const int32_t count = withLineEnd ? m_document->getLineLength(line) : m_document->getLineTextLength(line);
    string = m_document->getText(m_document->getLineStart(line), count);
    return true;
}

void DocumentController::getTextChunk(TextChunk& chunk, int32_t offset, int32_t length) {
    if (offset < 0 || length < 0 || offset > m_document->getLength() - length)
        return;
    chunk.assign(m_document->readText(offset, length), length);
}

bool DocumentController::getLineChunk(int32_t line, TextChunk& chunk, bool withLineEnd) {
    if (line < 0 || line >= m_document->getLineCount())
        return false;
    const int32_t count = withLineEnd ? m_document->getLineLength(line) : m_document->getLineTextLength(line);
    chunk.assign(m_document->readText(m_document->getLineStart(line), count), count);
    return true;
}

const std::vector<LineMarker>* DocumentController::getLineMarkers(int32_t line) const {
    if (line < 0 || line >= m_document->getLineCount())
        return nullptr;
    const std::vector<LineMarker>* markers = m_document->getLineHeader(line)->markers;
    return markers && !markers->empty() ? markers : nullptr;
}

const zem::MatchResults& DocumentController::findInRange(Finder& finder, bool backward, int32_t a, int32_t b, int32_t c) {
    const int32_t length = m_document->getLength();
    a = std::clamp(a, 0, length);
    b = std::clamp(b, 0, length);
    c = std::clamp(c, 0, length);
    return backward ? finder.find(*m_document, a, b, true) : finder.find(*m_document, a, c, false);
}

void DocumentController::getSelectedText(const std::vector<SelectionRange>& ranges, std::wstring& string) {
    string.clear();
    bool any = false;
    for (const SelectionRange& range : ranges) {
        if (range.isEmpty())
            continue;
        // Texts are joined by line breaks; an empty range adds nothing, not even a break.
        if (any)
            string += L'\n';
        std::wstring piece;
        getText(piece, range.end() - range.start(), range.start());
        string += piece;
        any = true;
    }
}

bool DocumentController::getScopesAtPosition(const TextPosition& position, ScopePath& scopePath) {
    beginEdit(EDIT_READ);
    if (DocumentScope* scope = m_document->getScopeAt(positionToOffset(position)))
        scopePath.appendPath(scope->getPath());
    endEdit();
    return true;
}

// --- Positions ---------------------------------------------------------------------------------

int32_t DocumentController::positionToOffset(const TextPosition& position) const {
    const int32_t lastLine = m_document->getLineCount() - 1;
    if (position.line > lastLine)
        return m_document->getLineStart(lastLine) + m_document->getLineTextLength(lastLine);
    const int32_t line = std::max(position.line, 0);
    const int32_t column = std::max(0, std::min(position.offset, m_document->getLineTextLength(line)));
    return m_document->getLineStart(line) + column;
}

TextPosition DocumentController::offsetToPosition(int32_t offset, bool virtualFlag) const {
    offset = std::max(0, std::min(offset, m_document->getLength()));
    const int32_t line = m_document->getLineOfOffset(offset);
    return TextPosition(line, offset - m_document->getLineStart(line), virtualFlag ? 1 : 0);
}

TextPosition DocumentController::clampPosition(const TextPosition& position) const {
    const int32_t lastLine = m_document->getLineCount() - 1;
    if (position.line > lastLine)
        return TextPosition(lastLine, m_document->getLineTextLength(lastLine), 1);
    const int32_t line = std::max(position.line, 0);
    const int32_t length = m_document->getLineTextLength(line);
    if (position.offset > length)
        return TextPosition(line, length, 1);
    return TextPosition(line, std::max(position.offset, 0), position.virtualFlag);
}

bool DocumentController::isVirtualPosition(const TextPosition& position) const {
    return position.line >= m_document->getLineCount() || position.offset > getLineTextLength(position.line);
}

TextPosition DocumentController::getEndPosition() const {
    const int32_t lastLine = m_document->getLineCount() - 1;
    return TextPosition(lastLine, m_document->getLineTextLength(lastLine), 1);
}

std::pair<int32_t, int32_t> DocumentController::getLineRange(int32_t fromOffset, int32_t toOffset) const {
    const int32_t length = m_document->getLength();
    fromOffset = std::max(0, std::min(fromOffset, length));
    toOffset = std::max(0, std::min(toOffset, length));
    const int32_t first = m_document->getLineOfOffset(fromOffset);
    int32_t last = m_document->getLineOfOffset(toOffset);
    if (last != first && toOffset == m_document->getLineStart(last))
        --last;
    return {first, last};
}

TextPosition DocumentController::getLineIndentPosition(int32_t line, bool measure) const {
    if (!measure || line < 0 || line >= m_document->getLineCount())
        return TextPosition(line, 0);
    const int32_t length = m_document->getLineTextLength(line);
    const std::wstring text = m_document->getText(m_document->getLineStart(line), length);
    return TextPosition(line, countLeadingBlanks(text.c_str(), length));
}

TextPosition DocumentController::getLineEndPosition(int32_t line, bool trimmed, bool nextLine) const {
    if (line < 0 || line >= m_document->getLineCount())
        return TextPosition(line, 0);
    const int32_t length = m_document->getLineTextLength(line);
    if (trimmed) {
        const std::wstring text = m_document->getText(m_document->getLineStart(line), length);
        int32_t end = length;
        while (end > 0 && text[end - 1] <= 32)
            --end;
        return TextPosition(line, end);
    }
    if (nextLine && line + 1 < m_document->getLineCount())
        return TextPosition(line + 1, 0);
    return TextPosition(line, length);
}

int32_t DocumentController::getCaretOffset() {
    return m_selection->getCaretOffset();
}

// --- Editing -------------------------------------------------------------------------------------

void DocumentController::setText(const std::wstring& string) {
    beginEdit(EDIT_WRITE);
    beginChangeBatch();
    m_selection->collapse();
    m_document->removeText(m_document->getLength(), 0, 0);
    if (!string.empty())
        m_document->insertText(0, static_cast<int32_t>(string.size()), string.data(), 0);
    m_spans->reset();
    if (!string.empty())
        m_selection->setCaretOffset(0);
    endChangeBatch();
    endEdit();
}

bool DocumentController::isSelectionEmpty() const {
    return m_selection->getAnchor().samePlace(m_selection->getCaret()) &&
           m_selection->getBehavior()->getRangeCount() == 1 && m_selection->getFurtherRanges().empty();
}

int32_t DocumentController::insertText(int32_t length, const wchar_t* characters) {
    beginChangeBatch();
    removeSelectedText();
    const int32_t caret = positionToOffset(m_selection->getCaret());
    const int32_t result = length > 0 ? insertAt(caret, length, characters) : caret;
    endChangeBatch();
    return result;
}

int32_t DocumentController::insertAt(int32_t offset, int32_t length, const wchar_t* characters) {
    beginChangeBatch();
    const int32_t at = m_spans->insert(offset, length, characters);
    const TextPosition caret = offsetToPosition(at + std::max(length, 0));
    m_selection->collapse();
    m_selection->select(caret, caret, Selection::CARET_ANCHOR, Selection::ID_CURRENT);
    endChangeBatch();
    return at;
}

int32_t DocumentController::removeAt(int32_t count, int32_t offset) {
    if (offset < 0 || count == 0)
        return offset;
    if (count < 0) {
        const int32_t start = std::max(0, offset + count);
        count = offset - start;
        offset = start;
        if (count == 0)
            return offset;
    }
    beginChangeBatch();
    const int32_t at = m_spans->remove(count, offset);
    const TextPosition caret = offsetToPosition(at);
    m_selection->collapse();
    m_selection->select(caret, caret, Selection::CARET_ANCHOR, Selection::ID_CURRENT);
    endChangeBatch();
    return at;
}

int32_t DocumentController::deleteBackwardOrSelection(int32_t count) {
    beginChangeBatch();
    if (!removeSelectedText() && count != 0)
        removeAt(count, positionToOffset(m_selection->getCaret()));
    const int32_t caret = positionToOffset(m_selection->getCaret());
    endChangeBatch();
    return caret;
}

bool DocumentController::removeSelectedText() {
    beginChangeBatch();
    if (isSelectionEmpty()) {
        endChangeBatch();
        return false;
    }
    Span* primary = m_spans->createSelectionSpans(L"app.document.context.reflect");
    SpanContext* reflect = primary ? dynamic_cast<SpanContext*>(primary->getParent()) : nullptr;
    m_selection->collapse();
    if (!reflect) {
        endChangeBatch();
        return false;
    }
    Span* first = reflect->getFirstChild();
    reflect->setMaster(0, first);
    for (Span* other = first->getNextSibling(); other; other = other->getNextSibling())
        reflect->addMirror(0, other);
    first->replaceText(this, 0, L"");
    const int32_t caret = first->getStart();
    if (reflect->getChildCount() == 1) {
        m_spans->leaveSpan(reflect);
    } else {
        m_spans->setSpan(first);
    }
    const TextPosition position = offsetToPosition(caret);
    m_selection->select(position, position, Selection::CARET_ANCHOR, Selection::ID_CURRENT);
    endChangeBatch();
    return true;
}

void DocumentController::prepareInsertText(std::wstring& string, const wchar_t* characters, int32_t count) const {
    string.clear();
    if (!characters || count <= 0)
        return;
    int32_t cut = 0;
    while (cut < count && characters[cut] != L'\r' && characters[cut] != L'\n')
        ++cut;
    string.assign(characters, static_cast<size_t>(cut));
    if (cut < count)
        m_settings.indentation.reindentText(characters + cut, static_cast<size_t>(count - cut), &string);
}

void DocumentController::moveLines(int32_t targetLine, LineRanges& lineRanges) {
    if (lineRanges.empty())
        return;
    const int32_t lineCount = m_document->getLineCount();
    int32_t delta = 0;
    bool down = false;
    if (targetLine > lineRanges.back().second) {
        if (targetLine >= lineCount)
            return;
        delta = targetLine - lineRanges.back().second;
        down = true;
    } else if (targetLine < lineRanges.front().first) {
        if (targetLine < 0)
            return;
        delta = targetLine - lineRanges.front().first;
    } else {
        return;
    }
    beginChangeBatch();
    const size_t count = lineRanges.size();
    for (size_t n = 0; n < count; ++n) {
        std::pair<int32_t, int32_t>& pair = down ? lineRanges[count - 1 - n] : lineRanges[n];
        const int32_t lines = m_document->getLineCount();
        if (pair.first < 0 || pair.second >= lines || pair.first > pair.second)
            continue;
        const int32_t start = m_document->getLineStart(pair.first);
        const int32_t end = m_document->getLineStart(pair.second) + m_document->getLineTextLength(pair.second);
        std::wstring text = m_document->getText(start, end - start);
        const bool endsDocument = pair.second == lines - 1;
        if (!endsDocument)
            m_spans->remove(end - start + 1, start);
        else if (start > 0)
            m_spans->remove(end - start + 1, start - 1);
        else
            m_spans->remove(end - start, start);
        const int32_t destination = pair.first + delta;
        if (destination < m_document->getLineCount()) {
            text += L'\n';
            m_spans->insert(m_document->getLineStart(destination), static_cast<int32_t>(text.size()), text.c_str());
        } else {
            text.insert(text.begin(), L'\n');
            m_spans->insert(m_document->getLength(), static_cast<int32_t>(text.size()), text.c_str());
        }
        pair.first += delta;
        pair.second += delta;
    }
    endChangeBatch();
}

void DocumentController::duplicateLines(LineRanges& lineRanges) {
    beginChangeBatch();
    for (size_t n = lineRanges.size(); n-- > 0;) {
        std::pair<int32_t, int32_t>& pair = lineRanges[n];
        if (pair.first < 0 || pair.second >= m_document->getLineCount() || pair.first > pair.second)
            continue;
        const int32_t start = m_document->getLineStart(pair.first);
        const int32_t end = m_document->getLineStart(pair.second) + m_document->getLineTextLength(pair.second);
        const std::wstring text = L"\n" + m_document->getText(start, end - start);
        m_spans->insert(end, static_cast<int32_t>(text.size()), text.c_str());
        const int32_t lines = pair.second - pair.first + 1;
        pair.first += lines;
        pair.second += lines;
    }
    endChangeBatch();
}

bool DocumentController::transformSelection(void* object, TransformFunction function) {
    if (!function)
        throw zem::InvalidArgumentException(L"Transform delegate is empty.");
    beginChangeBatch();
    if (isSelectionEmpty()) {
        endChangeBatch();
        return false;
    }
    Span* primary = m_spans->createSelectionSpans(std::wstring());
    Span* context = primary ? primary->getParent() : nullptr;
    m_selection->collapse();
    if (!context) {
        endChangeBatch();
        return false;
    }
    for (Span* child = context->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getLength() <= 0)
            continue;
        TextChunk text;
        getTextChunk(text, child->getStart(), child->getLength());
        std::wstring out;
        if (function(object, text, out))
            child->replaceText(this, static_cast<int32_t>(out.size()), out.c_str());
    }
    m_selection->selectSpans(nullptr, context);
    m_spans->setSpan(context->getParent());
    endChangeBatch();
    return true;
}

// --- Indentation ----------------------------------------------------------------------------------

int32_t DocumentController::getLineIndentWidth(int32_t line, int32_t maxUnits, bool force) const {
    std::wstring text;
    if (line >= 0 && line < m_document->getLineCount())
        text = m_document->getText(m_document->getLineStart(line), m_document->getLineTextLength(line));
    int32_t count = static_cast<int32_t>(text.size());
    if (maxUnits != -1)
        count = std::max(0, std::min(count, maxUnits));
    return measureIndent(count, text.c_str(), m_settings.indentation.getWidth(), force);
}

int32_t DocumentController::getIndentWidthAtOffset(int32_t offset) const {
    offset = std::max(0, std::min(offset, m_document->getLength()));
    const int32_t line = m_document->getLineOfOffset(offset);
    return std::max(0, getLineIndentWidth(line, offset - m_document->getLineStart(line), true));
}

void DocumentController::getIndentUnit(std::wstring& string) const {
    if (m_settings.indentation.isSoftTabs())
        string.assign(static_cast<size_t>(m_settings.indentation.getWidth()), L' ');
    else
        string.assign(1, L'\t');
}

void DocumentController::makeIndentString(int32_t columns, std::wstring& string) const {
    string.clear();
    if (columns <= 0)
        return;
    makeIndent(columns, m_settings.indentation.isSoftTabs() ? 0 : m_settings.indentation.getWidth(), string);
}

void DocumentController::getTabInsertText(int32_t offset, std::wstring& string) const {
    if (!m_settings.indentation.isSoftTabs()) {
        getIndentUnit(string);
        return;
    }
    offset = std::max(0, std::min(offset, m_document->getLength()));
    const int32_t line = m_document->getLineOfOffset(offset);
    const int32_t column = m_document->getVisualColumn(line, offset - m_document->getLineStart(line));
    const int32_t width = m_settings.indentation.getWidth();
    string.assign(static_cast<size_t>(width - column % width), L' ');
}

void DocumentController::setLineIndent(int32_t columns, int32_t line) {
    if (line < 0 || line >= m_document->getLineCount())
        return;
    const int32_t length = m_document->getLineTextLength(line);
    if (length <= 0)
        return;
    const int32_t start = m_document->getLineStart(line);
    const std::wstring text = m_document->getText(start, length);
    const int32_t blanks = countLeadingBlanks(text.c_str(), length);
    std::wstring indent;
    makeIndentString(columns, indent);
    beginChangeBatch();
    if (blanks > 0)
        m_spans->remove(blanks, start);
    if (!indent.empty())
        m_spans->insert(start, static_cast<int32_t>(indent.size()), indent.c_str());
    endChangeBatch();
}

void DocumentController::shiftLineIndent(int32_t levels, const LineRanges& lineRanges) {
    const int32_t width = m_settings.indentation.getWidth();
    beginChangeBatch();
    for (const std::pair<int32_t, int32_t>& pair : lineRanges) {
        for (int32_t line = pair.first; line <= pair.second; ++line)
            setLineIndent(std::max(0, getLineIndentWidth(line, -1, true) + levels * width), line);
    }
    endChangeBatch();
}

// --- Format ------------------------------------------------------------------------------------------

void DocumentController::setEncoding(uint32_t codePage) {
    beginEdit(EDIT_WRITE);
    m_document->lockState().codePage = codePage;
    m_document->unlockState();
    endEdit();
}

void DocumentController::setLineEnding(int32_t kind) {
    beginEdit(EDIT_WRITE);
    m_document->lockState().lineEnding = kind;
    m_document->unlockState();
    endEdit();
}

void DocumentController::setIndentation(int32_t width, bool softTabs) {
    DocumentState& state = m_document->lockState();
    state.indentation =
        zem::Indentation(softTabs, std::max(1, std::min(16, width)), state.indentation.getRoundingMode());
    m_document->unlockState();
}

bool DocumentController::getContextScopePath(ScopePath& scopePath) {
    beginChangeBatch();
    getScopesAtPosition(m_selection->getCaret(), scopePath);
    switch (m_selection->getKind()) {
    case Selection::ID_NORMAL:
        scopePath.push(L"ui.selection.normal");
        break;
    case Selection::ID_RECTANGLE:
        scopePath.push(L"ui.selection.rectangle");
        break;
    case Selection::KIND_MIXED:
        scopePath.push(L"ui.selection.mixed");
        break;
    default:
        break;
    }
    m_spans->appendScopes(scopePath);
    endChangeBatch();
    return true;
}

} // namespace corvel
