// The minimal byte stream that the undo journal's records and the cache readers go
// through. Both directions report how many bytes they moved, so a short write shows.
#pragma once
#include <cstdint>

namespace corvel {

class Stream {
public:
    // Returns the bytes written; fewer than size means the stream could not take them.
    virtual uint32_t write(const void* buffer, uint32_t size) = 0;
    // Returns the bytes read; fewer than size means the end (or a failure) was reached.
    virtual uint32_t read(void* buffer, uint32_t size) = 0;
    virtual ~Stream() = default;
};

} // namespace corvel
