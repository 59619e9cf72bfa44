#include "zem/jasmine/JasmineParser.h"

#include "jasmine/StringEscape.h"
#include "zem/jasmine/JasmineStringReader.h"
#include "zem/text/StringUtil.h"
#include "zem/text/TextReader.h"
#include "zem/value/Values.h"

#include <cmath>
#include <memory>

namespace zem {

namespace {

typedef std::unique_ptr<Value> ValuePtr;

std::wstring decodeDoubleQuoted(const JasmineToken& token) {
    return decodeDoubleQuotedText(token.text + 1, token.text + token.length() - 1);
}

// A backslash or an apostrophe followed by an apostrophe is one apostrophe; a backslash
// before anything else stays, together with that unit (the lexer paired them the same way).
std::wstring decodeSingleQuoted(const JasmineToken& token) {
    const wchar_t* p = token.text + 1;
    const wchar_t* end = token.text + token.length() - 1;
    std::wstring out;
    out.reserve(static_cast<size_t>(end - p));
    while (p < end) {
        wchar_t c = *p++;
        if ((c == L'\\' || c == L'\'') && p < end) {
            wchar_t next = *p++;
            if (next != L'\'')
                out.push_back(c);
            out.push_back(next);
            continue;
        }
        out.push_back(c);
    }
    return out;
}

SourcePosition shifted(SourcePosition position, int32_t units) {
    position.column += units;
    position.offset += units;
    return position;
}

// What the lexer token stream invalidates on advance is the text; positions and indices
// are copied out first.
struct TokenMark {
    int32_t index;
    SourcePosition begin;
    SourcePosition end;

    explicit TokenMark(const JasmineToken& token) : index(token.index), begin(token.begin), end(token.end) {}
};

enum ContentRule {
    CONTENT_WHOLE,     // null, booleans, numbers: content is the token
    CONTENT_DELIMITED, // quoted strings, lists, dictionaries: inside the delimiters
    CONTENT_REGEXP,    // after the opening slash, through the end
    CONTENT_NONE,      // symbols: left zero
};

void locate(Value& value, const TokenMark& first, const TokenMark& last, ContentRule rule) {
    SourceLocation& location = value.location();
    location.hasLocation = true;
    location.beginToken = first.index;
    location.endToken = last.index;
    location.begin = first.begin;
    location.end = last.end;
    switch (rule) {
    case CONTENT_WHOLE:
        location.contentBegin = first.begin;
        location.contentEnd = last.end;
        break;
    case CONTENT_DELIMITED:
        location.contentBegin = shifted(first.begin, 1);
        location.contentEnd = shifted(last.end, -1);
        break;
    case CONTENT_REGEXP:
        location.contentBegin = shifted(first.begin, 1);
        location.contentEnd = last.end;
        break;
    case CONTENT_NONE:
        break;
    }
}

class Parser {
public:
    explicit Parser(JasmineTokenStream& stream) : m_stream(stream) {}

    Value* parseDocument() {
        m_stream.advance(true);
        return parseValue(0).release();
    }

private:
    const JasmineToken& current() const { return m_stream.current(); }

    [[noreturn]] void failAt(const std::wstring& detail, const JasmineToken& token) const {
        throw JasmineSyntaxException(detail, token.begin, token.end);
    }

    [[noreturn]] void failFound(const std::wstring& expected, const JasmineToken& token) const {
        failAt(L"Expected " + expected + L" but `" + jasmineTokenKindName(token.kind) + L"` found.", token);
    }

    // Moves to the first token after the value just read. A regular expression may have
    // looked one token ahead for its options already; that token is then the next one.
    void advancePastValue() {
        if (!m_lookedAhead) {
            m_stream.advance(true);
            return;
        }
        m_lookedAhead = false;
        if (isJasmineTrivia(current().kind))
            m_stream.advance(true);
    }

    ValuePtr parseValue(int depth) {
        const JasmineToken& token = current();
        TokenMark mark(token);
        ValuePtr value;
        ContentRule rule = CONTENT_WHOLE;
        switch (token.kind) {
        case JASMINE_TOKEN_LBRACE:
            return parseDictionary(depth + 1);
        case JASMINE_TOKEN_LBRACKET:
            return parseList(depth + 1);
        case JASMINE_TOKEN_REGEXP:
            return parseRegExp();
        case JASMINE_TOKEN_DOUBLE_QUOTED:
            value.reset(new StringValue(decodeDoubleQuoted(token), StringValue::STYLE_DOUBLE_QUOTED));
            rule = CONTENT_DELIMITED;
            break;
        case JASMINE_TOKEN_SINGLE_QUOTED:
            value.reset(new StringValue(decodeSingleQuoted(token), StringValue::STYLE_SINGLE_QUOTED));
            rule = CONTENT_DELIMITED;
            break;
        case JASMINE_TOKEN_SYMBOL:
            value.reset(new StringValue(std::wstring(token.text, token.length()), StringValue::STYLE_SYMBOL));
            rule = CONTENT_NONE;
            break;
        case JASMINE_TOKEN_NUMBER:
            value = parseNumber(token);
            break;
        case JASMINE_TOKEN_TRUE:
        case JASMINE_TOKEN_FALSE:
            value.reset(createBoolValue(token.kind == JASMINE_TOKEN_TRUE));
            break;
        case JASMINE_TOKEN_NULL:
            value.reset(createNullValue());
            break;
        default:
            failFound(L"value token", token);
        }
        locate(*value, mark, mark, rule);
        return value;
    }

