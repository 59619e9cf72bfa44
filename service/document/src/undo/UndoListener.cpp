#include "corvel/document/UndoListener.h"

#include "corvel/document/UndoContext.h"
#include "zem/base/Format.h"

#include <cstdint>

namespace corvel {

namespace {

constexpr uint32_t DUMP_LIMIT = 256;

// Lines of 16 bytes: label and offset, four groups of four, then the bytes as characters.
void appendHexLines(const uint8_t* bytes, uint32_t size, const wchar_t* label, std::wstring& out) {
    for (uint32_t line = 0; line < size; line += 16) {
        out += zem::format(L"%s%04X:", label ? label : L"", line);
        for (uint32_t group = 0; group < 4; ++group) {
            for (uint32_t i = 0; i < 4; ++i) {
                uint32_t at = line + group * 4 + i;
                out += at < size ? zem::format(L" %02X", bytes[at]) : std::wstring(L"   ");
            }
            out += L'|';
        }
        out += L"  ";
        for (uint32_t at = line; at < line + 16 && at < size; ++at)
            out += bytes[at] < 32 || bytes[at] >= 128 ? L'.' : static_cast<wchar_t>(bytes[at]);
        out += L'\n';
    }
}

} // namespace

void UndoListener::dump(UndoContext& context, const wchar_t* label, std::wstring& out) {
    // The payload area is all the journal knows of a payload's size.
    uint32_t area = context.cursor() ? context.cursor()->remaining() : 0;
    uint8_t bytes[DUMP_LIMIT];
    uint32_t got = context.read(bytes, DUMP_LIMIT);
    appendHexLines(bytes, got, label, out);
    if (area > DUMP_LIMIT) {
        out += label ? label : L"";
        out += L" ...etc\n";
    }
}

} // namespace corvel
