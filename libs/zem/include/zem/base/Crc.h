// CRC-32 (zlib's) and CRC-64 (ECMA-182) over bytes and UTF-16 text. Symbol ids, path keys
// and device keys are stored and compared as these fixed values.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zem {

uint32_t crc32(size_t length, const void* bytes);
// Each UTF-16 unit feeds its low byte, then its high byte.
uint32_t crc32String(const wchar_t* text);
uint32_t crc32Chars(size_t count, const wchar_t* chars);
// Continues a finished crc32Chars over more units: crc32UpdateChars(crc32Chars(n, t), k, t + n)
// equals crc32Chars(n + k, t); a previous value of 0 starts afresh.
uint32_t crc32UpdateChars(uint32_t previous, size_t count, const wchar_t* chars);
// As crc32String with a-z mapped to A-Z (ASCII only).
uint32_t crc32StringNoCase(const wchar_t* text);
// Continues a finished CRC by one unit, case-folded as crc32StringNoCase.
uint32_t crc32UpdateNoCase(uint32_t previous, wchar_t unit);
// Continues a finished CRC over the low byte of each unit.
uint32_t crc32UpdateLowBytes(uint32_t previous, const wchar_t* text);

// The 32-bit id of a name: the CRC-32 of its characters taken as single bytes.
inline uint32_t symbolId(const wchar_t* name) { return crc32UpdateLowBytes(0, name); }

uint64_t crc64String(const wchar_t* text);
uint64_t crc64StringNoCase(const wchar_t* text);
uint64_t crc64UpdateChar(uint64_t previous, wchar_t unit);

} // namespace zem