    ValuePtr parseNumber(const JasmineToken& token) {
        size_t length = static_cast<size_t>(token.length());
        int integer = 0;
        if (parseInt(token.text, length, &integer))
            return ValuePtr(new ScalarValue(integer));
        double real = 0;
        if (parseDouble(token.text, length, &real) && std::isfinite(real))
            return ValuePtr(new ScalarValue(real));
        failAt(std::wstring(L"Invalid token `") + jasmineTokenKindName(JASMINE_TOKEN_NUMBER) + L"`.", token);
    }

    ValuePtr parseRegExp() {
        const JasmineToken& token = current();
        TokenMark first(token);
        // The pattern is kept as written between the slashes, escapes and all.
        std::wstring pattern(token.text + 1, static_cast<size_t>(token.length() - 2));
        const JasmineToken& next = m_stream.advance(false);
        std::wstring options;
        TokenMark last = first;
        if (next.kind == JASMINE_TOKEN_SYMBOL) {
            options.assign(next.text, static_cast<size_t>(next.length()));
            last = TokenMark(next);
        } else {
            m_lookedAhead = true;
        }
        ValuePtr value(createRegExpValue(pattern, options));
        locate(*value, first, last, CONTENT_REGEXP);
        return value;
    }

    // Moves past the opening token of a list or dictionary at this depth; returns its mark.
    TokenMark enterContainer(int depth) {
        TokenMark open(current());
        if (depth > JASMINE_MAX_DEPTH)
            failAt(L"The structure is too deep.", current());
        m_stream.advance(true);
        return open;
    }

    // Moves past the element or entry value just read and the comma after it, if any.
    void advancePastItem() {
        advancePastValue();
        if (current().kind == JASMINE_TOKEN_COMMA)
            m_stream.advance(true);
    }

    ValuePtr parseList(int depth) {
        TokenMark open = enterContainer(depth);
        std::unique_ptr<ListValue> list(createListValue());
        while (current().kind != JASMINE_TOKEN_RBRACKET) {
            list->append(parseValue(depth).release());
            advancePastItem();
        }
        locate(*list, open, TokenMark(current()), CONTENT_DELIMITED);
        return ValuePtr(list.release());
    }

    std::wstring readKey() const {
        const JasmineToken& token = current();
        switch (token.kind) {
        case JASMINE_TOKEN_DOUBLE_QUOTED:
            return decodeDoubleQuoted(token);
        case JASMINE_TOKEN_SINGLE_QUOTED:
            return decodeSingleQuoted(token);
        case JASMINE_TOKEN_SYMBOL:
        case JASMINE_TOKEN_NUMBER: // the key 42 is the text "42"
            return std::wstring(token.text, static_cast<size_t>(token.length()));
        case JASMINE_TOKEN_EOS:
            failAt(L"Unexpectedly terminated while reading dictionary key.", token);
        default:
            failFound(L"`string`, `number` or a `symbol`", token);
        }
    }

    ValuePtr parseDictionary(int depth) {
        TokenMark open = enterContainer(depth);
        std::unique_ptr<DictionaryValue> dictionary(createDictionaryValue());
        while (current().kind != JASMINE_TOKEN_RBRACE) {
            std::wstring key = readKey();
            TokenMark keyMark(current());
            const JasmineToken& colon = m_stream.advance(true);
            if (colon.kind != JASMINE_TOKEN_COLON)
                failAt(std::wstring(L"Expected `") + jasmineTokenKindName(JASMINE_TOKEN_COLON) + L"` but `" +
                           jasmineTokenKindName(colon.kind) + L"` found.",
                       colon);
            m_stream.advance(true);
            ValuePtr value = parseValue(depth);
            value->location().keyBegin = keyMark.begin;
            value->location().keyEnd = keyMark.end;
            // A repeated key replaces the earlier value in the earlier place.
            dictionary->set(key, value.release(), keyMark.index);
            advancePastItem();
        }
        locate(*dictionary, open, TokenMark(current()), CONTENT_DELIMITED);
        return ValuePtr(dictionary.release());
    }

    JasmineTokenStream& m_stream;
    // The current token already follows the last value read (a regular expression looked
    // at it for options it did not have).
    bool m_lookedAhead = false;
};

} // namespace

Value* parseJasmine(JasmineTokenStream& stream) {
    return Parser(stream).parseDocument();
}

Value* parseJasmine(TextReader& reader) {
    JasmineLexer lexer(reader);
    JasmineLexerTokenStream stream(lexer);
    return parseJasmine(stream);
}

Value* parseJasmine(const std::wstring& text) {
    JasmineStringReader reader(text);
    return parseJasmine(reader);
}

Value* parseJasmineTokens(JasmineTokenStore& store, TextReader& reader) {
    store.clear();
    JasmineLexer lexer(reader);
    JasmineToken token;
    do {
        lexer.nextToken(token);
        store.addToken(token);
    } while (token.kind != JASMINE_TOKEN_EOS);
    JasmineStoreTokenStream stream(store);
    return parseJasmine(stream);
}

Value* parseJasmineTokens(JasmineTokenStore& store, const std::wstring& text) {
    JasmineStringReader reader(text);
    return parseJasmineTokens(store, reader);
}

} // namespace zem
