#include "corvel/document/DocumentIO.h"

#include "DocumentReader.h"
#include "DocumentWriter.h"
#include "OpenFile.h"
#include "RequestQueue.h"
#include "corvel/document/Document.h"
#include "corvel/document/UndoContext.h"
#include "zem/base/Assert.h"
#include "zem/files/FileIO.h"
#include "zem/files/SafeSave.h"
#include "zem/log/LogManager.h"
#include "zem/thread/Thread.h"

#include <windows.h>

namespace corvel {

namespace {

const uint32_t LOG_SOURCE_DOCUMENT = 0;

// The thread's error as the request's record; a failure is never reported as code 0.
std::unique_ptr<zem::ErrorObject> captureError(uint32_t fallback) {
    if (zem::lastErrorCode() == 0)
        zem::setError(fallback);
    return std::make_unique<zem::ErrorObject>(zem::currentError());
}

// Holds the document's edit lock off the main thread for a whole load or save.
class EditLockHold {
public:
    explicit EditLockHold(Document* document) : m_document(document) {
        ZEM_ASSERT(!zem::is_main_thread());
        m_document->lockEdit();
    }
    ~EditLockHold() { m_document->unlockEdit(); }
    EditLockHold(const EditLockHold&) = delete;
    EditLockHold& operator=(const EditLockHold&) = delete;

private:
    Document* m_document;
};

void load(DocumentIORequest& request, DocumentManager* manager) {
    OpenFile file(zem::fileOpen(request.path.c_str(), zem::FILE_MODE_READ));
    if (!file) {
        request.error = captureError(ERROR_OPEN_FAILED);
        return;
    }
    bool read;
    {
        EditLockHold hold(request.document);
        request.document->resetForLoad();
        read = DocumentReader(request.document, manager).read(file.get());
    }
    if (!read)
        request.error = captureError(ERROR_READ_FAULT);
}

// The file layer writes beside the target and swaps the new file in: the target is
// untouched until the new content is complete, and no temporary file stays behind a failure.
void save(DocumentIORequest& request) {
    Document* document = request.document;
    const bool saved = zem::fileSaveReplacing(request.path.c_str(), [document](zem::File& file) {
        EditLockHold hold(document);
        return DocumentWriter(document).write(&file);
    });
    if (!saved) {
        request.error = captureError(ERROR_WRITE_FAULT);
        return;
    }
    // The file now holds the text as the journal stands: the next edit bracket clears the
    // modified flag. Marked only once the new file is in place.
    EditLockHold hold(document);
    if (UndoContext* undo = document->getUndoContext())
        undo->markSaved();
}

} // namespace

LineEndingVote voteLineEnding(int32_t crlfCount, int32_t crCount, int32_t lfCount) {
    const int32_t total = crlfCount + crCount + lfCount;
    if (total == 0)
        return LineEndingVote{0, LINE_ENDING_CR};
    struct Row {
        int32_t kind;
        float fraction;
    };
    const Row rows[] = {
        {LINE_ENDING_CR, float(crCount) / float(total)},
        {LINE_ENDING_CRLF, float(crlfCount) / float(total)},
        {LINE_ENDING_LF, float(lfCount) / float(total)},
    };
    const Row* chosen = &rows[0];
    float best = rows[0].fraction > 0 ? rows[0].fraction : 0;
    for (const Row& row : rows) {
        if (row.fraction > best) {
            best = row.fraction;
            chosen = &row;
        }
    }
    return LineEndingVote{chosen->fraction, chosen->kind};
}

class DocumentIO::Loader : public zem::LegacyThread {
public:
    explicit Loader(DocumentManager* manager) : zem::LegacyThread(L"DocLoader"), m_manager(manager) {}

    ~Loader() override {
        m_queue.close();
        stopAndJoin();
    }

    DocumentIORequest* doRequest(Document* document, const wchar_t* path, int32_t kind) {
        const int slot = m_queue.acquire();
        DocumentIORequest& request = m_requests[slot];
        request.kind = kind;
        request.path = path ? path : L"";
        request.error.reset();
        request.document = document;
        if (m_queue.put(slot) != 0) {
            zem::logMessage(1, LOG_SOURCE_DOCUMENT, L"DocumentIO::doRequest: '%s' queue error\n", request.path.c_str());
            request.path.clear();
            m_queue.release(slot);
            return nullptr;
        }
        return &request;
    }

    void releaseRequest(DocumentIORequest* request) {
        const int slot = static_cast<int>(request - m_requests);
        request->path.clear();
        request->path.shrink_to_fit();
        m_queue.release(slot);
    }

    int run() override {
        for (;;) {
            const int slot = m_queue.take();
            if (slot == RequestQueue::CLOSING)
                return 0;
            DocumentIORequest& request = m_requests[slot];
            try {
                if (request.kind == DocumentIORequest::LOAD)
                    load(request, m_manager);
                else
                    save(request);
            } catch (...) {
                // Nothing escapes the thread; the caller learns of it through the record.
                zem::setError(ERROR_INTERNAL_ERROR);
                request.error = captureError(ERROR_INTERNAL_ERROR);
            }
            request.done.release();
        }
    }

private:
    DocumentManager* m_manager;
    RequestQueue m_queue;
    DocumentIORequest m_requests[RequestQueue::SIZE];
};

DocumentIO::DocumentIO(DocumentManager* manager) : m_loader(std::make_unique<Loader>(manager)) {
    m_loader->start();
}

DocumentIO::~DocumentIO() = default;

DocumentIORequest* DocumentIO::doRequest(Document* document, const wchar_t* path, int32_t kind) {
    return m_loader->doRequest(document, path, kind);
}

void DocumentIO::releaseRequest(DocumentIORequest* request) {
    m_loader->releaseRequest(request);
}

} // namespace corvel
