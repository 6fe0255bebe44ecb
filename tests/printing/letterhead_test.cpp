// Letterhead, footer and address block: what is printed where it matters
// (the head, the footer columns, the address window) and in which font.
#include <gtest/gtest.h>

#include "printing/letterhead.h"
#include "printing/recording_canvas.h"
#include "printing_fixture.h"
#include "support/test_app.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;
using printingtest::Put;
using Texts = std::vector<std::string>;

class LetterheadTest : public ::testing::Test {
 protected:
  LetterheadTest() : context(t.app, session) { p = printingtest::SampleParameters(); }
  void draw(bool continuation = false, int width = 2100, int height = 2970) {
    canvas.clear();
    Letterhead(canvas, context, width, height, continuation);
  }
  void drawBlock(const store::AddressRecord& address) {
    canvas.clear();
    RecipientBlock(canvas, context, 2100, 2970, address);
  }
  Texts textsAtX(int x) const {
    Texts found;
    for (const auto* op : canvas.texts())
      if (op->x == x) found.push_back(op->text);
    return found;
  }
  int y(const std::string& text) const {
    const auto* op = canvas.findText(text);
    return op ? op->y : -1;
  }
  int barEnd() const {
    auto fills = canvas.ofKind(Kind::Fill);
    return fills.size() == 1 ? fills[0]->x2 : -1;
  }

  testsupport::TestApp t;
  store::ParameterRecord& p = t.app.parameters;
  PrintSession session;
  RenderContext context;
  RecordingCanvas canvas;
};

