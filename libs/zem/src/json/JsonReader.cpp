#include "zem/json/JsonReader.h"

#include "jasmine/StringEscape.h"
#include "zem/base/Assert.h"
#include "zem/base/Format.h"
#include "zem/jasmine/SymbolChar.h"
#include "zem/text/StringUtil.h"
#include "zem/value/Values.h"

#include <cmath>
#include <memory>

namespace zem {

namespace {

enum TokenKind {
    TOKEN_LEFT_BRACE = 0,
    TOKEN_RIGHT_BRACE = 1,
    TOKEN_LEFT_BRACKET = 2,
    TOKEN_RIGHT_BRACKET = 3,
    TOKEN_DOUBLE_QUOTED = 4,
    TOKEN_NUMBER = 5,
    TOKEN_TRUE = 6,
    TOKEN_FALSE = 7,
    TOKEN_NULL = 8,
    TOKEN_COMMA = 9,
    TOKEN_COLON = 10,
    TOKEN_END = 11,
    TOKEN_INVALID = 12,
    TOKEN_REGEXP = 13,
    TOKEN_SINGLE_QUOTED = 14,
    TOKEN_SYMBOL = 15,
};

const wchar_t* tokenName(int kind) {
    static const wchar_t* const NAMES[] = {L"{",
                                           L"}",
                                           L"[",
                                           L"]",
                                           L"string-double-quoted",
                                           L"number",
                                           L"true",
                                           L"false",
                                           L"null",
                                           L",",
                                           L":",
                                           L"eos",
                                           L"invalid",
                                           L"reg-exp",
                                           L"string-single-quoted",
                                           L"string-symbol"};
    if (kind < 0 || kind >= static_cast<int>(sizeof(NAMES) / sizeof(NAMES[0])))
        return L"unknown";
    return NAMES[kind];
}

const wchar_t* const EXPECTED_KEY = L"string-double-quoted, string-single-quoted or string-symbol";

struct Token {
    int kind = TOKEN_END;
    const wchar_t* start = nullptr;
    size_t length = 0;
};

// The kind of a token made of this one unit, or TOKEN_INVALID.
int punctuationKind(wchar_t c) {
    switch (c) {
    case L'{':
        return TOKEN_LEFT_BRACE;
    case L'}':
        return TOKEN_RIGHT_BRACE;
    case L'[':
        return TOKEN_LEFT_BRACKET;
    case L']':
        return TOKEN_RIGHT_BRACKET;
    case L',':
        return TOKEN_COMMA;
    case L':':
        return TOKEN_COLON;
    default:
        return TOKEN_INVALID;
    }
}

// Recursive descent with a one-token look-ahead. The recursion is bounded by
// JSON_MAX_DEPTH, so even a hostile text costs a hundred frames at most.
class JsonReader {
public:
    JsonReader(const JsonReaderSettings& settings, const wchar_t* text, size_t length)
        : m_settings(settings), m_begin(text), m_end(text + length), m_pos(text) {}

    Value* parseRoot() {
        advance();
        if (m_token.kind != TOKEN_LEFT_BRACE && m_token.kind != TOKEN_LEFT_BRACKET)
            throw JsonBadRootElementTypeException(tokenBegin(), tokenEnd());
        std::unique_ptr<Value> root = parseValue(1);
        if (m_token.kind != TOKEN_END)
            throw JsonUnexpectedDataAfterRoot(tokenBegin(), tokenEnd());
        return root.release();
    }

private:
    // ---- positions (computed only when something fails)

    SourcePosition positionOf(const wchar_t* p) const {
        SourcePosition pos;
        pos.offset = static_cast<int32_t>(p - m_begin);
        const wchar_t* lineStart = m_begin;
        for (const wchar_t* q = m_begin; q < p; ++q) {
            if (*q == L'\n') {
                ++pos.line;
                lineStart = q + 1;
            }
        }
        pos.column = static_cast<int32_t>(p - lineStart);
        return pos;
    }
    SourcePosition tokenBegin() const { return positionOf(m_token.start); }
    SourcePosition tokenEnd() const { return positionOf(m_token.start + m_token.length); }

