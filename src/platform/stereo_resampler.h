#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hc {

// A sample rounded to the nearest 16-bit value, clamped to its range.
int16_t clampSample(double v);

// What a decoder's call gives besides a count of frames (see StereoResampler::fill).
constexpr int DecodedEnd = -1;
constexpr int DecodeFailed = -2;

// Decoded stereo frames at a track's own rate turned into frames at 44100 Hz by linear
// interpolation: the music streams of both editions decode into one of these.
class StereoResampler {
public:
    // Input frames per output frame: the track's rate over 44100.
    void setStep(double step) { step_ = step; }
    void push(int16_t left, int16_t right) {
        input_.push_back(left);
        input_.push_back(right);
    }
    // Fills out[0..bytes) with 16-bit little-endian stereo, asking decode for more input
    // whenever the input runs dry and rewind at the end of the track, so that it loops
    // without a gap. decode returns the frames it pushed (0 when it gave none, such as
    // a damaged page skipped), DecodedEnd or DecodeFailed. False on a failure, a failed
    // rewind, or a pass since the last rewind that gave no sound (an empty or broken
    // track would rewind forever).
    bool fill(uint8_t* out, int bytes, int (*decode)(void*), bool (*rewind)(void*), void* source);

private:
    // Produces up to wanted frames into out (left, right, ...) while the input lasts;
    // returns how many.
    int produce(int16_t* out, int wanted);

    // Frames before head_ are used; position_ counts frames from head_.
    std::vector<int16_t> input_;
    size_t head_ = 0;
    double position_ = 0;
    double step_ = 1.0;
    bool decodedSinceRewind_ = false;
};

}  // namespace hc
