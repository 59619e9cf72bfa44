#include "corvel/bundles/BundleSource.h"

#include "corvel/bundles/BundleEntryChecks.h"
#include "model/ExceptionText.h"
#include "zem/base/Exception.h"
#include "zem/jasmine/JasmineParser.h"
#include "zem/value/DictionaryValue.h"

#include <memory>

namespace corvel {

zem::DictionaryValue* parseBundleSource(zem::JasmineTokenStore* tokens, const std::wstring& text,
                                        const std::wstring& locationText, ValidationErrorList& errors) {
    try {
        std::unique_ptr<zem::Value> root(tokens ? zem::parseJasmineTokens(*tokens, text) : zem::parseJasmine(text));
        if (root && root->kind() == zem::Value::KIND_DICTIONARY) {
            if (zem::DictionaryValue* dict = dynamic_cast<zem::DictionaryValue*>(root.get())) {
                root.release();
                return dict;
            }
        }
        errors.add(makeRootTypeError(root.get(), L"Dictionary"));
        return nullptr;
    } catch (const zem::ParserException& e) {
        BundleEntryError* error = new BundleEntryError(ValidationError::ERROR_SEVERITY, e.detail(), locationText);
        error->setRange(e.begin(), e.end());
        errors.add(error);
    } catch (...) {
        errors.add(makeEntryFileError(ValidationError::ERROR_SEVERITY,
                                      currentExceptionText(L"Unexpected error while parsing source. (1)",
                                                           L"Unexpected error while parsing source. (2)",
                                                           L"Unexpected error while parsing file. (3)"),
                                      locationText));
    }
    return nullptr;
}

} // namespace corvel
