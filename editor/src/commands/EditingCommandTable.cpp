// Undo and redo, deletes, Enter, selections, the clipboard and bookmarks.
#include "EditorCommandTable.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/EditingCommands.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/EditorPositionMap.h"

namespace corvel {

namespace {

typedef EditorPositionMap Map;

bool undo(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::undo(*controller);
    return true;
}

bool redo(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::redo(*controller);
    return true;
}

// Removes the text between the caret and where the movement code takes it: forward
// characters go with a positive count, backward ones with a negative count. A selection
// goes instead, and at the document's ends nothing happens.
bool deleteByMove(EditorCmd& cmd, int code, int32_t selectionCount) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditBracket bracket(*controller, DocumentController::EDIT_WRITE);
    ChangeBatchScope batch(*controller);
    Selection* selection = controller->getSelection();
    if (!selection->isEmpty()) {
        controller->deleteBackwardOrSelection(selectionCount);
        return true;
    }
    const TextPosition from = selection->getCaret();
    const TextPosition to = cmd.getEditor().computeMove(from, code, false, 0).target;
    const int32_t start = controller->positionToOffset(from);
    const int32_t end = controller->positionToOffset(to);
    if (end == start)
        return true;
    if (code == Map::CHAR_RIGHT) {
        // The caret moves over the whole stop, then everything behind it goes: a cluster
        // or a CR LF break in one step.
        selection->setCaretOffset(end);
        controller->deleteBackwardOrSelection(start - end);
    } else {
        controller->deleteBackwardOrSelection(end - start);
    }
    return true;
}

bool deleteForward(EditorCmd& cmd, afActionEvent*) {
    return deleteByMove(cmd, Map::CHAR_RIGHT, 1);
}

bool deleteBackward(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::deleteBackward(*controller);
    return true;
}

bool deleteWordEnd(EditorCmd& cmd, afActionEvent*) {
    return deleteByMove(cmd, Map::WORD_RIGHT, 0);
}

bool deleteWordBegin(EditorCmd& cmd, afActionEvent*) {
    return deleteByMove(cmd, Map::WORD_LEFT, 0);
}

bool newLine(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::newLine(*controller);
    return true;
}

bool selectAll(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::selectAll(*controller);
    return true;
}

// What selecting an indentation level should do is not settled: the action only
// answers whether a document is shown.
bool selectIndent(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

bool selectLines(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::selectLines(*controller);
    return true;
}

bool selectLinesText(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::selectLinesText(*controller);
    return true;
}

// The word at the caret: a word start at the caret belongs to the word (else the
// command selected nothing there), a caret just before a blank takes the word before it,
// and the start never leaves the caret's line.
bool selectWord(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditBracket bracket(*controller, DocumentController::EDIT_READ);
    Selection* selection = controller->beginChangeBatch();
    Editor& editor = cmd.getEditor();
    const TextPosition end = editor.positions().wordEndBeforeBlank(selection->getCaret());
    const TextPosition start = editor.positions().moveWordLeft(end, false);
    editor.beginUpdate();
    selection->select(start, start, Editor::SELECT_RESET_X, Selection::ID_START_OVER);
    selection->select(start, end, Editor::SELECT_RESET_X, Selection::ID_NORMAL);
    editor.endUpdate();
    controller->endChangeBatch();
    return true;
}

bool copy(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::copy(*controller);
    return true;
}

bool paste(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::paste(*controller);
    return true;
}

bool cut(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::cut(*controller, false);
    return true;
}

bool cutLine(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::cut(*controller, true);
    return true;
}

bool toggleBookmark(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    EditingCommands::toggleBookmark(*controller);
    return true;
}

bool gotoMarkedLine(EditorCmd& cmd, bool forward) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    if (EditingCommands::gotoMarkedLine(*controller, forward) >= 0)
        cmd.getEditor().scrollToCaret();
    return true;
}

bool nextBookmark(EditorCmd& cmd, afActionEvent*) {
    return gotoMarkedLine(cmd, true);
}

bool previousBookmark(EditorCmd& cmd, afActionEvent*) {
    return gotoMarkedLine(cmd, false);
}

const wchar_t* const EDITOR = L"ui.editor";

const EditorCommandRow ROWS[] = {
    {L"edit.undo", L"Undo", EDITOR, {{L"Ctrl+Z", true}}, &undo},
    {L"edit.redo", L"Redo", EDITOR, {{L"Ctrl+Y", true}, {L"Ctrl+Shift+Z", true}}, &redo},
    {L"edit.delete.forward", L"Delete Forward", EDITOR, {{L"Del", true}}, &deleteForward},
    {L"edit.delete.backward", L"Delete Backward", EDITOR, {{L"Backspace", true}, {L"Shift+Backspace", false}},
     &deleteBackward},
    {L"edit.delete.word.end", L"Delete To Word End", EDITOR, {{L"Ctrl+Del", true}}, &deleteWordEnd},
    {L"edit.delete.word.begin", L"Delete To Word Begin", EDITOR, {{L"Ctrl+Backspace", true}}, &deleteWordBegin},
    {L"edit.new_line", L"New Line", EDITOR, {{L"Enter", false}, {L"Ctrl+Enter", false}, {L"Shift+Enter", false}},
     &newLine},
    {L"edit.select.all", L"Select All", EDITOR, {{L"Ctrl+A", true}}, &selectAll},
    {L"edit.select.indent", L"Select Indent Level", EDITOR, {{L"Ctrl+Shift+Alt+A", true}}, &selectIndent},
    {L"edit.select.lines", L"Select Lines", EDITOR, {{L"Ctrl+Shift+L", true}}, &selectLines},
    {L"edit.select.lines.text", L"Select Lines Text", EDITOR, {{L"Ctrl+Shift+Alt+L", true}}, &selectLinesText},
    {L"edit.select.word", L"Select Lines Text", EDITOR, {{L"Ctrl+Shift+W", true}}, &selectWord},
    {L"edit.copy", L"Copy", EDITOR, {{L"Ctrl+C", true}, {L"Ctrl+Ins", false}}, &copy},
    {L"edit.paste", L"Paste", EDITOR, {{L"Ctrl+V", true}, {L"Shift+Ins", false}}, &paste},
    {L"edit.cut", L"Cut", EDITOR, {{L"Ctrl+X", true}}, &cut},
    {L"edit.cut", L"Cut", EDITOR, {{L"Shift+Del", true}}, &cutLine},
    {L"edit.bookmark.toggle", L"Toggle bookmark", EDITOR, {{L"Ctrl+F2", true}}, &toggleBookmark},
    {L"edit.bookmark.next", L"Next bookmark", EDITOR, {{L"F2", true}}, &nextBookmark},
    {L"edit.bookmark.previous", L"Previous bookmark", EDITOR, {{L"Shift+F2", true}}, &previousBookmark},
};

} // namespace

void registerEditingCommandTable(afActionRegistry* registry) {
    registerEditorCommands(registry, ROWS);
}

} // namespace corvel
