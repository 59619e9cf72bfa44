#include "corvel/editor/EditorCmd.h"

#include "../commands/EditorCommandTable.h"
#include "corvel/editor/Editor.h"
#include "corvel/widgets/afActionRegistry.h"

namespace corvel {

EditorCmd::EditorCmd(Editor& editor, afActionRegistry* registry)
    : afActionHandler(HANDLER_CLASS, registry), m_editor(editor) {}

EditorCmd::~EditorCmd() = default;

void EditorCmd::registerCommandTables(afActionRegistry* registry) {
    // Once per registry: a registry that already knows the first command has them all.
    if (!registry || registry->findAction(L"edit.undo"))
        return;
    registerEditingCommandTable(registry);
    registerCaretCommandTable(registry);
    registerLineCommandTable(registry);
    registerLauncherCommandTable(registry);
}

} // namespace corvel
