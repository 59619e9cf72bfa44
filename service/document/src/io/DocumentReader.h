// One load: reads a file in chunks of at most 1 MiB, decodes it by its mark (or as UTF-8
// when the first chunk reads as such, else ANSI), turns every line break into one LF and
// fills a new gap buffer and the line starts; the line-break style is voted on at the end.
#pragma once
#include "LineBreakScanner.h"
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
    // Decodes and scans the bytes; returns those consumed (an incomplete tail is not).
    size_t decodeChunk(const uint8_t* bytes, size_t count, wchar_t* units, bool final);
    void finish();
    bool fail(uint32_t code);

    Document* m_document;
    DocumentManager* m_manager;
    std::unique_ptr<GapBuffer> m_text;
    uint32_t m_codePage = 0;
    size_t m_skip = 0; // bytes of the mark to skip in the first chunk
    LineBreakScanner m_scanner;
    uint32_t m_appendTicks = 0; // time spent appending text, in milliseconds
};

} // namespace corvel
