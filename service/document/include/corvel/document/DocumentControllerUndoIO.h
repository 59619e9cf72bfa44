// The undo journal's records of a controller's view state: "Selection" and "Spans" are
// replayed through the controller that owns the document's edit, and described in dumps.
// "SelectionCaret" is registered beside them but never written.
#pragma once
#include <cstdint>
#include <memory>

namespace corvel {

class DocumentControllerManager;
class UndoRegistry;

class DocumentControllerUndoIO {
public:
    // Registers the three operations with the registry (none without one).
    DocumentControllerUndoIO(DocumentControllerManager* manager, UndoRegistry* registry);
    ~DocumentControllerUndoIO();
    DocumentControllerUndoIO(const DocumentControllerUndoIO&) = delete;
    DocumentControllerUndoIO& operator=(const DocumentControllerUndoIO&) = delete;

    uint32_t selectionId() const { return m_selectionId; }
    uint32_t selectionCaretId() const { return m_caretId; }
    uint32_t spansId() const { return m_spansId; }

private:
    class Handler;

    DocumentControllerManager* m_manager;
    UndoRegistry* m_registry;
    uint32_t m_selectionId = 64;
    uint32_t m_caretId = 64;
    uint32_t m_spansId = 64;
    std::unique_ptr<Handler> m_selectionHandler;
    std::unique_ptr<Handler> m_caretHandler;
    std::unique_ptr<Handler> m_spansHandler;
};

} // namespace corvel
