// The scope display, the grammar and snippet launchers and go to line.
#include "EditorCommandTable.h"

#include "corvel/bundles/BundleManager.h"
#include "corvel/bundles/Language.h"
#include "corvel/bundles/LanguageAction.h"
#include "corvel/bundles/Snippet.h"
#include "corvel/bundles/SnippetManager.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/ScopeSelector.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/EditorContext.h"
#include "corvel/editor/GotoLine.h"
#include "corvel/widgets/Hint.h"
#include "corvel/widgets/StringDialog.h"
#include "corvel/widgets/afAction.h"
#include "corvel/widgets/afActionChooser.h"
#include "corvel/widgets/afActionEvent.h"
#include "corvel/widgets/afActionRegistry.h"
#include "zem/base/Format.h"

#include <cwchar>
#include <memory>
#include <vector>

namespace corvel {

namespace {

// The scope path at the caret, outermost atom first, in a hint under the caret.
bool showScope(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    Editor& editor = cmd.getEditor();
    ScopePath path;
    POINT point{0, 0};
    {
        EditBracket bracket(*controller, DocumentController::EDIT_READ);
        controller->getContextScopePath(path);
        editor.positionToPoint(controller->getSelection()->getCaret(), point);
    }
    auto* hint = dynamic_cast<Hint*>(editor.getCaretPopup());
    if (!hint) {
        hint = Hint::create(&editor);
        if (!hint)
            return true;
        editor.setCaretPopup(hint);
    }
    hint->clear();
    for (size_t i = 0; i < path.size(); ++i)
        hint->addLine(std::wstring(path.atom(i).text, path.atom(i).length));
    hint->updateLayered();
    point.y += editor.getLineHeight();
    ClientToScreen(editor.getHandle(), &point);
    const SIZE size = hint->measure();
    hint->setFrameRect(point.x, point.y, size.cx, size.cy);
    hint->setVisible(true);
    return true;
}

// The action registered under name, for a grammar's or snippet's action of that name.
afAction* registeredAction(EditorCmd& cmd, const std::wstring& name) {
    afActionRegistry* registry = cmd.getRegistry();
    return registry && !name.empty() ? registry->findAction(name.c_str()) : nullptr;
}

// One candidate runs at once, several go to the chooser, none or a dismissed chooser does
// nothing. The chosen action gets the launching event's context. Bundles may reload while
// the chooser is open: the chosen action is looked up again by its name.
void runChosen(EditorCmd& cmd, afActionMatchList& candidates, afActionEvent* launching) {
    std::vector<std::wstring> names;
    for (const afActionMatch& candidate : candidates)
        names.push_back(candidate.action->getName());
    const int picked = chooseAction(candidates, &cmd.getEditor());
    if (picked < 0 || static_cast<size_t>(picked) >= names.size())
        return;
    afActionEvent event(afActionEventType::PLAIN);
    event.action = registeredAction(cmd, names[static_cast<size_t>(picked)]);
    if (!event.action)
        return;
    if (launching) {
        event.context = launching->context;
        event.word = launching->word;
    }
    event.action->execute(&event);
}

// The candidates that add makes of the bundle entries of the type, sorted, then chosen and run;
// nothing without bundles, not handled without a document.
template <class Add>
bool launch(EditorCmd& cmd, afActionEvent* launching, uint32_t type, void (*sort)(afActionMatchList&), Add add) {
    if (!commandController(cmd))
        return false;
    BundleManager* bundles = EditorContext::get().bundles;
    if (!bundles)
        return true;
    std::vector<BundleEntry*> entries;
    bundles->getEntriesOfType(type, entries);
    afActionMatchList candidates;
    for (BundleEntry* entry : entries)
        add(entry, candidates);
    sort(candidates);
    runChosen(cmd, candidates, launching);
    return true;
}

// Every grammar's select action, by title.
bool launchGrammar(EditorCmd& cmd, afActionEvent* launching) {
    return launch(cmd, launching, LANGUAGE_TYPE_ID, &sortActionMatchesByTitle,
                  [&cmd](BundleEntry* entry, afActionMatchList& candidates) {
                      auto* language = dynamic_cast<Language*>(entry);
                      LanguageAction* own = language ? language->getAction() : nullptr;
                      if (afAction* action = own ? registeredAction(cmd, own->getName()) : nullptr)
                          candidates.push_back(afActionMatch{0, 0, action, nullptr});
                  });
}

// Every snippet whose scope fits the place the launcher was run at, the best fit first,
// then by title; a snippet without a scope fits everywhere.
bool launchSnippet(EditorCmd& cmd, afActionEvent* launching) {
    ScopePath& path = launching && launching->context ? *launching->context : cmd.getEditor().getScopePath();
    ScopeSelectorMatcher matcher(path);
    return launch(cmd, launching, SNIPPET_TYPE_ID, &sortActionMatchesByScoreAndTitle,
                  [&cmd, &matcher](BundleEntry* entry, afActionMatchList& candidates) {
                      auto* snippet = dynamic_cast<Snippet*>(entry);
                      SnippetAction* own = snippet ? snippet->getAction() : nullptr;
                      afAction* action = own ? registeredAction(cmd, own->name) : nullptr;
                      ScopeMatch fit;
                      if (action && matcher.match(action->getSelector(), fit, false))
                          candidates.push_back(afActionMatch{fit.score, 0, action, nullptr});
                  });
}

// "", letters, 0 and numbers past the last line do nothing, without a message.
bool gotoLine(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    int32_t lineCount = 0;
    int32_t caretLine = 0;
    {
        EditBracket bracket(*controller, DocumentController::EDIT_READ);
        lineCount = controller->getLineCount();
        caretLine = controller->getSelection()->getCaret().line + 1;
    }
    // Freed after its run: left to the editor, every Ctrl+G would keep one.
    std::unique_ptr<StringDialog> dialog(StringDialog::create(&cmd.getEditor()));
    if (!dialog)
        return true;
    dialog->setPrompt(zem::format(L"Line number: (1 - %d)", lineCount));
    dialog->setTitle(L"Go to line");
    dialog->setValue(zem::format(L"%d", caretLine));
    if (dialog->runModal() != afWindow::RESULT_OK)
        return true;
    const int32_t line = GotoLine::parseLineNumber(dialog->getValue(), lineCount);
    dialog.reset();
    if (line < 0)
        return true;
    EditBracket bracket(*controller, DocumentController::EDIT_READ);
    controller->getSelection()->setCaret(TextPosition(line, 0));
    return true;
}

const wchar_t* const EDITOR = L"ui.editor";

const EditorCommandRow ROWS[] = {
    {L"show.scope", L"Show Scope", EDITOR, {{L"Ctrl+P", true}}, &showScope},
    {L"launch.grammar", L"Select Grammar", EDITOR, {{L"Ctrl+Shift+G", true}}, &launchGrammar},
    {L"launch.snippet", L"Select Snippet", EDITOR, {{L"Ctrl+Space", true}}, &launchSnippet},
    {L"goto.line", L"Go To Line", EDITOR, {{L"Ctrl+G", true}}, &gotoLine},
};

} // namespace

int32_t GotoLine::parseLineNumber(const std::wstring& text, int32_t lineCount) {
    wchar_t* end = nullptr;
    const unsigned long number = wcstoul(text.c_str(), &end, 10);
    if (end == text.c_str() || number == 0 || lineCount <= 0 || number > static_cast<unsigned long>(lineCount))
        return -1;
    return static_cast<int32_t>(number - 1);
}

void registerLauncherCommandTable(afActionRegistry* registry) {
    registerEditorCommands(registry, ROWS);
}

} // namespace corvel
