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

// Each song runs intro, groove, theme, a variation, a break or bridge on other chords or
// drums, the theme again and an outro that thins back to the intro's texture, so that
// the loop point is not heard.

Song menuTheme() {
    Song song;
    song.name = "Neon Dusk";
    song.bpm = 96;
    song.bars = 56;
    song.mix.delayBeats = 0.75;
    song.mix.reverbWet = 0.3f;
    Builder b{song};
    const auto cs = chords({"Am", "F", "C", "G", "Am", "F", "Dm", "E"});
    const auto bridge = chords({"F", "G", "Em", "Am", "Dm7", "G", "Bbmaj7", "E7"});
    const std::vector<int> arp = {0, 1, 2, 3, 4, 3, 2, 1};
    const std::string bass = "0 . 0 . 12 . 0 . 0 . 0 . 12 . 7 .";
    const std::string theme =
        "A4:4 C5:4 E5:6 D5:2 | C5:6 A4:2 F5:8 | E5:4 G5:4 E5:4 C5:4 | D5:12 r:4 | "
        "A4:4 C5:4 E5:6 G5:2 | A5:6 G5:2 F5:4 E5:4 | F5:4 E5:4 D5:4 C5:4 | B4:8 G#4:4 E4:4";
    auto groove = [&](int bar, int arpStep) {
        b.pad(bar, 8, cs, 0, 0.75f);
        b.arpeggio(Instrument::Pluck, bar, 8, cs, arp, arpStep, 1, 0.6f, 0.2f);
        b.bassline(bar, 8, cs, bass, -1, 0.9f);
        b.drums(Instrument::Kick, bar, 8, "x.......x.o.....", 0.95f);
        b.drums(Instrument::Snare, bar, 8, "....x.......x...", 0.85f);
        b.drums(Instrument::HatClosed, bar, 8, "x.o.x.o.x.o.x.o.", 0.7f);
        b.drums(Instrument::HatOpen, bar + 7, 1, "..............x.", 0.6f);
    };

    // Intro (0-3): pads and a quiet arpeggio.
    b.pad(0, 4, cs, 0, 0.8f);
    b.arpeggio(Instrument::Pluck, 0, 4, cs, arp, 2, 1, 0.55f, 0.2f);
    b.drums(Instrument::Shaker, 2, 2, "..x...x...x...x.", 0.6f);
    // Groove (4-11), the theme (12-19), the theme up high over a low counter-line (20-27).
    groove(4, 2);
    groove(12, 2);
    b.melody(Instrument::Lead, 12, theme, 0.9f);
    groove(20, 1);
    b.melody(Instrument::Lead, 20,
             "E5:4 A5:4 C6:6 B5:2 | A5:6 F5:2 C6:8 | G5:4 C6:4 E6:4 D6:4 | D6:6 C6:2 B5:8 | "
             "C6:4 B5:4 A5:6 E5:2 | F5:6 A5:2 C6:4 A5:4 | D6:4 C6:4 A5:4 F5:4 | E5:8 G#5:4 B5:4",
             0.8f);
    b.melody(Instrument::Lead, 20,
             "A4:16 | F4:16 | G4:16 | G4:16 | A4:16 | A4:16 | F4:16 | G#4:16", 0.45f);
    // Break (28-35): half-time drums, the electric piano takes the tune, the bass holds.
    b.pad(28, 8, cs, 0, 0.7f);
    comp(b, 28, 8, cs, "x-------..o-----", 0.5f);
    b.arpeggio(Instrument::Pluck, 28, 8, cs, {0, 2, 4, 2}, 2, 1, 0.4f, -0.2f);
    b.bassline(28, 8, cs, "0 - - - - - - - 0 - - - 12 - 7 -", -1, 0.75f);
    b.drums(Instrument::Kick, 28, 8, "x.........x.....", 0.85f);
    b.drums(Instrument::Snare, 28, 8, "........x.......", 0.7f);
    b.drums(Instrument::Shaker, 28, 8, "..x...x...x...x.", 0.6f);
    b.melody(Instrument::Keys, 28,
             "E5:8 D5:8 | C5:8 A4:8 | G4:8 C5:8 | D5:16 | E5:8 D5:8 | C5:8 F5:8 | "
             "F5:4 E5:4 D5:8 | E5:8 G#5:8",
             0.85f);
    // Bridge (36-43): other chords, a syncopated bass, claps and sixteenth hats.
    b.pad(36, 8, bridge, 0, 0.75f);
    b.arpeggio(Instrument::Pluck, 36, 8, bridge, {0, 2, 1, 3, 2, 4, 3, 1}, 2, 1, 0.55f, 0.2f);
    b.bassline(36, 8, bridge, "0 . . 0 . . 12 . 0 . . 0 . 7 . .", -1, 0.9f);
    b.drums(Instrument::Kick, 36, 8, "x.....x...x.....", 0.95f);
    b.drums(Instrument::Clap, 36, 8, "....x.......x...", 0.75f);
    b.drums(Instrument::HatClosed, 36, 8, "xoxoxoxoxoxoxoxo", 0.5f);
    b.drums(Instrument::HatOpen, 43, 1, "..............x.", 0.6f);
    b.melody(Instrument::Lead, 36,
             "A5:6 G5:2 F5:4 C5:4 | D5:6 B4:2 G5:8 | B5:6 G5:2 E5:8 | E5:4 C5:4 A4:8 | "
             "F5:6 A5:2 C6:4 A5:4 | B5:6 G5:2 D5:8 | D6:4 A5:4 F5:4 D5:4 | E5:8 G#5:4 B5:4",
             0.85f);
    // The theme again (44-51), the piano doubling it an octave down.
    groove(44, 2);
    b.melody(Instrument::Lead, 44, theme, 0.9f);
    b.melody(Instrument::Keys, 44, theme, 0.45f, -12);
    // Outro (52-55): the groove thins out so that the loop back to the intro is gentle.
    b.pad(52, 4, cs, 0, 0.8f);
    b.arpeggio(Instrument::Pluck, 52, 4, cs, arp, 2, 1, 0.55f, 0.2f);
    b.bassline(52, 2, cs, "0 - - - - - - - 0 - - - 12 - 7 -", -1, 0.7f);
    b.drums(Instrument::Kick, 52, 2, "x...............", 0.8f);
    b.drums(Instrument::Shaker, 52, 4, "..x...x...x...x.", 0.6f);
    return song;
}

