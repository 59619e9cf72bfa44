#include "corvel/document/DocumentControllerManager.h"

#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerUndoIO.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/document/FacePreset.h"
#include "corvel/document/FacePresetManager.h"

#include <algorithm>

namespace corvel {

DocumentControllerManager::DocumentControllerManager(DocumentManager* documentManager)
    : m_documentManager(documentManager) {
    m_undoIO.reset(new DocumentControllerUndoIO(this, documentManager ? documentManager->getUndoRegistry() : nullptr));
}

DocumentControllerManager::~DocumentControllerManager() {
    followFacePresets(nullptr);
}

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

void DocumentControllerManager::followFacePresets(FacePresetManager* presets) {
    if (m_presets)
        m_presets->presetsChanged.remove(&DocumentControllerManager::onPresetsChanged, this);
    m_presets = presets;
    if (m_presets)
        m_presets->presetsChanged.add(&DocumentControllerManager::onPresetsChanged, this);
}

// Preferences > Apply replaces the whole list by edited copies that keep their ids, so the
// id tells which entry a document's preset came from; a preset of no entry stays as it is.
void DocumentControllerManager::onPresetsChanged(void* self, FacePresetManager* presets) {
    auto* manager = static_cast<DocumentControllerManager*>(self);
    for (DocumentController* controller : std::vector<DocumentController*>(manager->m_controllers)) {
        if (const FacePreset* preset = presets->findPresetById(controller->getFacePreset().id))
            controller->setFacePreset(*preset);
    }
}

} // namespace corvel
