// How the editor's command tables register their rows: one afActionSystem per row under
// the handler class "Editor", its keys bound each with its own priority flag. Handlers
// get the focused editor's EditorCmd.
#pragma once
#include "corvel/widgets/afActionHandler.h"

#include <cstddef>

namespace corvel {

class DocumentController;
class EditorCmd;
class afActionRegistry;

struct EditorCommandKey {
    const wchar_t* text; // null: no key
    bool priority;
};

struct EditorCommandRow {
    typedef bool (*Handler)(EditorCmd& cmd, afActionEvent* event);

    const wchar_t* name;
    const wchar_t* title;
    const wchar_t* scope;
    EditorCommandKey keys[3];
    Handler handler;
};

// Rows in order; nothing without a registry.
void registerEditorCommands(afActionRegistry* registry, const EditorCommandRow* rows, size_t count);

template <size_t N> void registerEditorCommands(afActionRegistry* registry, const EditorCommandRow (&rows)[N]) {
    registerEditorCommands(registry, rows, N);
}

// The command's document: null while the editor shows none, and every handler then
// answers that it did not handle the key.
DocumentController* commandController(EditorCmd& cmd);

// The four tables, in the order the first editor registers them.
void registerEditingCommandTable(afActionRegistry* registry);
void registerCaretCommandTable(afActionRegistry* registry);
void registerLineCommandTable(afActionRegistry* registry);
void registerLauncherCommandTable(afActionRegistry* registry);

} // namespace corvel
