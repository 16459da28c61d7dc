#include "core/random.h"

namespace hc {

namespace {
// xoshiro256** seeded through splitmix64: fast (the city generator draws millions of
// numbers) and of good quality.
uint64_t state[4] = {0x9E3779B97F4A7C15ull, 0xBF58476D1CE4E5B9ull, 0x94D049BB133111EBull,
                     0x2545F4914F6CDD1Dull};

uint64_t splitmix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

inline uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

void seedState(uint64_t (&words)[4], uint64_t seed) {
    for (auto& s : words) s = splitmix(seed);
}

double step(uint64_t (&state)[4]) {
    const uint64_t result = rotl(state[1] * 5, 7) * 9;
    const uint64_t t = state[1] << 17;
    state[2] ^= state[0];
    state[3] ^= state[1];
    state[1] ^= state[2];
    state[0] ^= state[3];
    state[2] ^= t;
    state[3] = rotl(state[3], 45);
    return static_cast<double>(result >> 11) * 0x1.0p-53;
}

}  // namespace

void seedRandom(uint64_t seed) { seedState(state, seed); }

double nextRandom() { return step(state); }

void RandomStream::seed(uint64_t seed) { seedState(words_, seed); }

double RandomStream::next() { return step(words_); }

}  // namespace hc

namespace hc {

RandomState randomState() { return {{state[0], state[1], state[2], state[3]}}; }

void setRandomState(const RandomState& saved) {
    for (int i = 0; i < 4; ++i) state[i] = saved.words[i];
}

}  // namespace hc
