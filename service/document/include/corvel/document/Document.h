// The text of one file in memory: a UTF-16 gap buffer, a line index whose headers carry
// the parser's per-line results and markers, the status record, the scopes, and the
// listeners told of every change. Every line break in memory is one LF.
//
// Locks: the edit lock guards the text, the line index and the scope store; it is held
// for every read or write bracket and for a whole load or save. The state lock guards
// the current DocumentState and the published copy.
#pragma once
#include "corvel/document/DocumentListener.h"
#include "corvel/document/DocumentScopeStore.h"
#include "corvel/document/DocumentState.h"
#include "corvel/document/GapBuffer.h"
#include "corvel/document/IntList.h"
#include "corvel/document/LineIndex.h"
#include "corvel/document/PositionManager.h"
#include "corvel/document/TextChange.h"
#include "zem/thread/CriticalSection.h"
#include "zem/thread/Semaphore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

class DocumentController;
class DocumentManager;
class DocumentStyler;
class ParserJob;
class ParserRule;
class UndoContext;

// A line's saved parser end state: 16-bit units inside the line's parser block.
struct LineParserState {
    const uint16_t* units;
    int32_t length; // units
};

// The scope runs of one line, walked by the painter.
struct LineScopeCursor {
    const ScopeRun* runs = nullptr;
    int32_t count = 0;
    int32_t position = 0;
    DocumentScope* scope = nullptr; // of the first run, or the root for a line without runs
};

class Document {
public:
    // False from the callback stops the walk.
    typedef bool (*LineCallback)(void* context, const wchar_t* text, int32_t length);

    // On the main thread only ("Not a main thread." otherwise). The manager may be null.
    explicit Document(DocumentManager* manager);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    int32_t getId() const { return m_id; }
    DocumentManager* getManager() const { return m_manager; }

    // Edit lock: recursive on the main thread; other threads take the semaphore itself.
    void lockEdit();
    void unlockEdit();
    // Off the main thread: the parser's bounded attempt.
    bool tryLockEdit(int timeoutMs);

    // Text and lines: callers hold the edit lock.
    void insertText(int32_t offset, int32_t count, const wchar_t* units, uint8_t flag);
    void removeText(int32_t count, int32_t offset, uint8_t flag);
    int32_t getLength() const { return m_text->getLength(); }
    int32_t getLineCount() const { return m_lines.getLineCount(); }
    int32_t getLineStart(int32_t line) const { return m_lines.getLineStart(line); }
    int32_t getLineOfOffset(int32_t offset) const { return m_lines.getLineOfOffset(offset); }
    // The LF included; 0 for a line out of range.
    int32_t getLineLength(int32_t line) const;
    // Without the LF.
    int32_t getLineTextLength(int32_t line) const;
    void getText(int32_t offset, int32_t count, wchar_t* out, bool terminate = false) const;
    std::wstring getText(int32_t offset, int32_t count) const;
    // A view into the buffer, or a copy when the range spans the gap.
    GapBuffer::View readText(int32_t offset, int32_t count) const { return m_text->read(offset, count); }
    wchar_t getChar(int32_t offset) const { return m_text->at(offset); }
    // Both sides of the gap in place, for scans that must not copy the text.
    GapBuffer::Sides getTextSides() const { return m_text->sides(); }
    int32_t getVisualColumn(int32_t line, int32_t count);
    LineHeader* getLineHeader(int32_t line);
    // Null without a header or block; the caller owns the record.
    std::unique_ptr<LineParserState> getLineParserState(int32_t line);
    DocumentScope* getScopeAt(int32_t offset);
    std::unique_ptr<LineScopeCursor> getLineScopes(int32_t line);
    int32_t forEachLine(LineCallback callback, void* context);

    // Edit bracket, with the edit lock held. ownerId: the owning controller's id, which
    // the undo journal keeps to tell one controller's typing from another's.
    void beginEdit(DocumentController* owner, bool noUndo, int32_t ownerId = 0);
    void endEdit();
    const LineRange& getChangedLines() const { return m_changed; }
    bool isInEdit() const { return m_inEdit; }

