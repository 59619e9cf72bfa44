#include "corvel/bundles/BundleEntryLocation.h"

#include <cstdint>
#include <windows.h>

namespace corvel {

namespace {

// 64-bit FNV-1a over the code units; two different offsets give the UUID's 128 bits.
uint64_t hashText(const std::wstring& text, uint64_t offset) {
    uint64_t hash = offset;
    for (wchar_t unit : text) {
        hash ^= static_cast<uint16_t>(unit) & 0xFF;
        hash *= 0x100000001b3ull;
        hash ^= static_cast<uint16_t>(unit) >> 8;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// The low digits hexadecimal digits of value.
void appendHex(std::wstring& out, uint64_t value, int digits) {
    static const wchar_t HEX[] = L"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += HEX[(value >> shift) & 0xF];
}

// A UUID made from a name: version 8 (custom), the RFC variant.
zem::Uuid uuidFromName(const std::wstring& name) {
    uint64_t high = hashText(name, 0xcbf29ce484222325ull);
    uint64_t low = hashText(name, 0x84222325cbf29ce4ull);
    high = (high & ~0xF000ull) | 0x8000ull;
    low = (low & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;
    std::wstring text;
    appendHex(text, high >> 32, 8);
    text += L'-';
    appendHex(text, high >> 16, 4);
    text += L'-';
    appendHex(text, high, 4);
    text += L'-';
    appendHex(text, low >> 48, 4);
    text += L'-';
    appendHex(text, low, 12);
    zem::Uuid uuid;
    uuid.fromString(text);
    return uuid;
}

std::wstring lowerCase(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

zem::Uuid entryUuidFor(const BundleEntryLocation& location, bool isBundle) {
    const EntryFileName& part = isBundle ? location.bundle : location.item;
    if (!part.uuid.isNil())
        return part.uuid;
    BundleEntryLocation named = location;
    named.root = ENTRY_ROOT_UNSET;
    if (isBundle) {
        named.kindFolder.clear();
        named.item = EntryFileName();
    }
    return uuidFromName(lowerCase(named.toString()));
}

} // namespace corvel
