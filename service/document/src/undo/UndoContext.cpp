#include "corvel/document/UndoContext.h"

#include "corvel/document/UndoListener.h"
#include "corvel/document/UndoRegistry.h"
#include "undo/LittleEndian.h"
#include "zem/files/File.h"
#include "zem/files/FileIO.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <algorithm>
#include <cstring>

namespace corvel {

namespace {

constexpr uint32_t COPY_PIECE = 8192;
// A record is staged in memory up to this size and in the rollback file beyond it: most
// records are a few bytes written a field at a time, which a file takes a call each for.
constexpr size_t STAGE_IN_MEMORY = 0x10000;
constexpr int32_t SHORT_FORM_MAX_OFFSET = 0xFFFF;

// Class 4 (anything else) is written as 0: it never joins a group.
int storedClass(int typingClass) {
    return typingClass == UndoContext::TYPING_OTHER ? 0 : typingClass;
}

} // namespace

UndoContext::UndoContext(Document* document, UndoRegistry* registry) : m_document(document), m_registry(registry) {
    open();
}

UndoContext::~UndoContext() {
    if (m_rollback)
        m_registry->giveBackRollbackFile(this, m_rollback);
    close();
}

bool UndoContext::open() {
    close();
    // Cleared inside a transaction: what is left of it has nothing to stand on.
    if (m_state == RECORDING)
        m_discarding = true;
    m_journalPath = UndoRegistry::uniquePath(L"vtmp:undo/");
    m_journal = m_registry->fileHooks().open(m_journalPath);
    if (!m_journal) {
        zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"UndoContext: cannot open the journal '%s'\n",
                        m_journalPath.c_str());
        return false;
    }
    m_cursor.reset(new JournalCursor(m_journal));
    m_savedPosition = 0;
    return true;
}

void UndoContext::close() {
    m_clone.reset();
    m_cursor.reset();
    if (!m_journal)
        return;
    m_registry->fileHooks().close(m_journal);
    m_journal = nullptr;
    zem::fileDelete(m_journalPath.c_str());
}

void UndoContext::fail(const wchar_t* what) {
    zem::logMessage(zem::LOG_ERROR, zem::LOG_UNKNOWN_SOURCE, L"UndoContext: %s; the undo history is cleared\n", what);
    open();
    // The journal no longer knows the saved text.
    m_savedPosition = NO_SAVED_POSITION;
    m_lastTypedUnit = 0;
    m_lastTypedOffset = 0;
    m_pendingId = UndoRegistry::NO_OPERATION;
    if (m_state == RECORDING)
        m_discarding = true;
}

void UndoContext::markSaved() {
    if (m_cursor)
        m_savedPosition = m_cursor->current();
}

bool UndoContext::setHandler(uint32_t id, UndoListener* handler) {
    if (id >= UndoRegistry::SLOT_COUNT || m_handlers[id])
        return false;
    m_handlers[id] = handler;
    return true;
}

