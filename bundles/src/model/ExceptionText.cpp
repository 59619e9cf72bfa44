#include "model/ExceptionText.h"

#include "zem/base/Exception.h"

#include <exception>

namespace corvel {

std::wstring currentExceptionText(const wchar_t* libraryFallback, const wchar_t* standardFallback,
                                  const wchar_t* otherFallback) {
    std::wstring text;
    const wchar_t* fallback = otherFallback;
    try {
        throw;
    } catch (const zem::Exception& e) {
        text = e.message();
        fallback = libraryFallback;
    } catch (const std::exception& e) {
        for (const char* c = e.what(); c && *c; ++c)
            text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        fallback = standardFallback;
    } catch (...) {
    }
    return text.empty() ? std::wstring(fallback) : text;
}

} // namespace corvel
