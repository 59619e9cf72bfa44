// Every read of a file into a document and every write of a document to a file, done
// one at a time on the "DocLoader" thread so that the main thread never decodes or
// encodes text. The caller queues a request, waits on its semaphore, reads its error
// and hands it back.
#pragma once
#include "corvel/document/DocumentState.h"
#include "zem/base/Error.h"
#include "zem/thread/Semaphore.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvel {

class Document;
class DocumentManager;

struct DocumentIORequest {
    enum Kind : int32_t { LOAD = 0, SAVE = 1 };

    int32_t kind = LOAD;
    std::wstring path;
    std::unique_ptr<zem::ErrorObject> error; // null on success; never code 0
    Document* document = nullptr;
    zem::Semaphore done{0, 1};
};

// The style most of a file's line breaks had: ties go to CR, then CR LF, then LF.
// {0, CR} when there was no break.
LineEndingVote voteLineEnding(int32_t crlfCount, int32_t crCount, int32_t lfCount);

class DocumentIO {
public:
    static constexpr int QUEUE_SIZE = 64;

    // Starts the "DocLoader" thread. With a null manager, loads run no detectors.
    explicit DocumentIO(DocumentManager* manager);
    // Closes the queue and waits for the thread.
    ~DocumentIO();
    DocumentIO(const DocumentIO&) = delete;
    DocumentIO& operator=(const DocumentIO&) = delete;

    // Waits while all 64 requests are pending. Null, with a log line, once the queue is
    // closing. The caller must not hold the document's edit lock while it waits.
    DocumentIORequest* doRequest(Document* document, const wchar_t* path, int32_t kind);
    void releaseRequest(DocumentIORequest* request);

private:
    class Loader;
    std::unique_ptr<Loader> m_loader;
};

} // namespace corvel
