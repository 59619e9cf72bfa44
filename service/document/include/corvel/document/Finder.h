// What find and replace search a document with: a literal finder or a regular-expression
// finder, interchangeable behind one call.
#pragma once
#include "zem/text/MatchResults.h"

#include <cstdint>

namespace corvel {

class Document;

class Finder {
public:
    virtual ~Finder() = default;
    // Forward: the first match in [lower, upper), searching from lower. Backward: the
    // match nearest before upper, ending at or before it, not starting before lower.
    // Offsets are document offsets, both already within [0, document length]. The
    // results belong to the finder and last until its next search.
    virtual const zem::MatchResults& find(const Document& document, int32_t lower, int32_t upper, bool backward) = 0;
};

} // namespace corvel
