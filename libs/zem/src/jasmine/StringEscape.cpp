#include "jasmine/StringEscape.h"

#include "zem/text/StringUtil.h"

namespace zem {

std::wstring decodeDoubleQuotedText(const wchar_t* begin, const wchar_t* end) {
    const wchar_t* p = begin;
    std::wstring out;
    out.reserve(static_cast<size_t>(end - p));
    while (p < end) {
        wchar_t c = *p++;
        if (c != L'\\' || p >= end) {
            out.push_back(c);
            continue;
        }
        wchar_t e = *p++;
        if (e == L'x' || e == L'u') {
            int digits = e == L'x' ? 2 : 4;
            unsigned unit = 0;
            for (int i = 0; i < digits && p < end; ++i)
                unit = unit * 16 + static_cast<unsigned>(hexDigitValue(*p++));
            out.push_back(static_cast<wchar_t>(unit));
            continue;
        }
        int simple = simpleEscapeUnit(e);
        out.push_back(simple >= 0 ? static_cast<wchar_t>(simple) : e);
    }
    return out;
}

} // namespace zem
