#include "corvel/editor/PairedCharacters.h"

#include "corvel/document/CharPairSpan.h"
#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/Selection.h"
#include "corvel/document/Span.h"
#include "corvel/document/SpanBinding.h"
#include "corvel/document/SpanContext.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace corvel {

std::wstring PairedCharacters::spanName(wchar_t opening, wchar_t closing, bool block) {
    return charPairSpanName(opening, closing, block);
}

void PairedCharacters::typeOpening(DocumentController& controller, wchar_t opening, wchar_t closing, bool block) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    Selection* selection = controller.beginChangeBatch();
    if (!selection->isEmpty()) {
        wrapSelection(controller, opening, closing);
        controller.endChangeBatch();
        return;
    }
    controller.insertText(1, &opening);
    // The opening character is an undo step of its own: undo takes the closing one first.
    controller.commitUndoGroup();
    controller.insertText(1, &closing);
    const int32_t inside = controller.getCaretOffset() - 1;
    selection->setCaretOffset(inside);
    SpanBinding* spans = controller.spans();
    Span* parent = spans->findEnclosingSpan(inside, inside);
    SpanContext* pair = new SpanContext(spanName(opening, closing, block), spans);
    Span::attachWithText(nullptr, pair, parent, inside, nullptr);
    spans->setSpan(pair);
    controller.endChangeBatch();
}

void PairedCharacters::wrapSelection(DocumentController& controller, wchar_t opening, wchar_t closing) {
    Selection* selection = controller.getSelection();
    std::vector<SelectionRange> ranges = selection->getRanges();
    std::sort(ranges.begin(), ranges.end(),
              [](const SelectionRange& a, const SelectionRange& b) { return a.start() < b.start(); });
    selection->collapse();
    // From the last range back, so that the offsets of the earlier ones still hold.
    for (size_t n = ranges.size(); n-- > 0;) {
        controller.insertAt(ranges[n].end(), 1, &closing);
        controller.insertAt(ranges[n].start(), 1, &opening);
    }
    // Each range moves right by the two characters of every pair before it, plus its own
    // opening character.
    std::vector<SelectionRange> inside;
    for (size_t n = 0; n < ranges.size(); ++n) {
        const int32_t shift = static_cast<int32_t>(2 * n + 1);
        inside.emplace_back(ranges[n].start() + shift, ranges[n].end() + shift, static_cast<int32_t>(n + 1));
    }
    selection->selectRanges(inside);
}

void PairedCharacters::typeClosing(DocumentController& controller, wchar_t opening, wchar_t closing, bool block) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    Selection* selection = controller.beginChangeBatch();
    SpanBinding* spans = controller.spans();
    Span* current = spans->getCurrent();
    const int32_t offset = controller.getCaretOffset();
    if (current && current->getName() == spanName(opening, closing, block) && selection->isEmpty() &&
        offset == current->getEnd()) {
        spans->findEnclosingSpan(offset + 1, offset + 1);
        selection->setCaretOffset(offset + 1);
    } else if (opening == closing) {
        typeOpening(controller, opening, closing, block);
    } else {
        controller.insertText(1, &closing);
    }
    controller.endChangeBatch();
}

bool PairedCharacters::atEmptyPair(DocumentController& controller) {
    Selection* selection = controller.getSelection();
    if (!selection->isEmpty())
        return false;
    const Span* current = controller.spans()->getCurrent();
    if (!current || current->getLength() != 0 || current->getName().compare(0, wcslen(SPAN_PREFIX), SPAN_PREFIX) != 0)
        return false;
    return controller.getCaretOffset() == current->getStart();
}

bool PairedCharacters::deleteEmptyPair(DocumentController& controller) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    ChangeBatchScope batch(controller);
    if (!atEmptyPair(controller))
        return false;
    controller.deleteBackwardOrSelection(-1);
    controller.deleteBackwardOrSelection(1);
    return true;
}

bool PairedCharacters::openBlock(DocumentController& controller) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    ChangeBatchScope batch(controller);
    if (!atEmptyPair(controller))
        return false;
    const int32_t offset = controller.getCaretOffset();
    std::wstring indent;
    controller.makeIndentString(controller.getIndentWidthAtOffset(offset), indent);
    std::wstring text = L"\n" + indent;
    controller.getSettings().indentation.appendIndent(&text, controller.getSettings().indentation.getWidth());
    const int32_t caret = offset + static_cast<int32_t>(text.size());
    text += L"\n" + indent;
    controller.insertString(text);
    controller.getSelection()->setCaretOffset(caret);
    return true;
}

} // namespace corvel