void UndoContext::addListener(UndoListener* listener) {
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void UndoContext::removeListener(UndoListener* listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void UndoContext::tellListeners(UndoRegistry& registry, void (UndoListener::*call)(UndoContext&)) {
    // A listener may leave the list while it is told.
    std::vector<UndoListener*> listeners = registry.transactionListeners();
    for (UndoListener* listener : listeners)
        (listener->*call)(*this);
    listeners = m_listeners;
    for (UndoListener* listener : listeners)
        (listener->*call)(*this);
}

// ---- recording ----

void UndoContext::recordChange(bool insertion, int32_t offset, int32_t count, const wchar_t* units, uint8_t flag) {
    if (m_state != RECORDING || m_discarding || !m_cursor || count <= 0 || !units)
        return;
    if (count == 1 && offset >= 0 && offset <= SHORT_FORM_MAX_OFFSET) {
        uint32_t id = insertion ? m_registry->shortInsertId() : m_registry->shortRemoveId();
        if (id < UndoRegistry::SLOT_COUNT) {
            m_recorded = true;
            uint8_t payload[4];
            putU16(payload, static_cast<uint32_t>(offset));
            putU16(payload + 2, units[0]);
            JournalCursor& out = writer();
            bool written = out.beginRecord(id, 4) && out.write(payload, 4) == 4;
            if (!out.endRecord() || !written) {
                fail(L"a journal write failed");
                return;
            }
        }
    } else {
        uint32_t id = insertion ? m_registry->insertId() : m_registry->removeId();
        if (id < UndoRegistry::SLOT_COUNT) {
            if (!stagePending(id)) {
                fail(L"no rollback file to stage a record in");
                return;
            }
            m_recorded = true;
            uint8_t header[8];
            putI32(header, offset);
            putI32(header + 4, count);
            uint32_t bytes = static_cast<uint32_t>(count) * 2;
            write(header, 8);
            write(units, bytes);
            if (!flushPending()) {
                fail(L"a journal write failed");
                return;
            }
        }
    }
    noteTyping(insertion, offset, count, units, flag);
}

void UndoContext::noteTyping(bool insertion, int32_t offset, int32_t count, const wchar_t* units, uint8_t flag) {
    if (!insertion) {
        if (m_typingClass != TYPING_UNIT && m_typingClass != TYPING_TAB && m_typingClass != TYPING_OTHER)
            m_typingClass = TYPING_REMOVAL;
        return;
    }
    wchar_t unit = units[0];
    if (count != 1 || flag != 0 || (unit < 32 && unit != L'\t')) {
        m_typingClass = TYPING_OTHER;
        m_lastTypedOffset = 0;
        m_lastTypedUnit = 0;
        return;
    }
    if (m_typingClass != TYPING_OTHER)
        m_typingClass = unit == L'\t' ? TYPING_TAB : TYPING_UNIT;
    m_lastTypedOffset = offset;
    m_lastTypedUnit = unit;
}

bool UndoContext::stagePending(uint32_t operationId) {
    if (!m_rollback)
        return false;
    m_pendingId = operationId;
    m_pendingSize = 0;
    m_pendingFailed = false;
    m_staged.clear();
    m_spilled = false;
    return true;
}

bool UndoContext::spillStaged() {
    m_spilled = true;
    const uint32_t size = static_cast<uint32_t>(m_staged.size());
    return m_rollback->seek(zem::FILE_SEEK_BEGIN, 0) == 0 &&
           (size == 0 || m_rollback->write(m_staged.data(), size) == size);
}

bool UndoContext::flushPending() {
    uint32_t id = m_pendingId;
    m_pendingId = UndoRegistry::NO_OPERATION;
    if (m_pendingFailed || id >= UndoRegistry::SLOT_COUNT)
        return false;
    JournalCursor& out = writer();
    if (!m_spilled) {
        const bool written = out.beginRecord(id, m_pendingSize) &&
                             (m_pendingSize == 0 || out.write(m_staged.data(), m_pendingSize) == m_pendingSize);
        return out.endRecord() && written;
    }
    bool written = out.beginRecord(id, m_pendingSize) && m_rollback->seek(zem::FILE_SEEK_BEGIN, 0) == 0;
    uint8_t piece[COPY_PIECE];
    for (uint32_t left = m_pendingSize; written && left > 0;) {
        uint32_t n = std::min(left, COPY_PIECE);
        written = m_rollback->read(piece, n) == n && out.write(piece, n) == n;
        left -= n;
    }
    return out.endRecord() && written;
}

uint32_t UndoContext::write(const void* buffer, uint32_t size) {
    if (m_state != RECORDING || m_pendingId >= UndoRegistry::SLOT_COUNT || !m_rollback || m_pendingFailed)
        return 0;
    if (!m_spilled && m_staged.size() + size <= STAGE_IN_MEMORY) {
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        m_staged.insert(m_staged.end(), bytes, bytes + size);
        m_pendingSize += size;
        return size;
    }
    if (!m_spilled && !spillStaged()) {
        m_pendingFailed = true;
        return 0;
    }
    uint32_t written = m_rollback->write(buffer, size);
    m_pendingSize += std::min(written, size);
    if (written != size)
        m_pendingFailed = true;
    return written;
}

uint32_t UndoContext::read(void* buffer, uint32_t size) {
    if (!m_cursor || m_cursor->mode() != JournalCursor::READING)
        return 0;
    return m_cursor->read(buffer, size);
}

bool UndoContext::beginRecord(uint32_t operationId) {
    if (m_state != RECORDING || m_discarding || !m_cursor || operationId >= UndoRegistry::SLOT_COUNT)
        return false;
    if (stagePending(operationId))
        return true;
    fail(L"no rollback file to stage a record in");
    return false;
}

bool UndoContext::endRecord() {
    if (m_state != RECORDING || m_pendingId >= UndoRegistry::SLOT_COUNT)
        return false;
    if (flushPending())
        return true;
    fail(L"a journal write failed");
    return false;
}

bool UndoContext::writeMarker(const Marker& marker) {
    uint8_t payload[MARKER_SIZE];
    putI32(payload, marker.controllerId);
    putI32(payload + 4, marker.offset);
    payload[8] = marker.flags;
    JournalCursor& out = writer();
    bool written =
        out.beginRecord(m_registry->transactionId(), MARKER_SIZE) && out.write(payload, MARKER_SIZE) == MARKER_SIZE;
    return out.endRecord() && written;
}

bool UndoContext::rewriteBeginMarker(int typingClass) {
    uint8_t payload[MARKER_SIZE];
    putI32(payload, m_controllerId);
    putI32(payload + 4, m_lastTypedOffset);
    payload[8] = static_cast<uint8_t>(m_beginFlags | (typingClass << 1));
    return writer().rewritePayload(m_transactionStart.current, payload, MARKER_SIZE);
}

void UndoContext::beginTransaction(UndoRegistry& registry, int32_t controllerId) {
    if (!m_cursor || m_state == RECORDING)
        return;
    m_rollback = registry.takeRollbackFile(this);
    m_state = RECORDING;
    m_recorded = false;
    m_discarding = false;
    m_pendingId = UndoRegistry::NO_OPERATION;
    m_typingClass = TYPING_NONE;
    m_controllerId = controllerId;
    m_transactionStart = m_cursor->mark();
    // Transactions were undone: record beside the redo tail, which survives a transaction
    // that records nothing.
    if (!m_cursor->atEnd())
        m_clone = m_cursor->clone();
    if (registry.transactionId() < UndoRegistry::SLOT_COUNT) {
        m_beginFlags = static_cast<uint8_t>(MARKER_BEGIN | (m_lastTypedUnit == 0 ? MARKER_NEW_GROUP : 0));
        if (!writeMarker(Marker{m_controllerId, m_lastTypedOffset, m_beginFlags}))
            fail(L"a journal write failed");
    }
    tellListeners(registry, &UndoListener::onRecordingBegin);
}

void UndoContext::endTransaction(UndoRegistry& registry) {
    if (!m_cursor || m_state != RECORDING)
        return;
    tellListeners(registry, &UndoListener::onRecordingEnd);
    if (m_pendingId < UndoRegistry::SLOT_COUNT && !flushPending())
        fail(L"a journal write failed");
    int typingClass = storedClass(m_typingClass);
    if (!m_discarding && m_recorded && registry.transactionId() < UndoRegistry::SLOT_COUNT) {
        bool written = writeMarker(Marker{m_controllerId, m_lastTypedOffset, static_cast<uint8_t>(typingClass << 1)});
        if (written && typingClass != TYPING_NONE)
            written = rewriteBeginMarker(typingClass);
        if (!written)
            fail(L"a journal write failed");
    }
    if (m_discarding) {
        m_clone.reset();
    } else if (m_recorded) {
        if (m_clone && !m_cursor->adopt(*m_clone)) {
            m_clone.reset();
            fail(L"moving a transaction over the redo tail failed");
        }
        m_clone.reset();
    } else {
        // Nothing recorded: the two markers vanish and a redo tail survives.
        m_clone.reset();
        m_cursor->restore(m_transactionStart);
    }
    m_state = IDLE;
    m_discarding = false;
    if (m_rollback)
        registry.giveBackRollbackFile(this, m_rollback);
    m_rollback = nullptr;
}

// ---- replay ----

void UndoContext::undo(UndoRegistry& registry) {
    replayGroup(registry, true);
}

void UndoContext::redo(UndoRegistry& registry) {
    replayGroup(registry, false);
}

void UndoContext::replayGroup(UndoRegistry& registry, bool undoing) {
    zem::checkMainThread();
    if (!m_cursor || m_state != IDLE || (undoing ? m_cursor->atStart() : m_cursor->atEnd()))
        return;
    m_state = undoing ? UNDOING : REDOING;
    m_replayed = 0;
    m_lastTypedUnit = 0;
    replay(registry, undoing);
    m_state = IDLE;
}

bool UndoContext::replay(UndoRegistry& registry, bool undoing) {
    for (;;) {
        if (undoing ? m_cursor->atStart() : m_cursor->atEnd())
            return true;
        if (undoing && !m_cursor->stepBack()) {
            fail(L"the journal cannot be read back");
            return false;
        }
        int type = m_cursor->beginRead();
        if (type < 0) {
            fail(L"the journal cannot be read");
            return false;
        }
        if (static_cast<uint32_t>(type) == registry.transactionId()) {
            bool failed = false;
            bool stop = handleMarker(registry, undoing, failed);
            m_cursor->endRecord();
            if (failed) {
                fail(L"a transaction marker cannot be read");
                return false;
            }
            if (stop)
                return true;
        } else {
            bool applied = replayRecord(registry, type);
            m_cursor->endRecord();
            if (!applied) {
                fail(L"a damaged record stopped the replay");
                return false;
            }
        }
        if (!undoing && !m_cursor->stepForward()) {
            fail(L"the journal cannot be read forward");
            return false;
        }
    }
}

bool UndoContext::replayRecord(UndoRegistry& registry, int type) {
    UndoListener* shared = registry.getHandler(static_cast<uint32_t>(type));
    if (shared && !shared->apply(*this, type))
        return false;
    UndoListener* own = m_handlers[type];
    if (!own)
        return true;
    m_cursor->endRecord();
    if (m_cursor->beginRead() != type)
        return false;
    return own->apply(*this, type);
}

bool UndoContext::handleMarker(UndoRegistry& registry, bool undoing, bool& failed) {
    uint8_t payload[MARKER_SIZE];
    if (m_cursor->read(payload, MARKER_SIZE) != MARKER_SIZE) {
        failed = true;
        return true;
    }
    Marker marker{getI32(payload), getI32(payload + 4), payload[8]};
    int markerClass = (marker.flags >> 1) & 3;
    bool isBegin = (marker.flags & MARKER_BEGIN) != 0;
    if (isBegin == undoing) {
        // The far marker: this transaction has been replayed whole.
        if (undoing)
            m_groupMark = m_cursor->mark();
        ++m_replayed;
        m_replayController = marker.controllerId;
        m_replayClass = markerClass;
        m_replayOffset = marker.offset;
        m_typingClass = markerClass;
        tellListeners(registry, &UndoListener::onTransactionEnd);
        return undoing && ((marker.flags & MARKER_NEW_GROUP) || m_cursor->atStart());
    }
    if (m_replayed > 0) {
        bool adjacent = undoing ? marker.offset + 1 == m_replayOffset : marker.offset == m_replayOffset + 1;
        bool joins = marker.controllerId == m_replayController && markerClass == m_replayClass &&
                     (markerClass == TYPING_UNIT || markerClass == TYPING_TAB) && !(marker.flags & MARKER_NEW_GROUP) &&
                     adjacent;
        if (!joins) {
            if (undoing)
                m_cursor->restore(m_groupMark);
            return true;
        }
    }
    m_typingClass = markerClass;
    tellListeners(registry, &UndoListener::onTransactionBegin);
    return false;
}

// ---- diagnostics ----

void UndoContext::dumpJournal(const wchar_t* label, std::wstring& out) {
    if (!m_cursor || m_state != IDLE)
        return;
    JournalMark here = m_cursor->mark();
    JournalMark start = here;
    start.current = start.previous = start.next = 0;
    start.headerSize = 0;
    m_cursor->restore(start);
    UndoListener fallback;
    while (!m_cursor->atEnd()) {
        int type = m_cursor->beginRead();
        if (type < 0)
            break;
        UndoListener* handler = m_registry->getHandler(static_cast<uint32_t>(type));
        if (!handler)
            handler = m_handlers[type] ? m_handlers[type] : &fallback;
        handler->dump(*this, label, out);
        m_cursor->endRecord();
        if (!m_cursor->stepForward())
            break;
    }
    m_cursor->restore(here);
}

} // namespace corvel
