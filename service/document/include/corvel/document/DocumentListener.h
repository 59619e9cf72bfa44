// The notifications a document sends, in slot order. Every body is empty, so a listener
// overrides only what it needs.
#pragma once
#include <cstdint>

namespace corvel {

class Document;
class DocumentState;
struct TextChange;

// The lines an edit touched; both -1 while nothing changed.
struct LineRange {
    int32_t first = -1;
    int32_t last = -1;
};

class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    virtual void onTextInserted(Document*, const TextChange&) {}
    virtual void onTextInserting(Document*, const TextChange&) {}
    virtual void onTextRemoved(Document*, const TextChange&) {}
    virtual void onTextRemoving(Document*, const TextChange&) {}
    virtual void onEditBegin(Document*, const LineRange&) {}
    virtual void onEditEnd(Document*, const LineRange&) {}
    // On the main thread.
    virtual void onStateChanged(Document*, const DocumentState&, uint32_t /*mask*/) {}
    // When the state was published from another thread (the loader).
    virtual void onStateChangedAsync(Document*, const DocumentState&, uint32_t /*mask*/) {}
    virtual void onNameChanged(Document*, const wchar_t* /*name*/) {}
    virtual void onLinesParsed(Document*, int32_t /*first*/, int32_t /*last*/) {}
    virtual void onLoaded(Document*) {}
    virtual void onLineMarkersChanged(Document*, int32_t /*line*/, int32_t /*count*/) {}
    virtual void onFileChanged(Document*, intptr_t /*argument*/) {}
    virtual void onReloadBegin(Document*) {}
    virtual void onReloadEnd(Document*) {}
};

} // namespace corvel
