// The additive-feedback generator of BSD random(3) over a caller-supplied state buffer,
// so that sequences are repeatable from a seed.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zem {

class Random {
public:
    // state must hold at least 8 bytes; its size picks the generator type.
    Random(void* state, size_t bytes, uint32_t seed);
    void seed(uint32_t seed);
    // 31-bit results.
    int32_t next();
    int type() const { return m_type; }
    int degree() const { return m_degree; }
    int separation() const { return m_separation; }

private:
    static int32_t parkMiller(int32_t x);
    void storeTypeWord();

    int32_t* m_state; // m_state[1 .. degree] are the generator's words; m_state[0] records the type
    int m_type;
    int m_degree;
    int m_separation;
    int m_front = 0;
    int m_rear = 0;
};

} // namespace zem
