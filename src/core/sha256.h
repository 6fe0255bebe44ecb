// SHA-256 of a byte string, for the checksums of the archived documents and
// of each record of the issued invoices.
#ifndef BELVON_CORE_SHA256_H
#define BELVON_CORE_SHA256_H

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace frame {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void add(std::span<const std::uint8_t> bytes);
  void add(std::string_view bytes);
  Sha256Digest finish();

 private:
  void block(const std::uint8_t* p);
  std::uint32_t h_[8];
  std::uint8_t buffer_[64];
  std::size_t filled_ = 0;
  std::uint64_t length_ = 0;
};

Sha256Digest Sha256Of(std::string_view bytes);
// Lower-case hexadecimal, 64 characters.
std::string HexDigest(const Sha256Digest& digest);

}  // namespace frame

#endif  // BELVON_CORE_SHA256_H
