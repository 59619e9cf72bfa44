// Small functions on UTF-16 text shared by the document engine, the editor and the
// configuration loader. "Blank" means a unit of code 32 or below.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvel {

// True when one of the first count units (stopping early at a zero unit) is above 32.
bool hasNonBlank(const wchar_t* text, int count);
// Leading blanks other than CR and LF, within count units.
int countLeadingBlanks(const wchar_t* text, int count);
// count less the trailing blanks (CR and LF included).
int lengthWithoutTrailingBlanks(int count, const wchar_t* text);
// Drops the leading blanks countLeadingBlanks counts and every trailing blank.
void trim(std::wstring& text);
// Columns of the leading spaces and tabs (a tab moves to the next multiple of tabWidth;
// a tab width below 1 counts as 1). Unless forced, a line with no unit above 32 gives -1.
int measureIndent(int count, const wchar_t* text, int tabWidth, bool force);
// Appends columns of indentation: spaces when tabWidth is 0, else tabs then spaces.
void makeIndent(int columns, int tabWidth, std::wstring& out);
// The platform's upper case of one unit.
wchar_t toUpperUnit(wchar_t unit);
// Radix 2 to 36 in lower-case digits; only radix 10 writes a sign, others the 32 bits unsigned.
void appendInteger(int32_t value, std::wstring& out, int radix);
// True when a decimal wcstol parse consumes the whole (non-empty) text.
bool isInteger(const wchar_t* text);
// Bytes of a file to text: a byte-order mark picks the encoding, else well-formed UTF-8 is
// taken as such, else the ANSI code page; line breaks become LF. Appends to out; false
// when the bytes could not be converted.
bool decodeText(const uint8_t* bytes, size_t length, std::wstring& out);
// Appends text with every CR LF, lone CR and lone LF turned into one LF.
void normalizeLineBreaks(const wchar_t* text, std::wstring& out);
void normalizeLineBreaks(const wchar_t* text, size_t length, std::wstring& out);
// out becomes text with a CR before every LF.
void toCrLf(std::wstring& out, const wchar_t* text);
// Appends text with tab, CR, LF as \t \r \n and other units below 32 as \x<hex>.
void escapeControls(const wchar_t* text, std::wstring& out);
// Appends a hex dump, 16 bytes a line: prefix, offset, four groups of four, the characters.
void hexDump(const void* bytes, size_t size, std::wstring& out, const wchar_t* prefix);
// printf-style (%s is a wide string); out becomes at most 4,095 units of the result.
void format(std::wstring& out, const wchar_t* format, ...);
// True when name ends with suffix (case-sensitive) that is the whole name or follows
// '.', '/' or '\'.
bool matchesFileSuffix(const wchar_t* name, const wchar_t* suffix);

} // namespace corvel
