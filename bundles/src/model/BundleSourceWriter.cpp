#include "corvel/bundles/BundleSource.h"

#include "zem/base/Error.h"
#include "zem/base/Exception.h"
#include "zem/files/SafeSave.h"

#include <cstdint>

namespace corvel {

void writeEntryFile(const std::wstring& path, const std::wstring& text) {
    static const uint8_t MARK[2] = {0xFF, 0xFE};
    uint32_t bytes = static_cast<uint32_t>(text.size() * sizeof(wchar_t));
    bool saved = zem::fileSaveReplacing(path.c_str(), [&](zem::File& file) {
        // The text goes only behind a whole mark; every count is checked.
        if (file.write(MARK, sizeof(MARK)) != sizeof(MARK))
            return false;
        return bytes == 0 || file.write(text.data(), bytes) == bytes;
    });
    if (!saved)
        throw zem::FileException(zem::lastErrorMessage());
}

} // namespace corvel
