// The generated text the search benchmarks share: about 100 MB of UTF-16 words in lines
// of at most 80 columns, with a rare "needle" among them.
#pragma once
#include <random>
#include <string>

namespace bench {

const size_t TEXT_UNITS = 50u * 1024u * 1024u; // 100 MB of UTF-16

inline std::wstring makeText() {
    static const wchar_t* const words[] = {L"editor", L"buffer",   L"line",   L"parsing", L"scope",  L"caret",
                                           L"undo",   L"grammar",  L"theme",  L"running", L"bundle", L"cache",
                                           L"token",  L"matching", L"window", L"kernel",  L"string", L"render"};
    const size_t wordCount = sizeof(words) / sizeof(words[0]);
    std::mt19937 rng(12345u);
    std::wstring text;
    text.reserve(TEXT_UNITS + 64);
    size_t column = 0;
    while (text.size() < TEXT_UNITS) {
        unsigned roll = rng() % 1000;
        if (roll == 0)
            text += L"needle";
        else
            text += words[rng() % wordCount];
        column += 8;
        if (column > 70) {
            text += L'\n';
            column = 0;
        } else {
            text += (roll % 7 == 0) ? L", " : L" ";
        }
    }
    text.resize(TEXT_UNITS);
    return text;
}

} // namespace bench
