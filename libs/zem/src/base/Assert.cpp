#include "zem/base/Assert.h"

#include "zem/base/Exception.h"

#include <string>

namespace zem {

void assertionFailed(const wchar_t* expression, const wchar_t* file, int line) {
    std::wstring text;
    if (expression) {
        text += expression;
        text += L' ';
    }
    text += L"in file \"";
    text += file ? file : L"";
    text += L"\", line ";
    text += std::to_wstring(line);
    throw AssertionViolationException(text);
}

void throwIfNull(const void* pointer) {
    if (!pointer)
        throw NullPointerException(L"Null reference.");
}

} // namespace zem

namespace corvel {
void throwNullPointerException() {
    throw zem::NullPointerException(L"Null reference.");
}
} // namespace corvel
