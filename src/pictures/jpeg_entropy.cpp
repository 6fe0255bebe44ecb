#include "pictures/jpeg_entropy.h"

namespace pictures {

bool NextMarker(std::span<const std::uint8_t> data, std::size_t& position, std::uint8_t& code) {
  // Every round consumes at least two bytes.
  for (;;) {
    while (position < data.size() && data[position] != 0xFF) ++position;
    while (position < data.size() && data[position] == 0xFF) ++position;
    if (position >= data.size()) return false;
    const std::uint8_t byte = data[position++];
    if (byte != 0x00) {
      code = byte;
      return true;
    }
  }
}

bool HuffmanTable::define(const std::uint8_t (&counts)[16], std::span<const std::uint8_t> symbols) {
  defined_ = false;
  std::int32_t code = 0;
  int index = 0;
  for (int length = 1; length <= 16; ++length) {
    const int n = counts[length - 1];
    offset_[length] = index - code;
    code += n;
    index += n;
    if (code > (1 << length) || index > 256) return false;
    maxCode_[length] = n ? code - 1 : -1;
    code <<= 1;
  }
  if (symbols.size() != static_cast<std::size_t>(index)) return false;
  for (int i = 0; i < index; ++i) symbols_[i] = symbols[i];
  count_ = index;
  defined_ = true;
  return true;
}

void BitReader::fill() {
  while (count_ <= 24) {
    std::uint32_t byte = 0;
    if (position_ < data_.size() && data_[position_] != 0xFF) {
      byte = data_[position_++];
    } else if (position_ + 1 < data_.size() && data_[position_ + 1] == 0x00) {
      byte = 0xFF;  // a stuffed 0xFF data byte; the 0x00 is dropped
      position_ += 2;
    } else {
      ++invented_;  // a marker or the end of the file: stay there
    }
    buffer_ |= byte << (24 - count_);
    count_ += 8;
  }
}

int BitReader::bits(int n) {
  if (n <= 0) return 0;
  if (count_ < n) fill();
  const int value = static_cast<int>(buffer_ >> (32 - n));
  buffer_ <<= n;
  count_ -= n;
  return value;
}

int BitReader::symbol(const HuffmanTable& table) {
  std::int32_t code = 0;
  for (int length = 1; length <= 16; ++length) {
    code = (code << 1) | bits(1);
    if (code <= table.maxCode_[length]) {
      const std::int32_t index = code + table.offset_[length];
      return index >= 0 && index < table.count_ ? table.symbols_[index] : -1;
    }
  }
  return -1;
}

bool BitReader::restart() {
  buffer_ = 0;
  count_ = 0;
  invented_ = 0;
  std::uint8_t code = 0;
  return NextMarker(data_, position_, code) && code >= 0xD0 && code <= 0xD7;
}

}  // namespace pictures
