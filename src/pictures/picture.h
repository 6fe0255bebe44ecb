// A decoded picture: 256 grey levels, one byte a pixel.
#ifndef BELVON_PICTURES_PICTURE_H
#define BELVON_PICTURES_PICTURE_H

#include <cstdint>
#include <vector>

namespace pictures {

struct Picture {
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes a row: the width rounded up to a multiple of 4
  // From the JFIF density: dots per inch (or a mere aspect ratio) × 39.37,
  // dots per centimetre × 100.
  std::int32_t xPixelsPerMetre = 0;
  std::int32_t yPixelsPerMetre = 0;
  std::vector<std::uint8_t> grey;  // stride × height, the first image row first
};

}  // namespace pictures

#endif  // BELVON_PICTURES_PICTURE_H
