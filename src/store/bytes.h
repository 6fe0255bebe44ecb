// Little-endian numbers inside byte buffers. The program runs on
// little-endian hosts only (checked at compile time), so a copy is enough.
#ifndef BELVON_STORE_BYTES_H
#define BELVON_STORE_BYTES_H

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

static_assert(std::endian::native == std::endian::little,
              "the data files are little-endian and read byte for byte");

namespace store {

template <typename T>
T Load(const void* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <typename T>
void Store(void* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

// A record or entry as the bytes the files hold.
template <typename T>
std::span<std::uint8_t> AsBytes(T& value) {
  return {reinterpret_cast<std::uint8_t*>(&value), sizeof value};
}

template <typename T>
std::span<const std::uint8_t> AsBytes(const T& value) {
  return {reinterpret_cast<const std::uint8_t*>(&value), sizeof value};
}

}  // namespace store

#endif  // BELVON_STORE_BYTES_H
