#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

constexpr int SampleRate = 44100;

// The instruments of the little synthesiser.
enum class Instrument {
    Pad,      // detuned saws, slow swell, wide
    Bass,     // saw and sub square, plucked filter
    Lead,     // pulse with delayed vibrato
    Pluck,    // short square arpeggio notes
    Keys,     // soft two-operator FM electric piano
    Stab,     // bright short saw chords
    Kick,
    Snare,
    Clap,
    HatClosed,
    HatOpen,
    Shaker,
};

struct Note {
    Instrument instrument;
    double beat;      // start, in beats from the start of the loop
    double length;    // in beats
    int pitch;        // MIDI note number (drums ignore it)
    float velocity;   // 0..1
    float pan;        // -1 left .. 1 right
};

// Effect and mix settings of one song.
struct Mix {
    double delayBeats = 0.75;  // ping-pong echo time
    float delayFeedback = 0.35f;
    float reverbRoom = 0.82f;
    float reverbWet = 0.25f;
    float duckDepth = 0.35f;   // how far the kick pushes pads and keys down
    float cutoffScale = 1.0f;  // darker or brighter overall
};

struct Song {
    std::string name;
    double bpm = 100;
    int bars = 32;
    Mix mix;
    std::vector<Note> notes;
};

// A chord: a root as a MIDI number and intervals above it.
struct Chord {
    int root = 57;
    std::vector<int> intervals;
    int tone(int index) const;  // chord tone by index, wrapping up octaves
};

int notePitch(const std::string& name);   // "A4" -> 69, "C#5", "Bb3"
Chord chord(const std::string& name);     // "Am", "F", "E7", "Dm7", "Bbmaj7", "Gsus4"

// Builders working in bars and sixteenths.
struct Builder {
    Song& song;
    void note(Instrument inst, double beat, double length, int pitch, float vel, float pan = 0);
    // Notes like "A4:4 C5:2 r:2" (durations in sixteenths) from a bar on.
    void melody(Instrument inst, int bar, const std::string& line, float vel, int transpose = 0);
    // One character per sixteenth ('x' strong, 'o' soft, '.' none) from a bar on, for
    // as many bars as the pattern repeats over.
    void drums(Instrument inst, int bar, int bars, const std::string& pattern, float vel);
    void pad(int bar, int bars, const std::vector<Chord>& chords, int octaveBase, float vel);
    // Chord tones by index list, one per step of `step` sixteenths.
    void arpeggio(Instrument inst, int bar, int bars, const std::vector<Chord>& chords,
                  const std::vector<int>& order, int step, int octaveBase, float vel, float pan);
    // Offsets (in semitones from the chord root, at octaveBase) per sixteenth:
    // "0 . 12 0 . 0 12 ." etc.; '.' rests and '-' holds the previous note.
    void bassline(int bar, int bars, const std::vector<Chord>& chords, const std::string& pattern,
                  int octaveBase, float vel, Instrument inst = Instrument::Bass);
    void stabs(int bar, int bars, const std::vector<Chord>& chords, const std::string& pattern,
               int octaveBase, float vel);
};

// Renders the song as a seamless loop of stereo float samples: what rings past the
// end (echo, reverb, releases) is already folded into the start.
std::vector<float> renderLoop(const Song& song);

// Scales to a loudness (RMS in dBFS) with a soft limiter that keeps peaks below ceiling.
void master(std::vector<float>& stereo, double targetRmsDb, float ceiling);

struct Levels {
    double rmsDb;
    double peak;
};
Levels measure(const std::vector<float>& samples);

}  // namespace musicgen
