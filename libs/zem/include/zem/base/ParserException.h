// Errors of the text-format readers (JSON, Jasmine). Each carries the begin and end of
// the offending stretch; the message is built from the detail and the two positions.
#pragma once
#include "zem/base/Exception.h"

#include <cstdint>

namespace zem {

struct SourcePosition {
    int32_t line = 0;
    int32_t column = 0;
    int32_t offset = 0;
};

class ParserException : public SyntaxException {
public:
    ParserException(std::wstring detail, SourcePosition begin, SourcePosition end);
    // "ParserException: `%s` at `%d:%d` - `%d:%d`" (detail, begin line, begin column, end line, end column).
    void getMessage(std::wstring& out) const override;
    Exception* clone() const override { return new ParserException(*this); }
    void raise() const override { throw *this; }

    const std::wstring& detail() const { return m_detail; }
    const SourcePosition& begin() const { return m_begin; }
    const SourcePosition& end() const { return m_end; }

protected:
    std::wstring m_detail;
    SourcePosition m_begin;
    SourcePosition m_end;
};

#define ZEM_DECLARE_PARSER_EXCEPTION(Name, DefaultDetail)                                                              \
    class Name : public ParserException {                                                                              \
    public:                                                                                                            \
        Name(SourcePosition begin, SourcePosition end) : ParserException(DefaultDetail, begin, end) {}                 \
        Name(std::wstring detail, SourcePosition begin, SourcePosition end)                                            \
            : ParserException(std::move(detail), begin, end) {}                                                        \
        Exception* clone() const override { return new Name(*this); }                                                 \
        void raise() const override { throw *this; }                                                                   \
    };

ZEM_DECLARE_PARSER_EXCEPTION(InvalidEscapeInStringException, L"Invalid escape sequence in a string.")
ZEM_DECLARE_PARSER_EXCEPTION(JasmineSyntaxException, L"")
ZEM_DECLARE_PARSER_EXCEPTION(JsonBadRootElementTypeException, L"Bad root value type. Should be a dictionary or a list.")
ZEM_DECLARE_PARSER_EXCEPTION(JsonInvalidDictionaryKeyException, L"Invalid dictionary key.")
ZEM_DECLARE_PARSER_EXCEPTION(JsonTooMuchNestingException, L"The structure is too deep.")
ZEM_DECLARE_PARSER_EXCEPTION(JsonTrailingCommaException, L"Trailing comma is not allowed.")
ZEM_DECLARE_PARSER_EXCEPTION(JsonUnexpectedDataAfterRoot, L"Unexpected data after root value.")
ZEM_DECLARE_PARSER_EXCEPTION(UnbalancedParenthesisException, L"Unbalanced parenthesis.")
ZEM_DECLARE_PARSER_EXCEPTION(UnexpectedlyTerminatedException, L"Parsing ended unexpectedly.")

// Detail: "Unexpected token." without a found text, "Unexpected token `%s`." without an
// expected text, "Unexpected token `%s`, expected `%s`." with both.
class UnexpectedTokenException : public ParserException {
public:
    UnexpectedTokenException(std::wstring found, std::wstring expected, SourcePosition begin, SourcePosition end);
    Exception* clone() const override { return new UnexpectedTokenException(*this); }
    void raise() const override { throw *this; }
    const std::wstring& found() const { return m_found; }
    const std::wstring& expected() const { return m_expected; }

private:
    std::wstring m_found;
    std::wstring m_expected;
};

} // namespace zem
