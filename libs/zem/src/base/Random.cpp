#include "zem/base/Random.h"

#include "zem/base/Assert.h"

namespace zem {

Random::Random(void* state, size_t bytes, uint32_t seedValue) {
    if (bytes < 8)
        assertionFailed(L"0 && \"not enough state\"", ZEM_WIDEN(__FILE__), __LINE__);
    m_state = static_cast<int32_t*>(state);
    static const int degrees[] = {0, 7, 15, 31, 63};
    static const int separations[] = {0, 3, 1, 3, 1};
    m_type = bytes < 32 ? 0 : bytes < 64 ? 1 : bytes < 128 ? 2 : bytes < 256 ? 3 : 4;
    m_degree = degrees[m_type];
    m_separation = separations[m_type];
    seed(seedValue);
}

int32_t Random::parkMiller(int32_t x) {
    // 16807 * x mod (2^31 - 1) without overflow (Schrage's method); 0 would stay 0 for ever.
    if (x == 0)
        x = 123459876;
    int32_t hi = x / 127773;
    int32_t lo = x % 127773;
    int32_t word = 16807 * lo - 2836 * hi;
    if (word < 0)
        word += 2147483647;
    return word;
}

void Random::storeTypeWord() { m_state[0] = m_type == 0 ? 0 : m_type + 5 * m_rear; }

void Random::seed(uint32_t seedValue) {
    int32_t* words = m_state + 1;
    words[0] = static_cast<int32_t>(seedValue);
    if (m_type == 0) {
        for (int i = 0; i < 50; ++i)
            next();
        return;
    }
    for (int i = 1; i < m_degree; ++i)
        words[i] = parkMiller(words[i - 1]);
    m_front = m_separation;
    m_rear = 0;
    storeTypeWord();
    for (int i = 0; i < 10 * m_degree; ++i)
        next();
}

int32_t Random::next() {
    int32_t* words = m_state + 1;
    if (m_type == 0) {
        words[0] = parkMiller(words[0]) & 0x7fffffff;
        return words[0];
    }
    uint32_t sum = static_cast<uint32_t>(words[m_front]) + static_cast<uint32_t>(words[m_rear]);
    words[m_front] = static_cast<int32_t>(sum);
    int32_t result = static_cast<int32_t>(sum >> 1);
    if (++m_front >= m_degree)
        m_front = 0;
    if (++m_rear >= m_degree)
        m_rear = 0;
    storeTypeWord();
    return result;
}

} // namespace zem
