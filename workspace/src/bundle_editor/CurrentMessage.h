// The message of the exception being handled, for the bundle editor's boxes and log lines.
#pragma once
#include "zem/base/Exception.h"

#include <string>

namespace corvel {

// Call only inside a catch block; fallback for exceptions without a message of their own.
inline std::wstring currentMessageOr(const wchar_t* fallback) {
    try {
        throw;
    } catch (zem::Exception& e) {
        std::wstring text = e.message();
        return text.empty() ? fallback : text;
    } catch (...) {
        return fallback;
    }
}

} // namespace corvel
