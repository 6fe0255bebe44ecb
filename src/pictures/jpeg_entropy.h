// The entropy-coded data of a JPEG scan: canonical Huffman tables and the
// bit reader that takes the bits out of the scan's bytes.
#ifndef BELVON_PICTURES_JPEG_ENTROPY_H
#define BELVON_PICTURES_JPEG_ENTROPY_H

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictures {

// The next marker code in `data` from `position` on: bytes up to a 0xFF are
// skipped, then any further 0xFF; a 0x00 after them is no marker and the
// search goes on. False when the data ends first. `position` ends behind
// the code.
bool NextMarker(std::span<const std::uint8_t> data, std::size_t& position, std::uint8_t& code);

class HuffmanTable {
 public:
  // `counts[i]` codes of length i + 1 for the `symbols` in that order;
  // false when they are more than 256 or more than the lengths can hold.
  bool define(const std::uint8_t (&counts)[16], std::span<const std::uint8_t> symbols);
  bool defined() const { return defined_; }

 private:
  friend class BitReader;
  bool defined_ = false;
  std::int32_t maxCode_[17] = {};  // largest code of each length, -1 for none
  std::int32_t offset_[17] = {};   // symbol index of a code of that length, less the code
  std::uint8_t symbols_[256] = {};
  int count_ = 0;
};

class BitReader {
 public:
  BitReader(std::span<const std::uint8_t> data, std::size_t position)
      : data_(data), position_(position) {}

  // The next `n` bits (0 to 16), first bit highest.
  int bits(int n);
  // The next Huffman-coded symbol, or -1 when no code of `table` matches.
  int symbol(const HuffmanTable& table);
  // At a restart interval boundary: drops the bits left and steps over the
  // restart marker. False when the next marker is no RST0..RST7.
  bool restart();
  // True once the reader ran past the scan's data: at a marker or the end
  // of the file it hands out zeros, but no more than two bytes' worth (for
  // an encoder that cut its last byte short).
  bool exhausted() const { return invented_ * 8 - count_ > kInventedBits; }

 private:
  static constexpr int kInventedBits = 16;
  void fill();

  std::span<const std::uint8_t> data_;
  std::size_t position_;
  std::uint32_t buffer_ = 0;  // `count_` bits, the next one highest
  int count_ = 0;
  int invented_ = 0;  // zero bytes put behind the data; once there, all are
};

}  // namespace pictures

#endif  // BELVON_PICTURES_JPEG_ENTROPY_H
