#pragma once
#include <cstdint>
#include <vector>

#include "picture.h"

namespace preview {

// Draws a first-person view of a small test city from (px, py) looking along headingDeg.
void renderStreet(artgen::Picture& out, const artgen::Picture& walls, const artgen::Picture& vehicles,
                  const artgen::Picture& sky, const std::vector<uint8_t>& shade, float px, float py,
                  float headingDeg);

}  // namespace preview

namespace preview {
// The bird's-eye map view of the same test city round cell (cx, cy).
void renderMap(artgen::Picture& out, const artgen::Picture& walls, const std::vector<uint8_t>& shade, int cx, int cy);
}  // namespace preview
