#include "zem/base/ParserException.h"

#include "zem/base/Format.h"

namespace zem {

ParserException::ParserException(std::wstring detail, SourcePosition begin, SourcePosition end)
    : SyntaxException(L""), m_detail(std::move(detail)), m_begin(begin), m_end(end) {
    getMessage(m_message);
}

void ParserException::getMessage(std::wstring& out) const {
    out = format(L"ParserException: `%s` at `%d:%d` - `%d:%d`", m_detail.c_str(), m_begin.line, m_begin.column,
                 m_end.line, m_end.column);
}

namespace {
std::wstring unexpectedTokenDetail(const std::wstring& found, const std::wstring& expected) {
    if (found.empty())
        return L"Unexpected token.";
    if (expected.empty())
        return format(L"Unexpected token `%s`.", found.c_str());
    return format(L"Unexpected token `%s`, expected `%s`.", found.c_str(), expected.c_str());
}
} // namespace

UnexpectedTokenException::UnexpectedTokenException(std::wstring found, std::wstring expected, SourcePosition begin,
                                                   SourcePosition end)
    : ParserException(unexpectedTokenDetail(found, expected), begin, end), m_found(std::move(found)),
      m_expected(std::move(expected)) {}

} // namespace zem
