// Creates, numbers, lists and destroys the document controllers, closes a document when
// its last controller goes, and owns the replay of the controllers' undo records.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace corvel {

class Document;
class DocumentController;
class DocumentControllerUndoIO;
class DocumentManager;

class DocumentControllerManager {
public:
    // The document manager may be null (no undo records, documents never closed).
    explicit DocumentControllerManager(DocumentManager* documentManager);
    // Controllers still listed are not destroyed here.
    ~DocumentControllerManager();
    DocumentControllerManager(const DocumentControllerManager&) = delete;
    DocumentControllerManager& operator=(const DocumentControllerManager&) = delete;

    DocumentController* createController(Document* document);
    DocumentController* createUntitledDocument();
    // Nothing for a controller not in the list.
    void destroyController(DocumentController* controller);

    DocumentController* getActiveController() const { return m_activeController; }
    void setActiveController(DocumentController* controller) { m_activeController = controller; }
    const std::vector<DocumentController*>& getControllers() const { return m_controllers; }
    DocumentControllerUndoIO* getUndoIO() const { return m_undoIO.get(); }
    DocumentManager* getDocumentManager() const { return m_documentManager; }

private:
    DocumentManager* m_documentManager;
    DocumentController* m_activeController = nullptr;
    std::vector<DocumentController*> m_controllers; // owned
    std::unique_ptr<DocumentControllerUndoIO> m_undoIO;
    int32_t m_nextId = 1;
};

} // namespace corvel
