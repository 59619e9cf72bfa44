// Numbers to and from UTF-16 text by fixed, checkable rules, plus the small byte-to-text
// helpers the readers and writers share. Everything appends to the output string unless
// it says otherwise.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace zem {

// Digits for every radix up to 32, upper-case letters.
extern const wchar_t DIGITS[33];

// Appends value in the given radix (2..32; larger is taken as 32). minWidth (at most 64)
// pads the digits with zeros; a minus sign takes one column of it: -5 with minWidth 3
// gives "-05", 255 in radix 16 with minWidth 4 gives "00FF". The most negative 64-bit
// value has no magnitude and is an assertion failure.
void formatInt64(std::wstring& out, int64_t value, int radix = 10, int minWidth = 0);
void formatInt(std::wstring& out, int32_t value, int radix = 10);
void formatUInt(std::wstring& out, uint32_t value, int radix = 10, int minWidth = 0);

// Decimal text to a number. True only when the whole text (length units, not beyond) is
// one number with no leading white space and in range. A sign is accepted; parseUInt
// takes "-1" as the C runtime does (the value wraps). *out is written even on failure
// and means nothing then. out must not be null (assertion).
bool parseInt(const wchar_t* text, size_t length, int* out);
bool parseInt(const std::wstring& text, int* out);
bool parseUInt(const wchar_t* text, size_t length, unsigned* out);
bool parseUInt(const std::wstring& text, unsigned* out);
// Decimal and exponent forms ("-1.5e3", ".5", "5."); out of double range fails.
bool parseDouble(const wchar_t* text, size_t length, double* out);
bool parseDouble(const std::wstring& text, double* out);

// Appends the shortest text that reads back as the same double: ".1", "-0", "100",
// "123.5", "1e+21", "1e-05", "Infinity", "NaN". Literal writers add what their syntax
// needs (a leading 0, a trailing ".0").
void formatDouble(double value, std::wstring& out);

// The value of one hexadecimal digit (either case), or -1.
int hexDigitValue(wchar_t unit);

// Appends each byte of a NUL-terminated 8-bit text as one code unit.
void appendAscii(const char* text, std::wstring& out);

// Replaces out with the UTF-16 form of length UTF-8 bytes; malformed bytes become U+FFFD.
void decodeUtf8(const char* bytes, size_t length, std::wstring& out);

} // namespace zem
