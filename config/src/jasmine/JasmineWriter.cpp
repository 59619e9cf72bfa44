// The text form of a JasmineValue. What is written here must read back through
// JasmineParser: strings always go in single quotes, reals in a form the parser's number
// token can hold.
#include "corvel/jasmine/JasmineValue.h"

#include "JasmineChars.h"

#include "zem/base/Format.h"
#include "zem/writer/Quoting.h"

#include <charconv>
#include <cmath>
#include <string>

namespace corvel {
namespace {

void appendTabs(std::wstring& out, int depth) {
    out.append(static_cast<size_t>(depth), L'\t');
}

double readBack(const std::wstring& text) {
    std::string narrow(text.begin(), text.end());
    double value = 0;
    std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    return value;
}

// "%.16g" as the format's readers expect, "%.17g" when 16 digits lose the double, and
// ".0" behind a whole number; the parser takes no '+' inside a number, so exponents go
// without it. Infinities are written beyond the double range, which reads back as
// infinity; NaN has no number form.
void appendReal(std::wstring& out, double value) {
    if (std::isnan(value)) {
        out += L"null";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? L"-1e999" : L"1e999";
        return;
    }
    std::wstring text = zem::format(L"%.16g", value);
    if (readBack(text) != value)
        text = zem::format(L"%.17g", value);
    bool integral = true;
    for (wchar_t c : text) {
        if (c != L'+')
            out += c;
        integral = integral && (jasmine::isDigit(c) || c == L'-');
    }
    // A whole number would read back as an integer: the value would change type on the
    // next load (a real 2 becoming the integer 2).
    if (integral)
        out += L".0";
}

void appendQuoted(std::wstring& out, const wchar_t* text) {
    out += L'\'';
    if (text) {
        for (const wchar_t* p = text; *p; ++p) {
            out += *p;
            if (*p == L'\'')
                out += L'\'';
        }
    }
    out += L'\'';
}

} // namespace

bool JasmineValue::isWritableKey(const std::wstring& key) {
    if (key.empty())
        return false;
    wchar_t first = key[0];
    bool symbol = jasmine::isLetter(first) || first == L'_' || (first == L'-' && key.size() > 1 && key[1] == L'-');
    bool number = !symbol && (first == L'-' || first == L'.' || jasmine::isDigit(first));
    if (!symbol && !number)
        return false;
    for (size_t i = 1; i < key.size(); ++i) {
        if (!(symbol ? jasmine::isSymbolChar(key[i]) : jasmine::isNumberChar(key[i])))
            return false;
    }
    return true;
}

bool JasmineValue::writeText(std::wstring& out, int depth, std::wstring* badKey) const {
    bool ok = true;
    switch (m_type) {
    case TYPE_NULL:
        out += L"null";
        break;
    case TYPE_INT:
        out += std::to_wstring(m_payload.i);
        break;
    case TYPE_UNSIGNED:
        out += std::to_wstring(m_payload.u);
        break;
    case TYPE_REAL:
        appendReal(out, m_payload.real);
        break;
    case TYPE_BOOL:
        out += m_payload.b ? L"true" : L"false";
        break;
    case TYPE_STRING:
        appendQuoted(out, m_payload.text);
        break;
    case TYPE_RAW_TEXT:
        if (m_payload.text)
            out += m_payload.text;
        break;
    case TYPE_REGEXP:
        // The base writer's literal reads back here too: "//" and "/*" are avoided and
        // the literal always ends at its own slash.
        if (m_payload.regExp)
            zem::appendRegExp(m_payload.regExp->pattern(), m_payload.regExp->options(), out);
        else
            zem::appendRegExp(std::wstring(), std::wstring(), out);
        break;
    case TYPE_LIST:
        out += L'\n';
        appendTabs(out, depth);
        out += L"[\n";
        for (const JasmineValue& element : *m_payload.list) {
            appendTabs(out, depth + 1);
            if (!element.writeText(out, depth + 1, badKey))
                ok = false;
        }
        appendTabs(out, depth);
        out += L"]\n";
        return ok;
    case TYPE_DICTIONARY:
        out += L'\n';
        appendTabs(out, depth);
        out += L"{\n";
        for (const JasmineDictionary::Entry& entry : *m_payload.dictionary) {
            if (!isWritableKey(entry.key)) {
                if (badKey && badKey->empty())
                    *badKey = entry.key;
                ok = false;
            }
            appendTabs(out, depth + 1);
            out += entry.key;
            out += L" : ";
            if (!entry.value.writeText(out, depth + 1, badKey))
                ok = false;
        }
        appendTabs(out, depth);
        out += L"}\n";
        return ok;
    }
    out += L'\n';
    return ok;
}

} // namespace corvel
