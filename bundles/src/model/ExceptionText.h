// The text of the exception being handled, for turning failures into entry errors.
#pragma once
#include <string>

namespace corvel {

// Call only inside a catch block. The exception's own text, or the fallback for its
// family (the library's exceptions, standard ones, anything else) when it has none.
std::wstring currentExceptionText(const wchar_t* libraryFallback, const wchar_t* standardFallback,
                                  const wchar_t* otherFallback);
inline std::wstring currentExceptionText(const wchar_t* fallback) {
    return currentExceptionText(fallback, fallback, fallback);
}

} // namespace corvel
