// What "Go To Line" makes of the text the user typed.
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

class GotoLine {
public:
    // The 0-based line of a base-10 line number from 1 to lineCount; -1 for anything else
    // ("", letters, 0, a sign, a number past the last line), which the command ignores.
    static int32_t parseLineNumber(const std::wstring& text, int32_t lineCount);
};

} // namespace corvel