TEST_F(LetterheadTest, HeadNamesAndBarFollowTheMeasuredTextHeights) {
  canvas.selectFont(Font{"Courier", -20});
  Letterhead(canvas, context, 2100, 2970, false);
  const int h1 = RecordingCanvas::CellHeight(DefaultLetterheadName1Font());
  const int h2 = RecordingCanvas::CellHeight(DefaultLetterheadNamesFont());
  const auto* name1 = canvas.findText("Schreinerei Holzwurm");
  ASSERT_NE(name1, nullptr);
  EXPECT_EQ((std::tuple{name1->x, name1->y, name1->font}), (std::tuple{150, 100, DefaultLetterheadName1Font()}));
  EXPECT_EQ(y("Telefon 0561 123456"), 100 + h1 + 2 * h2);
  // The grey bar runs from behind the names to the right margin, below name 1.
  auto fills = canvas.ofKind(Kind::Fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_GT(fills[0]->x, 150 + canvas.textExtent("Möbel nach Maß · Innenausbau").cx / 2);
  EXPECT_EQ(fills[0]->x2, 1900);
  EXPECT_GT(fills[0]->y, 100 + h1 / 2);
  EXPECT_EQ(fills[0]->colour, kGrey);
  EXPECT_EQ(canvas.font(), (Font{"Courier", -20}));  // the font found on entry is back

  Put(p.fontLine1, "Liberation Serif,20,700,1");  // 20 points = 7.06 mm
  Put(p.fontLines2to4, "broken");
  p.printBar = 0;
  draw();
  EXPECT_EQ(canvas.findText("Schreinerei Holzwurm")->font, (Font{"Liberation Serif", -71, 700, true}));
  EXPECT_EQ(canvas.findText("Telefon 0561 123456")->font, DefaultLetterheadNamesFont());
  EXPECT_TRUE(canvas.ofKind(Kind::Fill).empty());
}

TEST_F(LetterheadTest, FooterColumnsGrowUpwardFromThePageBottom) {
  p.printLetterhead = 0;
  draw(false, 2100, 2870);  // a page shortened by 10 mm
  EXPECT_EQ(textsAtX(150), (Texts{"34117 Kassel", "Eichenweg 12", "Inh. Anna Bäumer",
                                  "Schreinerei Holzwurm GmbH", "Anschrift:"}));
  EXPECT_EQ((std::pair{y("34117 Kassel"), y("Anschrift:")}), (std::pair{2830, 2830 - 4 * 35}));
  EXPECT_EQ(canvas.findText("Anschrift:")->font, (Font{"Arial", -30, 700}));
  EXPECT_EQ(textsAtX(870), (Texts{"UmsStId: DE123456789", "Fax: 0561 123457", "Mobil: 0171 9876543",
                                  "Tel.: 0561 123456", "eMail: info@holzwurm.example",
                                  "Telefon / Fax:"}));
  EXPECT_EQ(textsAtX(1480), (Texts{"Kontonummer: 987654", "Bankleitzahl: 520 900 00",
                                   "Volksbank Kassel", "IBAN: DE12 5205 0353 0000 1234 56",
                                   "Kasseler Sparkasse", "Bankverbindungen:"}));

  // Empty lines drop out, and one bank reads singular; bank 3 beside bank 1
  // is two connections as well.
  Put(p.companyName2, "");
  Put(p.fax, "");
  Put(p.mobile, "");
  Put(p.bank1Name, "");
  draw();
  EXPECT_EQ(textsAtX(150).size(), 4u);
  EXPECT_EQ(textsAtX(870), (Texts{"UmsStId: DE123456789", "Tel.: 0561 123456",
                                  "eMail: info@holzwurm.example", "Telefon / Fax:"}));
  EXPECT_NE(canvas.findText("Bankverbindung:"), nullptr);
  EXPECT_EQ(canvas.findText("IBAN: DE12 5205 0353 0000 1234 56"), nullptr);
  Put(p.bank1Name, "Kasseler Sparkasse");
  Put(p.bank2Name, "");
  Put(p.bank3Name, "Postbank");
  draw();
  EXPECT_NE(canvas.findText("Bankverbindungen:"), nullptr);
  p.printFooter = 0;  // the letterhead's footer switched off
  draw();
  EXPECT_TRUE(canvas.texts().empty());
}

TEST_F(LetterheadTest, LogoAtTheTopRightCutsTheBarOneMillimetreBeforeIt) {
  testsupport::WriteBytes(t.dir.file("logo.bmp"), printingtest::SampleBmp(80, 40));
  Put(p.logoFile, "logo.bmp");  // inside the data directory
  p.logoWidth = 40;
  p.logoPosHorizontal = 10;
  p.logoPosVertical = 10;
  draw(false, 2000);
  auto bitmaps = canvas.ofKind(Kind::Bitmap);
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ((std::vector{bitmaps[0]->x, bitmaps[0]->y, bitmaps[0]->x2, bitmaps[0]->y2}),
            (std::vector{1500, 100, 1900, 300}));  // 400 * 40 / 80 high
  EXPECT_EQ(barEnd(), 1490);
  p.logoPosVertical = 20;  // low enough on the page, the logo leaves the bar alone
  draw(false, 2000);
  EXPECT_EQ(barEnd(), 1900);
  EXPECT_TRUE(t.ui.shown.empty());

  // A missing logo is told once per print, and the head prints without it.
  Put(p.logoFile, "/nirgends/logo.bmp");
  draw();
  draw();
  EXPECT_EQ(t.ui.texts(), (Texts{"Bilddatei /nirgends/logo.bmp nicht gefunden."}));
  EXPECT_TRUE(canvas.ofKind(Kind::Bitmap).empty());
  EXPECT_EQ(barEnd(), 1900);
}

TEST_F(LetterheadTest, AddressWindowWithSenderLineFoldMarksAndSalutation) {
  drawBlock(printingtest::SampleAddress());
  const auto* sender = canvas.findText("Schreinerei Holzwurm GmbH, Eichenweg 12, 34117 Kassel");
  ASSERT_NE(sender, nullptr);
  EXPECT_EQ((std::pair{sender->x, sender->y}), (std::pair{200, 480}));
  EXPECT_EQ(sender->font, (Font{"Arial", 30, 400, false, true}));
  auto lines = canvas.ofKind(Kind::Line);  // the fold marks
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ((std::vector{lines[0]->y, lines[1]->y}), (std::vector{1030, 1460}));
  // No name line 3: the street follows the name lines.
  EXPECT_EQ((std::vector{y("Herrn"), y("Königstraße 5"), y("34119 Kassel")}), (std::vector{520, 655, 725}));
  EXPECT_EQ(canvas.findText("34119 Kassel")->font, (Font{"Arial", -35, 900}));

  // Without the window and without a salutation code the name starts at 520.
  p.addressWindow = 0;
  store::AddressRecord address = printingtest::SampleAddress();
  address.salutation = store::kAddressNoDunning;  // a flag, no salutation code
  drawBlock(address);
  EXPECT_EQ(y("Dr. Hans"), 520);
  EXPECT_EQ(canvas.texts().size(), 4u);
  const std::pair<std::uint8_t, std::string> codes[] = {
      {store::kSalutationCompany | store::kAddressPrintDiscountSum, "Firma"},
      {store::kSalutationMrs, "Frau"}, {store::kSalutationAn, "An"}, {3, ""}};
  for (const auto& [code, text] : codes) {
    address.salutation = code;
    EXPECT_EQ(SalutationText(address), text) << int{code};
  }
}

TEST_F(LetterheadTest, DeliveryNotesGoToTheDeliveryAddressWhenItHasASecondLine) {
  store::AddressRecord address = printingtest::SampleAddress();
  Put(address.name1, "");
  const char* delivery[] = {"Baustelle", "Neubau Müller", "Halle 3", "Am Hafen 1", "34123 Kassel"};
  for (int i = 0; i < 5; ++i) {
    std::span<char> line = store::DeliveryLine(address, i + 1);
    store::SetText(line.data(), line.size(), platform::Utf8ToCp1252(delivery[i]));
  }
  session.job = 3;  // an invoice goes to the invoice address
  drawBlock(address);
  EXPECT_EQ(y("Baustelle"), -1);
  EXPECT_EQ(y("Müller"), 565);
  session.job = 2;
  drawBlock(address);
  EXPECT_EQ((std::vector{y("Baustelle"), y("Am Hafen 1"), y("34123 Kassel")}), (std::vector{565, 700, 770}));
  Put(address.deliveryLine2, "");
  drawBlock(address);
  EXPECT_EQ(y("Baustelle"), -1);
  EXPECT_NE(y("Königstraße 5"), -1);
}

}  // namespace
}  // namespace printing
