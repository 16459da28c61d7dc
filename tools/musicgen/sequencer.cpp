// A small synthesiser and sequencer: band-limited oscillators, state-variable filters,
// envelopes, drum voices, a ping-pong echo and a plate-like reverb.
#include "sequencer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace musicgen {

namespace {

constexpr double Pi = 3.14159265358979323846;

double midiHz(double pitch) { return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0); }

// A sine of an angle given in turns, from a table with linear interpolation: within
// 3e-7 of std::sin and several times cheaper, for the voices that need one per sample.
double sine(double turns) {
    constexpr size_t Size = 4096;
    static const std::vector<double> table = [] {
        std::vector<double> t(Size + 1);
        for (size_t i = 0; i <= Size; ++i) t[i] = std::sin(2 * Pi * static_cast<double>(i) / Size);
        return t;
    }();
    const double x = (turns - std::floor(turns)) * Size;
    const size_t i = static_cast<size_t>(x) & (Size - 1);
    return table[i] + (x - std::floor(x)) * (table[i + 1] - table[i]);
}

// Deterministic white noise, one generator per note.
struct Noise {
    uint64_t state;
    float next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<float>((state >> 11) * (1.0 / 9007199254740992.0) * 2.0 - 1.0);
    }
};

double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Saw {
    double phase = 0;
    double next(double hz) {
        double dt = hz / SampleRate;
        double v = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        phase += dt;
        if (phase >= 1.0) phase -= 1.0;
        return v;
    }
};

struct Pulse {
    double phase = 0;
    double next(double hz, double duty) {
        double dt = hz / SampleRate;
        double a = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        double p2 = phase + duty;
        if (p2 >= 1.0) p2 -= 1.0;
        double b = 2.0 * p2 - 1.0 - polyBlep(p2, dt);
        phase += dt;
        if (phase >= 1.0) phase -= 1.0;
        return 0.5 * (a - b);
    }
};

