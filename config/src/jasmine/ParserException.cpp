#include "corvel/jasmine/ParserException.h"

#include "zem/base/Format.h"

namespace corvel {

void ParserException::getMessage(std::wstring& out) const {
    out = zem::format(L"%s (Line %d, Column %d)", m_detail.c_str(), m_begin.line + 1, m_begin.column + 1);
}

} // namespace corvel
