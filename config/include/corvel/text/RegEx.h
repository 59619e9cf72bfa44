// The product's regular expressions are the base library's: one wrapper over the engine,
// one results interface. Pattern literals as grammar and bundle data store them carry
// their options as letters, which parseRegExOptions turns into engine bits.
#pragma once
#include "zem/text/MatchResults.h"
#include "zem/text/RegEx.h"

#include <cstdint>

namespace corvel {

using RegEx = zem::RegEx;
using RegExPtr = zem::RegExPtr;
using MatchResults = zem::MatchResults;
using MatchResultsRegEx = zem::MatchResultsRegEx;

struct RegExOptions {
    uint32_t bits = zem::REGEX_CAPTURE_GROUP;
    uint8_t globalFlag = 0;
};

// "i" ignore case, "x" extended, "m" dot matches a line feed, "g" global; other letters
// are ignored, and a null text gives the defaults (capture groups on, not global).
RegExOptions parseRegExOptions(const wchar_t* text);

} // namespace corvel
