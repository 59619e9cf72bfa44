#include "zem/text/StringUtil.h"

#include "MemoryInputStream.h"
#include "zem/base/Assert.h"
#include "zem/text/StreamTextReader.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cwctype>

namespace zem {

const wchar_t DIGITS[33] = L"0123456789ABCDEFGHIJKLMNOPQRSTUV";

namespace {

const int MAX_DIGITS = 64;

// Digits of magnitude, least significant first, into buffer; returns their count.
int toDigitsReversed(uint64_t magnitude, unsigned radix, wchar_t* buffer) {
    int count = 0;
    do {
        buffer[count++] = DIGITS[magnitude % radix];
        magnitude /= radix;
    } while (magnitude != 0);
    return count;
}

void appendDigits(std::wstring& out, uint64_t magnitude, int radix, int minWidth) {
    ZEM_ASSERT(radix >= 2);
    if (radix > 32)
        radix = 32;
    wchar_t digits[MAX_DIGITS];
    const int count = toDigitsReversed(magnitude, static_cast<unsigned>(radix), digits);
    if (minWidth > count)
        out.append(static_cast<size_t>(minWidth - count), L'0');
    for (int i = count - 1; i >= 0; --i)
        out += digits[i];
}

int clampWidth(int minWidth) {
    return minWidth > MAX_DIGITS ? MAX_DIGITS : minWidth;
}

// The runtime's conversions would read past length on a text that goes on with more
// digits; only the first length units may decide.
bool startsCleanly(const wchar_t* text, size_t length) {
    return text && length > 0 && text[0] != 0 && !std::iswspace(text[0]);
}

// Accepts [sign] digits+ over the whole text and returns the magnitude, saturated past
// limit (then *overflow is set).
bool scanDecimal(const wchar_t* text, size_t length, bool* negative, uint64_t limit, uint64_t* magnitude,
                 bool* overflow) {
    size_t i = 0;
    *negative = false;
    *overflow = false;
    *magnitude = 0;
    if (text[i] == L'+' || text[i] == L'-') {
        *negative = text[i] == L'-';
        ++i;
    }
    if (i == length)
        return false;
    for (; i < length; ++i) {
        const wchar_t c = text[i];
        if (c < L'0' || c > L'9')
            return false;
        if (*overflow)
            continue;
        *magnitude = *magnitude * 10 + static_cast<unsigned>(c - L'0');
        if (*magnitude > limit)
            *overflow = true;
    }
    return true;
}

// Length of the longest prefix that is a decimal floating-point literal:
// [sign] (digits [. digits] | . digits) [(e|E) [sign] digits].
size_t scanFloatLiteral(const wchar_t* text, size_t length) {
    size_t i = 0;
    if (i < length && (text[i] == L'+' || text[i] == L'-'))
        ++i;
    size_t digits = 0;
    while (i < length && text[i] >= L'0' && text[i] <= L'9') {
        ++i;
        ++digits;
    }
    if (i < length && text[i] == L'.') {
        ++i;
        while (i < length && text[i] >= L'0' && text[i] <= L'9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < length && (text[i] == L'e' || text[i] == L'E')) {
        size_t j = i + 1;
        if (j < length && (text[j] == L'+' || text[j] == L'-'))
            ++j;
        size_t expDigits = 0;
        while (j < length && text[j] >= L'0' && text[j] <= L'9') {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    return i;
}

} // namespace

void formatInt64(std::wstring& out, int64_t value, int radix, int minWidth) {
    minWidth = clampWidth(minWidth);
    if (value < 0) {
        ZEM_ASSERT_MSG(value != INT64_MIN, L"i_i64 >= 0");
        out += L'-';
        if (minWidth > 0)
            --minWidth;
        value = -value;
    }
    appendDigits(out, static_cast<uint64_t>(value), radix, minWidth);
}

void formatInt(std::wstring& out, int32_t value, int radix) {
    formatInt64(out, value, radix, 0);
}

void formatUInt(std::wstring& out, uint32_t value, int radix, int minWidth) {
    appendDigits(out, value, radix, clampWidth(minWidth));
}

bool parseInt(const wchar_t* text, size_t length, int* out) {
    ZEM_ASSERT_MSG(out != nullptr, L"o_int");
    *out = 0;
    if (!startsCleanly(text, length))
        return false;
    bool negative = false;
    bool overflow = false;
    uint64_t magnitude = 0;
    const uint64_t limit = static_cast<uint64_t>(INT_MAX) + 1;
    if (!scanDecimal(text, length, &negative, limit, &magnitude, &overflow))
        return false;
    if (overflow || (!negative && magnitude > static_cast<uint64_t>(INT_MAX))) {
        *out = negative ? INT_MIN : INT_MAX;
        return false;
    }
    *out = negative ? static_cast<int>(-static_cast<int64_t>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

bool parseInt(const std::wstring& text, int* out) {
    return parseInt(text.data(), text.size(), out);
}

bool parseUInt(const wchar_t* text, size_t length, unsigned* out) {
    ZEM_ASSERT_MSG(out != nullptr, L"o_uint");
    *out = 0;
    if (!startsCleanly(text, length))
        return false;
    bool negative = false;
    bool overflow = false;
    uint64_t magnitude = 0;
    if (!scanDecimal(text, length, &negative, UINT_MAX, &magnitude, &overflow))
        return false;
    if (overflow) {
        *out = UINT_MAX;
        return false;
    }
    const unsigned value = static_cast<unsigned>(magnitude);
    *out = negative ? 0u - value : value;
    return true;
}

bool parseUInt(const std::wstring& text, unsigned* out) {
    return parseUInt(text.data(), text.size(), out);
}

bool parseDouble(const wchar_t* text, size_t length, double* out) {
    ZEM_ASSERT_MSG(out != nullptr, L"o_double");
    *out = 0;
    if (!startsCleanly(text, length))
        return false;
    if (scanFloatLiteral(text, length) != length)
        return false;
    // The literal is plain ASCII now; from_chars rounds exactly but takes no '+'.
    std::string narrow;
    narrow.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        if (i == 0 && text[i] == L'+')
            continue;
        narrow += static_cast<char>(text[i]);
    }
    const char* end = narrow.data() + narrow.size();
    const std::from_chars_result result = std::from_chars(narrow.data(), end, *out);
    return result.ec == std::errc() && result.ptr == end;
}

bool parseDouble(const std::wstring& text, double* out) {
    return parseDouble(text.data(), text.size(), out);
}

void formatDouble(double value, std::wstring& out) {
    if (std::signbit(value) && !std::isnan(value)) {
        out += L'-';
        value = -value;
    }
    if (std::isnan(value)) {
        out += L"NaN";
        return;
    }
    if (std::isinf(value)) {
        out += L"Infinity";
        return;
    }
    // Shortest round-trip digits in the form d[.ddd]e<sign>x.
    char buffer[64];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::scientific);
    ZEM_ASSERT(result.ec == std::errc());
    std::string digits;
    const char* p = buffer;
    for (; p < result.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            digits += *p;
    }
    ZEM_ASSERT(p < result.ptr);
    int exponent = 0;
    std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, result.ptr, exponent);
    const int n = static_cast<int>(digits.size());
    const int e = exponent + 1; // the value is 0.d1...dn x 10^e
    if (e <= -4 || e > n + 5) {
        out += static_cast<wchar_t>(digits[0]);
        if (n > 1) {
            out += L'.';
            for (int i = 1; i < n; ++i)
                out += static_cast<wchar_t>(digits[i]);
        }
        out += L'e';
        out += e - 1 < 0 ? L'-' : L'+';
        formatUInt(out, static_cast<uint32_t>(std::abs(e - 1)), 10, 2);
        return;
    }
    if (e <= 0) {
        out += L'.';
        out.append(static_cast<size_t>(-e), L'0');
        for (char c : digits)
            out += static_cast<wchar_t>(c);
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (i == e)
            out += L'.';
        out += static_cast<wchar_t>(digits[i]);
    }
    if (e > n)
        out.append(static_cast<size_t>(e - n), L'0');
}

int hexDigitValue(wchar_t unit) {
    if (unit >= L'0' && unit <= L'9')
        return unit - L'0';
    if (unit >= L'a' && unit <= L'f')
        return unit - L'a' + 10;
    if (unit >= L'A' && unit <= L'F')
        return unit - L'A' + 10;
    return -1;
}

void appendAscii(const char* text, std::wstring& out) {
    if (!text)
        return;
    for (; *text; ++text)
        out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
}

void decodeUtf8(const char* bytes, size_t length, std::wstring& out) {
    out.clear();
    if (!bytes || length == 0)
        return;
    MemoryInputStream input(bytes, length);
    StreamTextReader reader(input, TextEncoding::forName(L"utf-8"));
    reader.readAll(out);
}

} // namespace zem
