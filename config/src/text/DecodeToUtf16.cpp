#include "corvel/text/DecodeToUtf16.h"

#include "corvel/text/CodePages.h"
#include "corvel/text/Utf8Decoder.h"

#include <windows.h>

namespace corvel {

namespace {

const wchar_t REPLACEMENT = 0xFFFD;

// Where one conversion stands: bytes read, units written, and their limits.
struct DecodeRun {
    wchar_t* destination;
    const uint8_t* source;
    size_t byteCount;
    size_t unitRoom;
    size_t pos = 0;   // bytes consumed, pos <= byteCount
    size_t units = 0; // units written, units <= unitRoom

    size_t roomLeft() const { return unitRoom - units; }
    size_t bytesLeft() const { return byteCount - pos; }
    void put(wchar_t unit) { destination[units++] = unit; }
};

// Writes one code point; false when a surrogate pair does not fit (nothing written).
// Surrogate values and values past U+10FFFF become U+FFFD.
bool putCodePoint(DecodeRun& run, uint32_t value) {
    if (value >= 0x10000 && value < 0x110000) {
        if (run.roomLeft() < 2)
            return false;
        run.put(static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10)));
        run.put(static_cast<wchar_t>(0xDC00 | (value & 0x3FF)));
        return true;
    }
    const bool unpaired = value >= 0xD800 && value <= 0xDFFF;
    run.put(unpaired || value >= 0x110000 ? REPLACEMENT : static_cast<wchar_t>(value));
    return true;
}

// An incomplete tail: stays for the next chunk, or with `final` gives one U+FFFD.
void finishTail(DecodeRun& run, bool final) {
    if (!final || run.bytesLeft() == 0 || run.roomLeft() == 0)
        return;
    run.put(REPLACEMENT);
    run.pos = run.byteCount;
}

// The units of one conversion into the caller's buffer.
struct BufferSink {
    DecodeRun& run;
    size_t roomLeft() const { return run.roomLeft(); }
    void put(wchar_t unit) { run.put(unit); }
};

void decodeUtf8Run(DecodeRun& run, bool final) {
    BufferSink sink{run};
    run.pos += decodeUtf8(run.source + run.pos, run.bytesLeft(), sink, final);
}

void decodeUtf16(DecodeRun& run, bool bigEndian, bool final) {
    size_t count = run.bytesLeft() / 2;
    if (count > run.roomLeft())
        count = run.roomLeft();
    const uint8_t* bytes = run.source + run.pos;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t first = bytes[2 * i];
        const uint8_t second = bytes[2 * i + 1];
        run.put(static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    run.pos += 2 * count;
    if (run.bytesLeft() == 1)
        finishTail(run, final);
}

void decodeUtf32(DecodeRun& run, bool bigEndian, bool final) {
    while (run.bytesLeft() >= 4 && run.roomLeft() > 0) {
        const uint8_t* b = run.source + run.pos;
        const uint32_t value = bigEndian ? (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (b[2] << 8) | b[3]
                                         : (uint32_t(b[3]) << 24) | (uint32_t(b[2]) << 16) | (b[1] << 8) | b[0];
        if (!putCodePoint(run, value))
            return;
        run.pos += 4;
    }
    if (run.bytesLeft() < 4)
        finishTail(run, final);
}

// The number of bytes from the start that end on a character boundary: a double-byte
// lead in the last place is left out, for the next chunk to complete.
size_t wholeCharacterBytes(UINT codePage, const uint8_t* bytes, size_t count) {
    CPINFO info;
    if (!GetCPInfo(codePage, &info) || info.MaxCharSize != 2)
        return count;
    bool isLead[256] = {};
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b)
            isLead[b] = true;
    }
    size_t pos = 0;
    while (pos < count) {
        if (!isLead[bytes[pos]]) {
            ++pos;
            continue;
        }
        if (pos + 1 == count)
            return pos;
        pos += 2;
    }
    return count;
}

void decodeWithPlatform(DecodeRun& run, uint32_t codePage, bool final) {
    const UINT platformCodePage = codePage & 0xFFFF;
    size_t count = run.bytesLeft();
    // Each byte gives at most one unit in the single- and double-byte code pages.
    if (count > run.roomLeft())
        count = run.roomLeft();
    const bool cutTail = count < run.bytesLeft() || !final;
    if (cutTail)
        count = wholeCharacterBytes(platformCodePage, run.source + run.pos, count);
    if (count == 0)
        return;
    const int written =
        MultiByteToWideChar(platformCodePage, 0, reinterpret_cast<const char*>(run.source + run.pos),
                            static_cast<int>(count), run.destination + run.units, static_cast<int>(run.roomLeft()));
    run.units += written > 0 ? static_cast<size_t>(written) : 0;
    run.pos += count;
}

} // namespace

void decodeToUtf16(wchar_t* destination, const uint8_t* source, size_t& byteCount, uint32_t codePage, size_t& unitCount,
                   bool final) {
    DecodeRun run{destination, source, byteCount, unitCount};
    switch (codePage) {
    case CP_UTF8_MARK:
    case CP_UTF8_PLAIN:
        decodeUtf8Run(run, final);
        break;
    case CP_UTF16_LE:
    case CP_UTF16_BE:
        decodeUtf16(run, codePage == CP_UTF16_BE, final);
        break;
    case CP_UTF32_LE:
    case CP_UTF32_BE:
        decodeUtf32(run, codePage == CP_UTF32_BE, final);
        break;
    default:
        decodeWithPlatform(run, codePage, final);
        break;
    }
    byteCount = run.pos;
    unitCount = run.units;
}

} // namespace corvel
