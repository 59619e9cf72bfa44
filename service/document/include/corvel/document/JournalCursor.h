// Reads, writes and walks the records of one undo journal: an append-only run of
// variable-length records, chained backwards by their distance to the previous record and
// forwards by their own size, so undo walks back and redo forward without an index.
#pragma once
#include <cstdint>
#include <memory>

namespace zem {
class File;
}

namespace corvel {

// A cursor's positions and the shape of its current record, saved to return to later.
struct JournalMark {
    uint32_t base = 0;
    uint32_t current = 0;
    uint32_t previous = 0;
    uint32_t next = 0;
    uint32_t end = 0;
    int32_t type = 0;
    uint32_t headerClass = 0;
    uint32_t headerSize = 0;
    uint32_t payloadArea = 0;
};

// Every operation reports failure instead of throwing: a false or a short count means the
// journal could not be read or written there (or held a record that cannot be), and the
// cursor is left on the last record it could trust.
class JournalCursor {
public:
    enum Mode { IDLE = 0, READING = 1, WRITING = 2 };
    static constexpr uint8_t PADDING = 0xCC;
    static constexpr uint32_t MAX_TYPE = 63;

    // The file is not owned; the cursor starts on an empty journal at the file's start.
    explicit JournalCursor(zem::File* file);

    // Header class for a payload of payloadSize bytes written backDistance bytes after the
    // previous record, and the total size of that record (a multiple of 4).
    static uint32_t classFor(uint32_t payloadSize, uint32_t backDistance);
    static uint32_t totalSizeFor(uint32_t headerClass, uint32_t payloadSize);

    bool beginRecord(uint32_t type, uint32_t payloadSize);
    // Writes into the payload, never past its area; returns the bytes written.
    uint32_t write(const void* bytes, uint32_t count);
    // Pads and closes a record being written, making it the last one; returns to idle in
    // every mode. False when any write of the record failed: the record is then not part
    // of the journal.
    bool endRecord();

    bool seekTo(uint32_t position);
    // Both do nothing (and answer false) at the journal's start or end, or while a record is
    // being read or written.
    bool stepBack();
    bool stepForward();

    // Positions at the current record's payload; the record's type, or -1 when there is no
    // record here or the journal cannot be read.
    int beginRead();
    // At most the rest of the payload area: past the payload come its padding bytes, never
    // the next record.
    uint32_t read(void* bytes, uint32_t count);

    // Writes over the first count bytes of the payload of the record at position, leaving
    // the cursor where it stands; false when the record is not there or is smaller.
    bool rewritePayload(uint32_t position, const void* bytes, uint32_t count);

    // A cursor on the same file whose records land at the journal's end, behind any redo
    // tail, until adopt() moves them down.
    std::unique_ptr<JournalCursor> clone() const;
    // Moves what clone wrote down onto this cursor's current position (overwriting the redo
    // tail) and takes over the clone's positions.
    bool adopt(const JournalCursor& clone);

    JournalMark mark() const;
    void restore(const JournalMark& mark);

    zem::File* file() const { return m_file; }
    int32_t type() const { return m_at.type; }
    uint32_t base() const { return m_at.base; }
    uint32_t current() const { return m_at.current; }
    uint32_t previous() const { return m_at.previous; }
    uint32_t next() const { return m_at.next; }
    uint32_t end() const { return m_at.end; }
    uint32_t headerClass() const { return m_at.headerClass; }
    uint32_t headerSize() const { return m_at.headerSize; }
    uint32_t payloadArea() const { return m_at.payloadArea; }
    uint32_t remaining() const { return m_remaining; }
    Mode mode() const { return m_mode; }
    bool atStart() const { return m_at.current == 0; }
    bool atEnd() const { return m_at.current == m_at.end; }

private:
    struct Header {
        uint32_t type = 0;
        uint32_t headerClass = 0;
        uint32_t headerSize = 0;
        uint32_t backDistance = 0;
        uint32_t totalSize = 0;
    };

    bool seekFile(uint32_t position);
    bool writeFile(const void* bytes, uint32_t count);
    // Reads and checks the header of the record at position: it must lie whole inside the
    // journal and its back distance must not reach before the journal's start.
    bool readHeader(uint32_t position, Header& out);
    void takeHeader(uint32_t position, const Header& header);

    zem::File* m_file;
    // Positions relative to m_at.base, multiples of 4: previous <= current <= end; current
    // equals end past the last record; next is 0 while unknown.
    JournalMark m_at;
    uint32_t m_remaining = 0; // payload-area bytes not yet read or written
    Mode m_mode = IDLE;
    bool m_writeFailed = false; // a write of the record being written came up short
};

} // namespace corvel
