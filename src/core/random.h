#pragma once
#include <cstdint>

namespace hc {

// The game's one shared random source: uniform numbers in [0, 1). Start-up seeds it
// from the clock; tests seed it with fixed values to replay a game.
void seedRandom(uint64_t seed);
double nextRandom();
// A choice among n entries: floor(n * r).
inline int randomChoice(int n) { return static_cast<int>(n * nextRandom()); }

// A source of the same kind with a state of its own, for numbers drawn at times the game
// does not control (the sound device asking for buffers), which must not move the
// shared source: that one drives the city, and a recorded shift replays from it.
class RandomStream {
public:
    explicit RandomStream(uint64_t seed = 0) { this->seed(seed); }
    void seed(uint64_t seed);
    double next();

private:
    uint64_t words_[4];
};

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
