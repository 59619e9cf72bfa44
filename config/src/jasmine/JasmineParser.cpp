#include "corvel/jasmine/JasmineParser.h"

#include "JasmineChars.h"

#include "corvel/jasmine/ParserException.h"
#include "zem/base/Format.h"
#include "zem/text/StringUtil.h"

#include <charconv>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace corvel {
namespace {

using jasmine::isDigit;
using jasmine::isLetter;
using jasmine::isNumberChar;
using jasmine::isSymbolChar;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

const wchar_t* JasmineParser::tokenDisplayName(int kind) {
    static const wchar_t* const names[] = {
        L"end of stream",
        L"dictionary begin '{'",
        L"dictionary end '}'",
        L"array begin '['",
        L"array end ']'",
        L"double-quoted string",
        L"single-quoted string",
        L"plus operator (+)",
        L"plus-new-line operator (/)",
        L"regular expression",
        L"number",
        L"comment",
        L"dictionary key separator (:)",
        L"<UNKNOWN_TOKEN>",
        L"symbol (not quoted string)",
        L"<INVALID_TOKEN>",
    };
    if (kind < 0 || kind > TOKEN_INVALID)
        return L"<UNKNOWN_TOKEN>";
    return names[kind];
}

bool JasmineParser::parse(const wchar_t* text, JasmineValue& target) {
    return parse(text, text ? std::wcslen(text) : 0, target);
}

bool JasmineParser::parse(const wchar_t* text, size_t length, JasmineValue& target) {
    static const wchar_t empty[] = L"";
    m_lineMap.reset();
    m_start = text ? text : empty;
    m_position = m_start;
    m_end = m_start + (text ? length : 0);
    nextToken();
    if (isValueStart(m_token.kind)) {
        JasmineValue value;
        parseValue(value, 0);
        target = std::move(value);
        return true;
    }
    if (m_token.kind == TOKEN_DICT_END || m_token.kind == TOKEN_LIST_END)
        fail(zem::format(L"Unexpected %s.", tokenDisplayName(m_token.kind)), m_token.begin, m_token.end);
    return true;
}

// ---- errors ----

zem::SourcePosition JasmineParser::positionOf(const wchar_t* at) {
    if (!m_lineMap)
        m_lineMap.reset(new zem::LineMap(m_start, static_cast<size_t>(m_end - m_start)));
    zem::LinePosition p = m_lineMap->getPosition(static_cast<uint32_t>(at - m_start));
    zem::SourcePosition out;
    out.line = static_cast<int32_t>(p.line);
    out.column = static_cast<int32_t>(p.column);
    out.offset = static_cast<int32_t>(p.offset);
    return out;
}

void JasmineParser::fail(const std::wstring& text, const wchar_t* begin, const wchar_t* end) {
    throw ParserException(text, positionOf(begin), positionOf(end));
}

// ---- lexer ----

void JasmineParser::nextToken() {
    for (;;) {
        while (m_position < m_end && isBlank(*m_position))
            ++m_position;
        const wchar_t* start = m_position;
        m_token.begin = start;
        if (start >= m_end) {
            m_token.kind = TOKEN_END;
            m_token.end = start;
            return;
        }
        wchar_t c = *start;
        int single = -1;
        switch (c) {
        case L'{':
            single = TOKEN_DICT_BEGIN;
            break;
        case L'}':
            single = TOKEN_DICT_END;
            break;
        case L'[':
        case L'(':
            single = TOKEN_LIST_BEGIN;
            break;
        case L']':
        case L')':
            single = TOKEN_LIST_END;
            break;
        case L':':
            single = TOKEN_KEY_SEPARATOR;
            break;
        case L',':
            single = TOKEN_COMMA;
            break;
        default:
            break;
        }
        if (single >= 0) {
            m_token.kind = single;
            m_position = start + 1;
            m_token.end = m_position;
            return;
        }
        if (c == L'"')
            return lexQuoted(L'"', TOKEN_DOUBLE_QUOTED);
        if (c == L'\'')
            return lexQuoted(L'\'', TOKEN_SINGLE_QUOTED);
        if (c == L'/') {
            if (skipComment())
                continue;
            return lexRegExp();
        }
        const wchar_t* p = start + 1;
        if (c == L'-' && p < m_end && *p == L'-') {
            while (p < m_end && isSymbolChar(*p))
                ++p;
            m_token.kind = TOKEN_SYMBOL;
        } else if (c == L'-' || c == L'.' || isDigit(c)) {
            while (p < m_end && isNumberChar(*p))
                ++p;
            m_token.kind = TOKEN_NUMBER;
        } else if (isLetter(c) || c == L'_') {
            while (p < m_end && isSymbolChar(*p))
                ++p;
            m_token.kind = TOKEN_SYMBOL;
        } else {
            fail(L"Unexpected unknown token.", start, start + 1);
        }
        m_position = p;
        m_token.end = p;
        return;
    }
}

void JasmineParser::lexQuoted(wchar_t quote, int kind) {
    const wchar_t* start = m_position;
    const wchar_t* p = start + 1;
    for (;;) {
        if (p >= m_end)
            fail(zem::format(L"Unexpectedly terminated %s.", tokenDisplayName(kind)), start, m_end);
        wchar_t c = *p;
        if (quote == L'"' && c == L'\\') {
            p += 2; // a backslash last in the text ends up past the end: unterminated
            continue;
        }
        if (c == quote) {
            if (quote == L'\'' && p + 1 < m_end && p[1] == L'\'') {
                p += 2;
                continue;
            }
            break;
        }
        ++p;
    }
    m_token.kind = kind;
    m_position = p + 1;
    m_token.end = m_position;
}

bool JasmineParser::skipComment() {
    const wchar_t* start = m_position;
    const wchar_t* p = start + 1;
    if (p < m_end && *p == L'*') {
        for (p += 1; p + 1 < m_end; ++p) {
            if (p[0] == L'*' && p[1] == L'/') {
                m_position = p + 2;
                return true;
            }
        }
        fail(zem::format(L"Unexpectedly terminated %s.", tokenDisplayName(TOKEN_COMMENT)), start, m_end);
    }
    if (p < m_end && *p == L'/') {
        while (p < m_end && *p != L'\r' && *p != L'\n')
            ++p;
        m_position = p < m_end ? p + 1 : p;
        return true;
    }
    return false;
}

void JasmineParser::lexRegExp() {
    const wchar_t* start = m_position;
    const wchar_t* p = start + 1;
    for (;;) {
        if (p >= m_end)
            fail(zem::format(L"Unexpectedly terminated %s.", tokenDisplayName(TOKEN_REGEXP)), start, m_end);
        if (*p == L'\\') {
            p += 2;
            continue;
        }
        if (*p == L'/')
            break;
        ++p;
    }
    ++p;
    while (p < m_end && isSymbolChar(*p)) // the option characters
        ++p;
    m_token.kind = TOKEN_REGEXP;
    m_position = p;
    m_token.end = p;
}

// ---- values ----

bool JasmineParser::isValueStart(int kind) {
    switch (kind) {
    case TOKEN_DICT_BEGIN:
    case TOKEN_LIST_BEGIN:
    case TOKEN_DOUBLE_QUOTED:
    case TOKEN_SINGLE_QUOTED:
    case TOKEN_REGEXP:
    case TOKEN_NUMBER:
    case TOKEN_SYMBOL:
        return true;
    default:
        return false;
    }
}

void JasmineParser::parseValue(JasmineValue& target, int depth) {
    switch (m_token.kind) {
    case TOKEN_DICT_BEGIN:
    case TOKEN_LIST_BEGIN:
        if (depth >= MAX_DEPTH)
            fail(L"Structure is nested too deeply.", m_token.begin, m_token.end);
        if (m_token.kind == TOKEN_DICT_BEGIN)
            parseDictionary(target, depth + 1);
        else
            parseList(target, depth + 1);
        return;
    case TOKEN_DOUBLE_QUOTED:
        return decodeDoubleQuoted(target);
    case TOKEN_SINGLE_QUOTED:
        return decodeSingleQuoted(target);
    case TOKEN_REGEXP:
        return decodeRegExp(target);
    case TOKEN_NUMBER:
        return parseNumber(target);
    case TOKEN_SYMBOL: {
        size_t length = static_cast<size_t>(m_token.end - m_token.begin);
        const wchar_t* text = m_token.begin;
        if (length == 4 && std::wcsncmp(text, L"true", 4) == 0)
            target.setBool(true);
        else if (length == 5 && std::wcsncmp(text, L"false", 5) == 0)
            target.setBool(false);
        else if (length == 4 && std::wcsncmp(text, L"null", 4) == 0)
            target.reset();
        else
            target.setString(text, length);
        return;
    }
    default:
        break;
    }
}

void JasmineParser::parseDictionary(JasmineValue& target, int depth) {
    target.initPayload(JasmineValue::TYPE_DICTIONARY);
    for (;;) {
        nextToken();
        if (m_token.kind == TOKEN_DICT_END)
            return;
        if (m_token.kind != TOKEN_SYMBOL && m_token.kind != TOKEN_NUMBER) {
            fail(zem::format(L"Unexpected %s, expecting %s or %s.", tokenDisplayName(m_token.kind),
                             tokenDisplayName(TOKEN_SYMBOL), tokenDisplayName(TOKEN_NUMBER)),
                 m_token.begin, m_token.end);
        }
        std::wstring key(m_token.begin, m_token.end);
        nextToken();
        if (m_token.kind != TOKEN_KEY_SEPARATOR) {
            fail(zem::format(L"Unexpected %s, expecting %s.", tokenDisplayName(m_token.kind),
                             tokenDisplayName(TOKEN_KEY_SEPARATOR)),
                 m_token.begin, m_token.end);
        }
        nextToken();
        if (!isValueStart(m_token.kind))
            fail(zem::format(L"Unexpected %s, expecting value.", tokenDisplayName(m_token.kind)), m_token.begin,
                 m_token.end);
        parseValue(target.getOrAddEntry(key), depth);
    }
}

void JasmineParser::parseList(JasmineValue& target, int depth) {
    target.initPayload(JasmineValue::TYPE_LIST);
    for (;;) {
        nextToken();
        if (m_token.kind == TOKEN_LIST_END)
            return;
        if (!isValueStart(m_token.kind)) {
            fail(zem::format(L"Unexpected %s, expecting value or %s.", tokenDisplayName(m_token.kind),
                             tokenDisplayName(TOKEN_LIST_END)),
                 m_token.begin, m_token.end);
        }
        parseValue(target.appendElement(), depth);
    }
}

void JasmineParser::parseNumber(JasmineValue& target) {
    const wchar_t* text = m_token.begin;
    size_t length = static_cast<size_t>(m_token.end - m_token.begin);
    bool real = false;
    for (size_t i = 0; i < length && !real; ++i) {
        wchar_t c = text[i];
        real = c == L'.' || c == L'E' || c == L'e' || (c == L'-' && i > 0);
    }
    if (!real) {
        bool negative = text[0] == L'-';
        uint32_t limit = negative ? 214748364u : 429496729u;
        uint32_t value = 0;
        for (size_t i = negative ? 1 : 0; i < length; ++i) {
            if (value >= limit) {
                real = true;
                break;
            }
            value = value * 10 + static_cast<uint32_t>(text[i] - L'0');
        }
        if (!real) {
            if (negative)
                target.setInt(-static_cast<int32_t>(value));
            else if (value <= 2147483647u)
                target.setInt(static_cast<int32_t>(value));
            else
                target.setUnsigned(value);
            return;
        }
    }
    // The longest prefix that reads as a number counts (1.5.2 is 1.5); the token holds
    // only ASCII, so it narrows losslessly.
    std::string narrow(length, '\0');
    for (size_t i = 0; i < length; ++i)
        narrow[i] = static_cast<char>(text[i]);
    double number = 0;
    const char* first = narrow.data();
    const char* last = first + narrow.size();
    std::from_chars_result result = std::from_chars(first, last, number);
    if (result.ptr == first)
        fail(L"Sequence is not a number", m_token.begin, m_token.end);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the double range: an infinity (what the writer stores for one) or a zero.
        std::string prefix(first, result.ptr);
        number = std::strtod(prefix.c_str(), nullptr);
    }
    target.setReal(number);
}

