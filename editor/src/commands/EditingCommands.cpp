#include "corvel/editor/EditingCommands.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/LineHeader.h"
#include "corvel/document/Selection.h"
#include "corvel/editor/PairedCharacters.h"
#include "corvel/text/StringUtils.h"
#include "corvel/widgets/afClipboard.h"
#include "corvel/widgets/afDataObjectComposite.h"
#include "corvel/widgets/afDataObjectScalar.h"
#include "corvel/widgets/afDataObjectText.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace corvel {

namespace {

// Clears the clipboard's put-in-progress mark on every way out of a copy.
class PutInProgress {
public:
    explicit PutInProgress(afClipboard* clipboard) : m_clipboard(clipboard) {
        if (m_clipboard)
            m_clipboard->setPutInProgress(1);
    }
    ~PutInProgress() {
        if (m_clipboard)
            m_clipboard->setPutInProgress(0);
    }
    PutInProgress(const PutInProgress&) = delete;
    PutInProgress& operator=(const PutInProgress&) = delete;

private:
    afClipboard* m_clipboard;
};

} // namespace

bool EditingCommands::undo(DocumentController& controller) {
    return controller.undo();
}

bool EditingCommands::redo(DocumentController& controller) {
    return controller.redo();
}

void EditingCommands::deleteBackward(DocumentController& controller) {
    if (PairedCharacters::deleteEmptyPair(controller))
        return;
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    controller.deleteBackwardOrSelection(-1);
}

void EditingCommands::newLine(DocumentController& controller) {
    if (PairedCharacters::openBlock(controller))
        return;
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    const TextPosition caret = controller.getSelection()->getCaret();
    int32_t width = controller.getLineIndentWidth(caret.line, caret.offset, false);
    for (int32_t line = caret.line - 1; width == -1 && line >= 0; --line)
        width = controller.getLineIndentWidth(line, -1, false);
    std::wstring text = L"\n";
    std::wstring indent;
    controller.makeIndentString(width, indent);
    controller.insertString(text + indent);
}

void EditingCommands::selectAll(DocumentController& controller) {
    EditBracket bracket(controller, DocumentController::EDIT_READ);
    Selection* selection = controller.beginChangeBatch();
    selection->select(TextPosition(0, 0), controller.getEndPosition(), Selection::CARET_ANCHOR, Selection::ID_START_OVER);
    selection->select(TextPosition(0, 0), controller.getEndPosition(), Selection::CARET_ANCHOR, Selection::ID_NORMAL);
    controller.endChangeBatch();
}

void EditingCommands::selectLines(DocumentController& controller) {
    EditBracket bracket(controller, DocumentController::EDIT_READ);
    Selection* selection = controller.beginChangeBatch();
    selection->selectLines(selection->collectSelectedLineNumbers());
    controller.endChangeBatch();
}

void EditingCommands::selectLinesText(DocumentController& controller) {
    EditBracket bracket(controller, DocumentController::EDIT_READ);
    Selection* selection = controller.beginChangeBatch();
    std::vector<SelectionRange> ranges;
    int32_t sequence = 0;
    for (int32_t line : selection->collectSelectedLineNumbers()) {
        const int32_t start = controller.positionToOffset(controller.getLineIndentPosition(line, true));
        const int32_t end = controller.positionToOffset(controller.getLineEndPosition(line, true, false));
        ranges.emplace_back(start, std::max(start, end), ++sequence);
    }
    selection->selectRanges(ranges);
    controller.endChangeBatch();
}

bool EditingCommands::copy(DocumentController& controller) {
    afClipboard* clipboard = afClipboard::getInstance();
    if (!clipboard)
        return false;
    std::wstring text;
    uint32_t typeId = 0;
    {
        EditBracket bracket(controller, DocumentController::EDIT_READ);
        Selection* selection = controller.getSelection();
        if (selection->isEmpty())
            return false;
        controller.getSelectedText(selection->getRanges(), text);
        typeId = selection->getKind();
    }
    // Several empty carets collect nothing: the user's clipboard is never replaced by that.
    if (text.empty())
        return false;
    PutInProgress mark(clipboard);
    std::wstring crlf;
    toCrLf(crlf, text.c_str());
    std::unique_ptr<afDataObjectComposite> data(new afDataObjectComposite());
    data->addPart(new afDataObjectText(crlf), true);
    data->addPart(new afDataObjectScalar<unsigned int>(SELECTION_TYPE_FORMAT, typeId), false);
    if (!clipboard->put(data.get()))
        return false;
    data.release();
    clipboard->getRing()->putText(crlf.c_str(), crlf.size());
    return true;
}

bool EditingCommands::cut(DocumentController& controller, bool wholeLine) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    Selection* selection = controller.beginChangeBatch();
    if (selection->isEmpty() && wholeLine) {
        const int32_t line = selection->getCaret().line;
        const TextPosition start(line, 0);
        const TextPosition end = controller.getLineEndPosition(line, false, true);
        selection->select(start, start, 0, Selection::ID_START_OVER);
        selection->select(start, end, Selection::CARET_ANCHOR, Selection::ID_NORMAL);
    }
    const bool copied = copy(controller);
    if (copied)
        controller.deleteBackwardOrSelection(-1);
    controller.endChangeBatch();
    return copied;
}

bool EditingCommands::paste(DocumentController& controller) {
    afClipboard* clipboard = afClipboard::getInstance();
    if (!clipboard || !clipboard->isFormatAvailable(CF_UNICODETEXT))
        return false;
    afDataObjectText data;
    if (!clipboard->get(&data))
        return false;
    const std::wstring text = data.getText();
    // The selection type travels with our own copies; what it was changes nothing here.
    if (clipboard->isFormatAvailable(afDataFormat(SELECTION_TYPE_FORMAT).getFormat())) {
        afDataObjectScalar<unsigned int> type(SELECTION_TYPE_FORMAT, 0);
        clipboard->get(&type);
    }
    std::wstring prepared;
    controller.prepareInsertText(prepared, text.c_str(), static_cast<int32_t>(text.size()));
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    controller.insertString(prepared);
    return true;
}

void EditingCommands::toggleBookmark(DocumentController& controller) {
    EditBracket bracket(controller, DocumentController::EDIT_READ);
    const int32_t line = controller.getSelection()->getCaret().line;
    bool marked = false;
    if (const std::vector<LineMarker>* markers = controller.getLineMarkers(line)) {
        for (const LineMarker& marker : *markers)
            marked = marked || (marker.kind == BOOKMARK_KIND && marker.value == 0);
    }
    if (marked)
        controller.getDocument()->removeLineMarkers(line, BOOKMARK_KIND);
    else
        controller.getDocument()->addLineMarker(line, L"", 0, BOOKMARK_KIND);
}

int32_t EditingCommands::gotoMarkedLine(DocumentController& controller, bool forward) {
    EditBracket bracket(controller, DocumentController::EDIT_READ);
    Selection* selection = controller.getSelection();
    const int32_t line = selection->getCaret().line;
    const int32_t found = controller.getDocument()->findMarkedLine(line, forward, true);
    if (found < 0 || found == line)
        return -1;
    ChangeBatchScope batch(controller);
    selection->setCaret(TextPosition(found, 0));
    return found;
}

} // namespace corvel
