// One document's undo history: records its edits into a journal of transactions, one per
// write bracket, and replays a group of them backwards (undo) or forwards (redo).
// Consecutive transactions that each typed one unit next to the last are one group.
// Journal failures never throw: they are logged and clear the history.
#pragma once
#include "corvel/config/Stream.h"
#include "corvel/document/JournalCursor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zem {
class File;
}

namespace corvel {

class Document;
class UndoListener;
class UndoRegistry;

class UndoContext : public Stream {
public:
    enum State { IDLE = 0, RECORDING = 1, UNDOING = 2, REDOING = 3 };
    // What the current transaction typed, for grouping.
    enum TypingClass { TYPING_NONE = 0, TYPING_UNIT = 1, TYPING_TAB = 2, TYPING_REMOVAL = 3, TYPING_OTHER = 4 };
    // Marker flag bits.
    enum : uint8_t { MARKER_BEGIN = 1, MARKER_NEW_GROUP = 8 };
    static constexpr uint32_t NO_SAVED_POSITION = 0xFFFFFFFFu;
    static constexpr uint32_t MARKER_SIZE = 9;

    // Opens the journal; a journal that cannot be opened leaves the context inert.
    UndoContext(Document* document, UndoRegistry* registry);
    ~UndoContext() override;
    UndoContext(const UndoContext&) = delete;
    UndoContext& operator=(const UndoContext&) = delete;

    // Starts an empty journal (a new file of its own); false when it cannot be opened.
    bool open();
    // Closes and deletes the journal.
    void close();
    bool isOpen() const { return m_cursor != nullptr; }

    // One insertion or removal of the current transaction (recording only). An empty
    // change records nothing.
    void recordChange(bool insertion, int32_t offset, int32_t count, const wchar_t* units, uint8_t flag);

    // controllerId: the controller that owns the edit, kept in the markers.
    void beginTransaction(UndoRegistry& registry, int32_t controllerId = 0);
    void endTransaction(UndoRegistry& registry);
    void undo(UndoRegistry& registry);
    void redo(UndoRegistry& registry);

    // A record of any registered operation, its payload written through write(); it does
    // not make the transaction count as having recorded something.
    bool beginRecord(uint32_t operationId);
    bool endRecord();

    // Recording: into the record being staged. Replaying: from the record being read.
    uint32_t write(const void* buffer, uint32_t size) override;
    uint32_t read(void* buffer, uint32_t size) override;

    bool isRecording() const { return m_state == RECORDING; }
    bool isReplaying() const { return m_state == UNDOING || m_state == REDOING; }
    bool canUndo() const { return m_cursor && m_state == IDLE && !m_cursor->atStart(); }
    bool canRedo() const { return m_cursor && m_state == IDLE && !m_cursor->atEnd(); }
    State state() const { return m_state; }
    int typingClass() const { return m_typingClass; }
    int32_t lastTypedOffset() const { return m_lastTypedOffset; }
    wchar_t lastTypedUnit() const { return m_lastTypedUnit; }
    // The next transaction starts an undo group of its own, even when it types one unit
    // right after the last one.
    void breakTypingRun() {
        m_lastTypedOffset = 0;
        m_lastTypedUnit = 0;
    }
    Document* document() const { return m_document; }
    UndoRegistry* registry() const { return m_registry; }
    const JournalCursor* cursor() const { return m_cursor.get(); }
    const std::wstring& journalPath() const { return m_journalPath; }

    // The journal position the document's file matches (set when it is saved).
    void markSaved();
    void setSavedPosition(uint32_t position) { m_savedPosition = position; }
    uint32_t savedPosition() const { return m_savedPosition; }
    uint32_t currentPosition() const { return m_cursor ? m_cursor->current() : 0; }
    // True when the document differs from its saved state as the journal sees it.
    bool isModified() const { return !m_cursor || m_cursor->current() != m_savedPosition; }

    // A handler of this context only, asked after the registry's handler of the type.
    bool setHandler(uint32_t id, UndoListener* handler);
    void addListener(UndoListener* listener);
    void removeListener(UndoListener* listener);

    // Appends a description of every record, each led by the label.
    void dumpJournal(const wchar_t* label, std::wstring& out);

private:
    struct Marker {
        int32_t controllerId = 0;
        int32_t offset = 0;
        uint8_t flags = 0;
    };

    // The cursor recording goes into: the clone beside a redo tail, else the journal's own.
    JournalCursor& writer() { return m_clone ? *m_clone : *m_cursor; }
    bool writeMarker(const Marker& marker);
    bool rewriteBeginMarker(int typingClass);
    bool stagePending(uint32_t operationId);
    bool flushPending();
    // Moves the staged bytes into the rollback file, where the rest of the record goes.
    bool spillStaged();
    void noteTyping(bool insertion, int32_t offset, int32_t count, const wchar_t* units, uint8_t flag);
    void tellListeners(UndoRegistry& registry, void (UndoListener::*call)(UndoContext&));
    void replayGroup(UndoRegistry& registry, bool undoing);
    // Replays records until a marker ends the group. False when the journal failed.
    bool replay(UndoRegistry& registry, bool undoing);
    bool replayRecord(UndoRegistry& registry, int type);
    // Returns true when the walk stops at this marker.
    bool handleMarker(UndoRegistry& registry, bool undoing, bool& failed);
    // Logs what failed and starts an empty journal; the document stays modified.
    void fail(const wchar_t* what);

    Document* m_document;
    UndoRegistry* m_registry;
    UndoListener* m_handlers[64] = {};
    std::vector<UndoListener*> m_listeners; // not owned
    State m_state = IDLE;

    int32_t m_lastTypedOffset = 0;
    wchar_t m_lastTypedUnit = 0; // 0 when the last transaction typed no single unit
    int m_typingClass = TYPING_NONE;

    zem::File* m_journal = nullptr;
    std::wstring m_journalPath;
    std::unique_ptr<JournalCursor> m_cursor;
    std::unique_ptr<JournalCursor> m_clone; // recording beside a redo tail
    uint32_t m_savedPosition = 0;

    // The transaction being recorded.
    JournalMark m_transactionStart;
    int32_t m_controllerId = 0;
    uint8_t m_beginFlags = 0;
    bool m_recorded = false;
    bool m_discarding = false; // the journal failed inside this transaction
    zem::File* m_rollback = nullptr;
    uint32_t m_pendingId = 64;
    uint32_t m_pendingSize = 0;
    bool m_pendingFailed = false;
    // The pending record's bytes while it is small; once it outgrew them (m_spilled) the
    // rollback file holds it all.
    std::vector<uint8_t> m_staged;
    bool m_spilled = false;

    // Replay.
    int m_replayed = 0;
    int32_t m_replayController = 0;
    int m_replayClass = 0;
    int32_t m_replayOffset = 0;
    JournalMark m_groupMark;
};

} // namespace corvel
