#include "zem/text/TextEncoding.h"

#include "zem/base/Assert.h"
#include "zem/text/StringUtil.h"

#include <unicode/ucnv.h>

namespace zem {

namespace {

const uint8_t PREAMBLE_UTF8[] = {0xEF, 0xBB, 0xBF};
const uint8_t PREAMBLE_UTF16BE[] = {0xFE, 0xFF};
const uint8_t PREAMBLE_UTF16LE[] = {0xFF, 0xFE};
const uint8_t PREAMBLE_UTF32BE[] = {0x00, 0x00, 0xFE, 0xFF};
const uint8_t PREAMBLE_UTF32LE[] = {0xFF, 0xFE, 0x00, 0x00};

struct Preamble {
    const uint8_t* bytes;
    size_t length;
};

// The converters without a fixed byte order read and write little-endian here.
Preamble preambleForType(UConverterType type) {
    switch (type) {
    case UCNV_UTF8:
        return {PREAMBLE_UTF8, sizeof(PREAMBLE_UTF8)};
    case UCNV_UTF16_BigEndian:
        return {PREAMBLE_UTF16BE, sizeof(PREAMBLE_UTF16BE)};
    case UCNV_UTF16_LittleEndian:
    case UCNV_UTF16:
        return {PREAMBLE_UTF16LE, sizeof(PREAMBLE_UTF16LE)};
    case UCNV_UTF32_BigEndian:
        return {PREAMBLE_UTF32BE, sizeof(PREAMBLE_UTF32BE)};
    case UCNV_UTF32_LittleEndian:
    case UCNV_UTF32:
        return {PREAMBLE_UTF32LE, sizeof(PREAMBLE_UTF32LE)};
    default:
        return {nullptr, 0};
    }
}

} // namespace

TextEncodingPtr TextEncoding::forName(const std::wstring& name) {
    return forName(name.c_str());
}

TextEncodingPtr TextEncoding::forName(const wchar_t* name) {
    // An empty name would open the platform's default converter, which is not what
    // any caller names.
    if (!name || !*name)
        return TextEncodingPtr();
    // ICU drops what is not plain ASCII from a name and would open the converter named
    // by the rest ("UTF-8\u00E9" as UTF-8).
    for (const wchar_t* c = name; *c; ++c) {
        if (*c < 0x20 || *c > 0x7E)
            return TextEncodingPtr();
    }
    static_assert(sizeof(wchar_t) == sizeof(UChar), "UTF-16 wide strings");
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_openU(reinterpret_cast<const UChar*>(name), &status);
    if (U_FAILURE(status) || !converter) {
        if (converter)
            ucnv_close(converter);
        return TextEncodingPtr();
    }
    const Preamble preamble = preambleForType(ucnv_getType(converter));
    if (preamble.bytes)
        return std::make_shared<PreambleTextEncoding>(converter, preamble.bytes, preamble.length);
    return TextEncodingPtr(new TextEncoding(converter));
}

TextEncoding::TextEncoding(UConverter* converter) : m_converter(converter) {
    ZEM_ASSERT(converter != nullptr);
}

TextEncoding::~TextEncoding() {
    ucnv_close(m_converter);
}

const uint8_t* TextEncoding::getPreamble(size_t* length) const {
    if (length)
        *length = 0;
    return nullptr;
}

std::wstring TextEncoding::getName() const {
    UErrorCode status = U_ZERO_ERROR;
    const char* name = ucnv_getName(m_converter, &status);
    std::wstring out;
    if (U_SUCCESS(status))
        appendAscii(name, out);
    return out;
}

int TextEncoding::getMinCharSize() const {
    return ucnv_getMinCharSize(m_converter);
}

int TextEncoding::getMaxCharSize() const {
    return ucnv_getMaxCharSize(m_converter);
}

PreambleTextEncoding::PreambleTextEncoding(UConverter* converter, const uint8_t* preamble, size_t length)
    : TextEncoding(converter), m_preamble(preamble), m_preambleLength(length) {}

const uint8_t* PreambleTextEncoding::getPreamble(size_t* length) const {
    if (length)
        *length = m_preambleLength;
    return m_preamble;
}

} // namespace zem
