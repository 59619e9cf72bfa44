// Saving never truncates the only copy of a file: the new content goes to a temporary
// file beside the target (same device, same folder) and then takes the target's place.
#pragma once
#include "zem/files/WorkString.h"

namespace corvel {

// A name beside the target that no file has yet.
bool makeTemporaryNameBeside(const wchar_t* target, zem::WorkString& out);
// Puts the temporary file in the target's place. On failure the target is as it was,
// and the thread's error record holds the reason.
bool replaceFileWith(const wchar_t* temporary, const wchar_t* target);

} // namespace corvel
