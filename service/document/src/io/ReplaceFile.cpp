#include "ReplaceFile.h"

#include "zem/base/Error.h"
#include "zem/files/FileIO.h"

#include <windows.h>

namespace corvel {

bool makeTemporaryNameBeside(const wchar_t* target, zem::WorkString& out) {
    zem::WorkString base(target);
    base.append(L".save");
    return zem::fileMakeUniqueName(base.c_str(), out);
}

bool replaceFileWith(const wchar_t* temporary, const wchar_t* target) {
    // The file layer's move refuses an existing destination, so the old file goes first.
    // The new content is already complete on disk beside it, under the temporary name.
    if (zem::fileGetAttributes(target, nullptr) && !zem::fileDelete(target))
        return false;
    return zem::fileMove(temporary, target);
}

} // namespace corvel
