// How a control character is shown: "07" for U+0007, "001b" for U+001B.
#pragma once
#include <string>

namespace corvel {

inline std::wstring controlLabel(wchar_t c) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    for (unsigned value = c; value; value >>= 4)
        hex.insert(hex.begin(), digits[value & 0xF]);
    if (hex.empty())
        hex = L"0";
    return (hex.size() == 1 ? L"0" : L"00") + hex;
}

} // namespace corvel