    [[noreturn]] void throwTerminated(const wchar_t* from) const {
        throw UnexpectedlyTerminatedException(positionOf(from), positionOf(m_end));
    }
    [[noreturn]] void throwTerminatedInStructure() const { throwTerminated(m_token.start); }

    // ---- tokens

    void skipBlanksAndComments() {
        while (m_pos < m_end) {
            wchar_t c = *m_pos;
            if (c == L' ' || c == L'\t' || c == L'\n' || c == L'\r') {
                ++m_pos;
                continue;
            }
            if (c != L'/' || m_pos + 1 >= m_end)
                return;
            if (m_pos[1] == L'/') {
                m_pos += 2;
                while (m_pos < m_end && *m_pos != L'\n' && *m_pos != L'\r')
                    ++m_pos;
                if (m_pos < m_end)
                    ++m_pos;
                continue;
            }
            if (m_pos[1] != L'*')
                return;
            m_pos += 2;
            while (m_pos < m_end && !(*m_pos == L'*' && m_pos + 1 < m_end && m_pos[1] == L'/'))
                ++m_pos;
            m_pos = m_pos < m_end ? m_pos + 2 : m_end;
        }
    }

    void advance() {
        skipBlanksAndComments();
        m_token.start = m_pos;
        m_token.kind = scanToken();
        m_token.length = static_cast<size_t>(m_pos - m_token.start);
    }

    // Moves past word when the text at m_pos starts with it.
    bool takeWord(const wchar_t* word, size_t length) {
        if (static_cast<size_t>(m_end - m_pos) < length)
            return false;
        for (size_t i = 0; i < length; ++i) {
            if (m_pos[i] != word[i])
                return false;
        }
        m_pos += length;
        return true;
    }

    // Reads one token at m_pos and leaves m_pos after it.
    int scanToken() {
        if (m_pos >= m_end)
            return TOKEN_END;
        wchar_t c = *m_pos;
        int punctuation = punctuationKind(c);
        if (punctuation != TOKEN_INVALID) {
            ++m_pos;
            return punctuation;
        }
        switch (c) {
        case L'"':
            scanDoubleQuoted();
            return TOKEN_DOUBLE_QUOTED;
        case L'\'':
            if (!m_settings.allowSingleQuoted)
                break;
            scanSingleQuoted();
            return TOKEN_SINGLE_QUOTED;
        case L'/':
            if (!m_settings.allowRegExp)
                break;
            scanRegExp();
            return TOKEN_REGEXP;
        case L't':
            if (takeWord(L"true", 4))
                return TOKEN_TRUE;
            break;
        case L'f':
            if (takeWord(L"false", 5))
                return TOKEN_FALSE;
            break;
        case L'n':
            if (takeWord(L"null", 4))
                return TOKEN_NULL;
            break;
        default:
            if (c == L'-' || isDecimalDigit(c))
                return scanNumber();
            break;
        }
        if (m_settings.allowSymbols && isSymbolChar(c)) {
            scanSymbolRun();
            return TOKEN_SYMBOL;
        }
        ++m_pos;
        return TOKEN_INVALID;
    }

    void scanSymbolRun() {
        while (m_pos < m_end && isSymbolChar(*m_pos))
            ++m_pos;
    }

    void skipDigits(const wchar_t*& p) const {
        while (p < m_end && isDecimalDigit(*p))
            ++p;
    }

    int scanNumber() {
        const wchar_t* start = m_pos;
        const wchar_t* p = m_pos;
        bool wellFormed = true;
        if (*p == L'-')
            ++p;
        if (p < m_end && *p == L'0')
            ++p;
        else if (p < m_end && isDecimalDigit(*p))
            skipDigits(p);
        else
            wellFormed = false;
        if (wellFormed && p < m_end && *p == L'.') {
            ++p;
            wellFormed = p < m_end && isDecimalDigit(*p);
            skipDigits(p);
        }
        if (wellFormed && p < m_end && (*p == L'e' || *p == L'E')) {
            ++p;
            if (p < m_end && (*p == L'+' || *p == L'-'))
                ++p;
            wellFormed = p < m_end && isDecimalDigit(*p);
            skipDigits(p);
        }
        if (wellFormed) {
            m_pos = p;
            return TOKEN_NUMBER;
        }
        if (m_settings.allowSymbols && *start == L'-') {
            m_pos = start;
            scanSymbolRun();
            return TOKEN_SYMBOL;
        }
        m_pos = p > start ? p : start + 1;
        return TOKEN_INVALID;
    }

