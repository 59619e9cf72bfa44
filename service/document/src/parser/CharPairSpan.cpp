#include "corvel/document/CharPairSpan.h"

#include "zem/base/Format.h"

namespace corvel {

namespace {

std::wstring hex(wchar_t unit) {
    return zem::format(L"%x", static_cast<unsigned>(unit));
}

} // namespace

std::wstring charPairSpanName(wchar_t opening, wchar_t closing, bool block) {
    std::wstring name = CHAR_PAIR_SPAN_PREFIX;
    if (block)
        name += L"block.";
    return name + hex(opening) + hex(closing);
}

std::wstring charPairClosingSelector(const std::wstring& selectorText, wchar_t opening, wchar_t closing, bool block) {
    const std::wstring pairName = charPairSpanName(opening, closing, block);
    if (selectorText.empty())
        return pairName;
    return pairName + L" " + selectorText + L", " + selectorText + L" " + pairName;
}

} // namespace corvel
