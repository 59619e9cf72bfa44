// Reader settings shared by the JSON tests.
#pragma once
#include "zem/json/JsonReader.h"

namespace zemtest {

// Every relaxation of the reader switched on, or all of them off (the strict defaults).
inline zem::JsonReaderSettings jsonSettings(bool relaxed) {
    zem::JsonReaderSettings settings;
    settings.allowTrailingComma = relaxed;
    settings.allowMissingComma = relaxed;
    settings.allowRegExp = relaxed;
    settings.allowSymbols = relaxed;
    settings.allowSingleQuoted = relaxed;
    return settings;
}

} // namespace zemtest
