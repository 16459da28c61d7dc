// The four compositions. Bars are numbered from 0; melodies are written in notes with
// durations in sixteenths, one bar between each pair of bars lines.
#include "songs.h"

#include <stdexcept>

namespace musicgen {

namespace {

std::vector<Chord> chords(std::initializer_list<const char*> names) {
    std::vector<Chord> out;
    for (const char* n : names) out.push_back(chord(n));
    return out;
}

std::vector<Chord> take(const std::vector<Chord>& list, size_t from, size_t count) {
    std::vector<Chord> out;
    for (size_t i = 0; i < count; ++i) out.push_back(list[(from + i) % list.size()]);
    return out;
}

// Soft chords on the electric piano: the upper chord tones on a rhythm, one bar per chord.
void comp(Builder& b, int bar, int bars, const std::vector<Chord>& cs, const std::string& rhythm,
          float vel) {
    for (int s = 0; s < bars * 16; ++s) {
        char ch = rhythm[static_cast<size_t>(s) % rhythm.size()];
        if (ch == '.') continue;
        int len = 1;
        while (s + len < bars * 16 && rhythm[static_cast<size_t>(s + len) % rhythm.size()] == '-') ++len;
        if (ch == '-') continue;
        const Chord& c = cs[static_cast<size_t>(s / 16) % cs.size()];
        for (int k = 1; k <= 4; ++k)
            b.note(Instrument::Keys, bar * 4.0 + s / 4.0, len / 4.0 * 0.9, c.tone(k) + 12,
                   (ch == 'x' ? vel : vel * 0.7f) * (k == 1 ? 0.8f : 0.65f),
                   k % 2 == 0 ? 0.3f : -0.3f);
    }
}

}  // namespace

Song menuTheme() {
    Song song;
    song.name = "Neon Dusk";
    song.bpm = 96;
    song.bars = 32;
    song.mix.delayBeats = 0.75;
    song.mix.reverbWet = 0.3f;
    Builder b{song};
    const auto cs = chords({"Am", "F", "C", "G", "Am", "F", "Dm", "E"});
    const std::vector<int> arp = {0, 1, 2, 3, 4, 3, 2, 1};
    const std::string bass = "0 . 0 . 12 . 0 . 0 . 0 . 12 . 7 .";

    // Intro: pads and a quiet arpeggio.
    b.pad(0, 4, cs, 0, 0.8f);
    b.arpeggio(Instrument::Pluck, 0, 4, cs, arp, 2, 1, 0.55f, 0.2f);
    b.drums(Instrument::Shaker, 2, 2, "..x...x...x...x.", 0.6f);
    // Main groove, three eight-bar sections, then a four-bar fall back to the intro.
    for (int section = 0; section < 3; ++section) {
        int bar = 4 + 8 * section;
        b.pad(bar, 8, cs, 0, 0.75f);
        b.arpeggio(Instrument::Pluck, bar, 8, cs, arp, section == 2 ? 1 : 2, 1, 0.6f, 0.2f);
        b.bassline(bar, 8, cs, bass, -1, 0.9f);
        b.drums(Instrument::Kick, bar, 8, "x.......x.o.....", 0.95f);
        b.drums(Instrument::Snare, bar, 8, "....x.......x...", 0.85f);
        b.drums(Instrument::HatClosed, bar, 8, "x.o.x.o.x.o.x.o.", 0.7f);
        b.drums(Instrument::HatOpen, bar + 7, 1, "..............x.", 0.6f);
    }
    b.melody(Instrument::Lead, 12,
             "A4:4 C5:4 E5:6 D5:2 | C5:6 A4:2 F5:8 | E5:4 G5:4 E5:4 C5:4 | D5:12 r:4 | "
             "A4:4 C5:4 E5:6 G5:2 | A5:6 G5:2 F5:4 E5:4 | F5:4 E5:4 D5:4 C5:4 | B4:8 G#4:4 E4:4",
             0.9f);
    b.melody(Instrument::Lead, 20,
             "E5:4 A5:4 C6:6 B5:2 | A5:6 F5:2 C6:8 | G5:4 C6:4 E6:4 D6:4 | D6:6 C6:2 B5:8 | "
             "C6:4 B5:4 A5:6 E5:2 | F5:6 A5:2 C6:4 A5:4 | D6:4 C6:4 A5:4 F5:4 | E5:8 G#5:4 B5:4",
             0.8f);
    b.melody(Instrument::Lead, 20,
             "A4:16 | F4:16 | G4:16 | G4:16 | A4:16 | A4:16 | F4:16 | G#4:16", 0.45f);
    // Outro: the groove thins out so that the loop back to the intro is gentle.
    b.pad(28, 4, cs, 0, 0.8f);
    b.arpeggio(Instrument::Pluck, 28, 4, cs, arp, 2, 1, 0.55f, 0.2f);
    b.bassline(28, 4, cs, "0 - - - - - - - 0 - - - 12 - 7 -", -1, 0.7f);
    b.drums(Instrument::Kick, 28, 2, "x...............", 0.8f);
    b.drums(Instrument::Shaker, 28, 4, "..x...x...x...x.", 0.6f);
    return song;
}

Song garageTheme() {
    Song song;
    song.name = "Late Shift Garage";
    song.bpm = 84;
    song.bars = 24;
    song.mix.delayBeats = 0.5;
    song.mix.delayFeedback = 0.3f;
    song.mix.reverbWet = 0.28f;
    song.mix.duckDepth = 0.15f;
    song.mix.cutoffScale = 0.75f;
    Builder b{song};
    const auto cs = chords({"Dm9", "G7", "Bbmaj7", "A7", "Gm7", "C7", "Fmaj7", "A7"});
    const std::string rhythm = "x-----o---x-----";
    const std::string bass = "0 - - . . . 0 . 7 - . . 10 . 12 .";

    b.pad(0, 4, cs, 0, 0.5f);
    comp(b, 0, 4, cs, rhythm, 0.7f);
    for (int section = 0; section < 2; ++section) {
        int bar = 4 + 8 * section;
        b.pad(bar, 8, cs, 0, 0.45f);
        comp(b, bar, 8, cs, rhythm, 0.75f);
        b.bassline(bar, 8, cs, bass, -1, 0.85f);
        b.drums(Instrument::Kick, bar, 8, "x......x..x.....", 0.8f);
        b.drums(Instrument::Snare, bar, 8, "....x.......x..o", 0.55f);
        b.drums(Instrument::Shaker, bar, 8, "xoxoxoxoxoxoxoxo", 0.7f);
        b.drums(Instrument::HatOpen, bar, 8, "......x.......x.", 0.35f);
    }
    b.melody(Instrument::Lead, 12,
             "A4:6 C5:2 D5:4 E5:4 | F5:6 E5:2 D5:4 B4:4 | D5:8 A4:4 F4:4 | E4:6 G4:2 C#5:8 | "
             "D5:4 F5:4 A5:6 G5:2 | E5:6 C5:2 Bb4:4 G4:4 | A4:6 C5:2 E5:8 | E5:4 C#5:4 r:8",
             0.6f, -12);
    b.arpeggio(Instrument::Pluck, 4, 8, cs, {1, 3, 2, 4, 3, 5}, 2, 1, 0.3f, -0.3f);
    b.pad(20, 4, cs, 0, 0.5f);
    comp(b, 20, 4, cs, rhythm, 0.7f);
    b.bassline(20, 4, cs, "0 - - - - - - - 7 - - - - - - -", -1, 0.6f);
    b.drums(Instrument::Shaker, 20, 4, "xoxoxoxoxoxoxoxo", 0.55f);
    return song;
}

Song crosstown() {
    Song song;
    song.name = "Crosstown";
    song.bpm = 120;
    song.bars = 32;
    song.mix.delayBeats = 0.75;
    song.mix.reverbWet = 0.22f;
    Builder b{song};
    const auto cs = chords({"Em", "C", "G", "D", "Em", "C", "Am", "B"});
    const std::string pump = "0 0 12 0 0 0 12 0 0 0 12 0 0 0 12 0";
    const std::vector<int> arp = {0, 2, 4, 2, 3, 2, 4, 5};

    b.bassline(0, 4, cs, pump, -1, 0.6f);
    b.drums(Instrument::Kick, 0, 4, "x...x...x...x...", 0.9f);
    b.drums(Instrument::HatClosed, 2, 2, "..x...x...x...x.", 0.6f);
    for (int section = 0; section < 3; ++section) {
        int bar = 4 + 8 * section;
        b.bassline(bar, 8, cs, pump, -1, 0.85f);
        b.pad(bar, 8, cs, 0, section == 0 ? 0.5f : 0.65f);
        b.arpeggio(Instrument::Pluck, bar, 8, cs, arp, 1, 1, 0.5f, 0.25f);
        b.drums(Instrument::Kick, bar, 8, "x...x...x...x...", 0.95f);
        b.drums(Instrument::Snare, bar, 8, "....x.......x...", 0.85f);
        b.drums(Instrument::HatClosed, bar, 8, "oox.oox.oox.oox.", 0.55f);
        b.drums(Instrument::HatOpen, bar, 8, "..x...x...x...x.", 0.4f);
    }
    b.melody(Instrument::Lead, 12,
             "B4:4 E5:4 G5:4 F#5:4 | E5:6 D5:2 E5:8 | D5:4 G5:4 B5:4 A5:4 | F#5:12 r:4 | "
             "B4:4 E5:4 G5:4 B5:4 | C6:6 B5:2 G5:8 | A5:4 G5:4 F#5:4 E5:4 | D#5:12 r:4",
             0.85f);
    b.melody(Instrument::Lead, 20,
             "E6:2 D6:2 B5:4 G5:4 B5:4 | C6:6 B5:2 G5:4 E5:4 | D6:2 C6:2 B5:4 G5:4 D5:4 | F#5:8 A5:8 | "
             "E6:2 D6:2 B5:4 G5:4 B5:4 | C6:6 E6:2 C6:4 G5:4 | A5:4 C6:4 E6:4 C6:4 | B5:8 D#6:4 F#6:4",
             0.75f);
    b.stabs(20, 8, cs, "x.....x.....x...", 0, 0.5f);
    // Break: pads and arpeggio, the kick back in for the last two bars with a snare run.
    b.pad(28, 4, cs, 0, 0.7f);
    b.arpeggio(Instrument::Pluck, 28, 4, cs, arp, 1, 1, 0.5f, 0.25f);
    b.bassline(28, 4, cs, "0 - - - - - - - 0 - - - 12 - - -", -1, 0.7f);
    b.drums(Instrument::Kick, 30, 2, "x...x...x...x...", 0.85f);
    b.drums(Instrument::Snare, 31, 1, "o.o.o.o.oooooooo", 0.6f);
    return song;
}

Song redLightRun() {
    Song song;
    song.name = "Red Light Run";
    song.bpm = 128;
    song.bars = 36;
    song.mix.delayBeats = 0.75;
    song.mix.delayFeedback = 0.3f;
    song.mix.reverbWet = 0.2f;
    song.mix.duckDepth = 0.45f;
    Builder b{song};
    const auto cs = chords({"Cm", "Ab", "Eb", "Bb", "Fm", "Ab", "Bb", "G"});
    const std::string offbeat = ". 0 12 0 . 0 12 0 . 0 12 0 . 0 12 0";
    const std::vector<int> arp = {0, 1, 2, 3, 2, 1, 2, 4};

    b.stabs(0, 4, cs, "x..x..x...x..x..", 0, 0.45f);
    b.drums(Instrument::Kick, 0, 4, "x...x...x...x...", 0.9f);
    b.drums(Instrument::HatClosed, 0, 4, "..x...x...x...x.", 0.5f);
    auto groove = [&](int bar, int bars, bool stabs) {
        b.bassline(bar, bars, take(cs, 0, 8), offbeat, -1, 0.85f);
        b.arpeggio(Instrument::Pluck, bar, bars, cs, arp, 1, 1, 0.45f, -0.25f);
        b.drums(Instrument::Kick, bar, bars, "x...x...x...x...", 1.0f);
        b.drums(Instrument::Clap, bar, bars, "....x.......x...", 0.85f);
        b.drums(Instrument::HatClosed, bar, bars, "xoxoxoxoxoxoxoxo", 0.45f);
        b.drums(Instrument::HatOpen, bar, bars, "..x...x...x...x.", 0.45f);
        if (stabs) b.stabs(bar, bars, cs, "x..x..x...x..x..", 0, 0.45f);
    };
    groove(4, 8, false);
    groove(12, 8, false);
    b.pad(12, 8, cs, 0, 0.55f);
    b.melody(Instrument::Lead, 12,
             "G5:6 Eb5:2 C5:4 D5:4 | Eb5:6 F5:2 G5:4 Ab5:4 | G5:4 F5:4 Eb5:4 D5:4 | Bb4:8 D5:8 | "
             "C5:4 Eb5:4 G5:4 C6:4 | Ab5:6 G5:2 F5:4 Eb5:4 | F5:4 G5:4 Ab5:4 Bb5:4 | B5:12 r:4",
             0.85f);
    groove(20, 8, true);
    b.melody(Instrument::Lead, 20,
             "C6:2 Bb5:2 G5:4 Eb5:2 G5:2 C6:4 | Ab5:4 C6:4 Eb6:8 | Bb5:2 G5:2 Eb5:4 G5:4 Bb5:4 | "
             "D6:8 F6:4 D6:4 | C6:2 Bb5:2 G5:4 Eb5:2 G5:2 C6:4 | C6:4 Ab5:4 F5:8 | "
             "Bb5:4 D6:4 F6:4 D6:4 | D6:8 B5:8",
             0.75f);
    // Breakdown: no drums for four bars, then the groove comes back for the loop.
    b.pad(28, 4, cs, 0, 0.7f);
    b.arpeggio(Instrument::Pluck, 28, 4, cs, arp, 1, 1, 0.5f, -0.25f);
    b.melody(Instrument::Lead, 28, "G5:8 Eb5:8 | C5:8 Eb5:8 | Bb4:8 Eb5:8 | D5:16", 0.55f);
    groove(32, 4, true);
    b.drums(Instrument::Snare, 35, 1, "........oooooooo", 0.55f);
    return song;
}

Song songNumber(int track) {
    switch (track) {
        case 1: return menuTheme();
        case 2: return garageTheme();
        case 3: return crosstown();
        case 4: return redLightRun();
    }
    throw std::runtime_error("no such track");
}

}  // namespace musicgen