Song garageTheme() {
    Song song;
    song.name = "Late Shift Garage";
    song.bpm = 84;
    song.bars = 48;
    song.mix.delayBeats = 0.5;
    song.mix.delayFeedback = 0.3f;
    song.mix.reverbWet = 0.28f;
    song.mix.duckDepth = 0.15f;
    song.mix.cutoffScale = 0.75f;
    Builder b{song};
    const auto cs = chords({"Dm9", "G7", "Bbmaj7", "A7", "Gm7", "C7", "Fmaj7", "A7"});
    const auto bridge = chords({"Ebmaj7", "Dm7", "Gm7", "C7", "Fmaj7", "Bbmaj7", "Gm7", "A7"});
    const std::string rhythm = "x-----o---x-----";
    const std::string bass = "0 - - . . . 0 . 7 - . . 10 . 12 .";
    const std::string theme =
        "A4:6 C5:2 D5:4 E5:4 | F5:6 E5:2 D5:4 B4:4 | D5:8 A4:4 F4:4 | E4:6 G4:2 C#5:8 | "
        "D5:4 F5:4 A5:6 G5:2 | E5:6 C5:2 Bb4:4 G4:4 | A4:6 C5:2 E5:8 | E5:4 C#5:4 r:8";
    auto groove = [&](int bar) {
        b.pad(bar, 8, cs, 0, 0.45f);
        comp(b, bar, 8, cs, rhythm, 0.75f);
        b.bassline(bar, 8, cs, bass, -1, 0.85f);
        b.drums(Instrument::Kick, bar, 8, "x......x..x.....", 0.8f);
        b.drums(Instrument::Snare, bar, 8, "....x.......x..o", 0.55f);
        b.drums(Instrument::Shaker, bar, 8, "xoxoxoxoxoxoxoxo", 0.7f);
        b.drums(Instrument::HatOpen, bar, 8, "......x.......x.", 0.35f);
    };

    // Intro (0-3): pads and the electric piano alone.
    b.pad(0, 4, cs, 0, 0.5f);
    comp(b, 0, 4, cs, rhythm, 0.7f);
    // Groove with a soft arpeggio (4-11), then the tune, low (12-19).
    groove(4);
    b.arpeggio(Instrument::Pluck, 4, 8, cs, {1, 3, 2, 4, 3, 5}, 2, 1, 0.3f, -0.3f);
    groove(12);
    b.melody(Instrument::Lead, 12, theme, 0.6f, -12);
    // Variation (20-27): a looser beat with hats, the piano pushing ahead of the bar, and
    // the tune taken up in busier lines.
    b.pad(20, 8, cs, 0, 0.45f);
    comp(b, 20, 8, cs, "x--.x--.......o-", 0.7f);
    b.bassline(20, 8, cs, "0 - . . 7 - . . 10 - . 12 . . 7 .", -1, 0.85f);
    b.drums(Instrument::Kick, 20, 8, "x.........x.....", 0.8f);
    b.drums(Instrument::Snare, 20, 8, "....o.......x...", 0.55f);
    b.drums(Instrument::HatClosed, 20, 8, "x.ox.ox.x.ox.ox.", 0.5f);
    b.drums(Instrument::HatOpen, 27, 1, "..............x.", 0.4f);
    b.melody(Instrument::Lead, 20,
             "D5:2 E5:2 F5:2 A5:2 C6:4 A5:4 | B5:4 G5:2 F5:2 D5:8 | F5:2 A5:2 D6:4 C6:4 A5:4 | "
             "C#6:6 A5:2 E5:4 G5:4 | F5:2 G5:2 Bb5:4 D6:4 Bb5:4 | E5:6 G5:2 Bb5:4 C6:4 | "
             "A5:4 E5:4 C5:4 F5:4 | E5:8 C#5:8",
             0.55f, -12);
    // Bridge (28-35): other chords, drums down to shaker and a rim on four, a wider tune.
    b.pad(28, 8, bridge, 0, 0.6f);
    comp(b, 28, 8, bridge, "x-------o-------", 0.65f);
    b.bassline(28, 8, bridge, "0 - - - - - . . 7 - - - . . . .", -1, 0.75f);
    b.drums(Instrument::Kick, 28, 8, "x.......x.......", 0.6f);
    b.drums(Instrument::Snare, 28, 8, "............o...", 0.5f);
    b.drums(Instrument::Shaker, 28, 8, "x.o.x.o.x.o.x.o.", 0.6f);
    b.melody(Instrument::Lead, 28,
             "G5:6 Bb5:2 D6:8 | C6:4 A5:4 F5:8 | Bb5:6 A5:2 G5:4 D5:4 | E5:6 G5:2 Bb5:8 | "
             "A5:6 C6:2 E6:8 | D6:4 C6:4 A5:4 F5:4 | G5:6 F5:2 D5:4 Bb4:4 | C#5:8 E5:4 G5:4",
             0.55f, -12);
    // The tune again (36-43) over the first groove and its arpeggio.
    groove(36);
    b.arpeggio(Instrument::Pluck, 36, 8, cs, {1, 3, 2, 4, 3, 5}, 2, 1, 0.3f, -0.3f);
    b.melody(Instrument::Lead, 36, theme, 0.6f, -12);
    // Outro (44-47): back to pads and piano, the bass holding.
    b.pad(44, 4, cs, 0, 0.5f);
    comp(b, 44, 4, cs, rhythm, 0.7f);
    b.bassline(44, 4, cs, "0 - - - - - - - 7 - - - - - - -", -1, 0.6f);
    b.drums(Instrument::Shaker, 44, 4, "xoxoxoxoxoxoxoxo", 0.55f);
    return song;
}

