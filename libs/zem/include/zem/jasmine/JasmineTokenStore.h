// All tokens of one Jasmine text, in order, with their own copies of the token texts.
// Values parsed through a store name their tokens by index, so an edited entry can be
// written back by copying token ranges around the user's layout and comments.
#pragma once
#include "zem/jasmine/JasmineToken.h"

#include <memory>
#include <string>
#include <vector>

namespace zem {

class JasmineTokenStore {
public:
    JasmineTokenStore();
    ~JasmineTokenStore();
    JasmineTokenStore(const JasmineTokenStore&) = delete;
    JasmineTokenStore& operator=(const JasmineTokenStore&) = delete;

    // Copies the token, text included; the stored text lives as long as the store.
    void addToken(const JasmineToken& token);
    // Throws IndexOutOfBoundsException for an index outside 0 .. size() - 1.
    const JasmineToken& getToken(int32_t index) const;
    int32_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // Appends the texts of tokens first .. last (inclusive) to out; nothing when first > last.
    void appendText(int32_t first, int32_t last, std::wstring& out) const;
    void clear();

private:
    static const int32_t BLOCK_SIZE = 64;
    static const size_t ARENA_CHUNK = 4096; // code units

    // Copies text into the arena, behind its length, and returns the copy.
    const wchar_t* storeText(const wchar_t* text, int32_t length);

    std::vector<std::unique_ptr<JasmineToken[]>> m_blocks; // BLOCK_SIZE records each
    int32_t m_count = 0;
    // Text arena: chunks never move once allocated, so stored text pointers stay valid.
    std::vector<std::unique_ptr<wchar_t[]>> m_chunks;
    size_t m_chunkUsed = 0;     // units used in the last chunk
    size_t m_chunkCapacity = 0; // units in the last chunk
};

} // namespace zem
