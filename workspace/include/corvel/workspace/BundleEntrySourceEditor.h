// The entry editor of every kind without a form of its own: the entry's Jasmine source in
// an editor view, checked by the kind's validator with the problems marked in the text.
#pragma once
#include "corvel/config/ValidationErrorList.h"
#include "corvel/workspace/BundleEditorManagers.h"
#include "corvel/workspace/BundleEntryEditor.h"
#include "corvel/workspace/BundleEntryEditorState.h"

namespace corvel {

class DocumentController;
class Editor;

// The source text of one entry in an untitled document of its own.
class BundleEntrySourceEditorState : public BundleEntryEditorState {
public:
    // Takes the controller, which it gives back to its manager when destroyed.
    BundleEntrySourceEditorState(BundleEntry* entry, DocumentControllerManager* controllers,
                                 DocumentController* controller);
    ~BundleEntrySourceEditorState() override;

    // The text becomes the entry's source inside an update bracket; false, with the
    // problems shown, when the entry then reports errors.
    bool apply() override;
    // Validates the text with the entry's validator and marks the problems in it.
    bool check() override;

    DocumentController* getController() const { return m_controller; }
    const ValidationErrorList& getErrors() const { return m_errors; }

private:
    DocumentControllerManager* m_controllers;
    DocumentController* m_controller;
    ValidationErrorList m_errors;
};

class BundleEntrySourceEditor : public BundleEntryEditor {
public:
    // Named as a file so that the grammar chosen for it is the one of Jasmine files.
    static const wchar_t* const SOURCE_PATH; // "source.jasmine"

    BundleEntrySourceEditor(afView* parent, const BundleEditorManagers& managers);
    // A new editor whose window exists, owned by parent; null for a null parent.
    static BundleEntrySourceEditor* create(afView* parent, const BundleEditorManagers& managers);

    BundleEntryEditorState* createState(BundleEntry* entry) override;
    // States of other editors throw InvalidArgumentException "State is not for source.".
    void attach(BundleEntryEditorState* state) override;
    void detach(BundleEntryEditorState* state) override;
    void checkState(BundleEntryEditorState* state) override;

    Editor* getEditor() const { return m_editor; }

protected:
    void buildForm(afLayoutLinear* column) override;

private:
    static BundleEntrySourceEditorState* sourceState(BundleEntryEditorState* state);
    static void onModifiedChanged(void* self, DocumentController* controller, bool modified);

    BundleEditorManagers m_managers;
    Editor* m_editor = nullptr;
};

} // namespace corvel