// Zero-delay-feedback state-variable filter.
struct Svf {
    double ic1 = 0, ic2 = 0, a1 = 0, a2 = 0, a3 = 0, k = 1;
    double low = 0, band = 0, high = 0;
    void tune(double hz, double resonance) {
        hz = std::clamp(hz, 20.0, 0.45 * SampleRate);
        double g = std::tan(Pi * hz / SampleRate);
        k = 2.0 - 1.9 * std::clamp(resonance, 0.0, 1.0);
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void run(double v0) {
        double v3 = v0 - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        low = v2;
        band = v1;
        high = v0 - k * v1 - v2;
    }
};

// Attack, decay, sustain while held, then a linear release to exactly zero.
double adsr(double t, double held, double a, double d, double s, double r) {
    auto level = [&](double u) {
        if (u < a) return u / a;
        if (u < a + d) return 1.0 - (1.0 - s) * (u - a) / d;
        return s;
    };
    if (t < held) return level(t);
    double tail = t - held;
    if (tail >= r) return 0.0;
    return level(held) * (1.0 - tail / r);
}

struct Buses {
    std::vector<float>& dry;      // stereo
    std::vector<float>& echo;     // mono send
    std::vector<float>& reverb;   // mono send
    const std::vector<float>& duck;
    size_t frames;
};

struct Voice {
    float gain = 1, echoSend = 0, reverbSend = 0;
    bool ducked = false;
    double seconds = 0;  // how long the note sounds, release included
};

Voice voiceOf(const Note& n, double beatSeconds) {
    double held = n.length * beatSeconds;
    switch (n.instrument) {
        case Instrument::Pad: return {0.10f, 0.10f, 0.45f, true, held + 1.4};
        case Instrument::Bass: return {0.30f, 0.0f, 0.04f, true, held + 0.08};
        case Instrument::Lead: return {0.16f, 0.32f, 0.30f, false, held + 0.3};
        case Instrument::Pluck: return {0.11f, 0.38f, 0.22f, true, std::min(held, 0.6) + 0.3};
        case Instrument::Keys: return {0.16f, 0.12f, 0.32f, true, held + 0.5};
        case Instrument::Stab: return {0.09f, 0.2f, 0.35f, true, std::min(held, 0.5) + 0.25};
        case Instrument::Kick: return {0.62f, 0.0f, 0.03f, false, 0.5};
        case Instrument::Snare: return {0.30f, 0.05f, 0.55f, false, 0.45};
        case Instrument::Clap: return {0.26f, 0.05f, 0.5f, false, 0.4};
        case Instrument::HatClosed: return {0.10f, 0.05f, 0.10f, false, 0.12};
        case Instrument::HatOpen: return {0.08f, 0.05f, 0.15f, false, 0.45};
        case Instrument::Shaker: return {0.05f, 0.0f, 0.15f, false, 0.12};
    }
    return {};
}

// Renders one note into the buses from sample `start` on (clipped at the buffer end).
// A start before the buffer (a note of the pre-roll still ringing into it) is played
// from its beginning, and only what falls inside is kept.
void renderNote(const Note& n, long start, double beatSeconds, const Mix& mix,
                uint64_t seed, Buses& bus) {
    const Voice v = voiceOf(n, beatSeconds);
    const double held = n.length * beatSeconds;
    const size_t count = static_cast<size_t>(v.seconds * SampleRate);
    if (start + static_cast<long>(count) <= 0) return;
    const double hz = midiHz(n.pitch);
    const double cut = mix.cutoffScale;
    Noise noise{seed * 0x9E3779B97F4A7C15ull + 1};
    Saw saws[3];
    Pulse pulse;
    Svf filter, filter2;
    double phase = 0, tremolo = 0, index = 0, fade = 1, leadHz = hz;
    for (int i = 0; i < 3; ++i) saws[i].phase = noise.next() * 0.5 + 0.5;
    const double panL = std::sqrt(0.5 * (1.0 - n.pan));
    const double panR = std::sqrt(0.5 * (1.0 + n.pan));

    for (size_t i = 0; i < count && start + static_cast<long>(i) < static_cast<long>(bus.frames); ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        double left = 0, right = 0, mono = 0;
        const bool retune = (i & 7) == 0;
        switch (n.instrument) {
            case Instrument::Pad: {
                if (retune) filter.tune(cut * (700 + 500 * std::min(t / 1.5, 1.0)), 0.25);
                if (retune) filter2.tune(cut * (700 + 500 * std::min(t / 1.5, 1.0)), 0.25);
                double a = saws[0].next(hz * 0.9954), b = saws[1].next(hz), c = saws[2].next(hz * 1.0046);
                filter.run(a + 0.6 * b);
                filter2.run(c + 0.6 * b);
                double env = adsr(t, held, 0.4, 0.6, 0.8, 1.4);
                left = filter.low * env;
                right = filter2.low * env;
                break;
            }
            case Instrument::Bass: {
                if (retune) filter.tune(cut * (160 + 1300 * n.velocity * std::exp(-t / 0.11)), 0.35);
                filter.run(saws[0].next(hz) + 0.6 * pulse.next(hz * 0.5, 0.5));
                mono = filter.low * adsr(t, held, 0.003, 0.25, 0.75, 0.08);
                break;
            }
            case Instrument::Lead: {
                // The delayed vibrato moves slowly enough to be updated every eighth sample.
                if (retune) {
                    double vib = 0.22 * std::min(std::max(t - 0.25, 0.0) / 0.3, 1.0) * sine(5.3 * t);
                    leadHz = hz * std::pow(2.0, vib / 12.0);
                    filter.tune(cut * 3200, 0.2);
                }
                filter.run(pulse.next(leadHz, 0.3) + 0.5 * saws[0].next(leadHz * 1.003));
                mono = filter.low * adsr(t, held, 0.012, 0.25, 0.7, 0.3);
                break;
            }
            case Instrument::Pluck: {
                if (retune) filter.tune(cut * (500 + 3500 * std::exp(-t / 0.07)), 0.4);
                filter.run(pulse.next(hz, 0.5));
                mono = filter.low * std::exp(-t / 0.22) * adsr(t, std::min(held, 0.6), 0.002, 0.01, 1, 0.3);
                break;
            }
            case Instrument::Keys: {
                // Modulator and carrier at one frequency share a phase; the tine's click
                // has died away after 0.6 s and is not computed past it, and the slow
                // decays and the tremolo are updated every eighth sample: the piano is the
                // costliest voice.
                if (retune) {
                    index = 1.6 * std::exp(-t / 0.35) + 0.25;
                    fade = 0.6 + 0.4 * std::exp(-t / 0.4);
                    tremolo = 0.15 * sine(4.0 * t);
                }
                phase += hz / SampleRate;
                if (phase >= 1.0) phase -= 1.0;
                double tine = t < 0.6 ? 0.12 * std::exp(-t / 0.05) * sine(7.0 * phase) : 0.0;
                double s = sine(phase + index * sine(phase) / (2 * Pi)) + tine;
                double env = adsr(t, held, 0.004, 1.6, 0.35, 0.5) * fade;
                left = s * env * (1.0 + tremolo);
                right = s * env * (1.0 - tremolo);
                break;
            }
            case Instrument::Stab: {
                if (retune) filter.tune(cut * (700 + 4000 * std::exp(-t / 0.12)), 0.3);
                filter.run(saws[0].next(hz * 0.996) + saws[1].next(hz * 1.004));
                mono = filter.low * adsr(t, std::min(held, 0.5), 0.003, 0.3, 0.4, 0.25);
                break;
            }
            case Instrument::Kick: {
                double f = 44 + 120 * std::exp(-t / 0.035);
                phase += f / SampleRate;
                double click = i < 80 ? 0.3 * noise.next() * (1.0 - i / 80.0) : 0.0;
                mono = (sine(phase) * std::exp(-t / 0.32) + click) *
                       std::min(1.0, (v.seconds - t) / 0.03);
                break;
            }
            case Instrument::Snare: {
                if (i == 0) filter.tune(1900, 0.2);
                phase += 185.0 / SampleRate;
                filter.run(noise.next());
                mono = 0.55 * sine(phase) * std::exp(-t / 0.05) +
                       1.6 * filter.band * std::exp(-t / 0.13);
                mono *= std::min(1.0, (v.seconds - t) / 0.03);
                break;
            }
            case Instrument::Clap: {
                if (i == 0) filter.tune(1300, 0.3);
                filter.run(noise.next());
                double burst = 0;
                for (double at : {0.0, 0.011, 0.022})
                    if (t >= at) burst += std::exp(-(t - at) / (at < 0.02 ? 0.008 : 0.11));
                mono = 2.2 * filter.band * burst * std::min(1.0, (v.seconds - t) / 0.03);
                break;
            }
            case Instrument::HatClosed:
            case Instrument::HatOpen:
            case Instrument::Shaker: {
                const bool open = n.instrument == Instrument::HatOpen;
                const bool shaker = n.instrument == Instrument::Shaker;
                if (i == 0) filter.tune(shaker ? 5200 : 7600, 0.1);
                filter.run(noise.next());
                double env = shaker ? std::min(t / 0.012, 1.0) * std::exp(-t / 0.05)
                                    : std::exp(-t / (open ? 0.16 : 0.028));
                mono = filter.high * env * std::min(1.0, (v.seconds - t) / 0.02);
                break;
            }
        }
        if (mono != 0) {
            left = mono;
            right = mono;
        }
        if (start + static_cast<long>(i) < 0) continue;
        const size_t at = static_cast<size_t>(start + static_cast<long>(i));
        const double g = v.gain * n.velocity * (v.ducked ? bus.duck[at] : 1.0f);
        left *= g * panL * 1.41421356;
        right *= g * panR * 1.41421356;
        bus.dry[2 * at] += static_cast<float>(left);
        bus.dry[2 * at + 1] += static_cast<float>(right);
        const float sum = static_cast<float>(0.5 * (left + right));
        bus.echo[at] += v.echoSend * sum;
        bus.reverb[at] += v.reverbSend * sum;
    }
}

// Eight damped combs and four allpasses per side, the two sides slightly detuned.
class Reverb {
public:
    explicit Reverb(float room) {
        static const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        static const int allpasses[4] = {556, 441, 341, 225};
        for (int side = 0; side < 2; ++side) {
            for (int c = 0; c < 8; ++c) comb_[side][c].assign(combs[c] + side * 23, 0.0f);
            for (int a = 0; a < 4; ++a) allpass_[side][a].assign(allpasses[a] + side * 23, 0.0f);
        }
        feedback_ = room;
    }
    void process(float in, float& outL, float& outR) {
        float input = in * 0.015f;
        float out[2] = {0, 0};
        for (int side = 0; side < 2; ++side) {
            for (int c = 0; c < 8; ++c) {
                auto& buf = comb_[side][c];
                size_t& pos = combPos_[side][c];
                float y = buf[pos];
                store_[side][c] = y * 0.75f + store_[side][c] * 0.25f;
                buf[pos] = input + store_[side][c] * feedback_;
                if (++pos == buf.size()) pos = 0;
                out[side] += y;
            }
            for (int a = 0; a < 4; ++a) {
                auto& buf = allpass_[side][a];
                size_t& pos = allpassPos_[side][a];
                float b = buf[pos];
                float y = -out[side] + b;
                buf[pos] = out[side] + b * 0.5f;
                if (++pos == buf.size()) pos = 0;
                out[side] = y;
            }
        }
        outL = out[0];
        outR = out[1];
    }

private:
    std::vector<float> comb_[2][8], allpass_[2][4];
    size_t combPos_[2][8] = {}, allpassPos_[2][4] = {};
    float store_[2][8] = {};
    float feedback_;
};

}  // namespace

