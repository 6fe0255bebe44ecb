// Letterhead, footer and address block, checked by position, font and text.
#include <gtest/gtest.h>

#include "printing/letterhead.h"
#include "printing/recording_canvas.h"
#include "printing_fixture.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;
using printingtest::Put;

class LetterheadTest : public ::testing::Test {
 protected:
  LetterheadTest() : context(app, session) {
    app.dataDirectory = dir.path();
    app.ui = &ui;
    app.parameters = printingtest::SampleParameters();
  }
  void draw(bool continuation = false, int width = 2100, int height = 2970) {
    Letterhead(canvas, context, width, height, continuation);
  }
  std::vector<std::string> textsAtX(int x) const {
    std::vector<std::string> found;
    for (const auto* op : canvas.texts())
      if (op->x == x) found.push_back(op->text);
    return found;
  }

  testsupport::TempDir dir;
  testsupport::ScriptedUi ui;
  frame::AppState app;
  PrintSession session;
  RenderContext context;
  RecordingCanvas canvas;
};

TEST_F(LetterheadTest, HeadNamesAndBarFollowTheMeasuredTextHeights) {
  canvas.selectFont(Font{"Courier", -20});
  draw();
  const Font name1Font = DefaultLetterheadName1Font();
  const Font namesFont = DefaultLetterheadNamesFont();
  const int h1 = RecordingCanvas::CellHeight(name1Font);
  const int h2 = RecordingCanvas::CellHeight(namesFont);

  const auto* name1 = canvas.findText("Schreinerei Holzwurm");
  ASSERT_NE(name1, nullptr);
  EXPECT_EQ(name1->x, 150);
  EXPECT_EQ(name1->y, 100);
  EXPECT_EQ(name1->font, name1Font);
  const auto* name2 = canvas.findText("Möbel nach Maß · Innenausbau");
  ASSERT_NE(name2, nullptr);
  EXPECT_EQ(name2->y, 100 + h1);
  EXPECT_EQ(name2->font, namesFont);
  EXPECT_EQ(canvas.findText("Eichenweg 12, 34117 Kassel")->y, 100 + h1 + h2);
  EXPECT_EQ(canvas.findText("Telefon 0561 123456")->y, 100 + h1 + 2 * h2);

  auto fills = canvas.ofKind(Kind::Fill);
  ASSERT_EQ(fills.size(), 1u);
  const int w2 = 28 * RecordingCanvas::EmHeight(namesFont) / 2;  // 28 characters
  EXPECT_EQ(fills[0]->x, 150 + w2);
  EXPECT_EQ(fills[0]->y, 100 + static_cast<int>(0.9 * (h1 + h2)));
  EXPECT_EQ(fills[0]->x2, 1900);
  EXPECT_EQ(fills[0]->y2, 100 + static_cast<int>(0.95 * (h1 + h2)));
  EXPECT_EQ(fills[0]->colour, kGrey);
  // The font found on entry is selected again.
  EXPECT_EQ(canvas.font(), (Font{"Courier", -20}));
}

TEST_F(LetterheadTest, StoredFontsAreUsedAndTheBarOnlyWhenAskedFor) {
  store::SetText(app.parameters.fontLine1, "Liberation Serif,20,700,1");
  store::SetText(app.parameters.fontLines2to4, "broken");
  app.parameters.printBar = 0;
  draw();
  const auto* name1 = canvas.findText("Schreinerei Holzwurm");
  // 20 points = 7.06 mm.
  EXPECT_EQ(name1->font, (Font{"Liberation Serif", -71, 700, true}));
  EXPECT_EQ(canvas.findText("Telefon 0561 123456")->font, DefaultLetterheadNamesFont());
  EXPECT_TRUE(canvas.ofKind(Kind::Fill).empty());
}

TEST_F(LetterheadTest, HeadOffOrContinuationLeavesOnlyTheFooter) {
  app.parameters.printLetterhead = 0;
  draw();
  EXPECT_EQ(canvas.findText("Schreinerei Holzwurm"), nullptr);
  EXPECT_TRUE(canvas.ofKind(Kind::Fill).empty());
  EXPECT_NE(canvas.findText("Anschrift:"), nullptr);

  canvas.clear();
  app.parameters.printLetterhead = 1;
  draw(true);
  EXPECT_EQ(canvas.findText("Schreinerei Holzwurm"), nullptr);
  EXPECT_NE(canvas.findText("Anschrift:"), nullptr);

  canvas.clear();
  app.parameters.printLetterhead = 0;
  app.parameters.printFooter = 0;
  draw();
  EXPECT_TRUE(canvas.ops().empty());
}

