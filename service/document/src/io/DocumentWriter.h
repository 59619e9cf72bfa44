// One save: the code page's mark, then the text with each LF written as the document's
// line-break bytes, encoded in pieces of at most 0x100000 units.
#pragma once
#include <cstdint>

namespace zem {
class File;
}

namespace corvel {

class Document;

class DocumentWriter {
public:
    explicit DocumentWriter(Document* document) : m_document(document) {}

    // With the document's edit lock held. False with the thread's error record set.
    bool write(zem::File* file);

private:
    Document* m_document;
};

} // namespace corvel
