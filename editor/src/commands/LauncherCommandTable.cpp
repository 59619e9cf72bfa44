// The scope display, the grammar and snippet launchers and go to line.
#include "EditorCommandTable.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/ScopePath.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/GotoLine.h"
#include "corvel/widgets/Hint.h"
#include "corvel/widgets/StringDialog.h"
#include "zem/base/Format.h"

#include <cwchar>
#include <memory>

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

bool launchGrammar(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

bool launchSnippet(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
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
