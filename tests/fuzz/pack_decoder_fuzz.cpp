// libFuzzer target for the graphics pack decoder. The first two input bytes choose the
// decode buffer's capacity (so that short inputs reach the overflow paths), the rest is
// the pack. The buffer is allocated at exactly that capacity, so AddressSanitizer
// catches any write past it; the result is checked against a plain reference decode.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/graphics_pack.h"

namespace {

[[noreturn]] void fail(const char* what) { __builtin_fprintf(stderr, "pack decoder fuzz: %s\n", what), std::abort(); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t capacity = ((size_t(data[0]) | size_t(data[1]) << 8) & 0x1FFF) * 3;
    data += 2, size -= 2;

    std::vector<uint8_t> out(capacity);
    const hc::PackDecodeResult result = hc::decodePack(data, size, out.data(), capacity);

    // Reference: expand the records one pixel at a time until they pass the capacity.
    std::vector<uint8_t> expected;
    for (size_t r = 0; r + 3 <= size && expected.size() <= capacity; r += 3) {
        const size_t pairs = data[r] == 0 ? 256 : data[r];
        for (size_t p = 0; p < pairs; ++p) {
            expected.push_back(data[r + 1]);
            expected.push_back(data[r + 2]);
        }
    }
    if (result.trailingBytes != size % 3) fail("trailing byte count");
    if (result.length > capacity) fail("length past the capacity");
    if (expected.size() > capacity) {
        if (result.error != hc::PackError::Overflow) fail("overflow not reported");
    } else {
        if (result.error == hc::PackError::Overflow) fail("overflow reported for a fitting pack");
        if (result.length != expected.size()) fail("decoded length");
    }
    if (result.length > 0 && std::memcmp(out.data(), expected.data(), result.length) != 0) fail("decoded bytes");

    // Feeding the same records in two pieces gives the same stream.
    if (size >= 6) {
        const size_t records = size / 3, split = records / 2;
        std::vector<uint8_t> pieces(capacity);
        hc::PackDecoder decoder{pieces.data(), capacity};
        hc::decodeRecords(decoder, data, split);
        hc::decodeRecords(decoder, data + split * 3, records - split);
        if (decoder.length != result.length || decoder.overflow != (result.error == hc::PackError::Overflow))
            fail("pieces disagree");
        if (decoder.length > 0 && std::memcmp(pieces.data(), out.data(), decoder.length) != 0) fail("pieces' bytes");
    }
    return 0;
}
