#include "corvel/bundles/markValidationErrors.h"

#include "corvel/bundles/BundleEntryError.h"
#include "corvel/config/ValidationErrorList.h"
#include "corvel/document/Document.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/Selection.h"
#include "zem/base/Assert.h"

namespace corvel {

namespace {

int32_t markerValue(uint32_t severity) {
    if (severity == ValidationError::NOTICE_SEVERITY)
        return 1;
    if (severity == ValidationError::WARNING_SEVERITY)
        return 2;
    return 3;
}

// Closes the batch however the marking ends.
class ChangeBatch {
public:
    explicit ChangeBatch(DocumentController& controller) : m_controller(controller) {
        m_selection = controller.beginChangeBatch();
    }
    ~ChangeBatch() { m_controller.endChangeBatch(); }
    Selection* selection() const { return m_selection; }

private:
    DocumentController& m_controller;
    Selection* m_selection;
};

} // namespace

void markValidationErrors(const ValidationErrorList* errors, DocumentController* controller) {
    zem::throwIfNull(errors);
    zem::throwIfNull(controller);
    ChangeBatch batch(*controller);
    bool first = true;
    for (const ValidationError* error : *errors) {
        const auto* entryError = dynamic_cast<const BundleEntryError*>(error);
        if (!entryError || !entryError->isPositioned())
            continue;
        const zem::SourcePosition& start = entryError->getStart();
        controller->getDocument()->addLineMarker(start.line, entryError->message().c_str(),
                                                 markerValue(entryError->getSeverity()), VALIDATION_MARKER_KIND);
        if (!first)
            continue;
        first = false;
        const zem::SourcePosition& end = entryError->getEnd();
        batch.selection()->select(TextPosition(end.line, end.column), TextPosition(start.line, start.column), 0,
                                  Selection::ID_NORMAL);
    }
}

} // namespace corvel
