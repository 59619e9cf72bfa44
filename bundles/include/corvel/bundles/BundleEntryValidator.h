// Checks the parsed dictionary of an entry before the entry reads it. One shared
// instance per kind; the kinds' validators derive from it. Bad input never throws: it
// adds errors and returns false.
#pragma once
#include "corvel/config/ValidationErrorList.h"

#include <string>

namespace zem {
class AbstractDictionaryValue;
class Value;
} // namespace zem

namespace corvel {

class BundleEntryValidator {
public:
    virtual ~BundleEntryValidator() = default;

    // Parses text (errors located with locationText) and validates the result.
    virtual bool validateSource(ValidationErrorList* errors, const std::wstring& text,
                                const std::wstring& locationText);
    // A null list or value throws NullPointerException. The base checks the title.
    virtual bool validate(ValidationErrorList* errors, const zem::Value* value);

    // A non-empty string "title".
    static bool validateTitle(ValidationErrorList* errors, const zem::AbstractDictionaryValue* dictionary);
};

// Executable items: the title, and an optional "scope" that must be a valid selector.
class ExecutableBundleItemValidator : public BundleEntryValidator {
public:
    bool validate(ValidationErrorList* errors, const zem::Value* value) override;
};

} // namespace corvel
