#include "zem/base/Format.h"

#include <cstdio>
#include <cwchar>
#include <vector>

extern "C" int __cdecl __ms_vsnwprintf(wchar_t*, size_t, const wchar_t*, va_list);

namespace zem {

int formatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
    if (capacity == 0)
        return -1;
    int n = __ms_vsnwprintf(buffer, capacity - 1, format, args);
    if (n < 0 || static_cast<size_t>(n) >= capacity) {
        buffer[capacity - 1] = 0;
        return -1;
    }
    buffer[n] = 0;
    return n;
}

std::wstring formatV(const wchar_t* format, va_list args) {
    std::vector<wchar_t> buffer(512);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = formatInto(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0)
            return std::wstring(buffer.data(), static_cast<size_t>(n));
        if (buffer.size() >= (1u << 24))
            return std::wstring(buffer.data());
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring out = formatV(format, args);
    va_end(args);
    return out;
}

} // namespace zem
