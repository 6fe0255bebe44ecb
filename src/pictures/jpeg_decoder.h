// Our own decoder for the pictures of articles: sequential Huffman-coded
// JPEG (SOF0 and SOF1) with 8-bit samples, of which it keeps the luminance
// only (the first component of the scan).
//
// Users name the files, so every byte is read through a bounds check, the
// picture is allocated only when its size is sane and when the file can
// hold that many blocks at all, and every loop either consumes input or is
// bounded by the block count. A damaged file gives no picture, never a read
// past the data.
//
// Refused: other frame types (progressive, lossless, arithmetic coding),
// a precision other than 8, a zero dimension, more than 3 components, a JFIF
// segment of a major version other than 1, a scan header of the wrong length
// or with more than 3 components, tables the scan uses but the file never
// defined, and a first scan component that is sampled more coarsely than
// another one (its plane would not cover the picture).
//
// Restart intervals: at each interval boundary the bytes up to the next
// marker are skipped; that marker must be one of RST0..RST7 (its number is
// not checked), anything else ends the decoding without a picture.
#ifndef BELVON_PICTURES_JPEG_DECODER_H
#define BELVON_PICTURES_JPEG_DECODER_H

#include <cstdint>
#include <optional>
#include <span>

#include "pictures/picture.h"

namespace pictures {

// The picture in `file`, or nothing when it is no JPEG we can decode.
std::optional<Picture> DecodeJpeg(std::span<const std::uint8_t> file);

}  // namespace pictures

#endif  // BELVON_PICTURES_JPEG_DECODER_H
