#include "corvel/bundles/BundleEntryValidator.h"

#include "corvel/bundles/BundleEntryChecks.h"
#include "corvel/bundles/BundleSource.h"
#include "zem/base/Assert.h"
#include "zem/jasmine/JasmineTokenStore.h"
#include "zem/value/Values.h"

#include <memory>

namespace corvel {

bool BundleEntryValidator::validateSource(ValidationErrorList* errors, const std::wstring& text,
                                          const std::wstring& locationText) {
    zem::throwIfNull(errors);
    zem::JasmineTokenStore tokens;
    std::unique_ptr<zem::DictionaryValue> value(parseBundleSource(&tokens, text, locationText, *errors));
    if (!value)
        return false;
    return validate(errors, value.get());
}

bool BundleEntryValidator::validate(ValidationErrorList* errors, const zem::Value* value) {
    zem::throwIfNull(errors);
    zem::throwIfNull(value);
    return validateTitle(errors, dynamic_cast<const zem::AbstractDictionaryValue*>(value));
}

bool BundleEntryValidator::validateTitle(ValidationErrorList* errors, const zem::AbstractDictionaryValue* dictionary) {
    zem::Value* title = nullptr;
    if (!requireKey(dictionary, L"title", errors, BundleEntryError::TAG_TITLE, ValidationError::ERROR_SEVERITY, nullptr,
                    &title))
        return false;
    if (!checkValueType(title, zem::Value::KIND_STRING, errors, BundleEntryError::TAG_TITLE,
                        ValidationError::ERROR_SEVERITY))
        return false;
    std::wstring text;
    title->getString(&text);
    return checkNotEmpty(text, errors);
}

bool ExecutableBundleItemValidator::validate(ValidationErrorList* errors, const zem::Value* value) {
    zem::throwIfNull(errors);
    zem::throwIfNull(value);
    const zem::AbstractDictionaryValue* dictionary = dynamic_cast<const zem::AbstractDictionaryValue*>(value);
    bool result = validateTitle(errors, dictionary);
    zem::Value* scope = nullptr;
    if (!requireKey(dictionary, L"scope", errors, BundleEntryError::TAG_SCOPE, ValidationError::WARNING_SEVERITY,
                    L"Scope is not set.", &scope))
        return result;
    // A scope of another type is a warning only.
    if (!checkValueType(scope, zem::Value::KIND_STRING, errors, BundleEntryError::TAG_SCOPE,
                        ValidationError::WARNING_SEVERITY))
        return result;
    std::wstring text;
    scope->getString(&text);
    return checkScopeSelector(text, errors, scope) && result;
}

} // namespace corvel
