// The scope display, the grammar and snippet launchers and go to line.
#include "EditorCommandTable.h"

#include "corvel/editor/EditorCmd.h"

namespace corvel {

namespace {

bool showScope(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

bool launchGrammar(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

bool launchSnippet(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

bool gotoLine(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

const wchar_t* const EDITOR = L"ui.editor";

const EditorCommandRow ROWS[] = {
    {L"show.scope", L"Show Scope", EDITOR, {{L"Ctrl+P", true}}, &showScope},
    {L"launch.grammar", L"Select Grammar", EDITOR, {{L"Ctrl+Shift+G", true}}, &launchGrammar},
    {L"launch.snippet", L"Select Snippet", EDITOR, {{L"Ctrl+Space", true}}, &launchSnippet},
    {L"goto.line", L"Go To Line", EDITOR, {{L"Ctrl+G", true}}, &gotoLine},
};

} // namespace

void registerLauncherCommandTable(afActionRegistry* registry) {
    registerEditorCommands(registry, ROWS);
}

} // namespace corvel
