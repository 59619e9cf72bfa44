#include "corvel/workspace/BundleEntrySourceEditor.h"

#include "EntryBrackets.h"
#include "corvel/bundles/BundleEntry.h"
#include "corvel/bundles/BundleEntryValidator.h"
#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageManager.h"
#include "corvel/bundles/markValidationErrors.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/document/DocumentManager.h"
#include "corvel/editor/Editor.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "zem/base/Exception.h"

namespace corvel {

const wchar_t* const BundleEntrySourceEditor::SOURCE_PATH = L"source.jasmine";

BundleEntrySourceEditorState::BundleEntrySourceEditorState(BundleEntry* entry, DocumentControllerManager* controllers,
                                                           DocumentController* controller)
    : BundleEntryEditorState(entry), m_controllers(controllers), m_controller(controller) {}

BundleEntrySourceEditorState::~BundleEntrySourceEditorState() {
    if (m_controllers && m_controller)
        m_controllers->destroyController(m_controller);
}

bool BundleEntrySourceEditorState::check() {
    m_errors.clear();
    bool valid = getEntry()->getValidator().validateSource(&m_errors, wholeText(*m_controller), L"");
    {
        EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
        m_controller->getDocument()->removeAllLineMarkers(VALIDATION_MARKER_KIND);
        markValidationErrors(&m_errors, m_controller);
    }
    if (getEditor())
        getEditor()->showValidation(m_errors);
    return valid;
}

bool BundleEntrySourceEditorState::apply() {
    std::wstring text = wholeText(*m_controller);
    BundleEntry* entry = getEntry();
    {
        UpdateBracket update(*entry);
        entry->setSource(text);
    }
    if (entry->hasErrors()) {
        // The text stays as typed; the problems show in the list and the text.
        check();
        return false;
    }
    m_controller->clearModified();
    return true;
}

BundleEntrySourceEditor::BundleEntrySourceEditor(afView* parent, const BundleEditorManagers& managers)
    : BundleEntryEditor(parent), m_managers(managers) {
    m_caption = L"Source";
    setName(L"source_editor");
}

BundleEntrySourceEditor* BundleEntrySourceEditor::create(afView* parent, const BundleEditorManagers& managers) {
    if (!parent)
        return nullptr;
    auto* editor = new BundleEntrySourceEditor(parent, managers);
    editor->afViewPlatform::create();
    return editor;
}

void BundleEntrySourceEditor::buildForm(afLayoutLinear* column) {
    m_editor = Editor::create(this, Editor::BORDER_NONE);
    m_editor->setName(L"entry_source");
    column->addChild(m_editor, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, 0, 1.0));
}

BundleEntryEditorState* BundleEntrySourceEditor::createState(BundleEntry* entry) {
    zem::throwIfNull(entry);
    const std::wstring& source = entry->getSource();
    DocumentController* controller = m_managers.controllers->createUntitledDocument();
    auto* state = new BundleEntrySourceEditorState(entry, m_managers.controllers, controller);
    // Named like a Jasmine file, so that whatever chooses grammars by file name chooses
    // that one. The document stays untitled: nothing watches or saves that name.
    if (DocumentManager* documents = m_managers.controllers->getDocumentManager())
        documents->updateDocumentFilePath(SOURCE_PATH, controller->getDocument());
    if (m_managers.languages) {
        if (Language* language = m_managers.languages->getLanguageForFile(SOURCE_PATH))
            controller->setLanguage(language->getName());
    }
    controller->setText(source);
    controller->getDocument()->clearUndoHistory();
    controller->clearModified();
    state->check();
    if (state->getEditor())
        state->getEditor()->stateChanged(state);
    return state;
}

BundleEntrySourceEditorState* BundleEntrySourceEditor::sourceState(BundleEntryEditorState* state) {
    auto* source = dynamic_cast<BundleEntrySourceEditorState*>(state);
    if (!source)
        throw zem::InvalidArgumentException(L"State is not for source.");
    return source;
}

void BundleEntrySourceEditor::attach(BundleEntryEditorState* state) {
    BundleEntrySourceEditorState* source = sourceState(state);
    BundleEntryEditor::attach(state);
    DocumentController* controller = source->getController();
    if (m_editor)
        m_editor->setDocumentController(controller);
    controller->modifiedChanged.add(&BundleEntrySourceEditor::onModifiedChanged, this);
    showValidation(source->getErrors());
}

void BundleEntrySourceEditor::detach(BundleEntryEditorState* state) {
    BundleEntrySourceEditorState* source = sourceState(state);
    DocumentController* controller = source->getController();
    controller->modifiedChanged.remove(&BundleEntrySourceEditor::onModifiedChanged, this);
    if (m_editor && m_editor->getDocumentController() == controller)
        m_editor->setDocumentController(nullptr);
    BundleEntryEditor::detach(state);
}

void BundleEntrySourceEditor::checkState(BundleEntryEditorState* state) {
    sourceState(state);
}

void BundleEntrySourceEditor::onModifiedChanged(void* self, DocumentController*, bool modified) {
    if (modified)
        static_cast<BundleEntrySourceEditor*>(self)->contentChanged();
}

} // namespace corvel
