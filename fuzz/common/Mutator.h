// Makes fuzzing inputs from seed files: each input is one seed changed by a few stacked
// mutations (bit flips, byte inserts and deletes, a splice with another seed, a cut tail,
// a repeated block, a token of the format put in). Input n depends only on the run's seed
// and n, so any input can be made again on its own.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// xorshift64*: fast, and the same numbers on every machine.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint64_t next() {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    // In [0, n); n > 0.
    size_t below(size_t n) { return static_cast<size_t>((next() >> 11) % n); }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    uint64_t m_state;
};

class Mutator {
public:
    // Inputs grow no longer than this, so a run of repeated blocks cannot eat the memory.
    static constexpr size_t MAX_LENGTH = 1 << 16;

    Mutator(std::vector<std::string> seeds, std::vector<std::string> tokens, uint64_t runSeed)
        : m_seeds(std::move(seeds)), m_tokens(std::move(tokens)), m_runSeed(runSeed) {
        if (m_seeds.empty())
            m_seeds.emplace_back();
    }

    // Input number n of the run into out.
    void make(uint64_t n, std::string& out) {
        Random random(mix(m_runSeed, n));
        out = m_seeds[random.below(m_seeds.size())];
        // One input in sixteen is a seed as written: the readers' main paths stay covered.
        if (random.below(16) == 0)
            return;
        size_t steps = 1 + random.below(random.chance(20) ? 8 : 3);
        for (size_t i = 0; i < steps; ++i)
            mutate(random, out);
        if (out.size() > MAX_LENGTH)
            out.resize(MAX_LENGTH);
    }

    const std::vector<std::string>& seeds() const { return m_seeds; }

private:
    static uint64_t mix(uint64_t a, uint64_t b) {
        uint64_t x = a ^ (b * 0x9E3779B97F4A7C15ull);
        x ^= x >> 31;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 29;
        return x;
    }

    void mutate(Random& random, std::string& s) {
        switch (random.below(m_tokens.empty() ? 7 : 9)) {
        case 0: // flip one bit
            if (!s.empty())
                s[random.below(s.size())] ^= static_cast<char>(1 << random.below(8));
            break;
        case 1: // replace a byte with one that readers treat specially
            if (!s.empty())
                s[random.below(s.size())] = specialByte(random);
            break;
        case 2: { // insert a few bytes
            size_t count = 1 + random.below(4);
            std::string bytes;
            for (size_t i = 0; i < count; ++i)
                bytes += specialByte(random);
            s.insert(random.below(s.size() + 1), bytes);
            break;
        }
        case 3: // delete a stretch
            if (!s.empty()) {
                size_t at = random.below(s.size());
                s.erase(at, 1 + random.below(std::min<size_t>(16, s.size() - at)));
            }
            break;
        case 4: { // splice: a head of this input and a tail of another seed
            const std::string& other = m_seeds[random.below(m_seeds.size())];
            size_t head = random.below(s.size() + 1);
            size_t tail = random.below(other.size() + 1);
            s = s.substr(0, head) + other.substr(tail);
            break;
        }
        case 5: // cut the tail
            s.resize(random.below(s.size() + 1));
            break;
        case 6: // repeat a block
            if (!s.empty()) {
                size_t at = random.below(s.size());
                size_t length = 1 + random.below(std::min<size_t>(32, s.size() - at));
                std::string block = s.substr(at, length);
                size_t times = 1 + random.below(random.chance(10) ? 600 : 8);
                std::string run;
                for (size_t i = 0; i < times && run.size() < MAX_LENGTH; ++i)
                    run += block;
                s.insert(at, run);
            }
            break;
        default: // a token of the format, once or nested a few times
            s.insert(random.below(s.size() + 1), m_tokens[random.below(m_tokens.size())]);
            break;
        }
    }

    static char specialByte(Random& random) {
        static const char special[] = {'\0', '\n', '\r', '"', '\'', '\\', '/', '$', '{', '}', '(', ')',
                                       '[',  ']',  ':',  ',', ';',  '=',  '-', '.', '*', '?', '|', ' '};
        if (random.chance(50))
            return special[random.below(sizeof(special))];
        return static_cast<char>(random.below(256));
    }

    std::vector<std::string> m_seeds;
    std::vector<std::string> m_tokens;
    uint64_t m_runSeed;
};

} // namespace fuzz
