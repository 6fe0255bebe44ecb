// The Qt canvas and the output devices: fonts, alignment, pages, files and
// the abort dialog.
#include "printing/ui/qt_canvas.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QTest>

#include "printing/job_table.h"
#include "printing/page_renderer.h"
#include "printing/printing_fixture.h"
#include "printing/ui/printdlg_dialog.h"
#include "printing/ui/printer_devices.h"
#include "support/run_command.h"
#include "support/test_app.h"

namespace printing {
namespace {

TEST(ResolveFont, WindowsFacesBecomeTheirLiberationTwins) {
  EXPECT_EQ(QFontInfo(ResolveFont(Font{"Arial", -35})).family(), QStringLiteral("Liberation Sans"));
  QFont serif = ResolveFont(Font{"Times New Roman Fett", -80});
  EXPECT_EQ(QFontInfo(serif).family(), QStringLiteral("Liberation Serif"));
  EXPECT_TRUE(QFontInfo(serif).bold());
  EXPECT_EQ(serif.pixelSize(), 80);
  // A cell height of 30 is a smaller em than 30.
  QFont cell = ResolveFont(Font{"Arial", 30});
  EXPECT_LT(cell.pixelSize(), 30);
  EXPECT_GE(cell.pixelSize(), 25);
  EXPECT_TRUE(ResolveFont(Font{"Arial", 30, 400, false, true}).underline());
}

// Columns with ink in a row band of the image.
std::pair<int, int> InkColumns(const QImage& image) {
  int left = image.width(), right = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return {left, right};
}

TEST(QtCanvas, TextAnchorsFollowTheAlignmentAndTheMapping) {
  // 1 logical unit = 0.5 pixel, origin moved 100 units to the left.
  auto draw = [](TextAlign align) {
    QImage image(600, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter, false);
    canvas.setWindowExtent(1200, 200);
    canvas.setViewportExtent(600, 100);
    canvas.setWindowOrigin(-100, 0);
    canvas.selectFont(Font{"Arial", -50});
    canvas.setTextAlign(align);
    canvas.textOut(500, 20, "HHHH");
    Extent extent = canvas.textExtent("HHHH");
    painter.end();
    return std::make_pair(InkColumns(image), extent);
  };
  auto [left, extent] = draw(TextAlign::Left);
  EXPECT_NEAR(left.first, 300, 4);  // (500 + 100) / 2
  EXPECT_GT(extent.cx, 100);
  EXPECT_NEAR(extent.cy, 50 * 1.15, 3);
  auto [right, unused1] = draw(TextAlign::Right);
  EXPECT_NEAR(right.second, 300, 4);
  auto [centre, unused2] = draw(TextAlign::Centre);
  EXPECT_NEAR((centre.first + centre.second) / 2.0, 300, 4);
}

class DevicesTest : public ::testing::Test {
 protected:
  DevicesTest() {
    app.parameters = printingtest::SampleParameters();
    app.address = printingtest::SampleAddress();
    session.job = kJobLetter;
    session.inputs.printDate = "06.12.2026";
  }
  testsupport::TestApp t;
  testsupport::TempDir& dir = t.dir;
  frame::AppState& app = t.app;
  PrintSession session;
};

// Three pages on paper, each with its own number.
class NumberedPages : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry& geometry,
                       RenderContext& context) override {
    ApplyMapping(canvas, geometry);
    for (int page = 1;; ++page) {
      canvas.fillRect(100 * page, 100, 100 * page + 50, 150, kBlack);
      if (page == 3 || !NextPage(canvas, geometry, context, page + 1, true)) return {page};
    }
  }
};

