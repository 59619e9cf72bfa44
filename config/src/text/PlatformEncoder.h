// Writes UTF-16 text through the platform's converter: UTF-8 or a code page of the system.
#pragma once
#include "corvel/text/TextEncoder.h"

#include <windows.h>

#include <vector>

namespace corvel {

class PlatformEncoder : public TextEncoder {
public:
    explicit PlatformEncoder(UINT codePage);
    bool encode(const wchar_t* units, size_t count, ByteSink& sink) override;

private:
    int convert(const wchar_t* units, size_t count, char* out, int room, BOOL* usedDefault);

    UINT m_codePage;
    std::vector<char> m_bytes; // 3 MiB, replaced by a larger one when a run needs it
};

} // namespace corvel
