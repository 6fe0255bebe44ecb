#include "pictures/jpeg_transform.h"

namespace pictures {

namespace {

// Eight values at v[0], v[step], ... v[7 * step], transformed in place. The
// right shifts are arithmetic (C++20), as the transform needs them.
void Transform8(std::int32_t* v, int step) {
  const std::int32_t x0 = v[0], x1 = v[step], x2 = v[2 * step], x3 = v[3 * step];
  const std::int32_t x4 = v[4 * step], x5 = v[5 * step], x6 = v[6 * step], x7 = v[7 * step];

  const std::int32_t a = 11 * (x0 - x4);
  const std::int32_t b = 6 * x2 - 15 * x6;
  const std::int32_t c = 15 * x2 + 6 * x6;
  const std::int32_t e0 = 11 * (x0 + x4) + c;
  const std::int32_t e3 = 11 * (x0 + x4) - c;
  const std::int32_t e1 = a + b;
  const std::int32_t e2 = a - b;

  const std::int32_t d = (11 * (x3 - x5) + 2) >> 2;
  const std::int32_t s = (11 * (x3 + x5) + 2) >> 2;
  const std::int32_t p = 4 * x1 + s;
  const std::int32_t q = 4 * x1 - s;
  const std::int32_t r = 4 * x7 + d;
  const std::int32_t t = 4 * x7 - d;
  const std::int32_t o0 = r + 4 * p;
  const std::int32_t o3 = p - 4 * r;
  const std::int32_t o1 = 3 * t + 2 * q;
  const std::int32_t o2 = 3 * q - 2 * t;

  v[0] = (e0 + o0 + 16) >> 5;
  v[step] = (e1 + o2 + 16) >> 5;
  v[2 * step] = (e2 + o1 + 16) >> 5;
  v[3 * step] = (e3 + o3 + 16) >> 5;
  v[4 * step] = (e3 - o3 + 16) >> 5;
  v[5 * step] = (e2 - o1 + 16) >> 5;
  v[6 * step] = (e1 - o2 + 16) >> 5;
  v[7 * step] = (e0 - o0 + 16) >> 5;
}

}  // namespace

void InverseTransform(std::int32_t (&block)[64], std::uint8_t (&samples)[64]) {
  for (int row = 0; row < 8; ++row) Transform8(block + 8 * row, 1);
  for (int column = 0; column < 8; ++column) Transform8(block + column, 8);
  for (int i = 0; i < 64; ++i) {
    const std::int32_t value = block[i] + 128;
    samples[i] = static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
  }
}

}  // namespace pictures
