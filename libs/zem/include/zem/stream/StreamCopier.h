// Copies one byte stream into another.
#pragma once
#include <cstdint>
#include <istream>
#include <ostream>

namespace zem {

// Copies until the source ends or either stream fails, 8192 bytes at a time; returns the
// number of bytes copied.
uint64_t copyStream(std::istream& from, std::ostream& to);

} // namespace zem
