#include "corvel/editor/LineCommands.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/Selection.h"
#include "corvel/document/SpanBinding.h"

#include <algorithm>

namespace corvel {

void LineCommands::moveLines(DocumentController& controller, bool down) {
    run(controller, down ? Change::MoveDown : Change::MoveUp);
}

void LineCommands::duplicateLines(DocumentController& controller) {
    run(controller, Change::Duplicate);
}

void LineCommands::shiftIndent(DocumentController& controller, int32_t levels) {
    if (levels != 0)
        run(controller, levels > 0 ? Change::Indent : Change::Unindent);
}

DocumentController::LineRanges LineCommands::selectedLineIntervals(DocumentController& controller) {
    DocumentController::LineRanges intervals;
    for (const SelectionRange& range : controller.getSelection()->getRanges()) {
        const std::pair<int32_t, int32_t> lines = controller.getLineRange(range.start(), range.end());
        intervals.push_back(lines);
    }
    std::sort(intervals.begin(), intervals.end());
    DocumentController::LineRanges merged;
    for (const std::pair<int32_t, int32_t>& interval : intervals) {
        if (!merged.empty() && interval.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, interval.second);
            continue;
        }
        merged.push_back(interval);
    }
    return merged;
}

void LineCommands::run(DocumentController& controller, Change change) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    ChangeBatchScope batch(controller);
    Selection* selection = controller.getSelection();
    DocumentController::LineRanges intervals = selectedLineIntervals(controller);
    const TextPosition caret = selection->getCaret();
    selection->select(caret, caret, 0, Selection::ID_START_OVER);
    // Auto-inserted pairs and snippet fields end with a line command (the reset drops
    // every span under the root): they would not follow lines taken out and put back.
    controller.getSpanBinding()->reset();
    controller.endChangeBatch();
    if (intervals.empty())
        return;
    switch (change) {
    case Change::MoveUp:
        controller.moveLines(intervals.front().first - 1, intervals);
        break;
    case Change::MoveDown:
        controller.moveLines(intervals.back().second + 1, intervals);
        break;
    case Change::Duplicate:
        controller.duplicateLines(intervals);
        break;
    case Change::Indent:
        controller.shiftLineIndent(1, intervals);
        break;
    case Change::Unindent:
        controller.shiftLineIndent(-1, intervals);
        break;
    }
    selection->selectLineRanges(intervals, false);
}

} // namespace corvel
