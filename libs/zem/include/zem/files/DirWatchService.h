// What the disk device needs from the process-wide watch pool that turns native directory
// watches into change events. The watch pool implements these; the disk device holds one
// reference on the pool for as long as it exists.
#pragma once
#include "zem/files/File.h"

#include <cstdint>

namespace zem {

class WatchPool;

// A reference on the pool, creating it on first use.
WatchPool* watchPoolAcquire();
// Gives back a reference taken with watchPoolAcquire; the last one deletes the pool.
void watchPoolRelease(WatchPool* pool);
// nativePath ends in '\'. Null on failure, with the Win32 error left in GetLastError.
DirObserverHandle* watchPoolOpenHandle(WatchPool* pool, const wchar_t* nativePath, const wchar_t* virtualPath,
                                       DirObserver* observer, bool recursive, uintptr_t userValue);
bool watchPoolCloseHandle(WatchPool* pool, DirObserverHandle* handle);

} // namespace zem
