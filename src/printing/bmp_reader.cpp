#include "printing/bmp_reader.h"

#include <vector>

#include "store/app_state.h"
#include "platform/cp1252.h"
#include "platform/file.h"
#include "platform/file_reading.h"
#include "printing/page_renderer.h"

namespace printing {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
// Generous for a logo, small enough that a lying header cannot make us
// allocate gigabytes.
constexpr std::int64_t kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = 64LL * 1024 * 1024;
constexpr std::uint64_t kMaxFileSize = 64ULL * 1024 * 1024;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Scales the bits of `mask` in `value` to 0..255.
std::uint32_t Channel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  std::uint32_t max = mask >> shift;
  return ((value & mask) >> shift) * 255 / max;
}

}  // namespace

std::optional<Bitmap> DecodeBmp(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  if (U32(file, 14) != kInfoHeaderSize) return std::nullopt;

  const std::int64_t width = static_cast<std::int32_t>(U32(file, 18));
  const std::int64_t rawHeight = static_cast<std::int32_t>(U32(file, 22));
  const int bits = U16(file, 28);
  const std::uint32_t compression = U32(file, 30);
  const std::uint32_t usedColours = U32(file, 46);
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      width * height > kMaxPixels)
    return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return std::nullopt;
  const bool masked = compression == kBitFields;
  if (compression != kRgb && !(masked && (bits == 16 || bits == 32))) return std::nullopt;

  std::size_t at = kFileHeaderSize + kInfoHeaderSize;
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16 bits: 5-5-5
  if (bits == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  if (masked) {
    if (file.size() < at + 12) return std::nullopt;
    for (int i = 0; i < 3; ++i) masks[i] = U32(file, at + 4 * i);
    at += 12;
  }

  // The colour table: the count of used colours, else all a depth below 16
  // bits can address.
  std::int64_t colours = usedColours != 0 ? usedColours : (bits < 16 ? (1 << bits) : 0);
  if (bits < 16 && colours > (1 << bits)) return std::nullopt;
  if (colours > 256 || static_cast<std::int64_t>(file.size() - at) < 4 * colours)
    return std::nullopt;
  std::vector<std::uint32_t> palette(static_cast<std::size_t>(colours));
  for (std::size_t i = 0; i < palette.size(); ++i) {
    std::size_t p = at + 4 * i;
    palette[i] = 0xFF000000u | (static_cast<std::uint32_t>(file[p + 2]) << 16) |
                 (static_cast<std::uint32_t>(file[p + 1]) << 8) | file[p];
  }
  at += 4 * palette.size();

  // The pixels start where the file header says, when that is a sane place;
  // otherwise right after the colour table.
  std::uint32_t pixelOffset = U32(file, 10);
  if (pixelOffset >= at && pixelOffset < file.size()) at = pixelOffset;

  const std::int64_t stride = (width * bits + 31) / 32 * 4;
  if (static_cast<std::int64_t>(file.size() - at) < stride * height) return std::nullopt;

  Bitmap bitmap;
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.pixels.resize(static_cast<std::size_t>(width * height));
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* line = file.data() + at + stride * (topDown ? row : height - 1 - row);
    std::uint32_t* out = bitmap.pixels.data() + row * width;
    for (std::int64_t x = 0; x < width; ++x) {
      std::uint32_t pixel = 0xFF000000u;
      if (bits <= 8) {
        std::int64_t bit = x * bits;
        unsigned index = (line[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        pixel = index < palette.size() ? palette[index] : 0xFF000000u;
      } else if (bits == 24) {
        const std::uint8_t* p = line + 3 * x;
        pixel |= (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) |
                 p[0];
      } else {
        std::uint32_t value = bits == 16 ? static_cast<std::uint32_t>(line[2 * x] | (line[2 * x + 1] << 8))
                                         : U32(std::span<const std::uint8_t>(line, stride), 4 * x);
        pixel |= (Channel(value, masks[0]) << 16) | (Channel(value, masks[1]) << 8) |
                 Channel(value, masks[2]);
      }
      out[x] = pixel;
    }
  }
  return bitmap;
}

std::optional<Bitmap> LoadLogoBitmap(RenderContext& context, const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  frame::AppState& app = context.app;
  // The name is stored in Windows-1252, the file system speaks UTF-8.
  const std::string name = platform::Cp1252ToUtf8(fileName);
  std::string path = name.front() == '/' ? name : app.path(name.c_str());
  std::string bytes;
  const platform::ReadRefusal why = platform::ReadRegularFile(*app.fileSystem, path, kMaxFileSize, bytes);
  if (why == platform::ReadRefusal::Missing) {
    context.warn("Bilddatei " + name + " nicht gefunden.");
    return std::nullopt;
  }
  if (why != platform::ReadRefusal::None) {
    context.warn(platform::ReadRefusalText(path, why, kMaxFileSize));
    return std::nullopt;
  }
  return DecodeBmp(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                 bytes.size()));
}

}  // namespace printing