int Chord::tone(int index) const {
    int n = static_cast<int>(intervals.size());
    int octave = index >= 0 ? index / n : -((-index + n - 1) / n);
    int k = index - octave * n;
    return root + intervals[static_cast<size_t>(k)] + 12 * octave;
}

int notePitch(const std::string& name) {
    static const int offsets[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') throw std::runtime_error("bad note " + name);
    int pitch = offsets[name[0] - 'A'];
    size_t i = 1;
    if (i < name.size() && name[i] == '#') { ++pitch; ++i; }
    else if (i < name.size() && name[i] == 'b') { --pitch; ++i; }
    int octave = std::atoi(name.c_str() + i);
    return 12 * (octave + 1) + pitch;
}

Chord chord(const std::string& name) {
    size_t i = 1;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) i = 2;
    Chord c;
    c.root = notePitch(name.substr(0, i) + "3");
    std::string q = name.substr(i);
    if (q.empty()) c.intervals = {0, 4, 7};
    else if (q == "m") c.intervals = {0, 3, 7};
    else if (q == "7") c.intervals = {0, 4, 7, 10};
    else if (q == "m7") c.intervals = {0, 3, 7, 10};
    else if (q == "maj7") c.intervals = {0, 4, 7, 11};
    else if (q == "m9") c.intervals = {0, 3, 7, 10, 14};
    else if (q == "add9") c.intervals = {0, 4, 7, 14};
    else if (q == "sus4") c.intervals = {0, 5, 7};
    else if (q == "sus2") c.intervals = {0, 2, 7};
    else throw std::runtime_error("bad chord " + name);
    return c;
}

