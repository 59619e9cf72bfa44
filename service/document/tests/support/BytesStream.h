// A corvel::Stream over a byte vector: what is written is read back in order.
#pragma once
#include "corvel/config/Stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace documenttest {

class BytesStream : public corvel::Stream {
public:
    uint32_t write(const void* buffer, uint32_t size) override {
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        data.insert(data.end(), bytes, bytes + size);
        return size;
    }
    uint32_t read(void* buffer, uint32_t size) override {
        const uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(data.size() - at));
        std::memcpy(buffer, data.data() + at, n);
        at += n;
        return n;
    }

    std::vector<uint8_t> data;
    size_t at = 0;
};

} // namespace documenttest
