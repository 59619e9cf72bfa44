// What the editor's named actions run on: one per editor, while one set of registered
// actions serves every editor, because the handler class "Editor" always points at the
// focused editor's EditorCmd. The command tables add their handler methods here.
#pragma once
#include "corvel/widgets/afActionHandler.h"

#include <cstdint>

namespace corvel {

class Editor;
class afActionRegistry;

class EditorCmd : public afActionHandler {
public:
    static constexpr const wchar_t* HANDLER_CLASS = L"Editor";

    // registry null: the process's.
    EditorCmd(Editor& editor, afActionRegistry* registry);
    ~EditorCmd() override;

    // Registers the editor's command tables once per process (the first editor does it):
    // editing, caret, line and inflection, scope, launcher and go-to-line commands.
    static void registerCommandTables(afActionRegistry* registry);

    Editor& getEditor() const { return m_editor; }
    int32_t getValue() const { return m_value; }
    void setValue(int32_t value) { m_value = value; }

private:
    Editor& m_editor;
    int32_t m_value = 0;
};

} // namespace corvel
