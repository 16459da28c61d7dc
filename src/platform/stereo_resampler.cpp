#include "platform/stereo_resampler.h"

#include <algorithm>
#include <cmath>

namespace hc {

int16_t clampSample(double v) {
    if (v > 32767.0) return 32767;
    if (v < -32768.0) return -32768;
    return static_cast<int16_t>(std::nearbyint(v));
}

int StereoResampler::produce(int16_t* out, int wanted) {
    int produced = 0;
    const size_t available = input_.size() / 2 - head_;
    while (produced < wanted) {
        const auto i = static_cast<size_t>(position_);
        const double frac = position_ - static_cast<double>(i);
        if (i >= available || (frac > 0 && i + 1 >= available)) break;
        const int16_t* a = &input_[2 * (head_ + i)];
        if (frac == 0) {
            out[2 * produced] = a[0];
            out[2 * produced + 1] = a[1];
        } else {
            const int16_t* b = a + 2;
            out[2 * produced] = clampSample(a[0] + (b[0] - a[0]) * frac);
            out[2 * produced + 1] = clampSample(a[1] + (b[1] - a[1]) * frac);
        }
        ++produced;
        position_ += step_;
    }
    // The frames wholly behind the read position are dropped.
    const size_t used = std::min(static_cast<size_t>(position_), available);
    head_ += used;
    position_ -= static_cast<double>(used);
    if (head_ > 65536 || head_ * 2 == input_.size()) {
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(2 * head_));
        head_ = 0;
    }
    return produced;
}

bool StereoResampler::fill(uint8_t* out, int bytes, int (*decode)(void*), bool (*rewind)(void*), void* source) {
    const int frames = bytes / 4;
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    int produced = 0;
    while (true) {
        produced += produce(samples.data() + 2 * produced, frames - produced);
        if (produced == frames) break;
        const int got = decode(source);
        if (got == DecodeFailed) return false;
        if (got == DecodedEnd) {
            if (!decodedSinceRewind_ || !rewind(source)) return false;
            decodedSinceRewind_ = false;
            continue;
        }
        decodedSinceRewind_ = decodedSinceRewind_ || got > 0;
    }
    for (int i = 0; i < frames * 2; ++i) {
        const auto v = static_cast<uint16_t>(samples[static_cast<size_t>(i)]);
        out[2 * i] = static_cast<uint8_t>(v & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
    return true;
}

}  // namespace hc
