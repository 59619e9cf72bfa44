// The name of the span that an auto-closed character pair leaves in the document while
// the caret is inside it. The name is also an atom of the scope path there, so the
// bundles can scope the pair's closing action to it without knowing the editor.
#pragma once
#include <string>

namespace corvel {

constexpr const wchar_t* CHAR_PAIR_SPAN_PREFIX = L"document.context.char_pair.";

// CHAR_PAIR_SPAN_PREFIX [+ "block."] + opening and closing in lower-case hex.
std::wstring charPairSpanName(wchar_t opening, wchar_t closing, bool block);

// The selector of a pair's closing action, which must match only inside the pair and the
// pair's own scope: the span's name, then the selector. In an editor the span's atom lies
// outside the grammar's scopes at the caret and inside the view's, so a selector of view
// scopes ("ui.editor") is also taken with the span inside it.
std::wstring charPairClosingSelector(const std::wstring& selectorText, wchar_t opening, wchar_t closing, bool block);

} // namespace corvel
