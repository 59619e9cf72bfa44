// Helpers shared by the Jasmine and overlay tests: a compact text form of value trees
// and of error messages, so table rows compare whole results at once.
#pragma once
#include "zem/base/ParserException.h"
#include "zem/text/StringUtil.h"
#include "zem/value/Values.h"

#include <string>

namespace jasmine_test {

// null, true, i5, r1.5, "dq", 'sq', sym, /re/opts, [a,b], {k:v,k2:v2} (insertion order).
inline std::wstring describe(const zem::Value* value) {
    using zem::Value;
    if (!value)
        return L"<none>";
    switch (value->kind()) {
    case Value::KIND_NULL:
        return L"null";
    case Value::KIND_BOOLEAN: {
        bool b = false;
        value->getBool(&b);
        return b ? L"true" : L"false";
    }
    case Value::KIND_INTEGER: {
        int i = 0;
        value->getInt(&i);
        std::wstring out = L"i";
        zem::formatInt(out, i, 10);
        return out;
    }
    case Value::KIND_REAL: {
        double d = 0;
        value->getDouble(&d);
        std::wstring out = L"r";
        zem::formatDouble(d, out);
        return out;
    }
    case Value::KIND_STRING: {
        const zem::StringValue* s = static_cast<const zem::StringValue*>(value);
        if (s->style() == zem::StringValue::STYLE_DOUBLE_QUOTED)
            return L"\"" + s->text() + L"\"";
        if (s->style() == zem::StringValue::STYLE_SINGLE_QUOTED)
            return L"'" + s->text() + L"'";
        return s->text();
    }
    case Value::KIND_REGEXP: {
        const zem::RegExpValue* r = static_cast<const zem::RegExpValue*>(value);
        return L"/" + r->pattern() + L"/" + r->options();
    }
    case Value::KIND_LIST: {
        const zem::ListValue* list = static_cast<const zem::ListValue*>(value);
        std::wstring out = L"[";
        for (size_t i = 0; i < list->size(); ++i)
            out += (i ? L"," : L"") + describe(list->at(i));
        return out + L"]";
    }
    case Value::KIND_DICTIONARY: {
        const zem::DictionaryValue* dict = static_cast<const zem::DictionaryValue*>(value);
        std::wstring out = L"{";
        bool first = true;
        for (const zem::DictionaryEntry& entry : dict->inOrder()) {
            out += (first ? L"" : L",") + entry.key + L":" + describe(entry.value);
            first = false;
        }
        return out + L"}";
    }
    default:
        return L"<kind?>";
    }
}

// "line:column:offset"
inline std::wstring describe(const zem::SourcePosition& p) {
    return std::to_wstring(p.line) + L":" + std::to_wstring(p.column) + L":" + std::to_wstring(p.offset);
}

// The message a JasmineSyntaxException carries for detail between the two positions.
inline std::wstring syntaxMessage(const std::wstring& detail, int beginLine, int beginColumn, int endLine,
                                  int endColumn) {
    return L"ParserException: `" + detail + L"` at `" + std::to_wstring(beginLine) + L":" +
           std::to_wstring(beginColumn) + L"` - `" + std::to_wstring(endLine) + L":" + std::to_wstring(endColumn) +
           L"`";
}

// Control characters shown as \xHH so failing rows stay readable.
inline std::wstring visible(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c < 32 || c == 127) {
            out += L"\\x";
            zem::formatUInt(out, c, 16, 2);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace jasmine_test
