// The name of the span that an auto-closed character pair leaves in the document while
// the caret is inside it. The name is also an atom of the scope path there, so the
// bundles can scope the pair's closing action to it without knowing the editor.
#pragma once
#include <string>

namespace corvel {

constexpr const wchar_t* CHAR_PAIR_SPAN_PREFIX = L"document.context.char_pair.";

// CHAR_PAIR_SPAN_PREFIX [+ "block."] + opening and closing in lower-case hex.
std::wstring charPairSpanName(wchar_t opening, wchar_t closing, bool block);

// The selector of a pair's closing action, which must match only inside the pair: the
// pair's span is the innermost atom of the path at the caret there, and selectors match
// anchored at the innermost atom, so the span's name goes after the pair's own selector.
std::wstring charPairClosingSelector(const std::wstring& selectorText, wchar_t opening, wchar_t closing, bool block);

} // namespace corvel