void JasmineParser::decodeDoubleQuoted(JasmineValue& target) {
    const wchar_t* p = m_token.begin + 1;
    const wchar_t* end = m_token.end - 1; // the closing quote
    std::wstring text;
    text.reserve(static_cast<size_t>(end - p));
    while (p < end) {
        wchar_t c = *p;
        if (c != L'\\') {
            text += c;
            ++p;
            continue;
        }
        const wchar_t* escape = p;
        wchar_t e = p[1]; // the lexer saw to it that an escape never takes the closing quote
        p += 2;
        switch (e) {
        case L'"':
        case L'/':
        case L'\\':
            text += e;
            break;
        case L'b':
            text += L'\b';
            break;
        case L'f':
            text += L'\f';
            break;
        case L'n':
            text += L'\n';
            break;
        case L'r':
            break;
        case L't':
            text += L'\t';
            break;
        case L'u': {
            if (end - p < 4)
                fail(L"Incorrect unicode escape sequence. Format of uXXXX expected.", escape, end);
            unsigned unit = 0;
            for (int i = 0; i < 4; ++i) {
                int digit = zem::hexDigitValue(p[i]);
                if (digit < 0)
                    fail(L"Incorrect unicode escape sequence. Not a hexadecimal number.", escape, p + 4);
                unit = unit * 16 + static_cast<unsigned>(digit);
            }
            text += static_cast<wchar_t>(unit);
            p += 4;
            break;
        }
        default:
            text += L'\\';
            text += e;
            break;
        }
    }
    target.setString(text);
}

void JasmineParser::decodeSingleQuoted(JasmineValue& target) {
    const wchar_t* p = m_token.begin + 1;
    const wchar_t* end = m_token.end - 1;
    std::wstring text;
    text.reserve(static_cast<size_t>(end - p));
    while (p < end) {
        text += *p;
        p += (*p == L'\'') ? 2 : 1; // '' stands for one quote
    }
    target.setString(text);
}

void JasmineParser::decodeRegExp(JasmineValue& target) {
    const wchar_t* p = m_token.begin + 1;
    const wchar_t* close = p;
    while (*close != L'/')
        close += (*close == L'\\') ? 2 : 1;
    std::wstring pattern;
    pattern.reserve(static_cast<size_t>(close - p));
    while (p < close) {
        if (*p == L'\\') {
            if (p[1] != L'/')
                pattern += L'\\';
            pattern += p[1];
            p += 2;
            continue;
        }
        pattern += *p++;
    }
    target.setRegExp(pattern, std::wstring(close + 1, m_token.end));
}

} // namespace corvel
