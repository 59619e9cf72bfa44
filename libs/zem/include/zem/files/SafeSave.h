// Saving a file without ever truncating its only copy: the new content goes into a
// temporary file beside the target (same folder, same device), which then replaces the
// target in one move. On failure the target is untouched, no temporary is left, and the
// thread's error record holds a real code (never success).
#pragma once
#include "zem/files/File.h"

#include <cstdint>
#include <functional>

namespace zem {

// Writes the whole new content into the open temporary file; false when a write failed
// (the error record should say why; a bare false is reported as ERROR_WRITE_FAULT).
typedef std::function<bool(File& file)> FileContentWriter;

// A read-only or directory target refuses (ERROR_ACCESS_DENIED) before anything is written.
bool fileSaveReplacing(const wchar_t* path, const FileContentWriter& writeContent);
bool fileSaveReplacing(const wchar_t* path, const void* bytes, uint32_t size);

} // namespace zem
