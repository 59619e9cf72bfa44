#include "corvel/bundles/BundleEntryChecks.h"

#include "corvel/document/ScopeSelector.h"
#include "zem/base/Assert.h"
#include "zem/base/Format.h"
#include "zem/base/ParserException.h"
#include "zem/text/RegEx.h"
#include "zem/value/Values.h"

#include <memory>

namespace corvel {

namespace {

void addTo(ValidationErrorList* errors, BundleEntryError* error, int tag) {
    std::unique_ptr<BundleEntryError> owned(error);
    if (tag != 0)
        error->addTag(tag);
    errors->add(owned.release());
}

zem::SourcePosition shifted(const zem::SourcePosition& position, const zem::SourcePosition& by) {
    zem::SourcePosition out;
    out.line = position.line + by.line;
    out.column = position.column + by.column;
    out.offset = position.offset + by.offset;
    return out;
}

} // namespace

BundleEntryError* makeEntryFileError(uint32_t severity, const std::wstring& message, const std::wstring& location) {
    BundleEntryError* error = new BundleEntryError(severity, message, location);
    error->addTag(BundleEntryError::TAG_FILE);
    return error;
}

BundleEntryError* makeRangeError(const zem::SourcePosition& start, const zem::SourcePosition& end,
                                 const std::wstring& message) {
    BundleEntryError* error = new BundleEntryError(ValidationError::ERROR_SEVERITY, message);
    error->setRange(start, end);
    return error;
}

BundleEntryError* makeRootTypeError(const zem::Value* value, const wchar_t* expected) {
    BundleEntryError* error = new BundleEntryError(
        ValidationError::ERROR_SEVERITY, zem::format(L"Root value must be `%s`, but `%s` found.", expected,
                                                     valueTypeName(value ? value->kind() : zem::Value::KIND_NULL)));
    error->setRange(value);
    return error;
}

BundleEntryError* makeKeyNotFoundError(const wchar_t* message, uint32_t severity, const zem::Value* dictionary,
                                       const std::wstring& key) {
    std::wstring text = message ? std::wstring(message) : zem::format(L"Dictionary key `%s` not found.", key.c_str());
    BundleEntryError* error = new BundleEntryError(severity, text);
    error->setRange(dictionary);
    error->addTag(BundleEntryError::TAG_VALUE);
    return error;
}

BundleEntryError* makeValueTypeError(const zem::Value* value, uint32_t severity, const wchar_t* expected) {
    BundleEntryError* error =
        new BundleEntryError(severity, zem::format(L"Value must be `%s`, but `%s` found.", expected,
                                                   valueTypeName(value ? value->kind() : zem::Value::KIND_NULL)));
    error->setRange(value);
    error->addTag(BundleEntryError::TAG_VALUE);
    return error;
}

BundleEntryError* makeValueFormatError(const zem::Value* value, const wchar_t* message) {
    BundleEntryError* error =
        new BundleEntryError(ValidationError::ERROR_SEVERITY, message ? message : L"Value has invalid format.");
    error->setRange(value);
    return error;
}

BundleEntryError* makeValueEmptyError() {
    return new BundleEntryError(ValidationError::ERROR_SEVERITY, L"Value is empty.");
}

bool requireKey(const zem::AbstractDictionaryValue* dictionary, const std::wstring& key, ValidationErrorList* errors,
                int tag, uint32_t severity, const wchar_t* message, zem::Value** outValue) {
    zem::throwIfNull(errors);
    zem::Value* value = dictionary ? dictionary->find(key) : nullptr;
    if (outValue)
        *outValue = value;
    if (value)
        return true;
    addTo(errors, makeKeyNotFoundError(message, severity, dictionary, key), tag);
    return false;
}

bool checkValueType(const zem::Value* value, int32_t expectedKind, ValidationErrorList* errors, int tag,
                    uint32_t severity) {
    zem::throwIfNull(errors);
    if (value && value->kind() == expectedKind)
        return true;
    addTo(errors, makeValueTypeError(value, severity, valueTypeName(expectedKind)), tag);
    return false;
}

bool checkNotEmpty(const std::wstring& text, ValidationErrorList* errors) {
    zem::throwIfNull(errors);
    if (!text.empty())
        return true;
    addTo(errors, makeValueEmptyError(), BundleEntryError::TAG_TITLE);
    return false;
}

bool checkPattern(const zem::Value* value, ValidationErrorList* errors, const zem::RegEx* pattern,
                  const wchar_t* message) {
    zem::throwIfNull(errors);
    zem::throwIfNull(pattern);
    std::wstring text;
    if (value)
        value->getString(&text);
    const wchar_t* begin = text.c_str();
    const wchar_t* end = begin + text.size();
    std::unique_ptr<zem::MatchResultsRegEx> results(zem::RegEx::search(nullptr, pattern, begin, end, begin, end));
    if (results && results->getCount() > 0 && results->getBegin(0) >= 0)
        return true;
    addTo(errors, makeValueFormatError(value, message), BundleEntryError::TAG_PATTERN);
    return false;
}

bool warnIgnoredKey(const zem::AbstractDictionaryValue* dictionary, ValidationErrorList* errors, int tag,
                    const std::wstring& key) {
    zem::throwIfNull(errors);
    const zem::Value* value = dictionary ? dictionary->find(key) : nullptr;
    if (!value)
        return true;
    BundleEntryError* error =
        new BundleEntryError(ValidationError::WARNING_SEVERITY, zem::format(L"The `%s` will be ignored.", key.c_str()));
    if (value->location().hasLocation)
        error->setRange(value->location().keyBegin, value->location().keyEnd);
    addTo(errors, error, tag);
    return false;
}

bool checkScopeSelector(const std::wstring& text, ValidationErrorList* errors, const zem::Value* value) {
    zem::throwIfNull(errors);
    try {
        ScopeSelector::create(text.c_str(), text.size());
        return true;
    } catch (const zem::ParserException& e) {
        // The selector's positions count from its own text, which begins inside the file.
        zem::SourcePosition base;
        if (value && value->location().hasLocation)
            base = value->location().contentBegin;
        errors->add(makeRangeError(shifted(e.begin(), base), shifted(e.end(), base), e.detail()));
        return false;
    }
}

} // namespace corvel
