#include "corvel/workspace/SnippetEditor.h"

#include "EntryBrackets.h"
#include "corvel/bundles/BundleEntryChecks.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetValidator.h"
#include "corvel/bundles/markValidationErrors.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/DocumentControllerManager.h"
#include "corvel/editor/Editor.h"
#include "corvel/ui/afKey.h"
#include "corvel/ui/afLayoutField.h"
#include "corvel/ui/afLayoutLinear.h"
#include "corvel/ui/afLayoutParams.h"
#include "corvel/ui/afWidgetKit.h"
#include "corvel/widgets/afControlEdit.h"
#include "corvel/widgets/afControlShortcut.h"
#include "zem/base/Exception.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/StringValue.h"

namespace corvel {

namespace {

constexpr int FIELD_GAP = 10;
constexpr int FORM_PADDING = 20;
const wchar_t* const SNIPPET_GRAMMAR = L"text.snippet";

void setString(zem::DictionaryValue& dictionary, const wchar_t* key, const std::wstring& text) {
    dictionary.set(key, new zem::StringValue(text));
}

// The key's text when the dictionary holds it as a string.
void readString(const zem::DictionaryValue& dictionary, const wchar_t* key, std::wstring& out) {
    if (const zem::Value* value = dictionary.findTyped(key, zem::Value::KIND_STRING))
        value->getString(&out);
}

// The form's values as stored: a snippet whose file failed validation has not taken its
// properties, and an empty form would hide (and on saving, overwrite) what the file holds.
void readStored(Snippet& snippet, std::wstring& title, std::wstring& shortcut, std::wstring& tabTrigger,
                std::wstring& scope, std::wstring& content) {
    std::shared_ptr<zem::DictionaryValue> stored = snippet.getValue();
    if (!stored)
        return;
    readString(*stored, L"title", title);
    readString(*stored, L"key_equivalent", shortcut);
    readString(*stored, L"shortcut", shortcut);
    readString(*stored, L"tab_trigger", tabTrigger);
    readString(*stored, L"scope", scope);
    readString(*stored, L"content", content);
    size_t at = 0;
    while ((at = content.find(L"\r\n", at)) != std::wstring::npos)
        content.erase(at, 1);
}

} // namespace

SnippetEditorState::SnippetEditorState(Snippet* snippet, DocumentControllerManager* controllers,
                                       DocumentController* controller)
    : BundleEntryEditorState(snippet), title(snippet->getTitle()), shortcut(snippet->getShortcut()),
      tabTrigger(snippet->getTabTrigger()), scope(snippet->getScope()), m_snippet(snippet), m_controllers(controllers),
      m_controller(controller) {
    std::wstring content = snippet->getContent();
    if (snippet->hasErrors())
        readStored(*snippet, title, shortcut, tabTrigger, scope, content);
    m_controller->setLanguage(SNIPPET_GRAMMAR);
    m_controller->setText(content);
    m_controller->getDocument()->clearUndoHistory();
    for (const ValidationError* error : snippet->getErrors())
        m_errors.add(error->clone());
}

SnippetEditorState::~SnippetEditorState() {
    if (m_controllers && m_controller)
        m_controllers->destroyController(m_controller);
}

std::wstring SnippetEditorState::getContent() const {
    return wholeText(*m_controller);
}

bool SnippetEditorState::apply() {
    // From a copy of the snippet's own dictionary: keys the form does not show stay.
    std::shared_ptr<zem::DictionaryValue> current = m_snippet->getValue();
    std::shared_ptr<zem::DictionaryValue> value(current ? static_cast<zem::DictionaryValue*>(current->clone())
                                                        : new zem::DictionaryValue());
    setString(*value, L"title", title);
    setString(*value, L"content", getContent());
    setString(*value, L"shortcut", shortcut);
    setString(*value, L"tab_trigger", tabTrigger);
    setString(*value, L"scope", scope);
    {
        UpdateBracket update(*m_snippet);
        m_snippet->setValue(value);
    }
    if (m_snippet->hasErrors())
        return false;
    m_controller->clearModified();
    return true;
}

bool SnippetEditorState::check() {
    m_errors.clear();
    checkNotEmpty(title, &m_errors);
    checkScopeSelector(scope, &m_errors, nullptr);
    SnippetValidator::validateContent(&m_errors, getContent(), zem::SourcePosition());
    EditBracket write(*m_controller, DocumentController::EDIT_WRITE);
    m_controller->getDocument()->removeAllLineMarkers(VALIDATION_MARKER_KIND);
    markValidationErrors(&m_errors, m_controller);
    return m_errors.size() == 0;
}

SnippetEditor::SnippetEditor(afView* parent, const BundleEditorManagers& managers)
    : BundleEntryEditor(parent), m_managers(managers) {
    m_caption = L"Snippet";
    setName(L"snippet_editor");
}

SnippetEditor* SnippetEditor::create(afView* parent, const BundleEditorManagers& managers) {
    if (!parent)
        return nullptr;
    auto* editor = new SnippetEditor(parent, managers);
    editor->afViewPlatform::create();
    return editor;
}

afLayoutField* SnippetEditor::addField(afLayoutLinear* column, const wchar_t* label, const wchar_t* hint,
                                       afView* control, double weight) {
    // In the window's tree first: the row's controls need their native host.
    auto* field = new afLayoutField(this);
    auto* place =
        new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, weight > 0 ? 0 : afLayoutParams::WRAP_CONTENT, weight);
    place->setMargins(0, FIELD_GAP, 0, 0);
    column->addChild(field, place);
    // The caption and the hint share the field's first row; the control goes below.
    field->createContent();
    field->setLabel(label);
    field->setHelpText(hint, 5);
    int height = weight > 0 ? 0 : afLayoutParams::WRAP_CONTENT;
    field->addChild(control, new afLayoutParamsLinear(afLayoutParams::FILL_PARENT, height, weight));
    return field;
}

