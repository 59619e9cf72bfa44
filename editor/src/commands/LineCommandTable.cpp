// Line moves, duplication, indentation of selected lines, and the case and word forms.
#include "EditorCommandTable.h"

#include "corvel/editor/EditorCmd.h"
#include "corvel/editor/InflectionCommands.h"
#include "corvel/editor/LineCommands.h"
// After the commands: the view brings the platform's headers, whose macros clash with them.
#include "corvel/editor/Editor.h"

namespace corvel {

namespace {

template <bool Down> bool moveLines(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    LineCommands::moveLines(*controller, Down);
    return true;
}

bool duplicateLines(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    LineCommands::duplicateLines(*controller);
    return true;
}

// A snippet's field is selected while it is filled in: there Tab and Shift+Tab move between
// the fields, as they do in an editor without a selection.
template <int Levels> bool shiftIndent(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    if (!cmd.getEditor().navigateSnippetField(Levels < 0))
        LineCommands::shiftIndent(*controller, Levels);
    return true;
}

// What transposing should do is not settled: the action only answers whether a
// document is shown.
bool transpose(EditorCmd& cmd, afActionEvent*) {
    return commandController(cmd) != nullptr;
}

template <InflectionCommands::Kind Kind> bool inflect(EditorCmd& cmd, afActionEvent*) {
    DocumentController* controller = commandController(cmd);
    if (!controller)
        return false;
    InflectionCommands::apply(*controller, Kind);
    return true;
}

const wchar_t* const EDITOR = L"ui.editor";
const wchar_t* const WITH_SELECTION = L"ui.editor ui.editor.selection";
const wchar_t* const CHOOSE = L"Alt+Shift+U";

const EditorCommandRow ROWS[] = {
    {L"edit.lines.move.up", L"Move Lines Up", EDITOR, {{L"Ctrl+Shift+Up", true}}, &moveLines<false>},
    {L"edit.lines.move.down", L"Move Lines Down", EDITOR, {{L"Ctrl+Shift+Down", true}}, &moveLines<true>},
    {L"edit.lines.duplicate", L"Duplicate Lines", EDITOR, {{L"Ctrl+Shift+D", true}}, &duplicateLines},
    {L"edit.lines.indent.sel", L"Indent Lines If Selected", WITH_SELECTION, {{L"Tab", true}}, &shiftIndent<1>},
    {L"edit.lines.unindent.sel",
     L"Unindent Lines If Selected",
     WITH_SELECTION,
     {{L"Shift+Tab", true}},
     &shiftIndent<-1>},
    {L"edit.transpose", L"Transpose", EDITOR, {{L"Ctrl+T", true}}, &transpose},
    {L"edit.inflect.uppercase", L"Uppercase", EDITOR, {{L"Ctrl+U", true}}, &inflect<InflectionCommands::UPPERCASE>},
    {L"edit.inflect.lowercase",
     L"Lowercase",
     EDITOR,
     {{L"Ctrl+Shift+U", true}},
     &inflect<InflectionCommands::LOWERCASE>},
    {L"edit.inflect.capitalize", L"Capitalize", EDITOR, {{CHOOSE, true}}, &inflect<InflectionCommands::CAPITALIZE>},
    {L"edit.inflect.hyphenize", L"Hyphenize", EDITOR, {{CHOOSE, true}}, &inflect<InflectionCommands::HYPHENIZE>},
    {L"edit.inflect.underscore", L"Underscore", EDITOR, {{CHOOSE, true}}, &inflect<InflectionCommands::UNDERSCORE>},
    {L"edit.inflect.camelcase.upper",
     L"Upper CamelCase",
     EDITOR,
     {{CHOOSE, true}},
     &inflect<InflectionCommands::CAMELCASE_UPPER>},
    {L"edit.inflect.camelcase.lower",
     L"Lower camelCase",
     EDITOR,
     {{CHOOSE, true}},
     &inflect<InflectionCommands::CAMELCASE_LOWER>},
    {L"edit.inflect.split", L"Split To Words", EDITOR, {{CHOOSE, true}}, &inflect<InflectionCommands::SPLIT>},
    {L"edit.inflect.systemize", L"Systemize", EDITOR, {{CHOOSE, true}}, &inflect<InflectionCommands::SYSTEMIZE>},
};

} // namespace

void registerLineCommandTable(afActionRegistry* registry) {
    registerEditorCommands(registry, ROWS);
}

} // namespace corvel
