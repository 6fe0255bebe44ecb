// The decoder against libjpeg's encoder and Qt's reader: files made here,
// in every layout the decoder must take, give the luminance Qt sees; the
// layouts it must refuse, and damaged files, give no picture.
#include "pictures/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace pictures {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Layout {
  int width, height;
  bool colour;
  int sampling;  // of the first component, both ways
  int restart;   // units between restart markers, 0 for none
  bool progressive = false;
};

// Soft gradients, a ripple and a sharp edge: what a photo of an article holds.
QImage Photo(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int ripple = (x * x + 3 * y * y) / 7 % 40;
      image.setPixel(x, y,
                     qRgb(40 + 150 * x / width + ripple, 60 + 130 * y / height,
                          x > width / 2 ? 170 : 70 + ripple));
    }
  return image;
}

Bytes Encode(const Layout& layout) {
  const QImage photo = Photo(layout.width, layout.height);
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = layout.width;
  c.image_height = layout.height;
  c.input_components = layout.colour ? 3 : 1;
  c.in_color_space = layout.colour ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = layout.sampling;
  c.restart_interval = layout.restart;
  if (layout.progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  const QImage rows = layout.colour ? photo : photo.convertToFormat(QImage::Format_Grayscale8);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rows.constScanLine(c.next_scanline));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

std::size_t Find(const Bytes& bytes, std::initializer_list<std::uint8_t> pattern) {
  return std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) - bytes.begin();
}

TEST(JpegDecoder, GivesTheLuminanceQtReads) {
  const Layout layouts[] = {
      {64, 48, false, 1, 0}, {61, 37, false, 1, 0}, {61, 37, false, 2, 3},
      {64, 48, true, 2, 0},  {61, 37, true, 2, 0},  {61, 37, true, 1, 0},
      {77, 45, true, 2, 2},  {77, 45, true, 1, 5},  {23, 5, false, 1, 1},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(testing::Message() << layout.width << "x" << layout.height << " colour "
                                    << layout.colour << layout.sampling << layout.restart);
    const Bytes file = Encode(layout);
    const std::optional<Picture> picture = DecodeJpeg(file);
    ASSERT_TRUE(picture);
    ASSERT_EQ(QSize(picture->width, picture->height), QSize(layout.width, layout.height));
    const QImage reference = QImage::fromData(file.data(), static_cast<int>(file.size()))
                                 .convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    long total = 0;
    for (int y = 0; y < layout.height; ++y)
      for (int x = 0; x < layout.width; ++x) {
        const QRgb rgb = reference.pixel(x, y);
        const int luma = (299 * qRed(rgb) + 587 * qGreen(rgb) + 114 * qBlue(rgb) + 500) / 1000;
        const int diff = std::abs(luma - picture->grey[y * picture->stride + x]);
        worst = std::max(worst, diff);
        total += diff;
      }
    EXPECT_LE(worst, 8);
    EXPECT_LE(total, 2L * layout.width * layout.height);
  }
}

// `values` written over the file from `offset` bytes behind the first `marker`.
Bytes Patched(Bytes bytes, std::initializer_list<std::uint8_t> marker, std::size_t offset,
              std::initializer_list<std::uint8_t> values) {
  std::copy(values.begin(), values.end(), bytes.begin() + Find(bytes, marker) + offset);
  return bytes;
}

TEST(JpegDecoder, RefusesWhatItCannotShow) {
  const Bytes grey = Encode({64, 48, false, 1, 0});
  const Bytes restarts = Encode({64, 48, false, 1, 2});
  Bytes junkBeforeRestart = restarts;
  junkBeforeRestart.insert(junkBeforeRestart.begin() + Find(restarts, {0xFF, 0xD0}), {0x12, 0x34});
  const struct {
    const char* name;
    Bytes file;
    bool decodes;
  } cases[] = {
      {"progressive", Encode({64, 48, true, 2, 0, true}), false},
      {"SOF2", Patched(grey, {0xFF, 0xC0}, 1, {0xC2}), false},
      {"SOF1", Patched(grey, {0xFF, 0xC0}, 1, {0xC1}), true},
      {"12-bit precision", Patched(grey, {0xFF, 0xC0}, 4, {12}), false},
      {"zero height", Patched(grey, {0xFF, 0xC0}, 5, {0, 0}), false},
      {"zero width", Patched(grey, {0xFF, 0xC0}, 7, {0, 0}), false},
      {"JFIF 2.1", Patched(grey, {'J', 'F', 'I', 'F'}, 5, {2}), false},
      {"EOI first", Patched(grey, {0xFF, 0xD8}, 1, {0xD9}), false},
      {"scan header of two components", Patched(grey, {0xFF, 0xDA}, 4, {2}), false},
      {"cut in the scan", Bytes(grey.begin(), grey.end() - 300), false},
      {"bytes before a restart marker", junkBeforeRestart, true},
      {"RST5 where RST0 belongs", Patched(restarts, {0xFF, 0xD0}, 1, {0xD5}), true},
      {"APP5 for a restart marker", Patched(restarts, {0xFF, 0xD0}, 1, {0xE5}), false},
      {"empty", Bytes(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeJpeg(c.file).has_value(), c.decodes);
  }
}

}  // namespace
}  // namespace pictures
