// Shows a validation result in the text it was made from: a line marker per positioned
// error, and the first one selected. The entry editors mark their source and content
// documents with it.
#pragma once
#include <cstdint>

namespace corvel {

class DocumentController;
class ValidationErrorList;

// The marker kind under which the errors are kept, so that they can be removed at once.
constexpr int32_t VALIDATION_MARKER_KIND = static_cast<int32_t>(0xfaa290c8u);

// Within one change batch: for every positioned BundleEntryError a marker on its start
// line with its message and a value by severity (1 notice, 2 warning, 3 anything higher);
// the first one's text is selected from its end (anchor) to its start (caret). Null
// arguments throw NullPointerException "Null reference.".
void markValidationErrors(const ValidationErrorList* errors, DocumentController* controller);

} // namespace corvel
