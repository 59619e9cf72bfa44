// What a document controller asks of the editor view it drives: binding, update
// brackets, line repaints, and the horizontal geometry rectangular selection works in.
#pragma once
#include "corvel/document/TextPosition.h"

#include <cstdint>

namespace corvel {

class DocumentController;

class IEditor {
public:
    virtual ~IEditor() = default;

    // Binds the view to a controller, or unbinds it with null.
    virtual void setDocumentController(DocumentController* controller) = 0;
    virtual DocumentController* getDocumentController() const = 0;
    // Repainting waits for the outermost endUpdate.
    virtual void beginUpdate() = 0;
    virtual void endUpdate() = 0;
    virtual void invalidateLines(int32_t first, int32_t last, bool textChanged, int32_t flag) = 0;
    virtual void invalidateLine(int32_t line) = 0;
    // Horizontal place of a position in the view, and the position on a line nearest to
    // a horizontal place.
    virtual int32_t getXAtPosition(const TextPosition& position) = 0;
    virtual TextPosition getPositionAtX(int32_t x, int32_t line) = 0;
};

} // namespace corvel