void Builder::note(Instrument inst, double beat, double length, int pitch, float vel, float pan) {
    song.notes.push_back(Note{inst, beat, length, pitch, vel, pan});
}

void Builder::melody(Instrument inst, int bar, const std::string& line, float vel, int transpose) {
    double beat = bar * 4.0;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t end = line.find(' ', pos);
        if (end == std::string::npos) end = line.size();
        std::string token = line.substr(pos, end - pos);
        pos = end + 1;
        if (token.empty()) continue;
        // A bar line must fall on a bar: a miscounted bar would shift the rest of the line.
        if (token == "|") {
            if (std::fmod(beat, 4.0) != 0.0) throw std::runtime_error("bar line off the bar in " + line);
            continue;
        }
        size_t colon = token.find(':');
        double length = std::atof(token.c_str() + colon + 1) / 4.0;
        std::string pitch = token.substr(0, colon);
        if (pitch != "r") note(inst, beat, length * 0.95, notePitch(pitch) + transpose, vel);
        beat += length;
    }
}

void Builder::drums(Instrument inst, int bar, int bars, const std::string& pattern, float vel) {
    const int steps = bars * 16;
    for (int s = 0; s < steps; ++s) {
        char c = pattern[static_cast<size_t>(s) % pattern.size()];
        if (c == '.') continue;
        float pan = inst == Instrument::HatClosed || inst == Instrument::HatOpen ? 0.25f
                    : inst == Instrument::Shaker ? -0.3f : 0.0f;
        note(inst, bar * 4.0 + s / 4.0, 0.25, 60, c == 'x' ? vel : vel * 0.55f, pan);
    }
}