    void addListener(DocumentListener* listener);
    void removeListener(DocumentListener* listener);
    // Calls operation on every listener in list order.
    template <typename Operation> void notifyListeners(Operation operation) {
        for (size_t i = 0; i < m_listeners.size(); ++i)
            operation(m_listeners[i]);
    }
    void notifyStateChanged(uint32_t mask);
    void notifyLinesParsed(int32_t first, int32_t last);
    void notifyFileChanged(intptr_t argument);

    void setName(const std::wstring& name);
    const std::wstring& getName() const { return m_name; }

    bool attachController(DocumentController* controller);
    bool detachController(DocumentController* controller);
    const std::vector<DocumentController*>& getControllers() const { return m_controllers; }

    // The current state, under the state lock until unlockState publishes it.
    DocumentState& lockState();
    void unlockState();
    // A copy of the state the listeners last heard of.
    DocumentState getPublishedState();
    // A copy of the current state, published or not.
    DocumentState getState();
    void clearUndoHistory();

    // Loading: the loader empties the document, then installs what it read.
    void resetForLoad();
    void installLoadedText(int32_t breakCount, std::unique_ptr<GapBuffer> text, const int32_t* lineStarts);

    // Clears the scopes and every line's parser result and roots the store at the
    // grammar's rule (an empty name without grammar). Nothing unless forced when there
    // was and is no grammar.
    void setGrammar(const ParserRule* grammar, uint16_t grammarId, const wchar_t* rootScopeName, bool force);
    // The same with the rule's own id and scope name.
    void setGrammar(const ParserRule* grammar, bool force);
    const ParserRule* getGrammar() const { return m_grammar; }
    DocumentScopeStore& getScopeStore() { return m_scopes; }

    void addLineMarker(int32_t line, const wchar_t* text, int32_t value, int32_t kind);
    void removeLineMarkers(int32_t line, int32_t kind);
    void removeAllLineMarkers(int32_t kind);
    // -1 when no line has a marker.
    int32_t findMarkedLine(int32_t from, bool forward, bool wrap);

    PositionManager& getPositions() { return m_positions; }
    ParserJob* getParseJob() const { return m_parseJob; }
    void setParseJob(ParserJob* job) { m_parseJob = job; }
    UndoContext* getUndoContext() const { return m_undo; }
    void setUndoContext(UndoContext* undo) { m_undo = undo; }
    DocumentStyler* getStyler() const { return m_styler.get(); }
    DocumentController* getEditOwner() const { return m_editOwner; }

private:
    bool removeMarkersOfLine(int32_t line, int32_t kind);
    int32_t searchMarkedLine(int32_t from, bool forward);
    void widenForInsert(int32_t line, int32_t breaks);
    void widenForRemove(int32_t line, int32_t joined);

    int32_t m_id;
    DocumentManager* m_manager;
    int32_t m_editNesting = 0;          // main-thread nesting of the edit lock
    std::unique_ptr<DocumentStyler> m_styler; // made with the document
    DocumentScopeStore m_scopes;        // guarded by the edit lock
    const ParserRule* m_grammar = nullptr;
    std::wstring m_name;
    ParserJob* m_parseJob = nullptr;
    std::vector<DocumentController*> m_controllers;
    zem::LegacyMutex m_editLock;
    zem::CriticalSection m_stateLock;
    std::unique_ptr<GapBuffer> m_text; // guarded by the edit lock
    DocumentState m_state;             // guarded by m_stateLock
    DocumentState m_published;         // guarded by m_stateLock
    LineRange m_changed;
    bool m_inEdit = false;
    bool m_noUndo = false;
    bool m_editOpened = false;
    DocumentController* m_editOwner = nullptr;
    LineIndex m_lines; // guarded by the edit lock
    UndoContext* m_undo = nullptr;
    PositionManager m_positions;
    IntList m_breaks; // LF offsets of the insertion under way, reused
    std::vector<DocumentListener*> m_listeners;
};

} // namespace corvel
