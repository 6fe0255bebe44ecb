#include "pictures/jpeg_decoder.h"

#include <algorithm>
#include <cstring>

#include "pictures/jpeg_entropy.h"
#include "pictures/jpeg_transform.h"

namespace pictures {

namespace {

constexpr std::uint8_t kSof0 = 0xC0, kSof1 = 0xC1, kDht = 0xC4, kSoi = 0xD8, kEoi = 0xD9,
                       kSos = 0xDA, kDqt = 0xDB, kDri = 0xDD, kApp0 = 0xE0;
// Room for any photo a user keeps beside an article, and no more.
constexpr std::int64_t kMaxPixels = 64LL * 1024 * 1024;

// Natural position of the k-th coefficient of the zig-zag sequence.
constexpr std::uint8_t kZigZag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

bool IsFrame(std::uint8_t code) {
  return code >= 0xC0 && code <= 0xCF && code != kDht && code != 0xC8 && code != 0xCC;
}

// Reading inside one segment: every read is checked against its end.
class Segment {
 public:
  explicit Segment(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool byte(std::uint8_t& value) {
    if (at_ >= bytes_.size()) return false;
    value = bytes_[at_++];
    return true;
  }
  bool word(std::uint16_t& value) {
    std::uint8_t high = 0, low = 0;
    if (!byte(high) || !byte(low)) return false;
    value = static_cast<std::uint16_t>(high << 8 | low);
    return true;
  }
  bool take(std::size_t n, std::span<const std::uint8_t>& part) {
    if (n > bytes_.size() - at_) return false;
    part = bytes_.subspan(at_, n);
    at_ += n;
    return true;
  }
  std::size_t left() const { return bytes_.size() - at_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

struct Component {
  std::uint8_t id = 0;
  int h = 1;
  int v = 1;
  int quant = 0;
  int dc = 0;  // tables, from the scan header
  int ac = 0;
};

// Turns the `n` bits read into the signed value they stand for.
int Extend(int value, int n) {
  return n > 0 && value < (1 << (n - 1)) ? value - (1 << n) + 1 : value;
}

class Decoder {
 public:
  explicit Decoder(std::span<const std::uint8_t> file) : file_(file) {}
  std::optional<Picture> run();

 private:
  bool segment(std::span<const std::uint8_t>& bytes);
  bool readTables(std::uint8_t& marker);
  bool huffmanTables(Segment s);
  bool quantTables(Segment s);
  bool jfif(Segment s);
  bool frame(Segment s);
  bool scanHeader(Segment s);
  bool decodeScan(Picture& picture);
  bool block(BitReader& in, const Component& c, std::int16_t& dcPrediction,
             std::int32_t (&coefficients)[64]);
  void place(Picture& picture, const Component& c, std::int32_t (&coefficients)[64], int x,
             int y) const;

  std::span<const std::uint8_t> file_;
  std::size_t at_ = 0;
  std::uint16_t quant_[16][64] = {};
  bool quantDefined_[16] = {};
  HuffmanTable dc_[4], ac_[4];
  Component frame_[3];
  int frameCount_ = 0;
  int scan_[3] = {};  // frame component of each scan component
  int scanCount_ = 0;
  int width_ = 0, height_ = 0;
  std::uint16_t restartInterval_ = 0;
  int densityUnit_ = 0;
  int xDensity_ = 1, yDensity_ = 1;
};

// The segment after a marker: its length counts itself.
bool Decoder::segment(std::span<const std::uint8_t>& bytes) {
  if (file_.size() - at_ < 2) return false;
  const std::size_t length = static_cast<std::size_t>(file_[at_] << 8 | file_[at_ + 1]);
  if (length < 2 || length > file_.size() - at_) return false;
  bytes = file_.subspan(at_ + 2, length - 2);
  at_ += length;
  return true;
}

// Reads the tables and settings up to a frame, SOI, EOI or SOS marker,
// which it hands back.
bool Decoder::readTables(std::uint8_t& marker) {
  while (NextMarker(file_, at_, marker)) {
    if (IsFrame(marker) || marker == kSoi || marker == kEoi || marker == kSos) return true;
    // RST0..RST7 and TEM stand alone, without a length.
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
    std::span<const std::uint8_t> bytes;
    if (!segment(bytes)) return false;
    bool ok = true;
    if (marker == kDht)
      ok = huffmanTables(Segment(bytes));
    else if (marker == kDqt)
      ok = quantTables(Segment(bytes));
    else if (marker == kApp0)
      ok = jfif(Segment(bytes));
    else if (marker == kDri)
      ok = Segment(bytes).word(restartInterval_);
    if (!ok) return false;
  }
  return false;
}

bool Decoder::huffmanTables(Segment s) {
  while (s.left() > 0) {
    std::uint8_t classAndId = 0;
    std::uint8_t counts[16];
    std::span<const std::uint8_t> symbols;
    if (!s.byte(classAndId)) return false;
    const int tableClass = classAndId >> 4, id = classAndId & 0x0F;
    if (tableClass > 1 || id > 3) return false;
    int total = 0;
    for (std::uint8_t& count : counts) {
      if (!s.byte(count)) return false;
      total += count;
    }
    if (!s.take(static_cast<std::size_t>(total), symbols)) return false;
    if (!(tableClass == 0 ? dc_ : ac_)[id].define(counts, symbols)) return false;
  }
  return true;
}

bool Decoder::quantTables(Segment s) {
  while (s.left() > 0) {
    std::uint8_t precisionAndId = 0;
    if (!s.byte(precisionAndId)) return false;
    const int id = precisionAndId & 0x0F;
    const bool wide = (precisionAndId >> 4) != 0;
    for (std::uint16_t& entry : quant_[id]) {
      std::uint8_t narrow = 0;
      if (wide ? !s.word(entry) : !s.byte(narrow)) return false;
      if (!wide) entry = narrow;
    }
    quantDefined_[id] = true;
  }
  return true;
}

bool Decoder::jfif(Segment s) {
  std::span<const std::uint8_t> name;
  if (!s.take(5, name) || std::memcmp(name.data(), "JFIF", 5) != 0) return true;
  std::uint8_t major = 0, minor = 0, unit = 0;
  std::uint16_t x = 0, y = 0;
  if (!s.byte(major) || major != 1) return false;
  if (s.byte(minor) && s.byte(unit) && s.word(x) && s.word(y)) {
    densityUnit_ = unit;
    xDensity_ = x;
    yDensity_ = y;
  }
  return true;
}

bool Decoder::frame(Segment s) {
  std::uint8_t precision = 0, count = 0;
  std::uint16_t height = 0, width = 0;
  if (!s.byte(precision) || !s.word(height) || !s.word(width) || !s.byte(count)) return false;
  if (precision != 8 || height == 0 || width == 0 || count == 0 || count > 3) return false;
  if (static_cast<std::int64_t>(width) * height > kMaxPixels) return false;
  for (int i = 0; i < count; ++i) {
    Component& c = frame_[i];
    std::uint8_t sampling = 0, quant = 0;
    if (!s.byte(c.id) || !s.byte(sampling) || !s.byte(quant)) return false;
    c.h = sampling >> 4;
    c.v = sampling & 0x0F;
    c.quant = quant & 0x0F;
    if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) return false;
  }
  width_ = width;
  height_ = height;
  frameCount_ = count;
  return true;
}

bool Decoder::scanHeader(Segment s) {
  std::uint8_t count = 0;
  if (!s.byte(count) || count < 1 || count > 3 || s.left() != 2u * count + 3) return false;
  for (int i = 0; i < count; ++i) {
    std::uint8_t id = 0, tables = 0;
    if (!s.byte(id) || !s.byte(tables)) return false;
    const auto* c =
        std::find_if(frame_, frame_ + frameCount_, [id](const Component& f) { return f.id == id; });
    if (c == frame_ + frameCount_) return false;
    scan_[i] = static_cast<int>(c - frame_);
    frame_[scan_[i]].dc = tables >> 4;
    frame_[scan_[i]].ac = tables & 0x0F;
    if (frame_[scan_[i]].dc > 3 || frame_[scan_[i]].ac > 3 || !dc_[frame_[scan_[i]].dc].defined() ||
        !ac_[frame_[scan_[i]].ac].defined())
      return false;
  }
  scanCount_ = count;
  const Component& first = frame_[scan_[0]];
  for (int i = 0; i < frameCount_; ++i)
    if (frame_[i].h > first.h || frame_[i].v > first.v) return false;
  return quantDefined_[first.quant];
}

bool Decoder::block(BitReader& in, const Component& c, std::int16_t& dcPrediction,
                    std::int32_t (&coefficients)[64]) {
  std::fill(std::begin(coefficients), std::end(coefficients), 0);
  const int category = in.symbol(dc_[c.dc]);
  if (category < 0 || category > 16) return false;
  // The prediction wraps at 16 bits, as the coefficients of the format do.
  dcPrediction = static_cast<std::int16_t>(dcPrediction + Extend(in.bits(category), category));
  coefficients[0] = dcPrediction;
  for (int k = 1; k < 64; ++k) {
    const int runAndSize = in.symbol(ac_[c.ac]);
    if (runAndSize < 0) return false;
    const int run = runAndSize >> 4, size = runAndSize & 0x0F;
    if (size == 0) {
      if (run != 15) break;  // end of block
      k += 15;               // sixteen zeros
      continue;
    }
    k += run;
    if (k > 63) return false;
    coefficients[k] = Extend(in.bits(size), size);
  }
  return !in.exhausted();
}

void Decoder::place(Picture& picture, const Component& c, std::int32_t (&coefficients)[64], int x,
                    int y) const {
  std::int32_t natural[64];
  for (int k = 0; k < 64; ++k) {
    const std::int64_t value = static_cast<std::int64_t>(coefficients[k]) * quant_[c.quant][k];
    natural[kZigZag[k]] = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -32768, 32767));
  }
  std::uint8_t samples[64];
  InverseTransform(natural, samples);
  // Blocks reach over the right and the bottom edge; that part is dropped.
  const int rows = std::min(8, height_ - y), columns = std::min(8, width_ - x);
  for (int row = 0; row < rows; ++row)
    std::memcpy(&picture.grey[static_cast<std::size_t>(y + row) * picture.stride + x],
                samples + 8 * row, static_cast<std::size_t>(columns));
}

bool Decoder::decodeScan(Picture& picture) {
  // One component alone is coded block by block; several are interleaved
  // in units of H × V blocks of each, the first of them sampled finest.
  const bool interleaved = scanCount_ > 1;
  const Component& first = frame_[scan_[0]];
  const int unitWidth = interleaved ? 8 * first.h : 8, unitHeight = interleaved ? 8 * first.v : 8;
  const std::int64_t across = (width_ + unitWidth - 1) / unitWidth;
  const std::int64_t down = (height_ + unitHeight - 1) / unitHeight;
  std::int64_t blocksPerUnit = 0;
  for (int i = 0; i < scanCount_; ++i)
    blocksPerUnit += interleaved ? frame_[scan_[i]].h * frame_[scan_[i]].v : 1;
  // Every block takes at least two bits, and each restart interval no more
  // than 16 bits of zeros past its data and two bytes of marker: at most
  // 8 blocks a byte. A file far too short for its picture is refused before
  // the picture is allocated.
  if (across * down * blocksPerUnit > 8 * static_cast<std::int64_t>(file_.size() - at_) + 8)
    return false;
  picture.grey.assign(static_cast<std::size_t>(picture.stride) * picture.height, 0);

  BitReader in(file_, at_);
  std::int16_t prediction[3] = {};
  std::int32_t coefficients[64];
  for (std::int64_t unit = 0; unit < across * down; ++unit) {
    if (restartInterval_ != 0 && unit > 0 && unit % restartInterval_ == 0) {
      if (!in.restart()) return false;
      std::fill(std::begin(prediction), std::end(prediction), 0);
    }
    const int x = static_cast<int>(unit % across) * unitWidth;
    const int y = static_cast<int>(unit / across) * unitHeight;
    for (int i = 0; i < scanCount_; ++i) {
      const Component& c = frame_[scan_[i]];
      const int h = interleaved ? c.h : 1, v = interleaved ? c.v : 1;
      for (int row = 0; row < v; ++row)
        for (int column = 0; column < h; ++column) {
          if (!block(in, c, prediction[i], coefficients)) return false;
          // The other components carry colour only: decoded and dropped.
          const int bx = x + 8 * column, by = y + 8 * row;
          if (i == 0 && bx < width_ && by < height_) place(picture, c, coefficients, bx, by);
        }
    }
  }
  return true;
}

std::optional<Picture> Decoder::run() {
  std::uint8_t marker = 0;
  if (!NextMarker(file_, at_, marker) || marker != kSoi) return std::nullopt;
  std::span<const std::uint8_t> bytes;
  if (!readTables(marker) || (marker != kSof0 && marker != kSof1) || !segment(bytes) ||
      !frame(Segment(bytes)))
    return std::nullopt;
  if (!readTables(marker) || marker != kSos || !segment(bytes) || !scanHeader(Segment(bytes)))
    return std::nullopt;

  Picture picture;
  picture.width = width_;
  picture.height = height_;
  picture.stride = (width_ + 3) / 4 * 4;
  const double perMetre = densityUnit_ == 2 ? 100.0 : 39.37;
  picture.xPixelsPerMetre = static_cast<std::int32_t>(xDensity_ * perMetre);
  picture.yPixelsPerMetre = static_cast<std::int32_t>(yDensity_ * perMetre);
  if (!decodeScan(picture)) return std::nullopt;
  return picture;
}

}  // namespace

std::optional<Picture> DecodeJpeg(std::span<const std::uint8_t> file) {
  return Decoder(file).run();
}

}  // namespace pictures
