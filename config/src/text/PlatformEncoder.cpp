#include "PlatformEncoder.h"

#include "zem/base/Error.h"

namespace corvel {

namespace {

const size_t INITIAL_BYTES = 3 * 1024 * 1024;

bool failWith(uint32_t code) {
    zem::setError(code != 0 ? code : ERROR_INVALID_DATA);
    return false;
}

} // namespace

PlatformEncoder::PlatformEncoder(UINT codePage) : m_codePage(codePage), m_bytes(INITIAL_BYTES) {}

int PlatformEncoder::convert(const wchar_t* units, size_t count, char* out, int room, BOOL* usedDefault) {
    // UTF-8 refuses the best-fit flags; a system code page takes them, so that a character
    // it cannot hold is reported instead of silently becoming a look-alike or "?".
    const bool utf8 = m_codePage == CP_UTF8;
    return WideCharToMultiByte(m_codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, units, static_cast<int>(count), out, room,
                               nullptr, utf8 ? nullptr : usedDefault);
}

bool PlatformEncoder::encode(const wchar_t* units, size_t count, ByteSink& sink) {
    if (count == 0)
        return true;
    BOOL usedDefault = FALSE;
    int written = convert(units, count, m_bytes.data(), static_cast<int>(m_bytes.size()), &usedDefault);
    if (written == 0) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return failWith(GetLastError());
        const int needed = convert(units, count, nullptr, 0, nullptr);
        if (needed <= 0)
            return failWith(GetLastError());
        m_bytes.assign(static_cast<size_t>(needed) + 1024, 0);
        written = convert(units, count, m_bytes.data(), static_cast<int>(m_bytes.size()), &usedDefault);
        if (written == 0)
            return failWith(GetLastError());
    }
    if (usedDefault)
        return failWith(ERROR_NO_UNICODE_TRANSLATION);
    return sink.writeBytes(m_bytes.data(), static_cast<size_t>(written));
}

} // namespace corvel
