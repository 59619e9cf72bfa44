#include "zem/writer/Quoting.h"

#include "zem/jasmine/SymbolChar.h"
#include "zem/text/StringUtil.h"

#include <algorithm>
#include <cmath>

namespace zem {

namespace {

// Room for a piece ahead of appending it, growing geometrically so that long outputs
// are reallocated only a few times.
void reserveFor(std::wstring& out, size_t extra) {
    size_t needed = out.size() + extra;
    if (needed > out.capacity())
        out.reserve(std::max(needed, out.capacity() * 2));
}

bool isKeyword(const std::wstring& text) {
    return text == L"true" || text == L"false" || text == L"null";
}

bool allSymbolChars(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return isSymbolChar(c); });
}

size_t skipDigits(const std::wstring& text, size_t i) {
    while (i < text.size() && isDecimalDigit(text[i]))
        ++i;
    return i;
}

// Whether the whole text is one number token of the Jasmine lexer: an optional minus,
// digits, optionally "." and digits, optionally e or E, a sign and digits.
bool isJasmineNumber(const std::wstring& text) {
    size_t i = 0;
    if (i < text.size() && text[i] == L'-')
        ++i;
    size_t digitsEnd = skipDigits(text, i);
    if (digitsEnd == i)
        return false;
    i = digitsEnd;
    if (i < text.size() && text[i] == L'.') {
        digitsEnd = skipDigits(text, i + 1);
        if (digitsEnd == i + 1)
            return false;
        i = digitsEnd;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
            ++i;
        digitsEnd = skipDigits(text, i);
        if (digitsEnd == i)
            return false;
        i = digitsEnd;
    }
    return i == text.size();
}

bool startsWithKeyword(const std::wstring& text) {
    return text.compare(0, 4, L"true") == 0 || text.compare(0, 5, L"false") == 0 || text.compare(0, 4, L"null") == 0;
}

bool appendBareOrQuoted(bool bare, const std::wstring& text, std::wstring& out) {
    if (!bare) {
        appendJsonQuoted(text, out);
        return false;
    }
    reserveFor(out, text.size());
    out += text;
    return true;
}

} // namespace

bool appendEscape(std::wstring& out, wchar_t c) {
    wchar_t letter = 0;
    switch (c) {
    case L'\b':
        letter = L'b';
        break;
    case L'\t':
        letter = L't';
        break;
    case L'\n':
        letter = L'n';
        break;
    case L'\f':
        letter = L'f';
        break;
    case L'\r':
        letter = L'r';
        break;
    case L'"':
    case L'\\':
        letter = c;
        break;
    default:
        return false;
    }
    out += L'\\';
    out += letter;
    return true;
}

void appendJsonQuoted(const std::wstring& text, std::wstring& out) {
    reserveFor(out, text.size() + 2);
    out += L'"';
    for (wchar_t c : text) {
        if (appendEscape(out, c))
            continue;
        if (c < 32 || c == L'<' || c == L'>') {
            out += L"\\u";
            formatUInt(out, c, 16, 4);
            continue;
        }
        out += c;
    }
    out += L'"';
}

void appendSingleQuoted(const std::wstring& text, std::wstring& out) {
    reserveFor(out, text.size() + 2);
    out += L'\'';
    for (wchar_t c : text) {
        out += c;
        if (c == L'\'')
            out += L'\'';
    }
    out += L'\'';
}

bool canWriteSingleQuoted(const std::wstring& text) {
    if (!text.empty() && text.back() == L'\\')
        return false; // it would escape the closing apostrophe
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == 0)
            return false; // double quotes write it as an escape instead of a raw NUL in the file
        // Jasmine reads a backslash before an apostrophe as the apostrophe alone, and
        // there is no way to escape the backslash itself.
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'\'')
            return false;
    }
    return true;
}

bool appendSymbol(const std::wstring& text, std::wstring& out) {
    bool bare = !text.empty() && allSymbolChars(text) && !isKeyword(text) && !isJasmineNumber(text);
    return appendBareOrQuoted(bare, text, out);
}

bool appendSymbolKey(const std::wstring& text, std::wstring& out) {
    bool bare = !text.empty() && allSymbolChars(text) && !isKeyword(text);
    return appendBareOrQuoted(bare, text, out);
}

bool appendJsonSymbol(const std::wstring& text, std::wstring& out) {
    bool bare = !text.empty() && allSymbolChars(text) && !isDecimalDigit(text[0]) && text[0] != L'-' &&
                !startsWithKeyword(text);
    return appendBareOrQuoted(bare, text, out);
}

void appendRegExp(const std::wstring& pattern, const std::wstring& options, std::wstring& out) {
    reserveFor(out, pattern.size() + options.size() + 4);
    out += L'/';
    if (pattern.empty())
        out += L"(?:)";
    else if (pattern[0] == L'*')
        out += L'\\';
    for (size_t i = 0; i < pattern.size(); ++i) {
        wchar_t c = pattern[i];
        if (c == L'\\') {
            out += c;
            // The escaped unit goes out as it is; a lone backslash at the end is doubled.
            out += i + 1 < pattern.size() ? pattern[++i] : L'\\';
            continue;
        }
        if (c == L'/')
            out += L'\\';
        out += c;
    }
    out += L'/';
    out += options;
}

void appendRealLiteral(double value, std::wstring& out) {
    if (std::isnan(value)) {
        out += L"NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? L"-Infinity" : L"Infinity";
        return;
    }
    std::wstring text;
    formatDouble(value, text);
    if (text.find_first_of(L".eE") == std::wstring::npos)
        text += L".0";
    if (text[0] == L'.')
        text.insert(0, 1, L'0');
    else if (text.size() > 1 && text[0] == L'-' && text[1] == L'.')
        text.insert(1, 1, L'0');
    out += text;
}

} // namespace zem
