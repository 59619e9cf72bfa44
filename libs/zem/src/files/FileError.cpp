#include "FileError.h"

#include <windows.h>

namespace zem {

bool fileFail(uint32_t code, const wchar_t* param1, const wchar_t* param2) {
    ErrorParams* params = setError(code ? code : static_cast<uint32_t>(ERROR_GEN_FAILURE));
    if (param1)
        params->add(param1);
    if (param2)
        params->add(param2);
    return false;
}

bool fileFailLastError(const wchar_t* param) {
    return fileFail(GetLastError(), param);
}

void fileClearError() {
    setError(ERR_SUCCESS);
}

} // namespace zem
