#include "zem/text/LineBreak.h"

namespace zem {

int lineEndingFromName(const std::wstring& name) {
    if (name == L"LF")
        return LINE_ENDING_LF;
    if (name == L"CR")
        return LINE_ENDING_CR;
    return LINE_ENDING_CRLF;
}

size_t appendLineBreaks(const wchar_t* text, size_t count, std::wstring& out) {
    if (!text)
        return 0;
    size_t breaks = 0;
    size_t i = 0;
    bool afterCarriageReturn = false;
    for (; i < count; ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            ++breaks;
            afterCarriageReturn = true;
        } else if (c == L'\n') {
            if (!afterCarriageReturn)
                ++breaks;
            afterCarriageReturn = false;
        } else {
            break;
        }
    }
    out.append(breaks, L'\n');
    return i;
}

} // namespace zem
