#include "corvel/document/DocumentController.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentControllerSearchSession.h"
#include "corvel/document/DocumentControllerUndoIO.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/DocumentState.h"
#include "corvel/document/FacePreset.h"
#include "corvel/document/IEditor.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"
#include "corvel/document/UndoContext.h"
#include "zem/base/Exception.h"
#include "zem/files/Path.h"
#include "zem/thread/Thread.h"

#include <algorithm>

namespace corvel {

namespace {

const uint32_t ALL_STATE_FLAGS = 255;
const uint32_t FILE_EVENT_MODIFIED = 3;

} // namespace

DocumentController::DocumentController(DocumentControllerManager* manager, Document* document, int32_t id)
    : m_manager(manager), m_id(id), m_facePreset(new FacePreset()), m_document(document) {
    m_selection.reset(new Selection(this));
    m_selection->caretChanged.add(&DocumentController::onSelectionCaretChanged, this);
    m_selection->selectionChanged.add(&DocumentController::onSelectionChanged, this);
    addHighlighter(m_selection.get());
    m_document->lockEdit();
    m_document->addListener(this);
    m_document->unlockEdit();
    onStateChanged(m_document, m_document->getState(), ALL_STATE_FLAGS);
    m_languageName = m_document->getName();
    beginEdit(EDIT_READ);
    m_spans.reset(new SpanBinding(this, new SpanContext(std::wstring(), nullptr, m_document->getLength())));
    m_selection->collapse();
    endEdit();
}

// A destructor must not throw: whatever fails while taking the controller apart is
// reported the way thread failures are.
DocumentController::~DocumentController() {
    zem::runGuarded([](void* self) { static_cast<DocumentController*>(self)->teardown(); }, this);
}

void DocumentController::teardown() {
    {
        setEditor(nullptr);
        while (!m_highlighters.empty())
            removeHighlighter(m_highlighters.back());
        beginEdit(EDIT_READ);
        beginChangeBatch();
        m_selection->collapse();
        endChangeBatch();
        endEdit();
        formatChanged.clear();
        languageChanged.clear();
        modifiedChanged.clear();
        titleChanged.clear();
        fileChangedOnDisk.clear();
        textInserted.clear();
        textRemoved.clear();
        editBegun.clear();
        editEnded.clear();
        editorAttached.clear();
        editorDetached.clear();
        highlightersChanged.clear();
        caretMoved.clear();
        changed.clear();
        onFacePresetChanged.clear();
        beginEdit(EDIT_READ);
        m_document->removeListener(this);
        endEdit();
        m_searchSession.reset();
        m_spans.reset();
        m_highlighters.clear();
        m_selection.reset();
        m_facePreset.reset();
    }
}

// --- Edit brackets ---------------------------------------------------------------------

Document* DocumentController::beginEdit(int32_t mode) {
    if (m_editDepth > 0) {
        // A write inside a read bracket would change text the reader holds no undo for.
        if (m_editMode == EDIT_READ && (mode == EDIT_WRITE || mode == EDIT_WRITE_NO_UNDO))
            throw zem::IllegalStateException(L"Unexpected state");
        ++m_editDepth;
        return m_text;
    }
    zem::checkMainThread();
    m_editMode = mode;
    m_document->lockEdit();
    if (mode == EDIT_WRITE || mode == EDIT_WRITE_NO_UNDO) {
        m_document->beginEdit(this, mode == EDIT_WRITE_NO_UNDO, m_id);
        m_text = m_document;
        m_selection->beginUpdate();
        if (mode == EDIT_WRITE)
            recordViewState();
    }
    m_editDepth = 1;
    return m_text;
}

void DocumentController::endEdit() {
    if (m_editDepth <= 0)
        return;
    if (--m_editDepth > 0)
        return;
    const int32_t mode = m_editMode;
    if (mode == EDIT_WRITE)
        recordViewState();
    if (mode == EDIT_WRITE || mode == EDIT_WRITE_NO_UNDO) {
        m_selection->flushPendingCaret();
        m_document->endEdit();
        m_text = nullptr;
    }
    zem::checkMainThread();
    m_document->unlockEdit();
    m_editMode = EDIT_NONE;
}

void DocumentController::commitUndoGroup() {
    if (m_editDepth <= 0 || m_editMode != EDIT_WRITE)
        return;
    recordViewState();
    m_document->endEdit();
    // Typed units next to each other join one undo group; what follows a commit must not.
    if (UndoContext* undo = m_document->getUndoContext())
        undo->breakTypingRun();
    m_document->beginEdit(this, false, m_id);
    m_text = m_document;
    recordViewState();
}

void DocumentController::recordViewState() {
    UndoContext* undo = m_document->getUndoContext();
    DocumentControllerUndoIO* io = m_manager ? m_manager->getUndoIO() : nullptr;
    if (!undo || !io || !undo->isRecording())
        return;
    beginChangeBatch();
    if (undo->beginRecord(io->spansId())) {
        m_spans->writeState(*undo);
        undo->endRecord();
    }
    endChangeBatch();
    if (!undo->isRecording())
        return;
    beginChangeBatch();
    if (undo->beginRecord(io->selectionId())) {
        m_selection->save(*undo);
        undo->endRecord();
    }
    endChangeBatch();
}

bool DocumentController::applyRecord(int32_t operation, Stream& stream) {
    DocumentControllerUndoIO* io = m_manager ? m_manager->getUndoIO() : nullptr;
    if (!io)
        return true;
    if (static_cast<uint32_t>(operation) == io->selectionId())
        return m_selection->restore(stream);
    if (static_cast<uint32_t>(operation) != io->spansId())
        return true;
    beginChangeBatch();
    const bool read = m_spans->readState(stream);
    endChangeBatch();
    return read;
}

// --- Change batches ------------------------------------------------------------------------

Selection* DocumentController::beginChangeBatch() {
    if (m_changeDepth == 0) {
        m_changeRecord = ChangeRecord();
        m_changePending = false;
    }
    ++m_changeDepth;
    return m_selection.get();
}

void DocumentController::endChangeBatch() {
    if (m_changeDepth <= 0)
        return;
    if (--m_changeDepth > 0 || !m_changePending)
        return;
    m_changePending = false;
    const ChangeRecord record = m_changeRecord;
    changed.invoke(this, &record);
}

void DocumentController::markChanged(int32_t a, int32_t b) {
    if (a < 0 || b < 0)
        return;
    if (a > b)
        std::swap(a, b);
    beginChangeBatch();
    const TextPosition from = offsetToPosition(a);
    const TextPosition to = offsetToPosition(b);
    if (m_changePending) {
        if (from.before(m_changeRecord.from))
            m_changeRecord.from = from;
        if (m_changeRecord.to.before(to))
            m_changeRecord.to = to;
    } else {
        m_changeRecord.from = from;
        m_changeRecord.to = to;
        m_changePending = true;
    }
    endChangeBatch();
}

SpanBinding* DocumentController::getSpanBinding() {
    beginChangeBatch();
    return m_spans.get();
}

// --- View ------------------------------------------------------------------------------------

void DocumentController::setEditor(IEditor* editor) {
    if (m_editor) {
        IEditor* old = m_editor;
        editorDetached.invoke(this, old);
        old->setDocumentController(nullptr);
        if (m_manager && m_manager->getActiveController() == this)
            m_manager->setActiveController(nullptr);
    }
    m_editor = editor;
    if (!editor) {
        setParseJobActive(false);
        return;
    }
    DocumentController* owner = editor->getDocumentController();
    if (owner == this)
        return;
    if (owner)
        owner->setEditor(nullptr);
    editor->setDocumentController(this);
    editorAttached.invoke(this, editor);
    setParseJobActive(true);
}

void DocumentController::setParseJobActive(bool active) {
    DocumentManager* documents = m_manager ? m_manager->getDocumentManager() : nullptr;
    if (documents)
        documents->setDocumentActive(m_document, active);
}

void DocumentController::addHighlighter(TextHighlighter* highlighter) {
    if (!highlighter || std::find(m_highlighters.begin(), m_highlighters.end(), highlighter) != m_highlighters.end())
        return;
    m_highlighters.push_back(highlighter);
    highlightersChanged.invoke(this, highlighter, 1);
}

void DocumentController::removeHighlighter(TextHighlighter* highlighter) {
    const auto found = std::find(m_highlighters.begin(), m_highlighters.end(), highlighter);
    if (found == m_highlighters.end())
        return;
    m_highlighters.erase(found);
    highlightersChanged.invoke(this, highlighter, 0);
}

void DocumentController::onSelectionCaretChanged(void* self, Selection*, const TextPosition* caret, uint32_t options) {
    DocumentController* controller = static_cast<DocumentController*>(self);
    controller->beginChangeBatch();
    if (controller->m_spans) {
        const int32_t offset = controller->positionToOffset(*caret);
        controller->m_spans->findEnclosingSpan(offset, offset);
    }
    controller->caretMoved.invoke(controller, caret, options);
    controller->endChangeBatch();
}

void DocumentController::onSelectionChanged(void*, Selection*, const SelectionBehaviorRange*) {}

// --- Document ----------------------------------------------------------------------------------

void DocumentController::setFacePreset(const FacePreset& preset) {
    if (*m_facePreset == preset)
        return;
    m_facePreset->assign(preset);
    onFacePresetChanged.invoke(this, m_facePreset.get());
}

void DocumentController::setLanguage(const std::wstring& name) {
    beginEdit(EDIT_READ);
    DocumentManager* documents = m_manager ? m_manager->getDocumentManager() : nullptr;
    if (documents)
        documents->setDocumentLanguage(m_document, name);
    else
        m_document->setName(name);
    endEdit();
}

bool DocumentController::isModified() const {
    return m_document->getState().modified;
}

void DocumentController::clearModified() {
    DocumentState& state = m_document->lockState();
    state.modified = false;
    m_document->unlockState();
}

bool DocumentController::undo() {
    return replayGroup(true);
}

bool DocumentController::redo() {
    return replayGroup(false);
}

bool DocumentController::replayGroup(bool undoing) {
    UndoContext* undo = m_document->getUndoContext();
    if (!undo)
        return false;
    beginEdit(EDIT_WRITE_NO_UNDO);
    beginChangeBatch();
    bool replayed = false;
    if (undoing ? undo->canUndo() : undo->canRedo()) {
        const uint32_t before = undo->currentPosition();
        if (undoing)
            undo->undo(*undo->registry());
        else
            undo->redo(*undo->registry());
        replayed = undo->currentPosition() != before;
    }
    endChangeBatch();
    endEdit();
    return replayed;
}

DocumentControllerSearchSession* DocumentController::getSearchSession() {
    if (!m_searchSession)
        m_searchSession.reset(new DocumentControllerSearchSession(this));
    return m_searchSession.get();
}

// --- DocumentListener ------------------------------------------------------------------------------

void DocumentController::onTextInserted(Document*, const TextChange& change) {
    textInserted.invoke(this, &change);
}

void DocumentController::onTextRemoved(Document*, const TextChange& change) {
    textRemoved.invoke(this, &change);
}

void DocumentController::onEditBegin(Document*, const LineRange&) {
    beginChangeBatch();
    editBegun.invoke(this);
}

void DocumentController::onEditEnd(Document*, const LineRange&) {
    editEnded.invoke(this);
    endChangeBatch();
}

void DocumentController::onStateChanged(Document*, const DocumentState& state, uint32_t mask) {
    if (mask & DocumentState::CHANGED_FORMAT) {
        Settings settings;
        settings.codePage = state.codePage;
        settings.lineEnding = state.lineEnding;
        settings.indentation = state.indentation;
        if (settings != m_settings) {
            const Settings previous = m_settings;
            m_settings = settings;
            formatChanged.invoke(this, &m_settings, &previous);
        }
    }
    if (mask & DocumentState::CHANGED_MODIFIED)
        modifiedChanged.invoke(this, state.modified);
    if (mask & (DocumentState::CHANGED_MODIFIED | DocumentState::CHANGED_PATH)) {
        const std::wstring path = state.path.c_str();
        const std::wstring title =
            state.untitled ? std::wstring(L"Untitled") : std::wstring(zem::getFileName(state.path));
        if (path != m_filePath || title != m_title) {
            m_filePath = path;
            m_title = title;
            titleChanged.invoke(this, m_filePath.c_str());
        }
    }
}

void DocumentController::onNameChanged(Document*, const wchar_t* name) {
    m_languageName = name ? name : L"";
    languageChanged.invoke(this, m_languageName.c_str());
}

void DocumentController::onLinesParsed(Document*, int32_t first, int32_t last) {
    if (!m_editor)
        return;
    beginEdit(EDIT_READ);
    m_editor->beginUpdate();
    const int32_t lastLine = m_document->getLineCount() - 1;
    last = std::min(last, lastLine);
    first = std::max(std::min(first, lastLine), 0);
    last = std::max(last, first);
    m_editor->invalidateLines(first, last, true, 0);
    m_editor->endUpdate();
    endEdit();
}

void DocumentController::onLineMarkersChanged(Document*, int32_t line, int32_t kind) {
    if (kind != 1 || !m_editor)
        return;
    beginEdit(EDIT_READ);
    m_editor->beginUpdate();
    m_editor->invalidateLine(line);
    m_editor->endUpdate();
    endEdit();
}

void DocumentController::onFileChanged(Document*, intptr_t argument) {
    if (argument != FILE_EVENT_MODIFIED || m_fileChangedPending)
        return;
    m_fileChangedPending = true;
    fileChangedOnDisk.invoke(this);
}

void DocumentController::clearFileChanged() {
    if (!m_fileChangedPending)
        return;
    m_fileChangedPending = false;
    fileChangedOnDisk.invoke(this);
}

void DocumentController::resetViewState() {
    beginEdit(EDIT_READ);
    beginChangeBatch();
    beginChangeBatch();
    m_selection->setCaretOffset(0);
    m_selection->collapse();
    m_searchSession.reset();
    m_spans->reset();
    endChangeBatch();
    endChangeBatch();
    endEdit();
}

void DocumentController::onReloadBegin(Document*) {
    m_savedEditor = m_editor;
    setEditor(nullptr);
    resetViewState();
}

void DocumentController::onReloadEnd(Document*) {
    resetViewState();
    IEditor* editor = m_savedEditor;
    m_savedEditor = nullptr;
    if (editor)
        setEditor(editor);
    if (m_fileChangedPending) {
        m_fileChangedPending = false;
        fileChangedOnDisk.invoke(this);
    }
}

} // namespace corvel
