#include "platform/ogg_pages.h"

#include <string.h>

#include <cstring>

namespace hc {

namespace {

// The decoder keeps every link's headers and every packet whole in memory, so these
// bound what a hostile file can make it take.
constexpr int TrackLinkLimit = 4;
constexpr size_t TrackPacketLimit = 256u << 10;
constexpr size_t TrackJunkLimit = 64u << 10;  // bytes between pages that are no page

constexpr size_t PageHeaderSize = 27;

}  // namespace

// Counts the links (pages that begin a stream) and measures every packet across its
// pages; padding after the last whole page is left out because the decoder would search
// through it page by page.
size_t checkOggPages(const uint8_t* data, size_t size, std::string& reason) {
    size_t at = 0, end = 0, junk = 0, packet = 0;
    int links = 0;
    while (at + PageHeaderSize <= size) {
        if (std::memcmp(data + at, "OggS", 4) != 0) {
            // Bytes that are no page are skipped as the decoder would skip them; they
            // only count once a page follows them.
            const void* next = ::memmem(data + at + 1, size - at - 1, "OggS", 4);
            if (next == nullptr) break;
            const size_t skip = static_cast<size_t>(static_cast<const uint8_t*>(next) - data) - at;
            junk += skip;
            at += skip;
            if (junk > TrackJunkLimit) {
                reason = "it holds more than " + std::to_string(TrackJunkLimit) + " bytes between its pages";
                return 0;
            }
            continue;
        }
        const size_t segments = data[at + 26];
        if (at + PageHeaderSize + segments > size) break;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) {
            const uint8_t lace = data[at + PageHeaderSize + i];
            body += lace;
            packet += lace;
            if (packet > TrackPacketLimit) {
                reason = "it holds a packet larger than " + std::to_string(TrackPacketLimit) + " bytes";
                return 0;
            }
            if (lace < 255) packet = 0;  // a lacing value under 255 ends the packet
        }
        if (at + PageHeaderSize + segments + body > size) break;
        if ((data[at + 5] & 0x02) != 0 && ++links > TrackLinkLimit) {
            reason = "it is a chain of more than " + std::to_string(TrackLinkLimit) + " streams";
            return 0;
        }
        at += PageHeaderSize + segments + body;
        end = at;
    }
    return end;
}

}  // namespace hc
