#include "corvel/document/Document.h"

#include "UniquePointers.h"
#include "corvel/config/BgScheduler.h"
#include "corvel/document/DocumentStyler.h"
#include "corvel/document/ParserClient.h"
#include "corvel/document/ParserJob.h"
#include "corvel/document/ParserRule.h"
#include "corvel/document/UndoContext.h"
#include "corvel/document/UndoRegistry.h"
#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <windows.h>

namespace corvel {

namespace {

volatile LONG g_lastDocumentId = 0;

const int32_t FOR_EACH_LINE_LIMIT = 2048;
const size_t LISTENER_STEP = 8;

} // namespace

Document::Document(DocumentManager* manager)
    : m_id((zem::checkMainThread(), InterlockedIncrement(&g_lastDocumentId))), m_manager(manager),
      m_styler(std::make_unique<DocumentStyler>()), m_scopes(this),
      m_stateLock(zem::DEFAULT_SPIN_COUNT), m_text(std::make_unique<GapBuffer>()), m_breaks(IntList::STEP) {
    m_listeners.reserve(LISTENER_STEP);
    lockEdit();
    setGrammar(nullptr, 0, L"", true);
    unlockEdit();
}

Document::~Document() = default;

void Document::lockEdit() {
    if (!zem::is_main_thread()) {
        m_editLock.lock();
        return;
    }
    if (m_editNesting++ == 0)
        m_editLock.lock();
}

void Document::unlockEdit() {
    if (!zem::is_main_thread()) {
        m_editLock.unlock();
        return;
    }
    ZEM_ASSERT_MSG(m_editNesting > 0, L"the edit lock is released only by its holder");
    if (--m_editNesting == 0)
        m_editLock.unlock();
}

bool Document::tryLockEdit(int timeoutMs) {
    ZEM_ASSERT(!zem::is_main_thread());
    return m_editLock.tryLock(timeoutMs) == zem::WAIT_OK;
}

void Document::widenForInsert(int32_t line, int32_t breaks) {
    if (m_changed.first < 0) {
        m_changed.first = line;
        m_changed.last = line + breaks;
    } else if (m_changed.first < line) {
        m_changed.last = m_changed.last < line ? line + breaks : m_changed.last + breaks;
    } else {
        m_changed.first = line;
        m_changed.last += breaks;
    }
}

void Document::widenForRemove(int32_t line, int32_t joined) {
    if (m_changed.first < 0) {
        m_changed.first = line;
        m_changed.last = line + joined;
    } else if (m_changed.first < line) {
        m_changed.last = m_changed.last >= line ? m_changed.last - joined : line;
    } else {
        m_changed.first = line;
        m_changed.last -= joined;
    }
    m_changed.last = std::max(m_changed.first, m_changed.last);
}

void Document::insertText(int32_t offset, int32_t count, const wchar_t* units, uint8_t flag) {
    if (offset < 0 || offset > getLength() || count <= 0)
        return;
    // Counted first, so that a paste of many lines sizes the list once.
    const int32_t breaks = static_cast<int32_t>(std::count(units, units + count, L'\n'));
    m_breaks.clear();
    if (breaks > m_breaks.capacity())
        m_breaks.reallocate(IntList::roundUp(breaks));
    for (int32_t i = 0; i < count; ++i) {
        if (units[i] == L'\n')
            m_breaks.append(i + 1);
    }
    TextChange change;
    change.flag = flag;
    change.offset = offset;
    change.count = count;
    change.text = units;
    change.line = m_lines.getLineOfOffset(offset);
    change.lineBreaks = breaks;
    change.breakOffsets = m_breaks.data();
    widenForInsert(change.line, breaks);
    notifyListeners([this, &change](DocumentListener* l) { l->onTextInserting(this, change); });
    if (m_undo && m_undo->isRecording())
        m_undo->recordChange(true, offset, count, units, flag);
    m_positions.fixUp(offset, count);
    m_text->insert(offset, count, units);
    m_lines.insert(change);
    m_lines.markLines(change.line, breaks + 1, true);
    notifyListeners([this, &change](DocumentListener* l) { l->onTextInserted(this, change); });
}

void Document::removeText(int32_t count, int32_t offset, uint8_t flag) {
    if (offset < 0 || offset >= getLength() || count <= 0)
        return;
    count = std::min(count, getLength() - offset);
    const GapBuffer::View removed = m_text->read(offset, count);
    TextChange change;
    change.flag = flag;
    change.offset = offset;
    change.count = count;
    change.text = removed.data();
    change.line = m_lines.getLineOfOffset(offset);
    change.lineBreaks = m_lines.getLineOfOffset(offset + count) - change.line;
    widenForRemove(change.line, change.lineBreaks);
    notifyListeners([this, &change](DocumentListener* l) { l->onTextRemoving(this, change); });
    if (m_undo && m_undo->isRecording())
        m_undo->recordChange(false, offset, count, change.text, flag);
    m_positions.fixUp(offset, -count);
    m_lines.remove(change);
    m_lines.markLines(change.line, std::max(change.lineBreaks, 1), true);
    // The view may point into the buffer: listeners read the removed units before the
    // gap swallows them.
    std::unique_ptr<wchar_t[]> copy(new wchar_t[count]);
    std::copy(removed.data(), removed.data() + count, copy.get());
    change.text = copy.get();
    m_text->remove(offset, count);
    notifyListeners([this, &change](DocumentListener* l) { l->onTextRemoved(this, change); });
}

int32_t Document::getLineLength(int32_t line) const {
    if (line < 0 || line >= getLineCount())
        return 0;
    return m_lines.getLineEnd(line) - m_lines.getLineStart(line);
}

int32_t Document::getLineTextLength(int32_t line) const {
    const int32_t length = getLineLength(line);
    return line < getLineCount() - 1 && length > 0 ? length - 1 : length;
}

void Document::getText(int32_t offset, int32_t count, wchar_t* out, bool terminate) const {
    m_text->copy(offset, count, out, terminate);
}

std::wstring Document::getText(int32_t offset, int32_t count) const {
    std::wstring text(static_cast<size_t>(count), L'\0');
    if (count > 0)
        m_text->copy(offset, count, &text[0], false);
    return text;
}

int32_t Document::getVisualColumn(int32_t line, int32_t count) {
    if (count <= 0)
        return 0;
    int32_t tabWidth;
    {
        zem::CriticalSectionLock guard(m_stateLock);
        tabWidth = m_state.indentation.getWidth();
    }
    const int32_t lineLength = getLineLength(line);
    const int32_t inLine = std::min(count, lineLength);
    const int32_t start = getLineStart(line);
    int32_t column = 0;
    for (int32_t i = 0; i < inLine; ++i) {
        if (m_text->at(start + i) == L'\t')
            column = (column / tabWidth + 1) * tabWidth;
        else
            ++column;
    }
    return column + (count - inLine);
}

LineHeader* Document::getLineHeader(int32_t line) {
    if (line < 0 || line >= getLineCount())
        throw zem::InvalidArgumentException(L"Cannot get line header for line and chunk specified.");
    return m_lines.getHeader(line);
}

std::unique_ptr<LineParserState> Document::getLineParserState(int32_t line) {
    if (line < 0 || line >= getLineCount())
        throw zem::IllegalStateException(L"Invalid line requested.");
    const LineHeader* header = m_lines.getHeader(line);
    if (header->parserBlock == nullptr)
        return nullptr;
    const ParserBlockHeader* block = header->blockHeader();
    auto state = std::make_unique<LineParserState>();
    state->units = reinterpret_cast<const uint16_t*>(header->parserBlock + block->endStateOffset);
    state->length = static_cast<int32_t>(block->endStateSize / 2);
    return state;
}

DocumentScope* Document::getScopeAt(int32_t offset) {
    DocumentScope* root = m_scopes.getScope(0);
    if (offset < 0 || offset > getLength())
        return root;
    const int32_t line = getLineOfOffset(offset);
    const LineHeader* header = m_lines.getHeader(line);
    if (header->parserBlock == nullptr)
        return root;
    const ParserBlockHeader* block = header->blockHeader();
    const ScopeRun* runs = reinterpret_cast<const ScopeRun*>(header->parserBlock + block->runsOffset);
    const int32_t runCount = static_cast<int32_t>((block->endStateOffset - block->runsOffset) / sizeof(ScopeRun));
    const int32_t column = offset - getLineStart(line);
    const ScopeRun* found = nullptr;
    for (int32_t i = 0; i < runCount && runs[i].column <= column; ++i)
        found = &runs[i];
    DocumentScope* scope = found ? m_scopes.getScope(found->scope) : nullptr;
    return scope ? scope : root;
}

std::unique_ptr<LineScopeCursor> Document::getLineScopes(int32_t line) {
    DocumentScope* root = m_scopes.getScope(0);
    if (root == nullptr)
        return nullptr;
    auto cursor = std::make_unique<LineScopeCursor>();
    cursor->scope = root;
    if (line < 0 || line >= getLineCount())
        return cursor;
    const LineHeader* header = m_lines.getHeader(line);
    if (header->parserBlock == nullptr)
        return cursor;
    const ParserBlockHeader* block = header->blockHeader();
    cursor->runs = reinterpret_cast<const ScopeRun*>(header->parserBlock + block->runsOffset);
    cursor->count = static_cast<int32_t>((block->endStateOffset - block->runsOffset) / sizeof(ScopeRun));
    if (cursor->count > 0) {
        DocumentScope* first = m_scopes.getScope(cursor->runs[0].scope);
        cursor->scope = first ? first : root;
    } else {
        cursor->runs = nullptr;
    }
    return cursor;
}

int32_t Document::forEachLine(LineCallback callback, void* context) {
    const int32_t last = std::min(getLineCount(), FOR_EACH_LINE_LIMIT);
    std::wstring text;
    int32_t line = 0;
    for (; line <= last; ++line) {
        const int32_t length = getLineTextLength(line);
        text = getText(getLineStart(line), length);
        if (!callback(context, text.c_str(), length))
            break;
    }
    return line;
}

void Document::beginEdit(DocumentController* owner, bool noUndo, int32_t ownerId) {
    m_changed = LineRange();
    m_editOwner = owner;
    m_editOpened = true;
    m_noUndo = noUndo;
    notifyListeners([this](DocumentListener* l) { l->onEditBegin(this, m_changed); });
    m_inEdit = true;
    if (!noUndo && m_undo)
        m_undo->beginTransaction(*m_undo->registry(), ownerId);
}

void Document::endEdit() {
    if (!m_noUndo && m_undo)
        m_undo->endTransaction(*m_undo->registry());
    m_breaks.clear();
    if (m_breaks.capacity() > IntList::STEP)
        m_breaks.reallocate(IntList::STEP);
    m_inEdit = false;
    // Modified unless the journal stands where the file was saved; without a journal there is
    // no saved position to come back to, so every edit leaves the document modified.
    DocumentState& state = lockState();
    state.modified = !m_undo || m_undo->isModified();
    unlockState();
    if (m_parseJob && m_changed.first >= 0)
        static_cast<ParserClient*>(m_parseJob->client())->requestLines(this, m_changed.first, m_changed.last);
    notifyListeners([this](DocumentListener* l) { l->onEditEnd(this, m_changed); });
}

void Document::addListener(DocumentListener* listener) {
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
        return;
    if (m_listeners.size() == m_listeners.capacity())
        m_listeners.reserve(m_listeners.capacity() + LISTENER_STEP);
    m_listeners.push_back(listener);
}

void Document::removeListener(DocumentListener* listener) {
    const auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
    if (found == m_listeners.end())
        return;
    *found = m_listeners.back();
    m_listeners.pop_back();
    if (m_listeners.capacity() - m_listeners.size() > 2 * LISTENER_STEP) {
        std::vector<DocumentListener*> smaller;
        smaller.reserve(m_listeners.capacity() - LISTENER_STEP);
        smaller.assign(m_listeners.begin(), m_listeners.end());
        m_listeners.swap(smaller);
    }
}

void Document::notifyStateChanged(uint32_t mask) {
    const bool mainThread = zem::is_main_thread();
    notifyListeners([this, mask, mainThread](DocumentListener* l) {
        if (mainThread)
            l->onStateChanged(this, m_published, mask);
        else
            l->onStateChangedAsync(this, m_published, mask);
    });
}

void Document::notifyLinesParsed(int32_t first, int32_t last) {
    notifyListeners([this, first, last](DocumentListener* l) { l->onLinesParsed(this, first, last); });
}

void Document::notifyFileChanged(intptr_t argument) {
    notifyListeners([this, argument](DocumentListener* l) { l->onFileChanged(this, argument); });
}

void Document::setName(const std::wstring& name) {
    if (name == m_name)
        return;
    m_name = name;
    notifyListeners([this](DocumentListener* l) { l->onNameChanged(this, m_name.c_str()); });
}

bool Document::attachController(DocumentController* controller) {
    return addUnique(m_controllers, controller);
}

bool Document::detachController(DocumentController* controller) {
    return removeKeepingOrder(m_controllers, controller);
}

DocumentState& Document::lockState() {
    m_stateLock.enter();
    return m_state;
}

void Document::unlockState() {
    const uint32_t mask = m_state.diff(m_published);
    if (mask != 0) {
        m_published.assign(m_state);
        try {
            notifyStateChanged(mask);
        } catch (...) {
            m_stateLock.leave();
            throw;
        }
    }
    m_stateLock.leave();
}

DocumentState Document::getPublishedState() {
    zem::CriticalSectionLock guard(m_stateLock);
    return m_published;
}

DocumentState Document::getState() {
    zem::CriticalSectionLock guard(m_stateLock);
    return m_state;
}

void Document::clearUndoHistory() {
    if (m_undo)
        m_undo->open();
    lockState().modified = false;
    unlockState();
}

void Document::resetForLoad() {
    lockState().codePage = CP_UTF8_PLAIN;
    m_stateLock.leave();
    if (m_undo)
        m_undo->open();
    m_lines.reset();
    m_breaks.clear();
    m_breaks.reallocate(IntList::STEP);
    m_text = std::make_unique<GapBuffer>();
}

void Document::installLoadedText(int32_t breakCount, std::unique_ptr<GapBuffer> text, const int32_t* lineStarts) {
    m_text = std::move(text);
    m_lines.reset();
    TextChange change;
    change.offset = 0;
    change.count = m_text->getLength();
    change.line = 0;
    change.lineBreaks = breakCount;
    change.breakOffsets = lineStarts;
    m_lines.insert(change);
    m_lines.markLines(0, breakCount + 1, true);
    m_lines.markLines(0, breakCount, false);
}

void Document::setGrammar(const ParserRule* grammar, uint16_t grammarId, const wchar_t* rootScopeName, bool force) {
    if (!force && m_grammar == nullptr && grammar == nullptr)
        return;
    if (m_parseJob) {
        // Queued requests are dropped; the job stays on its scheduler for the next ones.
        if (BgScheduler* scheduler = m_parseJob->scheduler())
            scheduler->removeJob(m_parseJob);
        if (m_grammar)
            m_parseJob->reset();
    }
    m_grammar = grammar;
    m_scopes.clear();
    for (int32_t line = 0; line < getLineCount(); ++line) {
        LineHeader* header = m_lines.getHeader(line);
        freeParserBlock(header->parserBlock);
        header->parserBlock = nullptr;
    }
    m_scopes.createRoot(grammarId, grammar ? rootScopeName : L"");
    // Style numbers are scope indices, which the new grammar hands out afresh.
    m_styler->clearStyles();
}

void Document::setGrammar(const ParserRule* grammar, bool force) {
    if (grammar == nullptr) {
        setGrammar(nullptr, 0, L"", force);
        return;
    }
    setGrammar(grammar, grammar->getId(), grammar->getScopeName().c_str(), force);
}

void Document::addLineMarker(int32_t line, const wchar_t* text, int32_t value, int32_t kind) {
    if (line < 0 || line >= getLineCount())
        return;
    LineHeader* header = m_lines.getHeader(line);
    if (header->markers == nullptr)
        header->markers = new std::vector<LineMarker>();
    header->markers->push_back({kind, value, text ? text : L""});
    notifyListeners([this, line](DocumentListener* l) { l->onLineMarkersChanged(this, line, 1); });
}

bool Document::removeMarkersOfLine(int32_t line, int32_t kind) {
    std::vector<LineMarker>* markers = m_lines.getHeader(line)->markers;
    if (markers == nullptr)
        return false;
    const size_t before = markers->size();
    markers->erase(std::remove_if(markers->begin(), markers->end(),
                                  [kind](const LineMarker& marker) { return marker.kind == kind; }),
                   markers->end());
    if (markers->size() == before)
        return false;
    notifyListeners([this, line](DocumentListener* l) { l->onLineMarkersChanged(this, line, 1); });
    return true;
}

void Document::removeLineMarkers(int32_t line, int32_t kind) {
    if (line < 0 || line >= getLineCount())
        return;
    removeMarkersOfLine(line, kind);
}

void Document::removeAllLineMarkers(int32_t kind) {
    for (int32_t line = 0; line < getLineCount(); ++line)
        removeMarkersOfLine(line, kind);
}

int32_t Document::searchMarkedLine(int32_t from, bool forward) {
    const int32_t count = getLineCount();
    const int32_t step = forward ? 1 : -1;
    for (int32_t line = from + step; line >= 0 && line < count; line += step) {
        const std::vector<LineMarker>* markers = m_lines.getHeader(line)->markers;
        if (markers != nullptr && !markers->empty())
            return line;
    }
    return -1;
}

int32_t Document::findMarkedLine(int32_t from, bool forward, bool wrap) {
    const int32_t found = searchMarkedLine(from, forward);
    if (found >= 0 || !wrap)
        return found;
    return searchMarkedLine(forward ? -1 : getLineCount(), forward);
}

} // namespace corvel
