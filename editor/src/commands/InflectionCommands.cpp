#include "corvel/editor/InflectionCommands.h"

#include "corvel/document/ControllerBrackets.h"
#include "corvel/document/DocumentController.h"
#include "corvel/document/TextChunk.h"
#include "zem/text/Inflector.h"

namespace corvel {

namespace {

void formatWords(const std::wstring& text, unsigned caseFormat, wchar_t separator, std::wstring& out) {
    zem::Inflector::formatWords(&out, text.c_str(), text.size(), caseFormat, separator);
}

bool runTransform(void* object, const TextChunk& text, std::wstring& out) {
    return InflectionCommands::transform(*static_cast<InflectionCommands::Kind*>(object), text.str(), out);
}

} // namespace

bool InflectionCommands::apply(DocumentController& controller, Kind kind) {
    EditBracket bracket(controller, DocumentController::EDIT_WRITE);
    ChangeBatchScope batch(controller);
    return controller.transformSelection(&kind, &runTransform);
}

bool InflectionCommands::transform(Kind kind, const std::wstring& text, std::wstring& out) {
    out = text;
    switch (kind) {
    case UPPERCASE:
        zem::Inflector::toUpper(out);
        return true;
    case LOWERCASE:
        zem::Inflector::toLower(out);
        return true;
    case CAPITALIZE:
        zem::Inflector::capitalize(out);
        return true;
    case HYPHENIZE:
        formatWords(text, zem::Inflector::CASE_KEEP, L'-', out);
        return true;
    case UNDERSCORE:
        formatWords(text, zem::Inflector::CASE_KEEP, L'_', out);
        return true;
    case CAMELCASE_UPPER:
        formatWords(text, zem::Inflector::CASE_CAPITALIZE, 0, out);
        return true;
    case CAMELCASE_LOWER:
        formatWords(text, zem::Inflector::CASE_CAMEL, 0, out);
        return true;
    case SPLIT:
        formatWords(text, zem::Inflector::CASE_KEEP, L' ', out);
        return true;
    case SYSTEMIZE:
        zem::Inflector::transliterate(out);
        return true;
    }
    return false;
}

} // namespace corvel
