// The flat file interface: every call resolves its path through the device table and is
// served by the first attached device that succeeds. Failures return false or null and
// leave a code with its parameters in the calling thread's error record (zem/base/Error.h);
// every call first resets that record to success.
#pragma once
#include "zem/files/File.h"
#include "zem/files/WorkString.h"

#include <cstdint>

namespace zem {

// Attaches device under name ("mem", or a mapping such as "base:user"); higher priority
// is tried first, equal priorities in attach order. The table does not own the device.
bool fileAttachDevice(FileDevice* device, const wchar_t* name, uint32_t priority);
bool fileDetachDevice(const wchar_t* name);

// mode: FILE_MODE_READ .. FILE_MODE_WRITE_NEW.
File* fileOpen(const wchar_t* path, uint32_t mode);
Directory* fileOpenDirectory(const wchar_t* path);
DirObserverHandle* fileOpenWatchHandle(const wchar_t* path, DirObserver* observer, bool recursive);
// A null info makes it an existence test.
bool fileGetAttributes(const wchar_t* path, FileInfo* info);
bool fileIsDirectory(const wchar_t* path);
bool fileClose(File* file);
bool fileCloseDirectory(Directory* directory);
bool fileCloseWatchHandle(DirObserverHandle* handle);

bool fileDelete(const wchar_t* path);
bool fileRemoveDirectory(const wchar_t* path);
bool fileCreateDirectory(const wchar_t* path);
// Creates every missing directory of path, the last component included.
bool fileCreateDirectories(const wchar_t* path);
bool fileMakeWritable(const wchar_t* path);
bool fileSetAttributes(const wchar_t* path, const FileAttributeChange& change);
bool fileGetFullPath(const wchar_t* path, WorkString& out);
// Within one device (and one drive); across devices it fails with
// 0x20001009 (file) or 0x2000100A (directory) and the caller copies instead.
bool fileMove(const wchar_t* source, const wchar_t* destination);
// fileMove's same-device test alone: false with its error when a move would have to copy.
bool fileCanMove(const wchar_t* source, const wchar_t* destination);
// As fileMove for a file, replacing the destination when it exists (a read-only
// destination refuses). The memory device supports this but no plain move.
bool fileReplace(const wchar_t* source, const wchar_t* destination);

// base + "-" + process id + "-" + a process-wide counter.
bool fileMakeUniqueName(const wchar_t* base, WorkString& out);
// Opens path as a new file; when it exists, tries name_1.ext .. name_98.ext.
File* fileCreateUnique(const wchar_t* path);

// Hash of the full path (case-insensitive unless the device says otherwise); the full
// path goes to out when given. 0xFFFFFFFF on failure.
uint32_t fileGetPathHash(const wchar_t* path, WorkString* out);
uint64_t fileGetPathHash64(const wchar_t* path, WorkString* out);
bool filePathsEqual(const wchar_t* a, const wchar_t* b);
bool filePathStartsWith(const wchar_t* path, const wchar_t* prefix);

} // namespace zem