    [[noreturn]] void throwInvalidEscape(const wchar_t* backslash) const {
        std::wstring letter(1, backslash[1]);
        throw InvalidEscapeInStringException(format(L"Invalid escape sequence `%s` in a string.", letter.c_str()),
                                             positionOf(backslash), positionOf(backslash + 2));
    }

    bool hexDigitsFollow(const wchar_t* p, size_t count) const {
        if (static_cast<size_t>(m_end - p) < count)
            return false;
        for (size_t i = 0; i < count; ++i) {
            if (!isHexDigit(p[i]))
                return false;
        }
        return true;
    }

    void scanDoubleQuoted() {
        const wchar_t* start = m_pos;
        const wchar_t* p = m_pos + 1;
        for (;;) {
            if (p >= m_end)
                throwTerminated(start);
            wchar_t c = *p;
            if (c == L'"') {
                m_pos = p + 1;
                return;
            }
            if (c != L'\\') {
                ++p;
                continue;
            }
            if (p + 1 >= m_end)
                throwTerminated(start);
            wchar_t letter = p[1];
            if (simpleEscapeUnit(letter) >= 0) {
                p += 2;
                continue;
            }
            size_t digits = letter == L'u' ? 4 : letter == L'x' ? 2 : 0;
            if (digits == 0 || !hexDigitsFollow(p + 2, digits))
                throwInvalidEscape(p);
            p += 2 + digits;
        }
    }

    void scanSingleQuoted() {
        const wchar_t* start = m_pos;
        const wchar_t* p = m_pos + 1;
        for (;;) {
            if (p >= m_end)
                throwTerminated(start);
            if (*p != L'\'') {
                ++p;
                continue;
            }
            if (p + 1 < m_end && p[1] == L'\'') {
                p += 2;
                continue;
            }
            m_pos = p + 1;
            return;
        }
    }

    void scanRegExp() {
        const wchar_t* start = m_pos;
        const wchar_t* p = m_pos + 1;
        for (;;) {
            if (p >= m_end)
                throwTerminated(start);
            if (*p == L'\\') {
                p = p + 2 <= m_end ? p + 2 : m_end;
                continue;
            }
            ++p;
            if (p[-1] == L'/')
                break;
        }
        m_pos = p;
        scanSymbolRun(); // the options
    }

    // ---- token texts

    // Only called on tokens the scanner validated.
    static std::wstring decodeDoubleQuoted(const Token& token) {
        return decodeDoubleQuotedText(token.start + 1, token.start + token.length - 1);
    }

    static std::wstring decodeSingleQuoted(const Token& token) {
        std::wstring out;
        out.reserve(token.length);
        const wchar_t* p = token.start + 1;
        const wchar_t* end = token.start + token.length - 1;
        while (p < end) {
            wchar_t c = *p++;
            out += c;
            if (c == L'\'')
                ++p; // the second of a doubled apostrophe
        }
        return out;
    }

    std::wstring keyText() const {
        switch (m_token.kind) {
        case TOKEN_DOUBLE_QUOTED:
            return decodeDoubleQuoted(m_token);
        case TOKEN_SINGLE_QUOTED:
            return decodeSingleQuoted(m_token);
        case TOKEN_SYMBOL:
            return std::wstring(m_token.start, m_token.length);
        case TOKEN_NUMBER:
            if (m_settings.allowSymbols)
                return std::wstring(m_token.start, m_token.length);
            break;
        case TOKEN_END:
            throwTerminatedInStructure();
        default:
            break;
        }
        throw UnexpectedTokenException(tokenName(m_token.kind), EXPECTED_KEY, tokenBegin(), tokenEnd());
    }

