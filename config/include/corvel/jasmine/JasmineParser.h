// Reads the product's Jasmine text into a JasmineValue. The dialect differs from the base
// library's (zem/jasmine): no commas, bare words or numbers as keys, '' inside single
// quotes, regular-expression literals. Every syntax error throws corvel::ParserException.
#pragma once
#include "corvel/jasmine/JasmineValue.h"

#include "zem/base/ParserException.h"
#include "zem/text/LineMap.h"

#include <cstddef>
#include <memory>

namespace corvel {

class JasmineParser {
public:
    enum TokenKind {
        TOKEN_END = 0,
        TOKEN_DICT_BEGIN = 1,
        TOKEN_DICT_END = 2,
        TOKEN_LIST_BEGIN = 3,
        TOKEN_LIST_END = 4,
        TOKEN_DOUBLE_QUOTED = 5,
        TOKEN_SINGLE_QUOTED = 6,
        TOKEN_PLUS = 7,
        TOKEN_PLUS_NEW_LINE = 8,
        TOKEN_REGEXP = 9,
        TOKEN_NUMBER = 10,
        TOKEN_COMMENT = 11,
        TOKEN_KEY_SEPARATOR = 12,
        TOKEN_COMMA = 13,
        TOKEN_SYMBOL = 14,
        TOKEN_INVALID = 15,
    };
    // Containers nested deeper than this are refused, so hostile input cannot exhaust the stack.
    static constexpr int MAX_DEPTH = 512;

    JasmineParser() = default;
    JasmineParser(const JasmineParser&) = delete;
    JasmineParser& operator=(const JasmineParser&) = delete;

    // Parses one value of the zero-terminated text into target, which is replaced; a text
    // holding no value (empty, only comments) leaves target as it was. True on success.
    bool parse(const wchar_t* text, JasmineValue& target);
    bool parse(const wchar_t* text, size_t length, JasmineValue& target);

    static const wchar_t* tokenDisplayName(int kind);

private:
    struct Token {
        int kind = TOKEN_END;
        const wchar_t* begin = nullptr;
        const wchar_t* end = nullptr;
    };

    void nextToken();
    void lexQuoted(wchar_t quote, int kind);
    void lexRegExp();
    // Skips a comment; false when the slash starts none.
    bool skipComment();
    void parseValue(JasmineValue& target, int depth);
    void parseDictionary(JasmineValue& target, int depth);
    void parseList(JasmineValue& target, int depth);
    void parseNumber(JasmineValue& target);
    void decodeDoubleQuoted(JasmineValue& target);
    void decodeSingleQuoted(JasmineValue& target);
    void decodeRegExp(JasmineValue& target);
    static bool isValueStart(int kind);

    [[noreturn]] void fail(const std::wstring& text, const wchar_t* begin, const wchar_t* end);
    zem::SourcePosition positionOf(const wchar_t* at);

    const wchar_t* m_start = nullptr;
    const wchar_t* m_position = nullptr; // m_start <= m_position <= m_end
    const wchar_t* m_end = nullptr;
    Token m_token;
    std::unique_ptr<zem::LineMap> m_lineMap; // made by the first error of a parse
};

} // namespace corvel
