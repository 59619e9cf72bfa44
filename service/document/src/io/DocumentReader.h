// One load: reads a file in chunks of at most 1 MiB, decodes it by its mark (or as UTF-8
// when the first chunk reads as such, else ANSI), turns every line break into one LF and
// fills a new gap buffer and the line starts; the line-break style is voted on at the end.
#pragma once
#include "corvel/document/BlockList.h"
#include "corvel/document/DocumentState.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zem {
class File;
}

namespace corvel {

class Document;
class DocumentManager;
class GapBuffer;

class DocumentReader {
public:
    DocumentReader(Document* document, DocumentManager* manager);

    // With the document's edit lock held. False with the thread's error record set;
    // the document is then empty.
    bool read(zem::File* file);

private:
    bool readChunks(zem::File* file, uint32_t size);
    void startText(const uint8_t* firstChunk, size_t length, uint32_t size);
    void scan(const wchar_t* units, size_t count);
    void emitBreak(int32_t kind);
    void emitPendingBreak();
    void finishPending();
    void finish();
    bool fail(uint32_t code);

    Document* m_document;
    DocumentManager* m_manager;
    std::unique_ptr<GapBuffer> m_text;
    uint32_t m_codePage = 0;
    size_t m_skip = 0; // bytes of the mark still to skip in the first chunk
    // Where scan writes: the gap buffer's room from m_outStart (text offset m_outBase) on.
    wchar_t* m_outStart = nullptr;
    wchar_t* m_out = nullptr;
    int32_t m_outBase = 0;
    int32_t m_crlfCount = 0;
    int32_t m_crCount = 0;
    int32_t m_lfCount = 0;
    bool m_pendingCr = false;
    bool m_pendingLf = false;
    BlockList m_lineStarts;     // the offset just past each break; the counts above give the vote
    uint32_t m_appendTicks = 0; // time spent appending text, in milliseconds
};

} // namespace corvel