void Builder::pad(int bar, int bars, const std::vector<Chord>& chords, int octaveBase, float vel) {
    for (int b = 0; b < bars; ++b) {
        const Chord& c = chords[static_cast<size_t>(b) % chords.size()];
        for (size_t k = 0; k < c.intervals.size() && k < 4; ++k) {
            int pitch = c.root + c.intervals[k] + 12 * octaveBase;
            float pan = (k % 2 == 0 ? -0.35f : 0.35f);
            note(Instrument::Pad, (bar + b) * 4.0, 3.9, pitch, vel, pan);
        }
    }
}

void Builder::arpeggio(Instrument inst, int bar, int bars, const std::vector<Chord>& chords,
                       const std::vector<int>& order, int step, int octaveBase, float vel,
                       float pan) {
    const int perBar = 16 / step;
    for (int b = 0; b < bars; ++b) {
        const Chord& c = chords[static_cast<size_t>(b) % chords.size()];
        for (int s = 0; s < perBar; ++s) {
            int idx = order[static_cast<size_t>(b * perBar + s) % order.size()];
            float accent = (s * step) % 4 == 0 ? 1.0f : 0.75f;
            note(inst, (bar + b) * 4.0 + s * step / 4.0, step / 4.0 * 0.9,
                 c.tone(idx) + 12 * octaveBase, vel * accent, pan);
        }
    }
}

void Builder::bassline(int bar, int bars, const std::vector<Chord>& chords,
                       const std::string& pattern, int octaveBase, float vel, Instrument inst) {
    // Tokens separated by spaces, one per sixteenth.
    std::vector<std::string> tokens;
    size_t pos = 0;
    while (pos < pattern.size()) {
        size_t end = pattern.find(' ', pos);
        if (end == std::string::npos) end = pattern.size();
        if (end > pos) tokens.push_back(pattern.substr(pos, end - pos));
        pos = end + 1;
    }
    const int steps = bars * 16;
    for (int s = 0; s < steps; ++s) {
        const std::string& t = tokens[static_cast<size_t>(s) % tokens.size()];
        if (t == "." || t == "-") continue;
        int len = 1;
        while (s + len < steps && tokens[static_cast<size_t>(s + len) % tokens.size()] == "-") ++len;
        const Chord& c = chords[static_cast<size_t>(s / 16) % chords.size()];
        int pitch = c.root + std::atoi(t.c_str()) + 12 * octaveBase;
        float accent = s % 4 == 0 ? 1.0f : 0.8f;
        note(inst, bar * 4.0 + s / 4.0, len / 4.0 * 0.85, pitch, vel * accent);
    }
}

void Builder::stabs(int bar, int bars, const std::vector<Chord>& chords, const std::string& pattern,
                    int octaveBase, float vel) {
    const int steps = bars * 16;
    for (int s = 0; s < steps; ++s) {
        char ch = pattern[static_cast<size_t>(s) % pattern.size()];
        if (ch == '.') continue;
        const Chord& c = chords[static_cast<size_t>(s / 16) % chords.size()];
        for (size_t k = 0; k < 3; ++k)
            note(Instrument::Stab, bar * 4.0 + s / 4.0, 0.2, c.tone(static_cast<int>(k) + 1) + 12 * octaveBase,
                 ch == 'x' ? vel : vel * 0.6f, k == 0 ? -0.4f : k == 2 ? 0.4f : 0.0f);
    }
}

