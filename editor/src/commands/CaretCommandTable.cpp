// The twelve caret movements in three selection modes: move the caret, extend a normal
// selection, extend a rectangle.
#include "EditorCommandTable.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/Editor.h"
#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/EditorPositionMap.h"

namespace corvel {

namespace {

typedef EditorPositionMap Map;

const uint32_t MOVE = Selection::ID_START_OVER;
const uint32_t NORMAL = Selection::ID_NORMAL;
const uint32_t RECT = Selection::ID_RECTANGLE;
const uint32_t VIRTUAL = Editor::SELECT_VIRTUAL;

// Before a plain move over a selection: which end the selection collapses to, and
// whether the move then happens at all.
enum Collapse { COLLAPSE_NONE, TO_END_STOP, TO_START_STOP, TO_END_MOVE, TO_START_MOVE };

Collapse collapseRule(int code) {
    switch (code) {
    case Map::CHAR_RIGHT:
    case Map::WORD_RIGHT:
        return TO_END_STOP;
    case Map::CHAR_LEFT:
    case Map::WORD_LEFT:
        return TO_START_STOP;
    case Map::SMART_END:
    case Map::ROW_DOWN:
        return TO_END_MOVE;
    case Map::SMART_HOME:
    case Map::ROW_UP:
        return TO_START_MOVE;
    default:
        return COLLAPSE_NONE;
    }
}

// True when the move is done by collapsing alone.
bool collapseBeforeMove(Editor& editor, DocumentController& controller, int code) {
    const Collapse rule = collapseRule(code);
    if (rule == COLLAPSE_NONE)
        return false;
    EditBracket bracket(controller, DocumentController::EDIT_READ);
    Selection* selection = controller.beginChangeBatch();
    if (selection->isEmpty()) {
        controller.endChangeBatch();
        return false;
    }
    const TextPosition& anchor = selection->getAnchor();
    const TextPosition& caret = selection->getCaret();
    const bool toEnd = rule == TO_END_STOP || rule == TO_END_MOVE;
    const TextPosition end = (anchor.before(caret) == toEnd) ? caret : anchor;
    editor.selectTo(end, Editor::SELECT_RESET_X, Selection::ID_START_OVER);
    controller.endChangeBatch();
    return rule == TO_END_STOP || rule == TO_START_STOP;
}

template <int Code, uint32_t Mode, uint32_t Options> bool caretCommand(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    Editor& editor = cmd.getEditor();
    if (Mode == MOVE && collapseBeforeMove(editor, *controller, Code))
        return true;
    editor.moveCaret(Mode, Code, Options);
    return true;
}

#define CARET_ROW(name, title, key, code, mode, options)                                                               \
    { L##name, L##title, L"ui.editor", {{L##key, true}}, &caretCommand<code, mode, options> }

const EditorCommandRow ROWS[] = {
    CARET_ROW("caret.move.char.right", "Move Caret Right", "Right", Map::CHAR_RIGHT, MOVE, 0),
    CARET_ROW("caret.move.char.left", "Move Caret Left", "Left", Map::CHAR_LEFT, MOVE, 0),
    CARET_ROW("caret.move.line.up", "Move Line Up", "Up", Map::ROW_UP, MOVE, 0),
    CARET_ROW("caret.move.line.down", "Move Line Down", "Down", Map::ROW_DOWN, MOVE, 0),
    CARET_ROW("caret.move.word.right", "Move Caret Word Right", "Ctrl+Right", Map::WORD_RIGHT, MOVE, 0),
    CARET_ROW("caret.move.word.left", "Move Caret Word Left", "Ctrl+Left", Map::WORD_LEFT, MOVE, 0),
    CARET_ROW("caret.move.line.home", "Move Line Home", "Home", Map::SMART_HOME, MOVE, 0),
    CARET_ROW("caret.move.line.end", "Move Line End", "End", Map::SMART_END, MOVE, 0),
    CARET_ROW("caret.move.page.up", "Move Page Up", "Page-Up", Map::PAGE_UP, MOVE, 0),
    CARET_ROW("caret.move.page.down", "Move Page Down", "Page-Down", Map::PAGE_DOWN, MOVE, 0),
    CARET_ROW("caret.move.document.home", "Move Document Home", "Ctrl+Home", Map::DOCUMENT_START, MOVE, 0),
    CARET_ROW("caret.move.document.end", "Move Document End", "Ctrl+End", Map::DOCUMENT_END, MOVE, 0),
    CARET_ROW("caret.select.normal.char.right", "Select Caret Right", "Shift+Right", Map::CHAR_RIGHT, NORMAL, 0),
    CARET_ROW("caret.select.normal.char.left", "Select Caret Left", "Shift+Left", Map::CHAR_LEFT, NORMAL, 0),
    CARET_ROW("caret.select.normal.line.up", "Select Line Up", "Shift+Up", Map::ROW_UP, NORMAL, 0),
    CARET_ROW("caret.select.normal.line.down", "Select Line Down", "Shift+Down", Map::ROW_DOWN, NORMAL, 0),
    CARET_ROW("caret.select.normal.word.right", "Select Caret Word Right", "Shift+Ctrl+Right", Map::WORD_RIGHT, NORMAL,
              0),
    CARET_ROW("caret.select.normal.word.left", "Select Caret Word Left", "Shift+Ctrl+Left", Map::WORD_LEFT, NORMAL, 0),
    CARET_ROW("caret.select.normal.line.home", "Select Line Home", "Shift+Home", Map::SMART_HOME, NORMAL, 0),
    CARET_ROW("caret.select.normal.line.end", "Select Line End", "Shift+End", Map::SMART_END, NORMAL, 0),
    CARET_ROW("caret.select.normal.page.up", "Select Page Up", "Shift+Page-Up", Map::PAGE_UP, NORMAL, 0),
    CARET_ROW("caret.select.normal.page.down", "Select Page Down", "Shift+Page-Down", Map::PAGE_DOWN, NORMAL, 0),
    CARET_ROW("caret.select.normal.document.home", "Select Document Home", "Shift+Ctrl+Home", Map::DOCUMENT_START,
              NORMAL, 0),
    CARET_ROW("caret.select.normal.document.end", "Select Document End", "Shift+Ctrl+End", Map::DOCUMENT_END, NORMAL,
              0),
    CARET_ROW("caret.select.rect.char.right", "Rect Caret Right", "Alt+Right", Map::CHAR_RIGHT, RECT, VIRTUAL),
    CARET_ROW("caret.select.rect.char.left", "Rect Caret Left", "Alt+Left", Map::CHAR_LEFT_IN_LINE, RECT, VIRTUAL),
    CARET_ROW("caret.select.rect.line.up", "Rect Line Up", "Alt+Up", Map::ROW_UP, RECT, VIRTUAL),
    CARET_ROW("caret.select.rect.line.down", "Rect Line Down", "Alt+Down", Map::ROW_DOWN, RECT, VIRTUAL),
    CARET_ROW("caret.select.rect.word.right", "Rect Caret Word Right", "Alt+Ctrl+Right", Map::WORD_RIGHT, RECT, 0),
    CARET_ROW("caret.select.rect.word.left", "Rect Caret Word Left", "Alt+Ctrl+Left", Map::WORD_LEFT_IN_LINE, RECT, 0),
    CARET_ROW("caret.select.rect.line.home", "Rect Line Home", "Alt+Home", Map::SMART_HOME, RECT, 0),
    CARET_ROW("caret.select.rect.line.end", "Rect Line End", "Alt+End", Map::SMART_END, RECT, 0),
    CARET_ROW("caret.select.rect.page.up", "Rect Page Up", "Alt+Page-Up", Map::PAGE_UP, RECT, 0),
    CARET_ROW("caret.select.rect.page.down", "Rect Page Down", "Alt+Page-Down", Map::PAGE_DOWN, RECT, 0),
    CARET_ROW("caret.select.rect.document.home", "Rect Document Home", "Alt+Ctrl+Home", Map::DOCUMENT_START, RECT, 0),
    CARET_ROW("caret.select.rect.document.end", "Rect Document End", "Alt+Ctrl+End", Map::DOCUMENT_END, RECT, 0),
};

#undef CARET_ROW

} // namespace

void registerCaretCommandTable(afActionRegistry* registry) {
    registerEditorCommands(registry, ROWS);
}

} // namespace corvel
