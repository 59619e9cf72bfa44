#include "zem/jasmine/JasmineLexer.h"

#include "jasmine/StringEscape.h"
#include "zem/jasmine/SymbolChar.h"
#include "zem/text/TextReader.h"

namespace zem {

namespace {

const int END_OF_INPUT = -1;

std::wstring unitText(int c) {
    return std::wstring(1, static_cast<wchar_t>(c));
}

} // namespace

const wchar_t* jasmineTokenKindName(int32_t kind) {
    static const wchar_t* const NAMES[] = {
        L"invalid",
        L"{",
        L"}",
        L"[",
        L"]",
        L"double-quoted string",
        L"single-quoted string",
        L"symbol",
        L"number",
        L"reg-exp",
        L"boolean (true)",
        L"boolean (false)",
        L"null",
        L"comma (,)",
        L"colon (:)",
        L"line comment (//)",
        L"block comment (/* .. */)",
        L"whitespace",
        L"eos",
    };
    if (kind < 0 || kind >= static_cast<int32_t>(sizeof(NAMES) / sizeof(NAMES[0])))
        return NAMES[0];
    return NAMES[kind];
}

JasmineLexer::JasmineLexer(TextReader& reader) : m_reader(reader) {
    m_text.reserve(16);
}

int JasmineLexer::peek() {
    return m_reader.peek();
}

int JasmineLexer::take() {
    int c = m_reader.read();
    if (c == END_OF_INPUT)
        return c;
    m_text.push_back(static_cast<wchar_t>(c));
    ++m_position.offset;
    ++m_position.column;
    if (c == L'\r') {
        ++m_position.line;
        m_position.column = 0;
    } else if (c == L'\n') {
        // The line feed of a CR LF pair belongs to the break the carriage return began.
        if (!m_crPending)
            ++m_position.line;
        m_position.column = 0;
    }
    m_crPending = (c == L'\r');
    return c;
}

void JasmineLexer::startToken(JasmineToken& out) {
    m_text.clear();
    out.begin = m_position;
}

void JasmineLexer::finishToken(JasmineToken& out, int32_t kind) {
    out.kind = kind;
    out.end = m_position;
    out.index = m_nextIndex++;
    out.text = m_text.c_str();
}

void JasmineLexer::fail(const std::wstring& detail, const SourcePosition& begin) const {
    throw JasmineSyntaxException(detail, begin, m_position);
}

void JasmineLexer::nextToken(JasmineToken& out) {
    startToken(out);
    int c = peek();
    int32_t kind;
    switch (c) {
    case END_OF_INPUT:
    case 0:
        kind = JASMINE_TOKEN_EOS;
        break;
    case L'"':
        readDoubleQuoted(out);
        kind = JASMINE_TOKEN_DOUBLE_QUOTED;
        break;
    case L'\'':
        readSingleQuoted(out);
        kind = JASMINE_TOKEN_SINGLE_QUOTED;
        break;
    case L',':
        take();
        kind = JASMINE_TOKEN_COMMA;
        break;
    case L':':
        take();
        kind = JASMINE_TOKEN_COLON;
        break;
    case L'[':
        take();
        kind = JASMINE_TOKEN_LBRACKET;
        break;
    case L']':
        take();
        kind = JASMINE_TOKEN_RBRACKET;
        break;
    case L'{':
        take();
        kind = JASMINE_TOKEN_LBRACE;
        break;
    case L'}':
        take();
        kind = JASMINE_TOKEN_RBRACE;
        break;
    case L'/':
        kind = readAfterSlash(out);
        break;
    default:
        if (c == L'-' || isDecimalDigit(c)) {
            kind = readNumberOrSymbol();
        } else if (c <= 32) {
            readWhitespace();
            kind = JASMINE_TOKEN_WHITESPACE;
        } else if (isSymbolChar(c)) {
            readSymbolRun();
            if (m_text == L"null")
                kind = JASMINE_TOKEN_NULL;
            else if (m_text == L"true")
                kind = JASMINE_TOKEN_TRUE;
            else if (m_text == L"false")
                kind = JASMINE_TOKEN_FALSE;
            else
                kind = JASMINE_TOKEN_SYMBOL;
        } else {
            take();
            fail(L"Invalid token `" + unitText(c) + L"`.", out.begin);
        }
        break;
    }
    finishToken(out, kind);
}

void JasmineLexer::readDoubleQuoted(const JasmineToken& token) {
    take();
    for (;;) {
        int c = peek();
        if (c == END_OF_INPUT)
            fail(L"Unexpectedly terminated double-quoted string.", token.begin);
        if (c == L'"') {
            take();
            return;
        }
        if (c == L'\\')
            readEscape(token);
        else
            take();
    }
}

void JasmineLexer::readEscape(const JasmineToken& token) {
    SourcePosition escapeBegin = m_position;
    take();
    int c = peek();
    if (simpleEscapeUnit(c) >= 0) {
        take();
        return;
    }
    switch (c) {
    case END_OF_INPUT:
        fail(L"Unexpectedly terminated double-quoted string.", token.begin);
    case L'x':
        take();
        readHexDigits(2, escapeBegin);
        return;
    case L'u':
        take();
        readHexDigits(4, escapeBegin);
        return;
    default:
        take();
        fail(L"Invalid escape sequence `\\" + unitText(c) + L"` in double-quoted string.", escapeBegin);
    }
}

void JasmineLexer::readHexDigits(int count, const SourcePosition& escapeBegin) {
    const wchar_t* form = count == 2 ? L"`\\xHH`" : L"`\\uHHHH`";
    for (int i = 0; i < count; ++i) {
        int c = peek();
        if (c == END_OF_INPUT)
            fail(std::wstring(L"Too short escape sequence ") + form + L" in double-quoted string.", escapeBegin);
        take();
        if (!isHexDigit(c))
            fail(std::wstring(L"Invalid character in escape sequence ") + form + L" in double-quoted string.",
                 escapeBegin);
    }
}

void JasmineLexer::readSingleQuoted(const JasmineToken& token) {
    take();
    for (;;) {
        int c = peek();
        if (c == END_OF_INPUT)
            fail(L"Unexpectedly terminated single-quoted string.", token.begin);
        take();
        if (c == L'\'') {
            if (peek() != L'\'')
                return;
            take(); // a doubled apostrophe stands for one
        } else if (c == L'\\') {
            // A backslash keeps the unit after it inside the string, an apostrophe included.
            if (peek() == END_OF_INPUT)
                fail(L"Unexpectedly terminated single-quoted string.", token.begin);
            take();
        }
    }
}

int32_t JasmineLexer::readNumberOrSymbol() {
    bool valid = true;
    if (peek() == L'-')
        take();
    auto digits = [this]() {
        bool any = false;
        while (isDecimalDigit(peek())) {
            take();
            any = true;
        }
        return any;
    };
    valid = digits();
    if (valid && peek() == L'.') {
        take();
        valid = digits();
    }
    if (valid && (peek() == L'e' || peek() == L'E')) {
        take();
        if (peek() == L'+' || peek() == L'-')
            take();
        valid = digits();
    }
    if (valid && !isSymbolChar(peek()))
        return JASMINE_TOKEN_NUMBER;
    // Not a number after all (12abc, 1.2.3, 1e, a lone minus): the whole run is a word.
    readSymbolRun();
    return JASMINE_TOKEN_SYMBOL;
}

void JasmineLexer::readSymbolRun() {
    while (isSymbolChar(peek()))
        take();
}

int32_t JasmineLexer::readAfterSlash(JasmineToken& token) {
    take();
    int c = peek();
    if (c == END_OF_INPUT) {
        // A lone slash at the end ends the stream; the slash belongs to no token.
        m_text.clear();
        token.begin = m_position;
        return JASMINE_TOKEN_EOS;
    }
    if (c == L'*') {
        take();
        for (;;) {
            int u = take();
            if (u == END_OF_INPUT)
                fail(L"Unexpectedly terminated block comment.", token.begin);
            if (u == L'*' && peek() == L'/') {
                take();
                return JASMINE_TOKEN_BLOCK_COMMENT;
            }
        }
    }
    if (c == L'/') {
        take();
        for (;;) {
            int u = peek();
            if (u == END_OF_INPUT || u == L'\n' || u == L'\r')
                return JASMINE_TOKEN_LINE_COMMENT;
            take();
        }
    }
    for (;;) {
        int u = take();
        if (u == END_OF_INPUT)
            fail(L"Unexpectedly terminated regular expression.", token.begin);
        if (u == L'/')
            return JASMINE_TOKEN_REGEXP;
        if (u == L'\\' && take() == END_OF_INPUT)
            fail(L"Unexpectedly terminated regular expression.", token.begin);
    }
}

void JasmineLexer::readWhitespace() {
    for (;;) {
        int c = peek();
        if (c == END_OF_INPUT || c > 32)
            return;
        take();
    }
}

} // namespace zem
