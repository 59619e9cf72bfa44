#include "corvel/document/LineHeader.h"

#include <cstdlib>

namespace corvel {

uint8_t* allocateParserBlock(size_t bytes) {
    return static_cast<uint8_t*>(std::malloc(bytes));
}

void freeParserBlock(uint8_t* block) {
    std::free(block);
}

void LineHeader::clear() {
    freeParserBlock(parserBlock);
    parserBlock = nullptr;
    delete markers;
    markers = nullptr;
    flags = 0;
}

} // namespace corvel
