// Private helpers of the file layer: leaving a failure in the thread's error record, and
// the part of a path that folder creation must skip.
#pragma once
#include "zem/base/Error.h"

#include <cstdint>

namespace zem {

// Sets code with up to two text parameters; returns false for the caller's return.
bool fileFail(uint32_t code, const wchar_t* param1 = nullptr, const wchar_t* param2 = nullptr);
// The same with GetLastError(); a system call that failed without saying why still
// reports a real code (ERROR_GEN_FAILURE), never success.
bool fileFailLastError(const wchar_t* param);
// Success: the thread's error record back to 0.
void fileClearError();

// Length of the start of a path under which no folder can be created: a device prefix
// (user:), a drive (the "C:" of C:\), the \\server\share\ of a network path, or a
// long-path prefix with either.
size_t pathCreateSkipLength(const wchar_t* path);

} // namespace zem
