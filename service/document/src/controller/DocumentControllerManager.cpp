#include "corvel/document/DocumentControllerManager.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerUndoIO.h"
#include "corvel/document/DocumentManager.h"

#include <algorithm>

namespace corvel {

DocumentControllerManager::DocumentControllerManager(DocumentManager* documentManager)
    : m_documentManager(documentManager) {
    m_undoIO.reset(new DocumentControllerUndoIO(this, documentManager ? documentManager->getUndoRegistry() : nullptr));
}

DocumentControllerManager::~DocumentControllerManager() = default;

DocumentController* DocumentControllerManager::createController(Document* document) {
    DocumentController* controller = new DocumentController(this, document, m_nextId++);
    m_controllers.push_back(controller);
    document->attachController(controller);
    return controller;
}

DocumentController* DocumentControllerManager::createUntitledDocument() {
    if (!m_documentManager)
        return nullptr;
    return createController(m_documentManager->createDocument(std::wstring()));
}

void DocumentControllerManager::destroyController(DocumentController* controller) {
    const auto found = std::find(m_controllers.begin(), m_controllers.end(), controller);
    if (found == m_controllers.end())
        return;
    m_controllers.erase(found);
    if (m_activeController == controller)
        m_activeController = nullptr;
    Document* document = controller->getDocument();
    document->detachController(controller);
    delete controller;
    if (document->getControllers().empty() && m_documentManager)
        m_documentManager->closeDocument(document);
}

} // namespace corvel
