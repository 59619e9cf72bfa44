// What a document keeps per line beside its text: the dirty flags, the grammar parser's
// stored result (the parser block) and the line's markers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

struct LineMarker {
    int32_t kind = 0;
    int32_t value = 0;
    std::wstring text;
};

// Flag bits of a line header.
enum : uint16_t {
    LINE_DIRTY = 0x1,  // parse again; the parser clears it when it stores a result
    LINE_EDITED = 0x2, // set with LINE_DIRTY on every line an edit touches; a load clears it
};

// The start of a parser block as the document reads it; offsets count bytes from the
// start of the block. Runs are ScopeRun records in increasing column order; the saved
// end state is a sequence of 16-bit units.
struct ParserBlockHeader {
    uint32_t capacity;       // bytes
    uint32_t runsOffset;     // first run
    uint32_t endStateOffset; // just past the last run
    uint32_t endStateSize;   // bytes
};

struct ScopeRun {
    uint16_t column;
    uint16_t scope;
};

// Parser blocks are owned by their line and freed by the line index: both sides use these.
uint8_t* allocateParserBlock(size_t bytes);
void freeParserBlock(uint8_t* block);

struct LineHeader {
    uint16_t flags = 0;
    uint16_t reserved = 0;
    uint8_t* parserBlock = nullptr;             // owned; null without a stored result
    std::vector<LineMarker>* markers = nullptr; // owned; null until the line has had a marker

    // Frees the block and the markers and clears the flags, for the slot's next line.
    void clear();
    const ParserBlockHeader* blockHeader() const { return reinterpret_cast<const ParserBlockHeader*>(parserBlock); }
};

} // namespace corvel
