// The file layer's view of a path, for the project's comparisons: keys from the full path,
// and the normalised text (full path, lower case, '\' separators).
#pragma once
#include <cstdint>
#include <string>

namespace corvel {

// zem::fileGetPathHash of the path: 0xFFFFFFFF when it cannot be resolved.
uint32_t pathKeyOf(const wchar_t* path);
// The full path folded for comparison; the text itself folded when it cannot be resolved.
std::wstring normalizedPath(const wchar_t* path);

} // namespace corvel
