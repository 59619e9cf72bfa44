#include "corvel/bundles/SnippetValidator.h"

#include "corvel/bundles/BundleEntryError.h"
#include "corvel/bundles/SnippetReader.h"
#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/value/AbstractDictionaryValue.h"

namespace corvel {

namespace {

// A position inside the content (from 1) moved to the file (from 0, as value locations
// count): the content's first line starts at the value's content start, later lines keep
// their own columns. Escapes written in the
// file make the columns of a line after one approximate.
zem::SourcePosition placed(const zem::SourcePosition& position, const zem::SourcePosition& content) {
    zem::SourcePosition out;
    out.line = content.line + position.line - 1;
    out.column = position.line == 1 ? content.column + position.column - 1 : position.column - 1;
    out.offset = content.offset + position.offset;
    return out;
}

} // namespace

bool SnippetValidator::validate(ValidationErrorList* errors, const zem::Value* value) {
    bool result = ExecutableBundleItemValidator::validate(errors, value);
    const zem::AbstractDictionaryValue* dictionary = dynamic_cast<const zem::AbstractDictionaryValue*>(value);
    const zem::Value* content = dictionary ? dictionary->findTyped(L"content", zem::Value::KIND_STRING) : nullptr;
    if (!content)
        return result;
    std::wstring text;
    content->getString(&text);
    zem::SourcePosition base; // from 0, as the values' locations count
    if (content->location().hasLocation)
        base = content->location().contentBegin;
    return validateContent(errors, text, base) && result;
}

bool SnippetValidator::validateContent(ValidationErrorList* errors, const std::wstring& text,
                                       const zem::SourcePosition& base) {
    zem::throwIfNull(errors);
    try {
        parseSnippet(text);
        return true;
    } catch (const zem::ParserException& e) {
        BundleEntryError* error = new BundleEntryError(ValidationError::ERROR_SEVERITY, e.message());
        error->setRange(placed(e.begin(), base), placed(e.end(), base));
        errors->add(error);
        return false;
    }
}

} // namespace corvel
