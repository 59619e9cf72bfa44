#include "corvel/text/Utf8Text.h"

namespace corvel {

namespace {

bool isContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence a lead byte starts, 0 for a byte no well-formed sequence
// starts with (continuations, the overlong leads C0 and C1, and F5 and above).
size_t sequenceLength(uint8_t lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The second byte is where overlongs, surrogates and values past U+10FFFF show.
bool secondByteFits(uint8_t lead, uint8_t second) {
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return isContinuation(second);
    }
}

// Checks the bytes of one sequence that are present; `available` may be short of `length`.
bool sequenceBytesFit(const uint8_t* sequence, size_t available) {
    if (available >= 2 && !secondByteFits(sequence[0], sequence[1]))
        return false;
    for (size_t i = 2; i < available; ++i) {
        if (!isContinuation(sequence[i]))
            return false;
    }
    return true;
}

} // namespace

bool isUtf8Text(const uint8_t* bytes, size_t count) {
    bool sawMultiByte = false;
    size_t pos = 0;
    while (pos < count) {
        const uint8_t lead = bytes[pos];
        if (lead == 0)
            return false;
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        const size_t length = sequenceLength(lead);
        if (length == 0)
            return false;
        const size_t available = count - pos < length ? count - pos : length;
        for (size_t i = 1; i < available; ++i) {
            if (bytes[pos + i] == 0)
                return false;
        }
        if (!sequenceBytesFit(bytes + pos, available))
            return false;
        if (available < length)
            return sawMultiByte;
        sawMultiByte = true;
        pos += length;
    }
    return sawMultiByte;
}

} // namespace corvel
