// libFuzzer target for the JPEG decoder: any bytes at all must give a picture
// whose every byte is there, or none, and never a read past the input, an
// overflow or a hang. `make fuzz` builds it with clang under the address and
// undefined-behaviour sanitizers and runs it from the seeds in fuzz/seeds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "pictures/jpeg_decoder.h"
#include "pictures/picture_zoom.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto picture = pictures::DecodeJpeg(std::span<const std::uint8_t>(data, size));
  if (!picture) return 0;
  if (picture->width < 1 || picture->height < 1 || picture->stride < picture->width ||
      picture->stride % 4 != 0 ||
      picture->grey.size() != static_cast<std::size_t>(picture->stride) * picture->height)
    std::abort();
  // Every pixel is read, so that the sanitizers see any that is missing.
  volatile unsigned sum = 0;
  for (std::uint8_t grey : picture->grey) sum = sum + grey;
  if (pictures::OpeningZoom(picture->width, picture->height) < 1) std::abort();
  return 0;
}
