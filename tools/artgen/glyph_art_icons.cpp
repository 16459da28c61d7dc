// The two small interface icons: the raindrop of the windshield and the garage pointer.
#include <array>
#include <string_view>

#include "picture.h"

namespace artgen {
namespace {

// Paints a character map into the picture: '.' stays transparent, every other
// character is looked up in the legend.
template <size_t Rows>
void paintMap(Picture& picture, const std::array<std::string_view, Rows>& rows,
              std::string_view keys, std::string_view colours) {
    for (int y = 0; y < int(Rows) && y < picture.height; ++y) {
        const std::string_view line = rows[size_t(y)];
        for (int x = 0; x < int(line.size()) && x < picture.width; ++x) {
            const size_t k = keys.find(line[size_t(x)]);
            picture.at(x, y) = k == std::string_view::npos ? 0 : uint8_t(colours[k]);
        }
    }
}

}  // namespace

void drawHudIcon(Picture& icon) {
    // A drop with its point up, centred on (3, 3) where the windshield places it:
    // a dark blue rim so it stands out on the pale sky, a pale body and a white glint
    // so it stands out on the dark street.
    static constexpr std::array<std::string_view, 8> Drop = {
        "...o....",
        "..oho...",
        "..obo...",
        ".owbbo..",
        "owwbbbo.",
        "owbbbdo.",
        ".obddo..",
        "..ooo...",
    };
    icon = Picture(8, 8, 0);
    static constexpr char Colours[] = {char(212), char(22), char(204), char(202), char(201)};
    paintMap(icon, Drop, "ohwbd", std::string_view(Colours, 5));
}

void drawGarageIcon(Picture& icon) {
    // An arrow pointer whose tip is the top-left pixel (the hotspot), white with a
    // black outline so it reads over the busy workshop, shaded grey on its right.
    static constexpr std::array<std::string_view, 16> Arrow = {
        "k...............",
        "kk..............",
        "kwk.............",
        "kwwk............",
        "kwwwk...........",
        "kwwwwk..........",
        "kwwwwgk.........",
        "kwwwwwgk........",
        "kwwwwwwgk.......",
        "kwwwwwwwgk......",
        "kwwwwwkkkkk.....",
        "kwwkwwgk........",
        "kwk.kwwgk.......",
        "kk..kwwgk.......",
        "k....kwwgk......",
        ".....kkkkk......",
    };
    icon = Picture(16, 16, 0);
    static constexpr char Colours[] = {char(255), char(22), char(16)};
    paintMap(icon, Arrow, "kwg", std::string_view(Colours, 3));
}

}  // namespace artgen
