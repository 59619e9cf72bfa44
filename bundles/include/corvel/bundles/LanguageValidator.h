// Checks a grammar file's dictionary before the grammar reads it: the name, the file
// types, every pattern's keys and kinds, and, unlike the reader, compiles every regular
// expression and checks capture group numbers against the groups they define. Adds
// entry errors and never raises for bad input.
#pragma once
#include "corvel/bundles/BundleEntryValidator.h"

namespace zem {
class AbstractDictionaryValue;
class RegExpValue;
} // namespace zem

namespace corvel {

class LanguageValidator : public BundleEntryValidator {
public:
    bool validate(ValidationErrorList* errors, const zem::Value* value) override;

private:
    void checkPattern(ValidationErrorList* errors, const zem::Value* value);
    void checkPatternList(ValidationErrorList* errors, const zem::Value* list);
    // The group count of the compiled expression, or -1 when it did not compile (or, for
    // an end pattern, refers back to the begin's groups).
    int compile(ValidationErrorList* errors, const zem::Value* value, bool tolerateBackReferences);
    void checkCaptures(ValidationErrorList* errors, const zem::Value* value, int groupCount);
};

} // namespace corvel
