// Our BMP reader: the depths a logo comes in, and headers that lie.
#include <gtest/gtest.h>

#include "printing/bmp_reader.h"
#include "printing/page_renderer.h"
#include "printing_fixture.h"
#include "support/test_app.h"

namespace printing {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// An 8-bit picture with a 2-entry palette: 3 x 2, rows top to bottom
// "0 1 0" and "1 1 0", stored bottom-up (rows padded to 4 bytes).
Bytes PalettedBmp() {
  Bytes b(54 + 8 + 8, 0);
  b[0] = 'B';
  b[1] = 'M';
  Set32(b, 10, 62);
  Set32(b, 14, 40);
  Set32(b, 18, 3);
  Set32(b, 22, 2);
  b[26] = 1;
  b[28] = 8;
  Set32(b, 46, 2);
  Set32(b, 54, 0x000000FF);  // entry 0: blue (B, G, R, 0)
  Set32(b, 58, 0x0000FF00);  // entry 1: green
  const std::uint8_t rows[] = {1, 1, 0, 0, 0, 1, 0, 0};  // bottom row first
  std::copy(std::begin(rows), std::end(rows), b.begin() + 62);
  return b;
}

TEST(DecodeBmp, ReadsPalettedTrueColourAndMonochromePictures) {
  auto paletted = DecodeBmp(PalettedBmp());
  ASSERT_TRUE(paletted);
  EXPECT_EQ(paletted->width, 3);
  EXPECT_EQ(paletted->height, 2);
  const std::uint32_t blue = 0xFF0000FF, green = 0xFF00FF00;
  EXPECT_EQ(paletted->pixels, (std::vector<std::uint32_t>{blue, green, blue, green, green, blue}));

  // 24 bits, rows padded: 5 pixels are 15 bytes plus one of padding.
  auto colour = DecodeBmp(printingtest::SampleBmp(5, 3));
  ASSERT_TRUE(colour);
  EXPECT_EQ((std::vector{colour->pixels[0], colour->pixels[4], colour->pixels[14]}),
            (std::vector<std::uint32_t>{0xFFC00000u, 0xFF0000C0u, 0xFF0000C0u}));

  // 1 bit, 10 pixels wide, top-down (negative height), default palette size.
  Bytes mono(54 + 8 + 4, 0);
  mono[0] = 'B';
  mono[1] = 'M';
  Set32(mono, 10, 62);
  Set32(mono, 14, 40);
  Set32(mono, 18, 10);
  Set32(mono, 22, static_cast<std::uint32_t>(-1));
  mono[28] = 1;
  Set32(mono, 58, 0x00FFFFFF);  // entry 1: white
  mono[62] = 0b10100000;
  mono[63] = 0b01000000;  // pixel 9
  auto bits = DecodeBmp(mono);
  ASSERT_TRUE(bits);
  EXPECT_EQ(bits->height, 1);
  EXPECT_EQ((std::vector{bits->pixels[0], bits->pixels[1], bits->pixels[2], bits->pixels[9]}),
            (std::vector<std::uint32_t>{0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu}));

  // The pixels start where the file header points, behind a gap.
  Bytes gap = printingtest::SampleBmp(2, 1);
  gap.insert(gap.begin() + 54, 10, 0xEE);
  Set32(gap, 10, 64);
  ASSERT_TRUE(DecodeBmp(gap));
  EXPECT_EQ(DecodeBmp(gap)->pixels[0], 0xFFC00000u);
}

TEST(DecodeBmp, RefusesWhatIsNotABmpOrClaimsMoreThanItHolds) {
  const Bytes good = printingtest::SampleBmp(4, 4);
  ASSERT_TRUE(DecodeBmp(good));
  auto broken = [&](auto change) {
    Bytes b = good;
    change(b);
    return !DecodeBmp(b).has_value();
  };
  EXPECT_TRUE(broken([](Bytes& b) { b[1] = 'A'; }));
  EXPECT_TRUE(broken([](Bytes& b) { Set32(b, 14, 12); }));  // an OS/2 core header
  EXPECT_TRUE(broken([](Bytes& b) { b.resize(b.size() - 1); }));  // pixel data cut short
  EXPECT_TRUE(broken([](Bytes& b) { b.resize(30); }));
  EXPECT_TRUE(broken([](Bytes& b) { Set32(b, 22, 0x7FFFFFFF); }));  // absurd height
  EXPECT_TRUE(broken([](Bytes& b) { Set32(b, 18, 0); }));
  EXPECT_TRUE(broken([](Bytes& b) { Set32(b, 30, 1); }));  // run-length compressed
  EXPECT_TRUE(broken([](Bytes& b) { b[28] = 7; }));
  // A colour count beyond what 8 bits address, or beyond the file.
  for (std::uint32_t colours : {100000u, 256u}) {
    Bytes paletted = PalettedBmp();
    Set32(paletted, 46, colours);
    EXPECT_FALSE(DecodeBmp(paletted)) << colours;
  }
}

TEST(LoadLogoBitmap, EmptyNameIsNoLogoAndAMissingFileIsReportedByItsName) {
  testsupport::TestApp t;
  PrintSession session;
  RenderContext context(t.app, session);

  EXPECT_FALSE(LoadLogoBitmap(context, ""));
  EXPECT_TRUE(t.ui.shown.empty());
  EXPECT_FALSE(LoadLogoBitmap(context, "Firmenl\xF6go.bmp"));
  EXPECT_EQ(t.ui.texts(), (std::vector<std::string>{"Bilddatei Firmenlögo.bmp nicht gefunden."}));

  // A file that is there but no BMP is left out without a word.
  testsupport::WriteBytes(t.dir.file("kaputt.bmp"), {'G', 'I', 'F', '8'});
  EXPECT_FALSE(LoadLogoBitmap(context, t.dir.file("kaputt.bmp")));
  EXPECT_EQ(t.ui.shown.size(), 1u);
  // The stored name is Windows-1252, the file's name on disk UTF-8.
  testsupport::WriteBytes(t.dir.file("Firmenlögo.bmp"), printingtest::SampleBmp(6, 2));
  auto logo = LoadLogoBitmap(context, "Firmenl\xF6go.bmp");
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->width, 6);
}

}  // namespace
}  // namespace printing
