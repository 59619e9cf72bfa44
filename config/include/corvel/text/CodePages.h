// The seven code pages a document can be stored in, and their display and setting names.
// The high bit marks the engine's own variants; the low 16 bits go to the platform converter.
#pragma once
#include <cstdint>

namespace corvel {

enum CodePage : uint32_t {
    CP_ANSI = 0,
    CP_UTF8_MARK = 65001,
    CP_UTF8_PLAIN = 0x8000FDE9,
    CP_UTF16_LE = 1200,
    CP_UTF16_BE = 1201,
    CP_UTF32_LE = 0x800004B0,
    CP_UTF32_BE = 0x800004B1,
};

// Line endings, numbered the same everywhere: in a document's state, in the loader's
// break kinds and in the saver's line-break bytes.
enum LineEnding : int32_t {
    LINE_ENDING_CRLF = 0,
    LINE_ENDING_LF = 1,
    LINE_ENDING_CR = 2,
};

// "ANSI", "UTF-8", "UTF-8 Plain", ...; "Unknown" for a code page not in the table.
const wchar_t* getEncodingDisplayName(uint32_t codePage);
// Case-insensitive; a null, empty or unknown name gives CP_UTF8_PLAIN.
uint32_t encodingFromSettingName(const wchar_t* name);
// "UTF-8-PLAIN" for a code page not in the table.
const wchar_t* encodingSettingName(uint32_t codePage);

} // namespace corvel