Song crosstown() {
    Song song;
    song.name = "Crosstown";
    song.bpm = 120;
    song.bars = 72;
    song.mix.delayBeats = 0.75;
    song.mix.reverbWet = 0.22f;
    Builder b{song};
    const auto cs = chords({"Em", "C", "G", "D", "Em", "C", "Am", "B"});
    const auto bridge = chords({"C", "D", "Bm", "Em", "Am", "D", "G", "B"});
    const std::string pump = "0 0 12 0 0 0 12 0 0 0 12 0 0 0 12 0";
    const std::vector<int> arp = {0, 2, 4, 2, 3, 2, 4, 5};
    const std::string theme =
        "B4:4 E5:4 G5:4 F#5:4 | E5:6 D5:2 E5:8 | D5:4 G5:4 B5:4 A5:4 | F#5:12 r:4 | "
        "B4:4 E5:4 G5:4 B5:4 | C6:6 B5:2 G5:8 | A5:4 G5:4 F#5:4 E5:4 | D#5:12 r:4";
    const std::string high =
        "E6:2 D6:2 B5:4 G5:4 B5:4 | C6:6 B5:2 G5:4 E5:4 | D6:2 C6:2 B5:4 G5:4 D5:4 | F#5:8 A5:8 | "
        "E6:2 D6:2 B5:4 G5:4 B5:4 | C6:6 E6:2 C6:4 G5:4 | A5:4 C6:4 E6:4 C6:4 | B5:8 D#6:4 F#6:4";
    auto groove = [&](int bar, float padLevel) {
        b.bassline(bar, 8, cs, pump, -1, 0.85f);
        b.pad(bar, 8, cs, 0, padLevel);
        b.arpeggio(Instrument::Pluck, bar, 8, cs, arp, 1, 1, 0.5f, 0.25f);
        b.drums(Instrument::Kick, bar, 8, "x...x...x...x...", 0.95f);
        b.drums(Instrument::Snare, bar, 8, "....x.......x...", 0.85f);
        b.drums(Instrument::HatClosed, bar, 8, "oox.oox.oox.oox.", 0.55f);
        b.drums(Instrument::HatOpen, bar, 8, "..x...x...x...x.", 0.4f);
    };

    // Intro (0-3): the pumping bass and the kick, hats joining.
    b.bassline(0, 4, cs, pump, -1, 0.6f);
    b.drums(Instrument::Kick, 0, 4, "x...x...x...x...", 0.9f);
    b.drums(Instrument::HatClosed, 2, 2, "..x...x...x...x.", 0.6f);
    // Groove (4-11), the theme (12-19), the high line with stabs (20-27).
    groove(4, 0.5f);
    groove(12, 0.65f);
    b.melody(Instrument::Lead, 12, theme, 0.85f);
    groove(20, 0.65f);
    b.melody(Instrument::Lead, 20, high, 0.75f);
    b.stabs(20, 8, cs, "x.....x.....x...", 0, 0.5f);
    // Break (28-35): pads, arpeggio and long lead notes; the kick back for the last four
    // bars, with a snare run into the bridge.
    b.pad(28, 8, cs, 0, 0.7f);
    b.arpeggio(Instrument::Pluck, 28, 8, cs, arp, 1, 1, 0.5f, 0.25f);
    b.bassline(28, 8, cs, "0 - - - - - - - 0 - - - 12 - - -", -1, 0.7f);
    b.melody(Instrument::Lead, 28,
             "B5:16 | G5:16 | D6:16 | A5:16 | B5:8 E6:8 | E6:8 C6:8 | C6:8 A5:8 | B5:8 D#6:8", 0.55f);
    b.drums(Instrument::Kick, 32, 4, "x...x...x...x...", 0.85f);
    b.drums(Instrument::Snare, 35, 1, "o.o.o.o.oooooooo", 0.6f);
    // Bridge (36-51): other chords, a bouncing octave bass, claps and straight hats; the
    // second half adds stabs and the piano under the lead.
    for (int half = 0; half < 2; ++half) {
        const int bar = 36 + 8 * half;
        b.bassline(bar, 8, bridge, "0 . 12 . 0 . 12 . 0 . 12 . 0 0 12 .", -1, 0.85f);
        b.pad(bar, 8, bridge, 0, 0.6f);
        b.arpeggio(Instrument::Pluck, bar, 8, bridge, {0, 1, 2, 4}, 2, 1, 0.45f, -0.25f);
        b.drums(Instrument::Kick, bar, 8, "x...x...x...x..x", 0.95f);
        b.drums(Instrument::Clap, bar, 8, "....x.......x...", 0.8f);
        b.drums(Instrument::HatClosed, bar, 8, "x.x.x.x.x.x.x.x.", 0.5f);
        b.melody(Instrument::Lead, bar,
                 "E5:4 G5:4 C6:6 B5:2 | A5:4 F#5:4 D5:8 | D5:4 F#5:4 B5:6 A5:2 | G5:4 E5:4 B4:8 | "
                 "C5:4 E5:4 A5:6 G5:2 | F#5:4 A5:4 D6:6 C6:2 | B5:4 G5:4 D5:4 G5:4 | F#5:8 D#5:8",
                 half == 0 ? 0.8f : 0.7f);
    }
    b.stabs(44, 8, bridge, "x.....x.....x...", 0, 0.45f);
    comp(b, 44, 8, bridge, "x---..x---..x---", 0.45f);
    // The theme again (52-59) and the high line (60-67).
    groove(52, 0.65f);
    b.melody(Instrument::Lead, 52, theme, 0.85f);
    b.stabs(52, 8, cs, "x.....x.....x...", 0, 0.4f);
    groove(60, 0.65f);
    b.melody(Instrument::Lead, 60, high, 0.75f);
    b.stabs(60, 8, cs, "x.....x.....x...", 0, 0.5f);
    // Outro (68-71): back down to the bass, kick and hats of the intro.
    b.bassline(68, 4, cs, pump, -1, 0.7f);
    b.pad(68, 2, cs, 0, 0.5f);
    b.drums(Instrument::Kick, 68, 4, "x...x...x...x...", 0.9f);
    b.drums(Instrument::HatClosed, 68, 4, "..x...x...x...x.", 0.6f);
    return song;
}

