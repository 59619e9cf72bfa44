// Auto-closed character pairs over a document controller. Typing an opening character
// inserts both characters and remembers the pair as an empty span between them, so that
// typing the closing character at the span's end steps over it, Backspace removes both
// and Enter opens an indented block. The span's name is also a scope atom at the caret.
#pragma once
#include "corvel/document/CharPairSpan.h"

#include <cstdint>
#include <string>

namespace corvel {

class DocumentController;

class PairedCharacters {
public:
    static constexpr const wchar_t* SPAN_PREFIX = CHAR_PAIR_SPAN_PREFIX;

    // charPairSpanName: SPAN_PREFIX [+ "block."] + opening and closing in lower-case hex.
    static std::wstring spanName(wchar_t opening, wchar_t closing, bool block);

    static void typeOpening(DocumentController& controller, wchar_t opening, wchar_t closing, bool block);
    static void typeClosing(DocumentController& controller, wchar_t opening, wchar_t closing, bool block);
    // Backspace and Enter act on a pair only when the caret stands at the pair's empty
    // span; false (nothing done) elsewhere.
    static bool deleteEmptyPair(DocumentController& controller);
    static bool openBlock(DocumentController& controller);

private:
    static void wrapSelection(DocumentController& controller, wchar_t opening, wchar_t closing);
    static bool atEmptyPair(DocumentController& controller);
};

} // namespace corvel
