// The makers of bundle entry errors and the small checks the validators are built from.
// A maker returns a new error the caller adds to a list; a check adds its error to the
// list and returns false, or returns true. A null list throws NullPointerException.
#pragma once
#include "corvel/bundles/BundleEntryError.h"
#include "corvel/config/ValidationErrorList.h"

#include <string>

namespace zem {
class AbstractDictionaryValue;
class RegEx;
class Value;
} // namespace zem

namespace corvel {

BundleEntryError* makeEntryFileError(uint32_t severity, const std::wstring& message, const std::wstring& location);
BundleEntryError* makeRangeError(const zem::SourcePosition& start, const zem::SourcePosition& end,
                                 const std::wstring& message);
// "Root value must be `<expected>`, but `<found>` found."
BundleEntryError* makeRootTypeError(const zem::Value* value, const wchar_t* expected);
// message, or "Dictionary key `<key>` not found." when null; positioned at the dictionary
// when one is given.
BundleEntryError* makeKeyNotFoundError(const wchar_t* message, uint32_t severity, const zem::Value* dictionary,
                                       const std::wstring& key);
// "Value must be `<expected>`, but `<found>` found."
BundleEntryError* makeValueTypeError(const zem::Value* value, uint32_t severity, const wchar_t* expected);
// message, or "Value has invalid format." when null.
BundleEntryError* makeValueFormatError(const zem::Value* value, const wchar_t* message);
// "Value is empty.", not positioned.
BundleEntryError* makeValueEmptyError();

// A tag of 0 adds none.
bool requireKey(const zem::AbstractDictionaryValue* dictionary, const std::wstring& key, ValidationErrorList* errors,
                int tag, uint32_t severity, const wchar_t* message, zem::Value** outValue);
bool checkValueType(const zem::Value* value, int32_t expectedKind, ValidationErrorList* errors, int tag,
                    uint32_t severity);
bool checkNotEmpty(const std::wstring& text, ValidationErrorList* errors);
// Searches the value's text with pattern.
bool checkPattern(const zem::Value* value, ValidationErrorList* errors, const zem::RegEx* pattern,
                  const wchar_t* message);
// A present key is a warning "The `<key>` will be ignored." at the key.
bool warnIgnoredKey(const zem::AbstractDictionaryValue* dictionary, ValidationErrorList* errors, int tag,
                    const std::wstring& key);
// Compiles text as a scope selector; a syntax error is reported inside the file, shifted
// by where the string value's text begins.
bool checkScopeSelector(const std::wstring& text, ValidationErrorList* errors, const zem::Value* value);

} // namespace corvel
