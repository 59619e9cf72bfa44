// The base library's scanner, plus the one-call read of the first capture group that
// the product's tokenizers (font lists, for one) use after each scan.
#pragma once
#include "zem/text/StringScanner.h"

#include <string>

namespace corvel {

class StringScanner : public zem::StringScanner {
public:
    using zem::StringScanner::StringScanner;
    using zem::StringScanner::getGroup;

    // out is cleared; false when the last scan failed or fewer than two groups matched,
    // else true with the text of group 1 (empty when group 1 is empty or took no part).
    bool getGroup(std::wstring& out) const;
};

} // namespace corvel
