// One token of Jasmine text. The lexer keeps every character of the source in some
// token (white space and comments included), so a text can be rebuilt from its tokens
// and rewritten around the user's own layout.
#pragma once
#include "zem/base/ParserException.h"

#include <cstdint>

namespace zem {

enum JasmineTokenKind : int32_t {
    JASMINE_TOKEN_INVALID = 0,
    JASMINE_TOKEN_LBRACE = 1,
    JASMINE_TOKEN_RBRACE = 2,
    JASMINE_TOKEN_LBRACKET = 3,
    JASMINE_TOKEN_RBRACKET = 4,
    JASMINE_TOKEN_DOUBLE_QUOTED = 5,
    JASMINE_TOKEN_SINGLE_QUOTED = 6,
    JASMINE_TOKEN_SYMBOL = 7,
    JASMINE_TOKEN_NUMBER = 8,
    JASMINE_TOKEN_REGEXP = 9,
    JASMINE_TOKEN_TRUE = 10,
    JASMINE_TOKEN_FALSE = 11,
    JASMINE_TOKEN_NULL = 12,
    JASMINE_TOKEN_COMMA = 13,
    JASMINE_TOKEN_COLON = 14,
    JASMINE_TOKEN_LINE_COMMENT = 15,
    JASMINE_TOKEN_BLOCK_COMMENT = 16,
    JASMINE_TOKEN_WHITESPACE = 17,
    JASMINE_TOKEN_EOS = 18,
};

// The kind's name as error messages show it ("comma (,)", "eos"); "invalid" for any
// value outside the table.
const wchar_t* jasmineTokenKindName(int32_t kind);

// Comments and white space: kept for rewriting, skipped by the parser.
inline bool isJasmineTrivia(int32_t kind) {
    return kind == JASMINE_TOKEN_LINE_COMMENT || kind == JASMINE_TOKEN_BLOCK_COMMENT ||
           kind == JASMINE_TOKEN_WHITESPACE;
}

struct JasmineToken {
    int32_t kind = JASMINE_TOKEN_INVALID;
    SourcePosition begin; // first character
    SourcePosition end;   // just after the last character
    int32_t index = -1;   // the lexer numbers its tokens 0, 1, 2, ... trivia included
    // Every character consumed for the token, NUL-terminated; end.offset - begin.offset
    // units long. The lexer's text lives until its next token, a store's as long as the store.
    const wchar_t* text = L"";

    int32_t length() const { return end.offset - begin.offset; }
};

} // namespace zem
