// The snippet kind's entry editor: a form of the title, the content (in an editor view
// with the snippet grammar), the scope selector, the tab trigger and the shortcut.
#pragma once
#include "corvel/config/ValidationErrorList.h"
#include "corvel/workspace/BundleEditorManagers.h"
#include "corvel/workspace/BundleEntryEditor.h"
#include "corvel/workspace/BundleEntryEditorState.h"

#include <string>

namespace corvel {

class afControlEdit;
class afControlShortcut;
class afLayoutField;
class DocumentController;
class Editor;
class Snippet;

// The values of one snippet's form, the content in an untitled document of its own.
class SnippetEditorState : public BundleEntryEditorState {
public:
    // Takes the controller, which it gives back to its manager when destroyed.
    SnippetEditorState(Snippet* snippet, DocumentControllerManager* controllers, DocumentController* controller);
    ~SnippetEditorState() override;

    // The snippet's dictionary with the five fields of the form set (keys the form does
    // not show kept) becomes its value inside an update bracket; false when the snippet
    // then reports errors.
    bool apply() override;
    // The title must not be empty, the scope must be a selector and the content must
    // parse; the problems are marked in the content.
    bool check() override;

    Snippet* getSnippet() const { return m_snippet; }
    DocumentController* getController() const { return m_controller; }
    const ValidationErrorList& getErrors() const { return m_errors; }
    std::wstring getContent() const;

    std::wstring title;
    std::wstring shortcut; // key text; empty for none
    std::wstring tabTrigger;
    std::wstring scope;

private:
    Snippet* m_snippet;
    DocumentControllerManager* m_controllers;
    DocumentController* m_controller;
    ValidationErrorList m_errors;
};

class SnippetEditor : public BundleEntryEditor {
public:
    SnippetEditor(afView* parent, const BundleEditorManagers& managers);
    // A new editor whose window exists, owned by parent; null for a null parent.
    static SnippetEditor* create(afView* parent, const BundleEditorManagers& managers);

    // Other entries throw InvalidArgumentException "Entry is not a snippet.".
    BundleEntryEditorState* createState(BundleEntry* entry) override;
    // States of other editors throw InvalidArgumentException "State is not for snippet.".
    void attach(BundleEntryEditorState* state) override;
    void detach(BundleEntryEditorState* state) override;
    void checkState(BundleEntryEditorState* state) override;
    void storeState(BundleEntryEditorState* state) override;
    // Whether the state is one of this editor's.
    static bool acceptsState(const BundleEntryEditorState* state);

    afControlEdit* getTitleEdit() const { return m_title; }
    afControlEdit* getScopeEdit() const { return m_scope; }
    afControlEdit* getTabTriggerEdit() const { return m_tabTrigger; }
    afControlShortcut* getShortcut() const { return m_shortcut; }
    Editor* getContentView() const { return m_content; }

protected:
    void buildForm(afLayoutLinear* column) override;

private:
    static SnippetEditorState* snippetState(BundleEntryEditorState* state);
    static void onEditChanged(void* self, afControlEdit* edit);
    static void onShortcutChanged(void* self, afControlShortcut* shortcut);
    static void onModifiedChanged(void* self, DocumentController* controller, bool modified);
    void subscribe(SnippetEditorState* state, bool on);
    afLayoutField* addField(afLayoutLinear* column, const wchar_t* label, const wchar_t* hint, afView* control,
                            double weight);

    BundleEditorManagers m_managers;
    Editor* m_content = nullptr;
    afControlShortcut* m_shortcut = nullptr;
    afControlEdit* m_scope = nullptr;
    afControlEdit* m_tabTrigger = nullptr;
    afControlEdit* m_title = nullptr;
};

} // namespace corvel
