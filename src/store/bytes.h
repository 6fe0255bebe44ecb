// Little-endian numbers inside byte buffers. The program runs on
// little-endian hosts only (checked at compile time), so a copy is enough.
#ifndef BELVON_STORE_BYTES_H
#define BELVON_STORE_BYTES_H

#include <bit>
#include <cstdint>
#include <cstring>

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

}  // namespace store

#endif  // BELVON_STORE_BYTES_H