std::vector<float> renderLoop(const Song& song) {
    const double beatSeconds = 60.0 / song.bpm;
    const size_t loop = static_cast<size_t>(std::llround(song.bars * 4 * beatSeconds * SampleRate));
    // The loop's last seconds are played before it, so that it starts with their ringing
    // tails (releases, echo, reverb) exactly as it does when the game loops the track.
    // Eight seconds is far longer than any note's release and lets echo and reverb die
    // away; the pre-roll is then dropped.
    const size_t preroll = std::min(loop, static_cast<size_t>(8 * SampleRate));
    const size_t frames = preroll + loop;
    const long passStart[2] = {static_cast<long>(preroll) - static_cast<long>(loop),
                               static_cast<long>(preroll)};
    auto startOf = [&](int pass, const Note& n) {
        return passStart[pass] + static_cast<long>(std::llround(n.beat * beatSeconds * SampleRate));
    };
    std::vector<float> dry(2 * frames, 0.0f), echo(frames, 0.0f), reverb(frames, 0.0f);
    std::vector<float> duck(frames, 1.0f);
    const long duckLength = static_cast<long>(0.28 * SampleRate);
    for (int pass = 0; pass < 2; ++pass) {
        for (const Note& n : song.notes) {
            if (n.instrument != Instrument::Kick) continue;
            const long start = startOf(pass, n);
            for (long i = std::max(0L, -start); i < duckLength && start + i < static_cast<long>(frames); ++i) {
                double t = static_cast<double>(i) / SampleRate;
                double dip = song.mix.duckDepth * n.velocity * (t < 0.004 ? t / 0.004 : std::pow(1.0 - (t - 0.004) / 0.276, 2.0));
                float& d = duck[static_cast<size_t>(start + i)];
                d = std::min(d, static_cast<float>(1.0 - dip));
            }
        }
    }
    Buses bus{dry, echo, reverb, duck, frames};
    for (int pass = 0; pass < 2; ++pass) {
        uint64_t index = 0;
        for (const Note& n : song.notes) renderNote(n, startOf(pass, n), beatSeconds, song.mix, ++index, bus);
    }
    // Echo: ping-pong with a darkening feedback path.
    const size_t delay = static_cast<size_t>(std::llround(song.mix.delayBeats * beatSeconds * SampleRate));
    std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
    Reverb room(song.mix.reverbRoom);
    float toneL = 0, toneR = 0;
    size_t pos = 0;
    for (size_t i = 0; i < frames; ++i) {
        float outL = lineL[pos], outR = lineR[pos];
        toneL += 0.35f * (outL - toneL);
        toneR += 0.35f * (outR - toneR);
        lineL[pos] = echo[i] + song.mix.delayFeedback * toneR;
        lineR[pos] = song.mix.delayFeedback * toneL;
        if (++pos == delay) pos = 0;
        float rl, rr;
        room.process(reverb[i] + 0.3f * (outL + outR), rl, rr);
        dry[2 * i] += 0.55f * outL + song.mix.reverbWet * rl;
        dry[2 * i + 1] += 0.55f * outR + song.mix.reverbWet * rr;
    }
    // Remove any DC offset, then drop the pre-roll.
    float prevIn[2] = {0, 0}, prevOut[2] = {0, 0};
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            float x = dry[2 * i + c];
            float y = x - prevIn[c] + 0.9972f * prevOut[c];
            prevIn[c] = x;
            prevOut[c] = y;
            dry[2 * i + c] = y;
        }
    }
    return std::vector<float>(dry.begin() + static_cast<long>(2 * preroll), dry.end());
}

Levels measure(const std::vector<float>& samples) {
    double sum = 0, peak = 0;
    for (float s : samples) {
        sum += static_cast<double>(s) * s;
        peak = std::max(peak, static_cast<double>(std::fabs(s)));
    }
    double rms = samples.empty() ? 0 : std::sqrt(sum / samples.size());
    return {20.0 * std::log10(std::max(rms, 1e-12)), peak};
}

void master(std::vector<float>& stereo, double targetRmsDb, float ceiling) {
    const float knee = 0.6f * ceiling;
    std::vector<float> original = stereo;
    double gain = std::pow(10.0, (targetRmsDb - measure(stereo).rmsDb) / 20.0);
    // The limiter takes a little loudness away: aim again after a first try.
    for (int attempt = 0; attempt < 3; ++attempt) {
        for (size_t i = 0; i < stereo.size(); ++i) {
            float x = static_cast<float>(original[i] * gain);
            float a = std::fabs(x);
            if (a > knee) a = knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee));
            stereo[i] = std::copysign(a, x);
        }
        gain *= std::pow(10.0, (targetRmsDb - measure(stereo).rmsDb) / 20.0);
    }
}

}  // namespace musicgen
