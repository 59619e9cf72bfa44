#include "zem/base/Uuid.h"

#include "zem/base/Exception.h"

#include <windows.h>

#include <rpc.h>

#include <cstring>

namespace zem {

namespace {

static_assert(sizeof(UUID) == 16, "the GUID layout is 16 bytes");

// Frees the text the run-time hands out, also when the caller's copy throws.
class RpcString {
public:
    RpcString() = default;
    RpcString(const RpcString&) = delete;
    RpcString& operator=(const RpcString&) = delete;
    ~RpcString() {
        if (m_text)
            RpcStringFreeW(&m_text);
    }
    RPC_WSTR* address() { return &m_text; }
    const wchar_t* text() const { return reinterpret_cast<const wchar_t*>(m_text); }

private:
    RPC_WSTR m_text = nullptr;
};

} // namespace

Uuid::Uuid() {
    std::memset(m_bytes, 0, sizeof(m_bytes));
}

void Uuid::create() {
    UUID value;
    if (UuidCreate(&value) != RPC_S_OK)
        throw SystemException(L"::UuidCraete failed");
    std::memcpy(m_bytes, &value, sizeof(m_bytes));
}

bool Uuid::fromString(const wchar_t* text) {
    if (!text)
        throw NullPointerException(L"Null reference.");
    UUID value;
    // The run-time reads an empty text as the nil UUID; only the full form is a UUID.
    const bool parsed =
        *text != 0 && UuidFromStringW(reinterpret_cast<RPC_WSTR>(const_cast<wchar_t*>(text)), &value) == RPC_S_OK;
    if (!parsed)
        UuidCreateNil(&value);
    std::memcpy(m_bytes, &value, sizeof(m_bytes));
    return parsed;
}

std::wstring Uuid::toString() const {
    UUID value;
    std::memcpy(&value, m_bytes, sizeof(value));
    RpcString text;
    if (UuidToStringW(&value, text.address()) != RPC_S_OK || !text.text())
        throw SystemException(L"::UuidToString failed.");
    return std::wstring(text.text());
}

void Uuid::assign(const Uuid& other) {
    std::memcpy(m_bytes, other.m_bytes, sizeof(m_bytes));
}

bool Uuid::isNil() const {
    return compare(*this, Uuid()) == 0;
}

int Uuid::compare(const Uuid& a, const Uuid& b) {
    return std::memcmp(a.m_bytes, b.m_bytes, sizeof(a.m_bytes));
}

} // namespace zem
