// The editor's whole-line commands over a document controller: move the selected lines
// up or down, duplicate them, shift their indentation. Each is one undo step and ends
// with the lines selected again, so that repeating the command acts on the same lines.
#pragma once
#include "corvel/document/DocumentController.h"

#include <cstdint>

namespace corvel {

class LineCommands {
public:
    static void moveLines(DocumentController& controller, bool down);
    static void duplicateLines(DocumentController& controller);
    // levels: +1 indents, -1 unindents (never below column 0).
    static void shiftIndent(DocumentController& controller, int32_t levels);

    // The selection's lines as intervals (first, last) in text order, overlapping ones
    // merged. A range that ends at the start of a later line ends on the line before: the
    // selection a line command leaves ends there, and the command must not take one more
    // line each time it is repeated.
    static DocumentController::LineRanges selectedLineIntervals(DocumentController& controller);

private:
    enum class Change { MoveUp, MoveDown, Duplicate, Indent, Unindent };
    static void run(DocumentController& controller, Change change);
};

} // namespace corvel
