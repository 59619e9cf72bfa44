// Checks a snippet entry: the executable item's checks, and that the content parses.
#pragma once
#include "corvel/bundles/BundleEntryValidator.h"
#include "zem/base/ParserException.h"

#include <string>

namespace corvel {

class SnippetValidator : public ExecutableBundleItemValidator {
public:
    // A content that does not parse adds one error with the parser's text, placed in the
    // entry file, and fails.
    bool validate(ValidationErrorList* errors, const zem::Value* value) override;
    // Parses a content text; one that does not parse adds an error with the parser's text,
    // placed from base (where the content begins; zero for the text alone), and fails.
    static bool validateContent(ValidationErrorList* errors, const std::wstring& text, const zem::SourcePosition& base);
};

} // namespace corvel
