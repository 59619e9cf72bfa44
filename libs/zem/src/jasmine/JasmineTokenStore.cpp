#include "zem/jasmine/JasmineTokenStore.h"

#include "zem/base/Assert.h"
#include "zem/base/Exception.h"
#include "zem/base/Format.h"

#include <cstring>

namespace zem {

JasmineTokenStore::JasmineTokenStore() = default;
JasmineTokenStore::~JasmineTokenStore() = default;

const wchar_t* JasmineTokenStore::storeText(const wchar_t* text, int32_t length) {
    // Length prefix (two units), the text and its terminating NUL.
    size_t needed = static_cast<size_t>(length) + 3;
    if (m_chunks.empty() || m_chunkCapacity - m_chunkUsed < needed) {
        size_t capacity = needed > ARENA_CHUNK ? needed : ARENA_CHUNK;
        m_chunks.emplace_back(new wchar_t[capacity]);
        m_chunkCapacity = capacity;
        m_chunkUsed = 0;
    }
    wchar_t* slot = m_chunks.back().get() + m_chunkUsed;
    uint32_t units = static_cast<uint32_t>(length);
    slot[0] = static_cast<wchar_t>(units & 0xFFFF);
    slot[1] = static_cast<wchar_t>(units >> 16);
    wchar_t* copy = slot + 2;
    if (length > 0)
        std::memcpy(copy, text, static_cast<size_t>(length) * sizeof(wchar_t));
    copy[length] = 0;
    m_chunkUsed += needed;
    return copy;
}

void JasmineTokenStore::addToken(const JasmineToken& token) {
    if (static_cast<size_t>(m_count / BLOCK_SIZE) == m_blocks.size())
        m_blocks.emplace_back(new JasmineToken[BLOCK_SIZE]);
    JasmineToken& record = m_blocks[m_count / BLOCK_SIZE][m_count % BLOCK_SIZE];
    record = token;
    int32_t length = token.length();
    ZEM_ASSERT_MSG(length >= 0, L"token end before its begin");
    record.text = storeText(token.text, length);
    ++m_count;
}

const JasmineToken& JasmineTokenStore::getToken(int32_t index) const {
    if (index < 0 || index >= m_count)
        throw IndexOutOfBoundsException(
            format(L"JasmineTokenStore::getToken(): Token index %d is out of range (%d tokens).", index, m_count));
    return m_blocks[index / BLOCK_SIZE][index % BLOCK_SIZE];
}

void JasmineTokenStore::appendText(int32_t first, int32_t last, std::wstring& out) const {
    if (first > last)
        return;
    // Check both ends before writing, so a bad range leaves out untouched.
    getToken(first);
    getToken(last);
    for (int32_t i = first; i <= last; ++i) {
        const JasmineToken& token = getToken(i);
        out.append(token.text, static_cast<size_t>(token.length()));
    }
}

void JasmineTokenStore::clear() {
    m_blocks.clear();
    m_count = 0;
    m_chunks.clear();
    m_chunkUsed = 0;
    m_chunkCapacity = 0;
}

} // namespace zem
