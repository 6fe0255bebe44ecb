// The inverse transform of one 8 × 8 block of the JPEG decoder, in integers
// only: a one-dimensional transform over each row, then over each column,
// then the level shift of 128 with clamping to 0..255.
#ifndef BELVON_PICTURES_JPEG_TRANSFORM_H
#define BELVON_PICTURES_JPEG_TRANSFORM_H

#include <cstdint>

namespace pictures {

// `block` holds the dequantized coefficients in natural order; its values
// must lie within ±32768 so that nothing overflows. It is used as work space.
void InverseTransform(std::int32_t (&block)[64], std::uint8_t (&samples)[64]);

}  // namespace pictures

#endif  // BELVON_PICTURES_JPEG_TRANSFORM_H
