#include "corvel/config/ValidationError.h"

namespace corvel {

void ValidationError::getMessage(std::wstring& out) const {
    out = L"Unknown error.";
}

} // namespace corvel