TEST_F(LetterheadTest, FooterColumnsGrowUpwardFromThePageBottom) {
  app.parameters.printLetterhead = 0;
  draw(false, 2100, 2870);  // a page shortened by 10 mm
  EXPECT_EQ(textsAtX(150), (std::vector<std::string>{"34117 Kassel", "Eichenweg 12",
                                                     "Inh. Anna Bäumer",
                                                     "Schreinerei Holzwurm GmbH", "Anschrift:"}));
  const auto* town = canvas.findText("34117 Kassel");
  EXPECT_EQ(town->y, 2830);
  EXPECT_EQ(town->font, (Font{"Arial", -30}));
  const auto* heading = canvas.findText("Anschrift:");
  EXPECT_EQ(heading->y, 2830 - 4 * 35);
  EXPECT_EQ(heading->font, (Font{"Arial", -30, 700}));

  EXPECT_EQ(textsAtX(870),
            (std::vector<std::string>{"UmsStId: DE123456789", "Fax: 0561 123457",
                                      "Tel.: 0171 9876543", "Tel.: 0561 123456",
                                      "eMail: info@holzwurm.example", "Telefon / Fax:"}));
  EXPECT_EQ(textsAtX(1520),
            (std::vector<std::string>{"Kontonummer: 987654", "Bankleitzahl: 520 900 00",
                                      "Volksbank Kassel", "IBAN: DE12 5205 0353 0000 1234 56",
                                      "Kasseler Sparkasse", "Bankverbindungen:"}));
}

TEST_F(LetterheadTest, EmptyLinesDropOutOfTheFooterAndOneBankReadsSingular) {
  app.parameters.printLetterhead = 0;
  Put(app.parameters.companyName2, "");
  Put(app.parameters.fax, "");
  Put(app.parameters.mobile, "");
  Put(app.parameters.bank1Name, "");
  draw();
  EXPECT_EQ(textsAtX(150).size(), 4u);
  EXPECT_EQ(textsAtX(870), (std::vector<std::string>{"UmsStId: DE123456789",
                                                     "Tel.: 0561 123456",
                                                     "eMail: info@holzwurm.example",
                                                     "Telefon / Fax:"}));
  EXPECT_NE(canvas.findText("Bankverbindung:"), nullptr);
  EXPECT_EQ(canvas.findText("IBAN: DE12 5205 0353 0000 1234 56"), nullptr);

  // Bank 3 beside bank 1 is two connections as well.
  canvas.clear();
  Put(app.parameters.bank1Name, "Kasseler Sparkasse");
  Put(app.parameters.bank2Name, "");
  Put(app.parameters.bank3Name, "Postbank");
  draw();
  EXPECT_NE(canvas.findText("Bankverbindungen:"), nullptr);

  canvas.clear();
  Put(app.parameters.bank1Name, "");
  Put(app.parameters.bank3Name, "");
  draw();
  EXPECT_NE(canvas.findText("Bankverbindung:"), nullptr);
  EXPECT_EQ(textsAtX(1520).size(), 1u);
}

TEST_F(LetterheadTest, LogoAtTheTopRightCutsTheBarOneMillimetreBeforeIt) {
  testsupport::WriteBytes(dir.file("logo.bmp"), printingtest::SampleBmp(80, 40));
  Put(app.parameters.logoFile, "logo.bmp");  // inside the data directory
  app.parameters.logoWidth = 40;
  app.parameters.logoPosHorizontal = 10;
  app.parameters.logoPosVertical = 10;
  draw(false, 2000);
  auto bitmaps = canvas.ofKind(Kind::Bitmap);
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ(bitmaps[0]->x, 1500);
  EXPECT_EQ(bitmaps[0]->y, 100);
  EXPECT_EQ(bitmaps[0]->x2, 1900);
  EXPECT_EQ(bitmaps[0]->y2, 100 + 200);  // 400 * 40 / 80
  EXPECT_EQ(canvas.ofKind(Kind::Fill)[0]->x2, 1490);

  // Low enough on the page, the logo leaves the bar alone.
  canvas.clear();
  app.parameters.logoPosVertical = 20;
  draw(false, 2000);
  EXPECT_EQ(canvas.ofKind(Kind::Fill)[0]->x2, 1900);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LetterheadTest, MissingLogoIsReportedOncePerContextAndTheHeadStillPrints) {
  Put(app.parameters.logoFile, "/nirgends/logo.bmp");
  app.parameters.logoWidth = 40;
  draw();
  draw();
  ASSERT_EQ(ui.texts(), (std::vector<std::string>{"Bilddatei /nirgends/logo.bmp nicht gefunden."}));
  EXPECT_NE(canvas.findText("Schreinerei Holzwurm"), nullptr);
  EXPECT_TRUE(canvas.ofKind(Kind::Bitmap).empty());
  EXPECT_EQ(canvas.ofKind(Kind::Fill)[0]->x2, 1900);
}