// PNG pages: A4 at 150 dpi, one file per page; PDF: one A4 document. A
// device that cannot start is reported.
TEST_F(DevicesTest, PngPagesAndPdfHoldEveryPage) {
  NumberedPages renderer;
  PngPagesDevice png(QString::fromStdString(dir.file("seiten")));
  ASSERT_TRUE(PrintOnDevice(app, png, session, renderer, {}, nullptr));
  ASSERT_EQ(png.files().size(), 3);
  QImage third(png.files()[2]);
  EXPECT_EQ(third.size(), QSize(1240, 1754));
  // Page 3 carries only its own mark, at 30 mm from the page's corner, 5 mm
  // inside the sheet.
  EXPECT_LT(qGray(third.pixel(35 * 150 / 25.4 + 3, 17 * 150 / 25.4)), 64);
  EXPECT_EQ(qGray(third.pixel(15 * 150 / 25.4 + 3, 17 * 150 / 25.4)), 255);

  QString path = QString::fromStdString(dir.file("brief.pdf"));
  PdfFileDevice pdf(path);
  EXPECT_EQ((std::pair{pdf.info().pageWidthMm, pdf.info().pageHeightMm}), (std::pair{200, 287}));
  ASSERT_TRUE(PrintOnDevice(app, pdf, session, renderer, {}, nullptr));
  EXPECT_EQ(pdf.pages(), 3);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 3);

  PdfFileDevice nowhere(QStringLiteral("/nonexistent/dir/brief.pdf"));
  EXPECT_FALSE(PrintOnDevice(app, nowhere, session, renderer, {}, nullptr));
}

// Ink on the whole page a layout is given.
class InkedPage : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry& geometry, RenderContext&) override {
    ApplyMapping(canvas, geometry);
    canvas.fillRect(0, 0, geometry.logicalWidth, geometry.logicalHeight, kBlack);
    return {};
  }
};

// Office printers do not print the outer 4 to 5 mm of a sheet: a PDF or PNG
// page keeps a clear edge of 5 mm all round, the layout's page inside it.
TEST_F(DevicesTest, FilesKeepTheOuterFiveMillimetresClear) {
  InkedPage renderer;
  PngPagesDevice png(QString::fromStdString(dir.file("rand")));
  ASSERT_TRUE(PrintOnDevice(app, png, session, renderer, {}, nullptr));
  ASSERT_EQ(png.files().size(), 1);
  const QString pdfPath = QString::fromStdString(dir.file("rand.pdf"));
  PdfFileDevice pdf(pdfPath);
  ASSERT_TRUE(PrintOnDevice(app, pdf, session, renderer, {}, nullptr));
  const std::string raster = dir.file("rand-pdf");
  const bool rasterised =
      testsupport::RunCommand("pdftoppm -r 150 -png -singlefile '" + pdfPath.toStdString() + "' '" +
                              raster + "'") == 0;
  for (const auto& [name, path] : {std::pair{"png", png.files()[0]},
                                   {"pdf", QString::fromStdString(raster + ".png")}}) {
    SCOPED_TRACE(name);
    if (std::string(name) == "pdf" && !rasterised) GTEST_SKIP() << "pdftoppm fehlt (make deps)";
    const QImage page(path);
    // A4 at 150 dpi, give or take the rasteriser's rounding.
    ASSERT_EQ(page.width(), 1240);
    ASSERT_NEAR(page.height(), 1754, 1);
    auto pixel = [&page](double xMm, double yMm) {
      return qGray(page.pixel(static_cast<int>(xMm * 150 / 25.4), static_cast<int>(yMm * 150 / 25.4)));
    };
    for (const auto& [clearX, clearY, inkX, inkY] :
         {std::tuple{4.5, 148.0, 5.5, 148.0}, {205.5, 148.0, 204.5, 148.0},
          {105.0, 4.5, 105.0, 5.5}, {105.0, 292.5, 105.0, 291.5}}) {
      EXPECT_EQ(pixel(clearX, clearY), 255) << clearX << " mm, " << clearY << " mm";
      EXPECT_LT(pixel(inkX, inkY), 64) << inkX << " mm, " << inkY << " mm";
    }
  }
}

TEST(PrintDlgDialog, BarRedrawsOnlyOnChangeAndEscCancels) {
  PrintDlgDialog dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_TRUE(dialog.bar()->setPercent(50));
  EXPECT_FALSE(dialog.bar()->setPercent(50));
  EXPECT_FALSE(dialog.progress(60));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.userAbort());
  EXPECT_TRUE(dialog.progress(70));
}

}  // namespace
}  // namespace printing
