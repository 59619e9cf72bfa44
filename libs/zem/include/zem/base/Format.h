// Wide printf-style formatting with the system's meaning of %s: a wide string.
// It goes through msvcrt's bounded formatter; MinGW's own C99 stdio, which g++ turns
// on, would read %s as a narrow string.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string>

namespace zem {

// Formats into buffer (capacity units, terminator included). Returns the number of
// units written, or -1 when the text did not fit; the buffer is then cut to
// capacity - 1 units and terminated.
int formatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args);

std::wstring formatV(const wchar_t* format, va_list args);
std::wstring format(const wchar_t* format, ...);

} // namespace zem
