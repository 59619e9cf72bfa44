// Line-ending setting names and the folding of line breaks into line feeds.
#pragma once
#include <cstddef>
#include <string>

namespace zem {

// Line-ending kinds.
constexpr int LINE_ENDING_CRLF = 0;
constexpr int LINE_ENDING_LF = 1;
constexpr int LINE_ENDING_CR = 2;

// "CR+LF" and "CRLF" give CR LF, "LF" LF, "CR" CR; any other name, the empty one
// included, gives CR LF. Case matters.
int lineEndingFromName(const std::wstring& name);

// Walks the run of line breaks at the start of text (at most count units) and appends
// one LF per break: CR LF is one break, a lone CR or LF one each. Returns the units
// walked; a text that does not start with CR or LF gives 0 and appends nothing.
size_t appendLineBreaks(const wchar_t* text, size_t count, std::wstring& out);

} // namespace zem
