// One insertion into or removal from a document, as listeners and the undo journal see it.
#pragma once
#include <cstdint>

namespace corvel {

struct TextChange {
    uint8_t flag = 0; // given by the caller of the edit
    int32_t offset = 0;
    int32_t count = 0;             // UTF-16 units
    const wchar_t* text = nullptr; // the inserted units, or the removed ones
    int32_t line = 0;              // the line holding the offset
    // Insertion: the number of LFs in the text. Removal: the number of lines joined.
    int32_t lineBreaks = 0;
    // Insertion only: offsets relative to `offset` just past each LF of the text.
    const int32_t* breakOffsets = nullptr;
};

} // namespace corvel