class RecipientBlockTest : public LetterheadTest {
 protected:
  void drawBlock(const store::AddressRecord& address) {
    RecipientBlock(canvas, context, 2100, 2970, address);
  }
};

TEST_F(RecipientBlockTest, WindowSenderLineFoldMarksAndAddressWithSalutation) {
  drawBlock(printingtest::SampleAddress());
  const auto* sender = canvas.findText("Schreinerei Holzwurm GmbH, Eichenweg 12, 34117 Kassel");
  ASSERT_NE(sender, nullptr);
  EXPECT_EQ(sender->x, 200);
  EXPECT_EQ(sender->y, 480);
  EXPECT_EQ(sender->font, (Font{"Arial", 30, 400, false, true}));

  auto lines = canvas.ofKind(Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ((std::vector<int>{lines[0]->x, lines[0]->y, lines[0]->x2, lines[0]->y2}),
            (std::vector<int>{-100, 1030, 30, 1030}));
  EXPECT_EQ((std::vector<int>{lines[1]->x, lines[1]->y, lines[1]->x2, lines[1]->y2}),
            (std::vector<int>{-100, 1460, 30, 1460}));

  EXPECT_EQ(canvas.findText("Herrn")->y, 520);
  EXPECT_EQ(canvas.findText("Dr. Hans")->y, 565);
  EXPECT_EQ(canvas.findText("Müller")->y, 610);
  EXPECT_EQ(canvas.findText("Königstraße 5")->y, 655);  // no name line 3
  const auto* town = canvas.findText("34119 Kassel");
  EXPECT_EQ(town->y, 725);
  EXPECT_EQ(town->font, (Font{"Arial", -35, 900}));
}

TEST_F(RecipientBlockTest, NoSalutationStartsAt520AndOnlyTheFourCodesAreSalutations) {
  app.parameters.addressWindow = 0;
  store::AddressRecord address = printingtest::SampleAddress();
  address.salutation = store::kAddressNoDunning;  // a flag, no salutation code
  drawBlock(address);
  EXPECT_EQ(canvas.findText("Dr. Hans")->y, 520);
  EXPECT_EQ(canvas.texts().size(), 4u);  // three address lines and the town

  const std::pair<std::uint8_t, std::string> codes[] = {
      {store::kSalutationCompany | store::kAddressPrintDiscountSum, "Firma"},
      {store::kSalutationMrs, "Frau"},
      {store::kSalutationAn, "An"}};
  for (const auto& [code, text] : codes) {
    address.salutation = code;
    EXPECT_EQ(SalutationText(address), text);
  }
  address.salutation = 3;
  EXPECT_EQ(SalutationText(address), "");
}

TEST_F(RecipientBlockTest, DeliveryNotesUseTheDeliveryAddressWithAllItsLines) {
  store::AddressRecord address = printingtest::SampleAddress();
  Put(address.name1, "");
  Put(address.deliveryLine1, "Baustelle");
  Put(address.deliveryLine2, "Neubau Müller");
  Put(address.deliveryLine3, "Halle 3");
  Put(address.deliveryLine4, "Am Hafen 1");
  Put(address.deliveryLine5, "34123 Kassel");

  session.job = 3;  // an invoice goes to the invoice address
  drawBlock(address);
  EXPECT_EQ(canvas.findText("Baustelle"), nullptr);
  EXPECT_EQ(canvas.findText("Müller")->y, 565);

  canvas.clear();
  session.job = 2;
  drawBlock(address);
  EXPECT_EQ(canvas.findText("Baustelle")->y, 565);
  EXPECT_EQ(canvas.findText("Neubau Müller")->y, 610);
  EXPECT_EQ(canvas.findText("Halle 3")->y, 655);
  EXPECT_EQ(canvas.findText("Am Hafen 1")->y, 700);
  EXPECT_EQ(canvas.findText("34123 Kassel")->y, 770);

  // Without delivery line 2 there is no delivery address.
  canvas.clear();
  Put(address.deliveryLine2, "");
  drawBlock(address);
  EXPECT_EQ(canvas.findText("Baustelle"), nullptr);
  EXPECT_NE(canvas.findText("Königstraße 5"), nullptr);
}

}  // namespace
}  // namespace printing
