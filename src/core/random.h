#pragma once
#include <cstdint>

namespace hc {

// The game's one shared random source: uniform numbers in [0, 1). Start-up seeds it
// from the clock; tests seed it with fixed values to replay a game.
void seedRandom(uint64_t seed);
double nextRandom();
// A choice among n entries: floor(n * r).
inline int randomChoice(int n) { return static_cast<int>(n * nextRandom()); }

}  // namespace hc

namespace hc {

// The random source's whole state, so that a recorded shift can start from exactly where
// the original did. An all-zero state is not one the source can be in.
struct RandomState {
    uint64_t words[4] = {};
    bool operator==(const RandomState&) const = default;
};
RandomState randomState();
void setRandomState(const RandomState& state);

}  // namespace hc
