#include "corvel/text/TextEncoder.h"

#include "PlatformEncoder.h"
#include "UnicodeEncoder.h"
#include "corvel/text/CodePages.h"

namespace corvel {

std::unique_ptr<TextEncoder> TextEncoder::forCodePage(uint32_t codePage) {
    switch (codePage) {
    case CP_UTF16_LE:
        return std::make_unique<UnicodeEncoder>(2, false);
    case CP_UTF16_BE:
        return std::make_unique<UnicodeEncoder>(2, true);
    case CP_UTF32_LE:
        return std::make_unique<UnicodeEncoder>(4, false);
    case CP_UTF32_BE:
        return std::make_unique<UnicodeEncoder>(4, true);
    default:
        return std::make_unique<PlatformEncoder>(codePage & 0xFFFF);
    }
}

LineBreakBytes lineBreakBytes(uint32_t codePage, int32_t lineEnding) {
    size_t unitBytes = 1;
    bool bigEndian = false;
    switch (codePage) {
    case CP_UTF16_LE:
    case CP_UTF16_BE:
        unitBytes = 2;
        bigEndian = codePage == CP_UTF16_BE;
        break;
    case CP_UTF32_LE:
    case CP_UTF32_BE:
        unitBytes = 4;
        bigEndian = codePage == CP_UTF32_BE;
        break;
    default:
        break;
    }
    const uint8_t crlf[] = {0x0D, 0x0A};
    const uint8_t lf[] = {0x0A};
    const uint8_t cr[] = {0x0D};
    const uint8_t* breakUnits = lineEnding == LINE_ENDING_CRLF ? crlf : lineEnding == LINE_ENDING_LF ? lf : cr;
    const size_t breakCount = lineEnding == LINE_ENDING_CRLF ? 2 : 1;
    LineBreakBytes result = {{}, 0};
    for (size_t i = 0; i < breakCount; ++i) {
        for (size_t b = 0; b < unitBytes; ++b) {
            const bool low = bigEndian ? b == unitBytes - 1 : b == 0;
            result.bytes[result.length++] = low ? breakUnits[i] : 0;
        }
    }
    return result;
}

} // namespace corvel
