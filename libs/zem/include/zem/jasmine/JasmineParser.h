// Reads the first value of a Jasmine text into a value tree whose nodes record where
// they stand in the source. Failures throw JasmineSyntaxException with the positions of
// the offending token or character; no partial tree is ever returned.
#pragma once
#include "zem/jasmine/JasmineTokenStore.h"
#include "zem/jasmine/JasmineTokenStream.h"

#include <string>

namespace zem {

class TextReader;
class Value;

// Containers nested deeper than this are refused ("The structure is too deep."), so
// neither the parser nor the recursive walks over its trees can exhaust the stack.
constexpr int JASMINE_MAX_DEPTH = 512;

// Lexes on demand and returns the first value (the caller owns it); nothing after it is
// examined, except that a regular expression looks at the next token for its options.
Value* parseJasmine(TextReader& reader);
Value* parseJasmine(const std::wstring& text);

// Clears the store, lexes the whole text into it (through the end-of-stream token), then
// parses the first value from it. The values' beginToken, endToken and keyToken index
// the store, which the overlay writers use to copy the user's own text.
Value* parseJasmineTokens(JasmineTokenStore& store, TextReader& reader);
Value* parseJasmineTokens(JasmineTokenStore& store, const std::wstring& text);

// Parses the value at the stream's next token (the stream is first advanced past trivia).
Value* parseJasmine(JasmineTokenStream& stream);

} // namespace zem