namespace {

// An edit whose text is read back from the control, where typing puts it.
afControlEdit* makeEdit(afView* parent) {
    afControlEdit* edit = afControlEdit::create(parent);
    edit->setOptions(edit->getOptions() | afViewPlatform::OPTION_NATIVE_TEXT);
    return edit;
}

} // namespace

void SnippetEditor::buildForm(afLayoutLinear* column) {
    column->setPadding(FORM_PADDING);
    m_title = makeEdit(this);
    addField(column, L"&Title", L"Name of the snippet.", m_title, 0.0);
    m_content = Editor::create(this, Editor::BORDER_CLIENT_EDGE);
    m_content->setName(L"snippet");
    addField(column, L"&Snippet", L"Snippet content", m_content, 1.0);
    m_scope = makeEdit(this);
    addField(column, L"S&cope selector", L"Selector specifying in which context this item is launching.", m_scope, 0.0);
    m_tabTrigger = makeEdit(this);
    addField(column, L"Tab tr&igger", L"A short word form launch this item from editor using a tab key.", m_tabTrigger,
             0.0);
    m_shortcut = afControlShortcut::create(this);
    addField(column, L"S&hortcut", L"A shortcut to launch this item.", m_shortcut, 0.0);
}

bool SnippetEditor::acceptsState(const BundleEntryEditorState* state) {
    return dynamic_cast<const SnippetEditorState*>(state) != nullptr;
}

SnippetEditorState* SnippetEditor::snippetState(BundleEntryEditorState* state) {
    auto* snippet = dynamic_cast<SnippetEditorState*>(state);
    if (!snippet)
        throw zem::InvalidArgumentException(L"State is not for snippet.");
    return snippet;
}

BundleEntryEditorState* SnippetEditor::createState(BundleEntry* entry) {
    auto* snippet = dynamic_cast<Snippet*>(entry);
    if (!snippet)
        throw zem::InvalidArgumentException(L"Entry is not a snippet.");
    return new SnippetEditorState(snippet, m_managers.controllers, m_managers.controllers->createUntitledDocument());
}

void SnippetEditor::attach(BundleEntryEditorState* state) {
    SnippetEditorState* snippet = snippetState(state);
    BundleEntryEditor::attach(state);
    // Filled before the subscriptions: showing the values is no change.
    m_title->setText(snippet->title.c_str());
    m_shortcut->setShortcutText(snippet->shortcut);
    m_scope->setText(snippet->scope.c_str());
    m_tabTrigger->setText(snippet->tabTrigger.c_str());
    m_content->setDocumentController(snippet->getController());
    subscribe(snippet, true);
    snippet->check();
    showValidation(snippet->getErrors());
}

void SnippetEditor::detach(BundleEntryEditorState* state) {
    SnippetEditorState* snippet = snippetState(state);
    subscribe(snippet, false);
    if (m_content->getDocumentController() == snippet->getController())
        m_content->setDocumentController(nullptr);
    BundleEntryEditor::detach(state);
}

void SnippetEditor::checkState(BundleEntryEditorState* state) {
    SnippetEditorState* snippet = snippetState(state);
    snippet->check();
    if (snippet == m_state)
        showValidation(snippet->getErrors());
}

void SnippetEditor::storeState(BundleEntryEditorState* state) {
    SnippetEditorState* snippet = snippetState(state);
    snippet->title = m_title->getText();
    int key = m_shortcut->getKey();
    snippet->shortcut = key ? afKey::toString(key) : std::wstring();
    snippet->scope = m_scope->getText();
    snippet->tabTrigger = m_tabTrigger->getText();
}

void SnippetEditor::subscribe(SnippetEditorState* state, bool on) {
    for (afControlEdit* edit : {m_title, m_scope, m_tabTrigger}) {
        if (on)
            edit->changeListeners().add(&SnippetEditor::onEditChanged, this);
        else
            edit->changeListeners().remove(&SnippetEditor::onEditChanged, this);
    }
    if (on) {
        m_shortcut->changeListeners().add(&SnippetEditor::onShortcutChanged, this);
        state->getController()->modifiedChanged.add(&SnippetEditor::onModifiedChanged, this);
    } else {
        m_shortcut->changeListeners().remove(&SnippetEditor::onShortcutChanged, this);
        state->getController()->modifiedChanged.remove(&SnippetEditor::onModifiedChanged, this);
    }
}

void SnippetEditor::onEditChanged(void* self, afControlEdit*) {
    static_cast<SnippetEditor*>(self)->contentChanged();
}

void SnippetEditor::onShortcutChanged(void* self, afControlShortcut*) {
    static_cast<SnippetEditor*>(self)->contentChanged();
}

void SnippetEditor::onModifiedChanged(void* self, DocumentController*, bool modified) {
    if (modified)
        static_cast<SnippetEditor*>(self)->contentChanged();
}

} // namespace corvel
