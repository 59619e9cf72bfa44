// Checks a snippet entry: the executable item's checks, and that the content parses.
#pragma once
#include "corvel/bundles/BundleEntryValidator.h"

namespace corvel {

class SnippetValidator : public ExecutableBundleItemValidator {
public:
    // A content that does not parse adds one error with the parser's text, placed in the
    // entry file, and fails.
    bool validate(ValidationErrorList* errors, const zem::Value* value) override;
};

} // namespace corvel
