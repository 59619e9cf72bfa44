#include "corvel/text/StringUtils.h"

#include "corvel/text/DecodeToUtf16.h"
#include "corvel/text/EncodingMark.h"
#include "corvel/text/Utf8Text.h"
#include "zem/base/Format.h"

#include <cstdarg>
#include <cwchar>
#include <vector>
#include <windows.h>

namespace corvel {
namespace {

bool isBlank(wchar_t c) {
    return c <= 32;
}

} // namespace

bool hasNonBlank(const wchar_t* text, int count) {
    if (!text)
        return false;
    for (int i = 0; i < count && text[i]; ++i) {
        if (!isBlank(text[i]))
            return true;
    }
    return false;
}

int countLeadingBlanks(const wchar_t* text, int count) {
    if (!text)
        return 0;
    int n = 0;
    while (n < count && text[n] && isBlank(text[n]) && text[n] != L'\r' && text[n] != L'\n')
        ++n;
    return n;
}

int lengthWithoutTrailingBlanks(int count, const wchar_t* text) {
    if (!text)
        return 0;
    while (count > 0 && isBlank(text[count - 1]))
        --count;
    return count;
}

void trim(std::wstring& text) {
    int length = lengthWithoutTrailingBlanks(static_cast<int>(text.size()), text.c_str());
    text.resize(static_cast<size_t>(length));
    text.erase(0, static_cast<size_t>(countLeadingBlanks(text.c_str(), length)));
}

int measureIndent(int count, const wchar_t* text, int tabWidth, bool force) {
    if (!text)
        return force ? 0 : -1;
    if (!force && !hasNonBlank(text, count))
        return -1;
    if (tabWidth < 1)
        tabWidth = 1;
    int columns = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] == L' ')
            columns += 1;
        else if (text[i] == L'\t')
            columns = (columns / tabWidth + 1) * tabWidth;
        else
            break;
    }
    return columns;
}

void makeIndent(int columns, int tabWidth, std::wstring& out) {
    if (columns <= 0)
        return;
    if (tabWidth <= 0) {
        out.append(static_cast<size_t>(columns), L' ');
        return;
    }
    out.append(static_cast<size_t>(columns / tabWidth), L'\t');
    out.append(static_cast<size_t>(columns % tabWidth), L' ');
}

wchar_t toUpperUnit(wchar_t unit) {
    wchar_t buffer[1] = {unit};
    CharUpperBuffW(buffer, 1);
    return buffer[0];
}

void appendInteger(int32_t value, std::wstring& out, int radix) {
    if (radix < 2 || radix > 36)
        radix = 10;
    bool negative = radix == 10 && value < 0;
    uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    wchar_t digits[33];
    int n = 0;
    do {
        uint32_t d = magnitude % static_cast<uint32_t>(radix);
        digits[n++] = static_cast<wchar_t>(d < 10 ? L'0' + d : L'a' + d - 10);
        magnitude /= static_cast<uint32_t>(radix);
    } while (magnitude);
    if (negative)
        out += L'-';
    while (n > 0)
        out += digits[--n];
}

bool isInteger(const wchar_t* text) {
    if (!text || !*text)
        return false;
    wchar_t* end = nullptr;
    std::wcstol(text, &end, 10);
    return end && *end == 0 && end != text;
}

bool decodeText(const uint8_t* bytes, size_t length, std::wstring& out) {
    if (!bytes)
        length = 0;
    const EncodingMark* mark = &findEncodingMark(length, bytes);
    if (mark->length == 0 && isUtf8Text(bytes, length))
        mark = &plainUtf8Mark();
    const uint8_t* source = bytes + mark->length;
    size_t remaining = length - mark->length;
    if (remaining == 0)
        return true;
    // No code page gives more units than bytes, and one more covers a final U+FFFD.
    std::vector<wchar_t> units(remaining + 1);
    size_t written = 0;
    while (remaining > 0) {
        size_t consumed = remaining;
        size_t room = units.size() - written;
        decodeToUtf16(units.data() + written, source, consumed, mark->codePage, room, true);
        if (consumed == 0 && room == 0)
            break;
        source += consumed;
        remaining -= consumed;
        written += room;
        if (units.size() - written < 2)
            units.resize(units.size() + remaining + 2);
    }
    if (written == 0 || remaining > 0)
        return false;
    normalizeLineBreaks(units.data(), written, out);
    return true;
}

void normalizeLineBreaks(const wchar_t* text, std::wstring& out) {
    if (text)
        normalizeLineBreaks(text, std::wcslen(text), out);
}

void normalizeLineBreaks(const wchar_t* text, size_t length, std::wstring& out) {
    if (!text)
        return;
    out.reserve(out.size() + length);
    size_t runStart = 0;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = text[i];
        if (c != L'\r' && c != L'\n')
            continue;
        out.append(text + runStart, i - runStart);
        out += L'\n';
        if (c == L'\r' && i + 1 < length && text[i + 1] == L'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(text + runStart, length - runStart);
}

void toCrLf(std::wstring& out, const wchar_t* text) {
    out.clear();
    if (!text)
        return;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == L'\n')
            out += L'\r';
        out += *p;
    }
}

void escapeControls(const wchar_t* text, std::wstring& out) {
    if (!text)
        return;
    for (const wchar_t* p = text; *p; ++p) {
        switch (*p) {
        case L'\t':
            out += L"\\t";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\n':
            out += L"\\n";
            break;
        default:
            if (*p < 32)
                out += zem::format(L"\\x%x", static_cast<unsigned>(*p));
            else
                out += *p;
            break;
        }
    }
}

void hexDump(const void* bytes, size_t size, std::wstring& out, const wchar_t* prefix) {
    const uint8_t* data = static_cast<const uint8_t*>(bytes);
    if (!data)
        size = 0;
    for (size_t offset = 0; offset < size; offset += 16) {
        size_t chunk = size - offset < 16 ? size - offset : 16;
        out += zem::format(L"%s%04X:", prefix ? prefix : L"", static_cast<unsigned>(offset));
        for (size_t group = 0; group < 4; ++group) {
            for (size_t i = 0; i < 4; ++i) {
                size_t at = group * 4 + i;
                if (at < chunk)
                    out += zem::format(L" %02X", static_cast<unsigned>(data[offset + at]));
                else
                    out += L"   ";
            }
            out += L'|';
        }
        out += L"  ";
        for (size_t i = 0; i < chunk; ++i) {
            uint8_t b = data[offset + i];
            out += (b < 32 || b >= 128) ? L'.' : static_cast<wchar_t>(b);
        }
        out += L'\n';
    }
}

void format(std::wstring& out, const wchar_t* format, ...) {
    wchar_t buffer[4096];
    buffer[0] = 0;
    va_list args;
    va_start(args, format);
    zem::formatInto(buffer, 4096, format ? format : L"", args);
    va_end(args);
    out = buffer;
}

bool matchesFileSuffix(const wchar_t* name, const wchar_t* suffix) {
    if (!name || !suffix)
        return false;
    size_t nameLength = std::wcslen(name);
    size_t suffixLength = std::wcslen(suffix);
    if (suffixLength > nameLength || std::wcscmp(name + nameLength - suffixLength, suffix) != 0)
        return false;
    if (suffixLength == nameLength)
        return true;
    wchar_t before = name[nameLength - suffixLength - 1];
    return before == L'.' || before == L'/' || before == L'\\';
}

} // namespace corvel
