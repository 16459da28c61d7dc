#include "core/replay_file.h"

#include <cmath>
#include <cstring>

#include "core/regular_file.h"
#include "core/save_file.h"

namespace hc {

namespace {

constexpr std::string_view Magic = "HCREPLAY";
constexpr uint8_t NewDelta = 1, NewActions = 2;
// Bits 1..ActionCount are the actions, bit 0 the forgetting poll.
constexpr ActionMask KnownActions = (actionBit(ActionCount) << 1) - 1;

// Little-endian, whatever the machine.
struct Writer {
    std::string out;
    void unsignedBytes(uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    void u8(uint8_t v) { unsignedBytes(v, 1); }
    void u16(uint16_t v) { unsignedBytes(v, 2); }
    void u32(uint32_t v) { unsignedBytes(v, 4); }
    void u64(uint64_t v) { unsignedBytes(v, 8); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void f64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u64(bits);
    }
};

// Reads fields in order; once a read runs past the end every later one fails too.
struct Reader {
    std::string_view in;
    size_t at = 0;
    bool ok = true;
    uint64_t unsignedBytes(int bytes) {
        if (!ok || in.size() - at < static_cast<size_t>(bytes)) {
            ok = false;
            return 0;
        }
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= uint64_t{static_cast<uint8_t>(in[at + i])} << (8 * i);
        at += bytes;
        return value;
    }
    uint8_t u8() { return static_cast<uint8_t>(unsignedBytes(1)); }
    uint16_t u16() { return static_cast<uint16_t>(unsignedBytes(2)); }
    uint32_t u32() { return static_cast<uint32_t>(unsignedBytes(4)); }
    uint64_t u64() { return unsignedBytes(8); }
    float f32() {
        const uint32_t bits = u32();
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    double f64() {
        const uint64_t bits = u64();
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
};

bool isFlag(uint8_t v) { return v == 0x00 || v == 0xFF; }

bool validDay(uint32_t day) {
    if (day == 0) return true;
    const uint32_t year = day / 10000, month = day / 100 % 100, date = day % 100;
    return year >= 1970 && year <= 9999 && month >= 1 && month <= 12 && date >= 1 && date <= 31;
}

// What is wrong with a start, or null.
const char* startFault(const ReplayStart& s) {
    if (s.random == RandomState{}) return "a random state of zeros";
    if (s.kind != ReplayKind::Arcade && s.kind != ReplayKind::Career) return "an unknown kind of shift";
    if (!validDay(s.day)) return "a day that is no date";
    if (s.money < -1000000000000000 || s.money > 1000000000000000) return "money out of range";
    for (int8_t stage : s.stages) {
        if (stage < 0 || stage > MaxReplayStage) return "an upgrade stage out of range";
    }
    for (float wear : s.wear) {
        if (!(wear >= 0.0f && wear <= 1.0f)) return "wear out of range";
    }
    if (!isFlag(s.assists) || !isFlag(s.lowDetail) || !isFlag(s.timedShiftRan) || !isFlag(s.rideSuggested)) {
        return "a switch that is neither on nor off";
    }
    if (s.coachStep < 0 || s.coachStep > 3 || s.lastDelivered < 0 || s.lastDelivered > 1000) {
        return "the guide's state out of range";
    }
    // The city is MapSize cells square; the cab's box must stay inside it.
    if (!(s.cabX >= 2.0f && s.cabX <= 2045.0f && s.cabY >= 2.0f && s.cabY <= 2045.0f)) return "the cab off the map";
    if ((s.previousHeld & ~KnownActions & ~ReplayForgotten) != 0 || (s.previousHeld & ReplayForgotten) != 0) {
        return "unknown actions";
    }
    return nullptr;
}

}  // namespace

bool recordableFrame(const ReplayFrame& frame) {
    return std::isfinite(frame.delta) && frame.delta >= 0.0 && frame.delta <= MaxReplayFrameDelta &&
           (frame.held & ~KnownActions) == 0;
}

std::string recordingBytes(const Recording& recording) {
    Writer w;
    w.out.reserve(128 + recording.frames.size() * 4);
    w.out += Magic;
    w.u16(ReplayFormatVersion);
    const std::string_view version = std::string_view(recording.gameVersion).substr(0, MaxReplayVersionLength);
    w.u8(static_cast<uint8_t>(version.size()));
    w.out += version;
    const ReplayStart& s = recording.start;
    for (uint64_t word : s.random.words) w.u64(word);
    w.u8(static_cast<uint8_t>(s.kind));
    w.u32(s.day);
    w.u64(static_cast<uint64_t>(s.money));
    for (int8_t stage : s.stages) w.u8(static_cast<uint8_t>(stage));
    for (float wear : s.wear) w.f32(wear);
    w.u8(s.assists), w.u8(s.lowDetail), w.u8(static_cast<uint8_t>(s.coachStep)), w.u8(s.timedShiftRan);
    w.u32(static_cast<uint32_t>(s.lastDelivered)), w.u8(s.rideSuggested), w.u32(s.previousHeld);
    w.f32(s.cabX), w.f32(s.cabY);
    w.u32(static_cast<uint32_t>(recording.frames.size()));
    ReplayFrame last;
    for (const ReplayFrame& frame : recording.frames) {
        // Bit-for-bit, so that a length is never lost to a comparison of equal values.
        const bool newDelta = std::memcmp(&frame.delta, &last.delta, sizeof(double)) != 0;
        const bool newActions = frame.held != last.held;
        w.u8(static_cast<uint8_t>((newDelta ? NewDelta : 0) | (newActions ? NewActions : 0)));
        if (newDelta) w.f64(frame.delta);
        if (newActions) w.u16(static_cast<uint16_t>(frame.held));
        last = frame;
    }
    w.u64(static_cast<uint64_t>(recording.finalScore));
    w.u32(crc32(w.out));
    return w.out;
}

bool parseRecording(std::string_view bytes, Recording& recording, std::string& reason) {
    const auto refuse = [&](const char* why) {
        reason = why;
        return false;
    };
    if (bytes.size() > MaxReplayBytes) return refuse("it is too large for a recording");
    if (bytes.substr(0, Magic.size()) != Magic) return refuse("it is not a recording");
    // The fields are read and judged first, so that a file cut short says so; the
    // checksum at the end then catches what spoils a file without breaking its form.
    if (bytes.size() < Magic.size() + 2 + 4) return refuse("it is cut short");
    Reader r{bytes.substr(0, bytes.size() - 4), Magic.size()};
    if (r.u16() != ReplayFormatVersion) return refuse("it is a recording of another format version");
    Recording out;
    const uint8_t versionLength = r.u8();
    if (versionLength > MaxReplayVersionLength || r.in.size() - r.at < versionLength) return refuse("it is cut short");
    out.gameVersion = std::string(r.in.substr(r.at, versionLength));
    r.at += versionLength;
    ReplayStart& s = out.start;
    for (uint64_t& word : s.random.words) word = r.u64();
    s.kind = static_cast<ReplayKind>(r.u8());
    s.day = r.u32();
    s.money = static_cast<int64_t>(r.u64());
    for (int8_t& stage : s.stages) stage = static_cast<int8_t>(r.u8());
    for (float& wear : s.wear) wear = r.f32();
    s.assists = r.u8(), s.lowDetail = r.u8(), s.coachStep = static_cast<int8_t>(r.u8()), s.timedShiftRan = r.u8();
    s.lastDelivered = static_cast<int32_t>(r.u32()), s.rideSuggested = r.u8(), s.previousHeld = r.u32();
    s.cabX = r.f32(), s.cabY = r.f32();
    const uint32_t count = r.u32();
    if (!r.ok) return refuse("it is cut short");
    if (const char* fault = startFault(s)) return refuse(fault);
    if (count > MaxReplayFrames) return refuse("it has more frames than a shift can have");
    // Every frame takes a byte at least: a count beyond the bytes left is a lie.
    if (count > r.in.size() - r.at) return refuse("it is cut short");
    out.frames.reserve(count);
    ReplayFrame frame;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t changes = r.u8();
        if ((changes & ~(NewDelta | NewActions)) != 0) return refuse("a frame of unknown changes");
        if (changes & NewDelta) frame.delta = r.f64();
        if (changes & NewActions) frame.held = r.u16();
        if (!r.ok) return refuse("it is cut short");
        // The actions fit their 16 bits, so only the length can be out of range.
        if (!recordableFrame(frame)) return refuse("a frame length that is not a number in range");
        out.frames.push_back(frame);
    }
    out.finalScore = static_cast<int64_t>(r.u64());
    if (!r.ok) return refuse("it is cut short");
    if (r.at != r.in.size()) return refuse("it has bytes after its end");
    Reader crc{bytes.substr(bytes.size() - 4)};
    if (crc.u32() != crc32(r.in)) return refuse("its checksum is wrong");
    recording = std::move(out);
    return true;
}

bool readRecordingFile(const std::string& path, Recording& recording, std::string& reason) {
    std::string bytes;
    switch (readRegularFile(path, MaxReplayBytes, bytes, reason)) {
        case FileRead::Read: return parseRecording(bytes, recording, reason);
        case FileRead::Missing: reason = "there is no such file"; return false;
        default: return false;
    }
}

}  // namespace hc
