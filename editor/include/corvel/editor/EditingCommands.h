// The editor's editing, selection, clipboard and bookmark commands over a document
// controller. Each edit is one undo step and acts on every range of the selection.
#pragma once
#include <cstdint>

namespace corvel {

class DocumentController;

class EditingCommands {
public:
    // Line markers of this kind with value 0 are the user's bookmarks.
    static constexpr int32_t BOOKMARK_KIND = static_cast<int32_t>(0xE35E00DFu);
    // The private clipboard format that carries the selection's type beside the text.
    static constexpr const wchar_t* SELECTION_TYPE_FORMAT = L"EditorSelectionType";

    // Undo and redo open their own brackets: replayed inside a write bracket, the replay
    // would be recorded as a new change and leave redo with nothing.
    static bool undo(DocumentController& controller);
    static bool redo(DocumentController& controller);

    // An empty auto-inserted pair at the caret goes as a whole; else the selection, or the
    // character before each caret.
    static void deleteBackward(DocumentController& controller);
    // A line break plus the indentation of the caret's line up to the caret, or of the
    // nearest line above when that part is blank; Enter inside an empty pair opens a block.
    static void newLine(DocumentController& controller);

    static void selectAll(DocumentController& controller);
    // Every touched line, from its start to the end of its text.
    static void selectLines(DocumentController& controller);
    // Every touched line, from its first non-blank to the end of its text without
    // trailing blanks.
    static void selectLinesText(DocumentController& controller);

    // False, with the clipboard left as it was, when nothing is selected or the selected
    // ranges hold no text; true once the text is on the clipboard.
    static bool copy(DocumentController& controller);
    // Copies, then removes the selection; the text is removed only when it reached the
    // clipboard. wholeLine: an empty selection first selects the caret's line with its break.
    static bool cut(DocumentController& controller, bool wholeLine);
    // False when the clipboard holds no text.
    static bool paste(DocumentController& controller);

    static void toggleBookmark(DocumentController& controller);
    // The next (or previous) line with any marker, wrapping once; the caret goes to its
    // start. Returns the line, or -1 when the caret did not move.
    static int32_t gotoMarkedLine(DocumentController& controller, bool forward);
};

} // namespace corvel
