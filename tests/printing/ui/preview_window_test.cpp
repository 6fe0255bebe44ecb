// The preview window and the desktop print host on a real display server or
// the offscreen platform, printing into PDF files instead of paper.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "printing/ui/preview_window.h"
#include "printing/ui/qt_print_host.h"
#include "printing/printing_fixture.h"
#include "support/test_app.h"

namespace printing {
namespace {

std::unique_ptr<QPrinter> PdfPrinter(const QString& path) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(path);
  printer->setPageSize(QPageSize(QPageSize::A4));
  return printer;
}

class PreviewTest : public ::testing::Test {
 protected:
  PreviewTest() : host(nullptr) {
    app.parameters = printingtest::SampleParameters();
    app.address = printingtest::SampleAddress();
    pdf = QString::fromStdString(dir.file("vorschau.pdf"));
    host.setPrinterChooser([this] {
      ++dialogs;
      return cancelDialog ? nullptr : PdfPrinter(pdf);
    });
    host.setNoticeReceiver([this] { ++notices; });
  }
  PreviewWindow* open(int job, bool notify) {
    PrintJob(app, host, job, notify, JobInputs{"06.12.2026", "Sehr geehrte Damen und Herren,"});
    return host.lastPreview();
  }
  bool PdfWritten() const {
    QFile file(pdf);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "%PDF" && file.size() > 5000;
  }
  void key(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window, static_cast<Qt::Key>(key), modifiers);
  }

  testsupport::TestApp t;
  testsupport::TempDir& dir = t.dir;
  testsupport::ScriptedUi& ui = t.ui;
  frame::AppState& app = t.app;
  QtPrintHost host;
  QString pdf;
  int dialogs = 0;
  int notices = 0;
  bool cancelDialog = false;
};

TEST_F(PreviewTest, OpensAtTheStartZoomPagesZoomsAndClosesOnEscWithOneNotice) {
  QPointer<PreviewWindow> preview = open(10, true);
  ASSERT_TRUE(preview);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  EXPECT_EQ(preview->windowTitle().toStdString(), "Druckvorschau");
  EXPECT_EQ(dialogs, 1);
  const int zoom = preview->session().view.zoom;
  const PrinterInfo page = preview->pageInfo();
  EXPECT_EQ(preview->size(), QSize(zoom * page.pageWidthMm, zoom * page.pageHeightMm));

  // Each key in turn, and the page, zoom and offsets it leaves; zooming
  // places the window anew at its size.
  struct Press {
    int key;
    Qt::KeyboardModifiers modifiers;
    int times, page, zoom, scrollX, scrollY;
  };
  const Qt::KeyboardModifiers none = Qt::NoModifier, keypad = Qt::KeypadModifier;
  const Press presses[] = {
      {Qt::Key_PageUp, none, 1, 1, zoom, 0, 0},   {Qt::Key_PageDown, none, 1, 2, zoom, 0, 0},
      {Qt::Key_End, none, 25, 2, 20, 0, 0},       {Qt::Key_Minus, keypad, 1, 2, 19, 0, 0},
      {Qt::Key_Home, none, 25, 2, 1, 0, 0},       {Qt::Key_Plus, keypad, 1, 2, 2, 0, 0},
      {Qt::Key_Minus, none, 1, 2, 2, 0, 0},       {Qt::Key_Plus, none, 1, 2, 2, 0, 0},
      {Qt::Key_Left, none, 1, 2, 2, 128, 0},      {Qt::Key_Up, none, 2, 2, 2, 128, 256},
      {Qt::Key_Right, none, 1, 2, 2, 0, 256},     {Qt::Key_Down, none, 1, 2, 2, 0, 128},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(testing::Message() << "key " << std::hex << press.key << " " << press.modifiers);
    for (int i = 0; i < press.times; ++i) key(preview, press.key, press.modifiers);
    const PreviewView& view = preview->session().view;
    EXPECT_EQ((std::vector{view.targetPage, view.zoom, view.scrollX, view.scrollY}),
              (std::vector{press.page, press.zoom, press.scrollX, press.scrollY}));
    EXPECT_EQ(preview->width(), view.zoom * page.pageWidthMm);
  }

  key(preview, Qt::Key_Escape);
  QTRY_VERIFY(preview.isNull());
  QTRY_COMPARE(notices, 1);
  QTest::qWait(20);
  EXPECT_EQ(notices, 1);
}

TEST_F(PreviewTest, LeftClickPrintsOnTheChosenPrinterAndTheRightClickNotifiesOnce) {
  QPointer<PreviewWindow> preview = open(10, true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  QTest::mouseClick(preview, Qt::LeftButton);
  EXPECT_EQ(preview->documentsPrinted(), 1);
  EXPECT_EQ(dialogs, 1);  // no second printer dialog
  EXPECT_EQ(preview->session().view.targetPage, kPrintAllPages);
  EXPECT_TRUE(PdfWritten());
  QTest::qWait(20);
  EXPECT_EQ(notices, 0);  // printing is not the end of the job

  QTest::mouseClick(preview, Qt::RightButton);
  QTRY_VERIFY(preview.isNull());
  QTRY_COMPARE(notices, 1);
}

TEST_F(PreviewTest, CancelledPrinterDialogClosesThePreviewAtOnce) {
  cancelDialog = true;
  QPointer<PreviewWindow> preview = open(10, true);
  QTRY_VERIFY(preview.isNull());
  QTRY_COMPARE(notices, 1);

  // Without the notify flag nothing is sent.
  preview = open(11, false);
  QTRY_VERIFY(preview.isNull());
  QTest::qWait(20);
  EXPECT_EQ(notices, 1);
}

TEST_F(PreviewTest, TwoPreviewsKeepTheirOwnJobAndPage) {
  QPointer<PreviewWindow> letter = open(10, false);
  QPointer<PreviewWindow> blank = open(11, false);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(blank));
  key(blank, Qt::Key_PageDown);
  EXPECT_EQ((std::vector{letter->session().job, letter->session().view.targetPage,
                         blank->session().view.targetPage}),
            (std::vector{10, 1, 2}));
  letter->close();
  blank->close();
  QTRY_VERIFY(letter.isNull() && blank.isNull());
}

TEST_F(PreviewTest, MissingLogoIsToldOnceAfterThePaintNotDuringIt) {
  printingtest::Put(app.parameters.logoFile, "fehlt.bmp");
  app.parameters.logoWidth = 30;
  QPointer<PreviewWindow> preview = open(10, false);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  preview->repaint();
  preview->repaint();
  QTRY_COMPARE(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Bilddatei fehlt.bmp nicht gefunden.");
  preview->close();
}

TEST_F(PreviewTest, DirectPrintThroughThePrinterDialogWritesTheFile) {
  // The real dialog this time, starting from a remembered "print to file":
  // the letter goes into a file of its own beside the last one.
  host.setPrinterChooser(nullptr);
  app.parameters.printPreview = 0;
  host.rememberPrinter(*PdfPrinter(pdf));
  bool sawDialog = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
      sawDialog = true;
      dialog->accept();
    }
  });
  poll.start(50);
  PrintJob(app, host, 10, true);
  poll.stop();
  EXPECT_TRUE(sawDialog);
  EXPECT_FALSE(PdfWritten());
  EXPECT_GT(QFile(QString::fromStdString(dir.file("Brief.pdf"))).size(), 0);
  EXPECT_EQ(notices, 1);
}

}  // namespace
}  // namespace printing