    Value* numberValue() const {
        int integer = 0;
        if (parseInt(m_token.start, m_token.length, &integer))
            return new ScalarValue(integer);
        double real = 0;
        if (parseDouble(m_token.start, m_token.length, &real) && std::isfinite(real))
            return new ScalarValue(real);
        // The conversion also refuses numbers too small for a double; those are finite
        // and read as zero. Only the ones too large are an error.
        if (isBelowOne(m_token))
            return new ScalarValue(*m_token.start == L'-' ? -0.0 : 0.0);
        throw JsonUnexpectedStateException(tokenBegin(), tokenEnd());
    }

    // For a well-formed number token: whether its magnitude is below 1, judged from the
    // position of its first significant digit and its exponent.
    static bool isBelowOne(const Token& token) {
        const wchar_t* p = token.start;
        const wchar_t* end = token.start + token.length;
        if (*p == L'-')
            ++p;
        long long order = 0; // decimal exponent of the first significant digit, before the 'e'
        bool significant = false;
        long long integerDigits = 0;
        for (; p < end && isDecimalDigit(*p); ++p) {
            if (*p != L'0' || significant) {
                significant = true;
                ++integerDigits;
            }
        }
        if (significant) {
            order = integerDigits - 1;
        } else if (p < end && *p == L'.') {
            order = -1;
            for (++p; p < end && *p == L'0'; ++p)
                --order;
            if (p >= end || !isDecimalDigit(*p))
                return true; // all zeros
        } else {
            return true;
        }
        while (p < end && *p != L'e' && *p != L'E')
            ++p;
        long long exponent = 0;
        if (p < end) {
            ++p;
            bool negative = p < end && *p == L'-';
            if (p < end && (*p == L'-' || *p == L'+'))
                ++p;
            for (; p < end; ++p) {
                if (exponent < 100000000)
                    exponent = exponent * 10 + (*p - L'0');
            }
            if (negative)
                exponent = -exponent;
        }
        return order + exponent < 0;
    }

    Value* regExpValue() const {
        const wchar_t* p = m_token.start + 1;
        const wchar_t* end = m_token.start + m_token.length;
        const wchar_t* patternEnd = p;
        while (*patternEnd != L'/')
            patternEnd += *patternEnd == L'\\' ? 2 : 1;
        return new RegExpValue(std::wstring(p, patternEnd), std::wstring(patternEnd + 1, end));
    }

    // ---- values

    // Reads the value starting at the current token; leaves the token after it current.
    std::unique_ptr<Value> parseValue(int depth) {
        if (depth > JSON_MAX_DEPTH) {
            SourcePosition here = positionOf(m_pos);
            throw JsonTooMuchNestingException(here, here);
        }
        std::unique_ptr<Value> value;
        switch (m_token.kind) {
        case TOKEN_LEFT_BRACE:
            return parseDictionary(depth);
        case TOKEN_LEFT_BRACKET:
            return parseList(depth);
        case TOKEN_DOUBLE_QUOTED:
            value.reset(new StringValue(decodeDoubleQuoted(m_token)));
            break;
        case TOKEN_SINGLE_QUOTED:
            value.reset(new StringValue(decodeSingleQuoted(m_token)));
            break;
        case TOKEN_SYMBOL:
            value.reset(new StringValue(std::wstring(m_token.start, m_token.length), StringValue::STYLE_SYMBOL));
            break;
        case TOKEN_NUMBER:
            value.reset(numberValue());
            break;
        case TOKEN_TRUE:
        case TOKEN_FALSE:
            value.reset(createBoolValue(m_token.kind == TOKEN_TRUE));
            break;
        case TOKEN_NULL:
            value.reset(createNullValue());
            break;
        case TOKEN_REGEXP:
            value.reset(regExpValue());
            break;
        case TOKEN_END:
            throwTerminatedInStructure();
        case TOKEN_INVALID:
            throw UnexpectedTokenException(L"", L"", tokenBegin(), tokenEnd());
        default: // "}", "]", "," or ":"
            throw ParserException(L"", tokenBegin(), tokenEnd());
        }
        advance();
        return value;
    }