Song redLightRun() {
    Song song;
    song.name = "Red Light Run";
    song.bpm = 128;
    song.bars = 72;
    song.mix.delayBeats = 0.75;
    song.mix.delayFeedback = 0.3f;
    song.mix.reverbWet = 0.2f;
    song.mix.duckDepth = 0.45f;
    Builder b{song};
    const auto cs = chords({"Cm", "Ab", "Eb", "Bb", "Fm", "Ab", "Bb", "G"});
    const std::string offbeat = ". 0 12 0 . 0 12 0 . 0 12 0 . 0 12 0";
    const std::vector<int> arp = {0, 1, 2, 3, 2, 1, 2, 4};
    const std::string theme =
        "G5:6 Eb5:2 C5:4 D5:4 | Eb5:6 F5:2 G5:4 Ab5:4 | G5:4 F5:4 Eb5:4 D5:4 | Bb4:8 D5:8 | "
        "C5:4 Eb5:4 G5:4 C6:4 | Ab5:6 G5:2 F5:4 Eb5:4 | F5:4 G5:4 Ab5:4 Bb5:4 | B5:12 r:4";
    const std::string high =
        "C6:2 Bb5:2 G5:4 Eb5:2 G5:2 C6:4 | Ab5:4 C6:4 Eb6:8 | Bb5:2 G5:2 Eb5:4 G5:4 Bb5:4 | "
        "D6:8 F6:4 D6:4 | C6:2 Bb5:2 G5:4 Eb5:2 G5:2 C6:4 | C6:4 Ab5:4 F5:8 | "
        "Bb5:4 D6:4 F6:4 D6:4 | D6:8 B5:8";
    auto groove = [&](int bar, int bars, bool stabs) {
        b.bassline(bar, bars, cs, offbeat, -1, 0.85f);
        b.arpeggio(Instrument::Pluck, bar, bars, cs, arp, 1, 1, 0.45f, -0.25f);
        b.drums(Instrument::Kick, bar, bars, "x...x...x...x...", 1.0f);
        b.drums(Instrument::Clap, bar, bars, "....x.......x...", 0.85f);
        b.drums(Instrument::HatClosed, bar, bars, "xoxoxoxoxoxoxoxo", 0.45f);
        b.drums(Instrument::HatOpen, bar, bars, "..x...x...x...x.", 0.45f);
        if (stabs) b.stabs(bar, bars, cs, "x..x..x...x..x..", 0, 0.45f);
    };

    // Intro (0-3): stabs over the kick and hats.
    b.stabs(0, 4, cs, "x..x..x...x..x..", 0, 0.45f);
    b.drums(Instrument::Kick, 0, 4, "x...x...x...x...", 0.9f);
    b.drums(Instrument::HatClosed, 0, 4, "..x...x...x...x.", 0.5f);
    // Groove (4-11), the theme over pads (12-19), the high line with stabs (20-27).
    groove(4, 8, false);
    groove(12, 8, false);
    b.pad(12, 8, cs, 0, 0.55f);
    b.melody(Instrument::Lead, 12, theme, 0.85f);
    groove(20, 8, true);
    b.melody(Instrument::Lead, 20, high, 0.75f);
    // Breakdown (28-35): no drums for four bars, then the kick and a snare run build back.
    b.pad(28, 8, cs, 0, 0.7f);
    b.arpeggio(Instrument::Pluck, 28, 8, cs, arp, 1, 1, 0.5f, -0.25f);
    b.melody(Instrument::Lead, 28,
             "G5:8 Eb5:8 | C5:8 Eb5:8 | Bb4:8 Eb5:8 | D5:16 | G5:8 Eb5:8 | C5:8 F5:8 | Bb4:8 F5:8 | D5:8 B4:8",
             0.55f);
    b.bassline(32, 4, cs, "0 - - - - - - - 0 - - - 12 - - -", -1, 0.7f);
    b.drums(Instrument::Kick, 32, 4, "x...x...x...x...", 0.9f);
    b.drums(Instrument::Snare, 34, 2, "o...o...o...o...o.o.o.o.oooooooo", 0.55f);
    // Bridge (36-51) in the major keys next door: first half-time, a held bass and shaker,
    // then the four-on-the-floor back under stabs and the piano.
    const auto bridge = chords({"Db", "Eb", "Fm", "Cm", "Db", "Eb", "G", "G"});
    const std::string bridgeTune =
        "F5:4 Ab5:4 Db6:8 | Eb6:4 Bb5:4 G5:8 | Ab5:4 C6:4 F6:6 Eb6:2 | Eb6:8 C6:4 G5:4 | "
        "F5:4 Ab5:4 Db6:6 C6:2 | Bb5:4 G5:4 Eb5:8 | D5:4 G5:4 B5:4 D6:4 | F6:8 D6:4 B5:4";
    b.pad(36, 16, bridge, 0, 0.6f);
    b.arpeggio(Instrument::Pluck, 36, 16, bridge, {0, 2, 1, 3}, 2, 1, 0.4f, 0.25f);
    b.bassline(36, 8, bridge, "0 - - - - - - - 0 - - 12 - - 7 -", -1, 0.8f);
    b.drums(Instrument::Kick, 36, 8, "x.........x.....", 0.95f);
    b.drums(Instrument::Clap, 36, 8, "........x.......", 0.8f);
    b.drums(Instrument::Shaker, 36, 8, "xoxoxoxoxoxoxoxo", 0.7f);
    b.melody(Instrument::Lead, 36, bridgeTune, 0.75f);
    b.bassline(44, 8, bridge, "0 . 0 12 . 0 0 12 0 . 0 12 . 0 7 12", -1, 0.8f);
    b.drums(Instrument::Kick, 44, 8, "x...x...x...x...", 1.0f);
    b.drums(Instrument::Clap, 44, 8, "....x.......x...", 0.8f);
    b.drums(Instrument::HatClosed, 44, 8, "xxoxxxoxxxoxxxox", 0.4f);
    b.stabs(44, 8, bridge, "x..x..x...x..x..", 0, 0.4f);
    comp(b, 44, 8, bridge, "x-.x-.x---x-.x-.", 0.4f);
    b.melody(Instrument::Lead, 44, bridgeTune, 0.7f);
    // The theme again (52-59) and the high line (60-67).
    groove(52, 8, false);
    b.pad(52, 8, cs, 0, 0.55f);
    b.melody(Instrument::Lead, 52, theme, 0.85f);
    groove(60, 8, true);
    b.melody(Instrument::Lead, 60, high, 0.75f);
    // Outro (68-71): the groove with stabs, a snare run leading back to the intro.
    groove(68, 4, true);
    b.drums(Instrument::Snare, 71, 1, "........oooooooo", 0.55f);
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
