#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/audio.h"

namespace hc {

// Music decoding, independent of any sound device. A stream delivers 16-bit signed
// little-endian stereo at 44100 Hz whatever the file holds: other rates and channel
// counts are converted on the way (linear interpolation, channels mixed to stereo).

// Opens an Ogg Vorbis file; null if it cannot be opened or is not playable (a rate
// outside 8000..192000 Hz, or no channels). The file is read whole, and only when it is
// a regular file of at most 16 MB; a chain of more than four streams, a packet (such as
// a comment header) over 256 KB or more than 64 KB between pages is refused before
// decoding. A refusal for one of these reasons is given in reason (left alone for a
// missing file or one the decoder cannot read).
AudioStream* openAudioStream(const std::string& path, std::string* reason = nullptr);
// The same over bytes in memory, which must stay alive while the stream is open.
AudioStream* openAudioStreamFromMemory(const uint8_t* data, size_t size);
void closeAudioStream(AudioStream* stream);

// Fills out[0..bytes) (a whole number of stereo frames), rewinding to the start at
// the end of the track so that it loops without a gap. False on a decoding error, a
// failed rewind, or a rewind that yields no sound at all; out is then unspecified.
bool readStreamBuffer(AudioStream& stream, uint8_t* out, int bytes);

// What the file declares (of its first section).
int streamFileRate(const AudioStream& stream);
int streamFileChannels(const AudioStream& stream);
// Length of the whole track in seconds (0 if unknown).
double streamSeconds(AudioStream& stream);

}  // namespace hc
