// The repeat after an item of a pattern, as read by the readers that work out where a
// pattern's matches can start.
#pragma once
#include <string>

namespace corvel {

// Reads the repeat at `at`, if any, and moves past it: '*' (may be left out, repeats), '?'
// (may be left out), '+' (at least once), or 0 for none. A counted repeat reads as '*' when
// its least count is 0, else as '+'. False for a count that cannot be read.
inline bool readRepeat(const std::wstring& text, size_t& at, wchar_t& repeat) {
    repeat = 0;
    if (at >= text.size())
        return true;
    const wchar_t c = text[at];
    if (c == L'*' || c == L'?' || c == L'+') {
        repeat = c;
        ++at;
        return true;
    }
    if (c != L'{')
        return true;
    const size_t close = text.find(L'}', at);
    if (close == std::wstring::npos)
        return false;
    const std::wstring counts = text.substr(at + 1, close - at - 1);
    if (counts.empty() || counts.find_first_not_of(L"0123456789,") != std::wstring::npos)
        return false;
    repeat = counts[0] == L',' || counts[0] == L'0' ? L'*' : L'+';
    at = close + 1;
    return true;
}

// After a repeat: a lazy or possessive mark changes nothing here and is passed over; false
// when a second repeat follows, which these readers do not read.
inline bool endRepeat(const std::wstring& text, size_t& at) {
    if (at < text.size() && (text[at] == L'?' || text[at] == L'+'))
        ++at;
    if (at >= text.size())
        return true;
    const wchar_t c = text[at];
    return c != L'*' && c != L'?' && c != L'+' && c != L'{';
}

} // namespace corvel
