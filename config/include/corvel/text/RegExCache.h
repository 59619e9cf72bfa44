// Compiled patterns shared by their text and options. A grammar's expressions are compiled
// by its validation and again by the grammar compiler, and copies of one grammar hold the
// same texts: each is compiled once while the cache or a holder keeps it. A compiled
// pattern is only read while matching, so any thread may use it.
#pragma once
#include "corvel/text/RegEx.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvel {

class RegExCache {
public:
    // The compiled pattern for the text and options, compiled now when not held yet;
    // always a handle (one that did not compile keeps its error). Any thread.
    static RegExPtr get(const std::wstring& pattern, uint32_t options, uint8_t globalFlag = 0);
    // Lets go of the patterns that nothing but the cache holds; returns how many are left.
    static size_t prune();
};

} // namespace corvel
