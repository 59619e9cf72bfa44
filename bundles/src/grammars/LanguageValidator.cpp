#include "corvel/bundles/LanguageValidator.h"

#include "corvel/bundles/BundleEntryChecks.h"
#include "corvel/text/RegEx.h"
#include "corvel/text/RegExCache.h"
#include "zem/base/Assert.h"
#include "zem/text/RegEx.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/RegExpValue.h"
#include "zem/value/Values.h"

#include <cwchar>

namespace corvel {

namespace {

const uint32_t ERROR = ValidationError::ERROR_SEVERITY;
const uint32_t WARNING = ValidationError::WARNING_SEVERITY;
const int INVALID_BACKREFERENCE = -208; // the engine's code for a reference to a group it lacks

const zem::RegEx* namePattern() {
    static const zem::RegExPtr pattern = zem::RegEx::create(L"^([0-9A-Za-z\\._#\\+]+)$");
    return pattern.get();
}

const wchar_t* const NAME_MESSAGE = L"Name must not be empty and must only contain uppercase and lowercase characters, "
                                    L"numbers, hash, dot and underscore.";

void add(ValidationErrorList* errors, BundleEntryError* error) {
    errors->add(error);
}

// An error at a key of a captures map; the value's own place when the key has none.
BundleEntryError* errorAtKey(const zem::DictionaryEntry& entry, uint32_t severity, const wchar_t* message) {
    BundleEntryError* error = new BundleEntryError(severity, message);
    const zem::SourceLocation& where = entry.value->location();
    if (where.hasLocation)
        error->setRange(where.keyBegin, where.keyEnd);
    return error;
}

} // namespace

bool LanguageValidator::validate(ValidationErrorList* errors, const zem::Value* value) {
    zem::throwIfNull(errors);
    zem::throwIfNull(value);
    size_t before = errors->count(ERROR);
    BundleEntryValidator::validate(errors, value);
    const zem::AbstractDictionaryValue* dictionary = dynamic_cast<const zem::AbstractDictionaryValue*>(value);
    if (!dictionary)
        return false;
    zem::Value* name = nullptr;
    if (requireKey(dictionary, L"name", errors, 0, ERROR, nullptr, &name) &&
        checkValueType(name, zem::Value::KIND_STRING, errors, 0, ERROR))
        corvel::checkPattern(name, errors, namePattern(), NAME_MESSAGE);
    if (const zem::Value* types = dictionary->find(L"file_types")) {
        if (checkValueType(types, zem::Value::KIND_LIST, errors, 0, ERROR)) {
            const zem::ListValue* list = static_cast<const zem::ListValue*>(types);
            for (size_t i = 0; i < list->size(); ++i)
                checkValueType(list->at(i), zem::Value::KIND_STRING, errors, 0, ERROR);
        }
    }
    zem::Value* patterns = nullptr;
    if (requireKey(dictionary, L"patterns", errors, 0, WARNING, nullptr, &patterns))
        checkPatternList(errors, patterns);
    if (const zem::Value* repository = dictionary->find(L"repository")) {
        if (checkValueType(repository, zem::Value::KIND_DICTIONARY, errors, 0, ERROR)) {
            for (const zem::DictionaryEntry& entry : static_cast<const zem::DictionaryValue*>(repository)->inOrder())
                checkPattern(errors, entry.value);
        }
    }
    return errors->count(ERROR) == before;
}

void LanguageValidator::checkPatternList(ValidationErrorList* errors, const zem::Value* value) {
    if (!checkValueType(value, zem::Value::KIND_LIST, errors, 0, ERROR))
        return;
    const zem::ListValue* list = static_cast<const zem::ListValue*>(value);
    for (size_t i = 0; i < list->size(); ++i)
        checkPattern(errors, list->at(i));
}

void LanguageValidator::checkPattern(ValidationErrorList* errors, const zem::Value* value) {
    // A null pattern is reported like any other wrong kind; it must not end the validation.
    if (!value || !checkValueType(value, zem::Value::KIND_DICTIONARY, errors, 0, ERROR))
        return;
    const zem::DictionaryValue* pattern = static_cast<const zem::DictionaryValue*>(value);
    const zem::Value* begin = pattern->find(L"begin");
    const zem::Value* end = pattern->find(L"end");
    if (begin || end) {
        if (!begin)
            add(errors, makeKeyNotFoundError(nullptr, WARNING, pattern, L"begin"));
        int beginGroups = begin ? compile(errors, begin, false) : -1;
        zem::Value* endValue = nullptr;
        int endGroups = -1;
        if (requireKey(pattern, L"end", errors, 0, WARNING, nullptr, &endValue))
            endGroups = compile(errors, endValue, true);
        warnIgnoredKey(pattern, errors, 0, L"match");
        if (const zem::Value* captures = pattern->find(L"begin_captures"); captures && beginGroups >= 0)
            checkCaptures(errors, captures, beginGroups);
        if (const zem::Value* captures = pattern->find(L"end_captures"); captures && endGroups >= 0)
            checkCaptures(errors, captures, endGroups);
        if (const zem::Value* captures = pattern->find(L"captures"); captures && (beginGroups >= 0 || endGroups >= 0))
            checkCaptures(errors, captures, beginGroups > endGroups ? beginGroups : endGroups);
        if (const zem::Value* children = pattern->find(L"patterns"))
            checkPatternList(errors, children);
        return;
    }
    if (const zem::Value* match = pattern->find(L"match")) {
        compile(errors, match, false);
        warnIgnoredKey(pattern, errors, 0, L"begin_captures");
        warnIgnoredKey(pattern, errors, 0, L"end_captures");
        warnIgnoredKey(pattern, errors, 0, L"patterns");
        return;
    }
    // An include reads the patterns of its injections, a group its own: the reader takes
    // every element of those lists for a pattern, so each is checked as one here.
    const zem::Value* include = pattern->find(L"include");
    if (include && include->kind() == zem::Value::KIND_STRING) {
        if (const zem::Value* inject = pattern->find(L"inject"); inject && inject->kind() == zem::Value::KIND_LIST) {
            const zem::ListValue* list = static_cast<const zem::ListValue*>(inject);
            for (size_t i = 0; i < list->size(); ++i) {
                if (!checkValueType(list->at(i), zem::Value::KIND_DICTIONARY, errors, 0, ERROR))
                    continue;
                if (const zem::Value* children =
                        static_cast<const zem::DictionaryValue*>(list->at(i))->find(L"patterns"))
                    checkPatternList(errors, children);
            }
        }
        return;
    }
    if (const zem::Value* children = pattern->find(L"patterns"))
        checkPatternList(errors, children);
}

int LanguageValidator::compile(ValidationErrorList* errors, const zem::Value* value, bool tolerateBackReferences) {
    if (!checkValueType(value, zem::Value::KIND_REGEXP, errors, 0, ERROR))
        return -1;
    const zem::RegExpValue* regex = static_cast<const zem::RegExpValue*>(value);
    // The engine refuses a bare "\x41" in UTF-16: check what the reader will compile.
    std::wstring source;
    if (!zem::RegEx::rewriteHexEscapes(regex->pattern(), source))
        source = regex->pattern();
    RegExOptions options = parseRegExOptions(regex->options().c_str());
    // Compiled into the shared cache: the grammar compiler asks for the same expressions.
    zem::RegExPtr compiled = RegExCache::get(source, options.bits | zem::REGEX_CAPTURE_GROUP, options.globalFlag);
    zem::RegExError error;
    // A shared pattern that compiled may carry a later match's error: only a compile error counts.
    if (compiled && !compiled->isCompiled() && compiled->getError(error)) {
        // An end pattern refers to the begin's groups: its own count is not known alone,
        // and its captures are not checked against one.
        if (tolerateBackReferences && error.code == INVALID_BACKREFERENCE)
            return -1;
        BundleEntryError* entry = new BundleEntryError(ERROR, L"Syntax error: `" + error.message + L"`");
        const zem::SourceLocation& where = value->location();
        if (where.hasLocation) {
            zem::SourcePosition start = where.contentBegin;
            zem::SourcePosition stop = where.contentBegin;
            start.column += error.begin;
            start.offset += error.begin;
            stop.column += error.end > error.begin ? error.end : error.begin;
            stop.offset += error.end > error.begin ? error.end : error.begin;
            entry->setRange(start, stop);
        }
        add(errors, entry);
        return -1;
    }
    return compiled ? compiled->captureCount() : -1;
}

void LanguageValidator::checkCaptures(ValidationErrorList* errors, const zem::Value* value, int groupCount) {
    if (!checkValueType(value, zem::Value::KIND_DICTIONARY, errors, 0, ERROR))
        return;
    for (const zem::DictionaryEntry& entry : static_cast<const zem::DictionaryValue*>(value)->inOrder()) {
        wchar_t* end = nullptr;
        long group = std::wcstol(entry.key.c_str(), &end, 10);
        if (entry.key.empty() || *end != 0)
            add(errors, errorAtKey(entry, ERROR, L"Capture group index must be a number."));
        else if (group < 0)
            add(errors, errorAtKey(entry, ERROR, L"Capture group index must be greater than 0."));
        else if (group > groupCount)
            add(errors, errorAtKey(entry, WARNING, L"Capture group index does not match the regular expression."));
        if (!checkValueType(entry.value, zem::Value::KIND_DICTIONARY, errors, 0, ERROR))
            continue;
        zem::Value* name = nullptr;
        if (requireKey(static_cast<const zem::DictionaryValue*>(entry.value), L"name", errors, 0, ERROR, nullptr,
                       &name))
            checkValueType(name, zem::Value::KIND_STRING, errors, 0, ERROR);
    }
}

} // namespace corvel
