// Turns runs of a document's UTF-16 units into file bytes in its code page, for saving.
// One encoder serves one save; it hands its bytes to a sink (the open file).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace corvel {

class ByteSink {
public:
    // False when fewer bytes were taken than offered; the sink leaves a non-zero code
    // in the thread's error record.
    virtual bool writeBytes(const void* bytes, size_t count) = 0;

protected:
    ~ByteSink() = default;
};

class TextEncoder {
public:
    // The encoder of a document code page; every code page not saved as UTF-16 or
    // UTF-32 goes through the platform converter with its low 16 bits.
    static std::unique_ptr<TextEncoder> forCodePage(uint32_t codePage);

    virtual ~TextEncoder() = default;

    // False when the sink took less or the text cannot be converted; the thread's error
    // record then holds the reason. A run should not end between the two halves of a
    // surrogate pair: a lone half is written as U+FFFD where the code page cannot hold it.
    virtual bool encode(const wchar_t* units, size_t count, ByteSink& sink) = 0;
};

// The bytes written for each line break: line ending 0 CR LF, 1 LF, anything else CR,
// each unit in the code page's width and byte order.
struct LineBreakBytes {
    uint8_t bytes[8];
    size_t length;
};

LineBreakBytes lineBreakBytes(uint32_t codePage, int32_t lineEnding);

} // namespace corvel