    // After a separating comma: true when the container's closing token follows, which
    // is a trailing comma.
    bool closesAfterComma(int closingKind) {
        Token comma = m_token;
        advance();
        if (m_token.kind == TOKEN_END)
            throwTerminatedInStructure();
        if (m_token.kind != closingKind)
            return false;
        if (!m_settings.allowTrailingComma)
            throw JsonTrailingCommaException(positionOf(comma.start), positionOf(comma.start + comma.length));
        return true;
    }

    enum ItemEnd {
        ITEM_CLOSES,        // the container's closing token is current
        ITEM_NEXT,          // the next entry or element is current
        ITEM_COMMA_MISSING, // the next one stands right after it, and the settings want a comma
    };

    // After an entry or element: moves past the comma that separates it from the next.
    // The container says what a missing comma throws.
    ItemEnd endOfItem(int closingKind) {
        if (m_token.kind == TOKEN_COMMA)
            return closesAfterComma(closingKind) ? ITEM_CLOSES : ITEM_NEXT;
        if (m_token.kind == closingKind)
            return ITEM_CLOSES;
        if (m_token.kind == TOKEN_END)
            throwTerminatedInStructure();
        return m_settings.allowMissingComma ? ITEM_NEXT : ITEM_COMMA_MISSING;
    }

    std::unique_ptr<Value> parseDictionary(int depth) {
        std::unique_ptr<DictionaryValue> dict(new DictionaryValue());
        advance();
        if (m_token.kind == TOKEN_END)
            throwTerminatedInStructure();
        if (m_token.kind == TOKEN_RIGHT_BRACE) {
            advance();
            return dict;
        }
        for (;;) {
            std::wstring key = keyText();
            if (key.empty())
                throw JsonInvalidDictionaryKeyException(tokenBegin(), tokenEnd());
            advance();
            if (m_token.kind == TOKEN_END)
                throwTerminatedInStructure();
            if (m_token.kind != TOKEN_COLON)
                throw UnexpectedTokenException(tokenName(m_token.kind), L":", tokenBegin(), tokenEnd());
            advance();
            std::unique_ptr<Value> value = parseValue(depth + 1);
            dict->set(key, value.release(), 0);

            ItemEnd end = endOfItem(TOKEN_RIGHT_BRACE);
            if (end == ITEM_CLOSES)
                break;
            if (end == ITEM_COMMA_MISSING)
                throw UnexpectedTokenException(tokenName(m_token.kind), L"}", tokenBegin(), tokenEnd());
        }
        advance(); // past "}"
        return dict;
    }

    std::unique_ptr<Value> parseList(int depth) {
        std::unique_ptr<ListValue> list(new ListValue());
        advance();
        if (m_token.kind == TOKEN_RIGHT_BRACKET) {
            advance();
            return list;
        }
        for (;;) {
            list->append(parseValue(depth + 1).release());
            ItemEnd end = endOfItem(TOKEN_RIGHT_BRACKET);
            if (end == ITEM_CLOSES)
                break;
            if (end == ITEM_COMMA_MISSING)
                throw JsonUnexpectedStateException(tokenBegin(), tokenEnd());
        }
        advance(); // past "]"
        return list;
    }

    const JsonReaderSettings m_settings;
    const wchar_t* const m_begin;
    const wchar_t* const m_end;
    const wchar_t* m_pos; // m_begin <= m_pos <= m_end
    Token m_token;        // the look-ahead
};

} // namespace

Value* parseJson(const JsonReaderSettings& settings, const wchar_t* text, size_t length) {
    throwIfNull(text);
    return JsonReader(settings, text, length).parseRoot();
}

Value* parseJson(const JsonReaderSettings& settings, const std::wstring& text) {
    return parseJson(settings, text.data(), text.size());
}

} // namespace zem
