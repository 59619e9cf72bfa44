// Whole Jasmine documents between files and memory: configuration, project and preset
// files reach the disk only through here. Files are written as UTF-16LE with a mark and
// replace the old file only once the new one is complete.
#pragma once
#include "corvel/jasmine/JasmineValue.h"

#include <cstdint>
#include <string>

namespace corvel {

class JasmineLoader {
public:
    // Reads, decodes (mark, else UTF-8, else ANSI; breaks to LF) and parses the file into
    // target. A missing, empty, unreadable or undecodable file is logged and gives false;
    // a syntax error throws corvel::ParserException (the file is closed by then).
    static bool load(const wchar_t* fileName, JasmineValue& target);
    // Writes value as a document. False, logged, for an empty name, a key that would not
    // read back, or a failed write, which leaves the old file as it was.
    static bool save(const wchar_t* fileName, const JasmineValue& value);

    // The byte-order mark and text as UTF-16LE, through a temporary file that then replaces
    // fileName. No logging: each caller reports in its own words.
    static bool writeDocument(const wchar_t* fileName, const std::wstring& text);

    // The log source "JasmineLoader".
    static uint32_t logSource();
};

} // namespace corvel
