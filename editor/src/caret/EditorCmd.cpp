#include "corvel/editor/EditorCmd.h"

#include "corvel/editor/Editor.h"

namespace corvel {

EditorCmd::EditorCmd(Editor& editor, afActionRegistry* registry)
    : afActionHandler(HANDLER_CLASS, registry), m_editor(editor) {}

EditorCmd::~EditorCmd() = default;

void EditorCmd::registerCommandTables(afActionRegistry* registry) {
    // The command tables join here, in their order: editing, caret, line and
    // inflection, then scope, launcher and go-to-line commands.
    (void)registry;
}

} // namespace corvel
