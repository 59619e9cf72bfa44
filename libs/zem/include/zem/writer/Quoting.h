// How scalar texts are spelled in JSON and Jasmine output: quoting, escaping, bare
// words, regular-expression literals and real numbers. Everything appends to out.
// The writers use these so that whatever they write reads back as the same value.
#pragma once
#include <string>

namespace zem {

// Appends the two-character escape of backspace, tab, line feed, form feed, carriage
// return, double quote or backslash and returns true; false (nothing appended) for any
// other character.
bool appendEscape(std::wstring& out, wchar_t c);

// A double-quoted string: the seven characters above escaped, every other code unit
// below 32 and "<" and ">" as \uHHHH, everything else unchanged.
void appendJsonQuoted(const std::wstring& text, std::wstring& out);

// An apostrophe-quoted string with each apostrophe doubled; nothing else is escaped.
// Jasmine cannot read back a backslash directly before an apostrophe or a backslash at
// the very end this way, and a NUL would stand raw in the saved text: see
// canWriteSingleQuoted.
void appendSingleQuoted(const std::wstring& text, std::wstring& out);
bool canWriteSingleQuoted(const std::wstring& text);

// A bare word when the Jasmine lexer reads it back as the same symbol, else double-
// quoted. Returns whether it wrote a bare word. Words that would read back as something
// else are quoted: the empty text, true, false, null, and complete numbers (12, -3.5e2).
bool appendSymbol(const std::wstring& text, std::wstring& out);
// The same for a dictionary key, where a number token reads back as its own text: 123
// is written bare, while true, false, null and the empty key are still quoted.
bool appendSymbolKey(const std::wstring& text, std::wstring& out);
// The same for the JSON reader's bare words, which are stricter: a word must start with
// a letter, "_" or "." and must not begin with true, false or null.
bool appendJsonSymbol(const std::wstring& text, std::wstring& out);

// A regular-expression literal: "/", the pattern, "/", the options unchanged. A "/" in
// the pattern is written escaped unless it already is (a backslash always escapes the
// unit after it), so a pattern read from a literal is written back unchanged. A
// trailing lone backslash is doubled, an empty pattern is written as (?:) and a leading
// "*" escaped, because "//" and "/*" would start a comment.
void appendRegExp(const std::wstring& pattern, const std::wstring& options, std::wstring& out);

// A real that reads back as a real of the same value: the shortest round-trip digits,
// with "0" before a leading "." and ".0" after an integral text (3.0, 0.5, -0.25,
// 1e+06). Infinity, -Infinity and NaN have no literal; they are written as those words.
void appendRealLiteral(double value, std::wstring& out);

} // namespace zem
