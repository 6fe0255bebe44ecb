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
#include "support/noting_ui.h"
#include "support/test_app.h"
#include "widgets/dialog_support.h"

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
    app.ui = &ui;
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
  testsupport::NotingUi ui;
  frame::AppState& app = t.app;
  QtPrintHost host;
  QString pdf;
  int dialogs = 0;
  int notices = 0;
  bool cancelDialog = false;
};

// The preview comes before any printer dialog, with the whole page in the
// window; the documented keys page, zoom and move the sheet, the buttons do
// what their keys do, and Esc closes with one notice.
TEST_F(PreviewTest, OpensFittedBeforeAnyPrinterAndKeepsItsKeys) {
  QPointer<PreviewWindow> preview = open(10, true);
  ASSERT_TRUE(preview);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  EXPECT_EQ(preview->windowTitle().toStdString(), "Druckvorschau");
  EXPECT_EQ(dialogs, 0);
  EXPECT_FALSE(preview->hasPrinter());
  const PrinterInfo page = preview->pageInfo();
  EXPECT_EQ((std::pair{page.pageWidthMm, page.pageHeightMm}), (std::pair{200, 287}));
  // The whole sheet, its foot too, lies inside the window.
  QWidget* sheet = preview->sheet();
  EXPECT_TRUE(preview->fitted());
  EXPECT_TRUE(preview->rect().contains(QRect(sheet->mapTo(preview, QPoint(0, 0)), sheet->size())))
      << sheet->width() << "x" << sheet->height() << " in " << preview->width() << "x"
      << preview->height();
  EXPECT_NEAR(sheet->height() * 200.0 / 287, sheet->width(), 2);

  // Each key (or button) in turn, and the page, zoom and offsets it leaves.
  struct Press {
    int key;  // or a button, by its id negated
    Qt::KeyboardModifiers modifiers;
    int times, page, zoom, scrollX, scrollY;
  };
  const Qt::KeyboardModifiers none = Qt::NoModifier, keypad = Qt::KeypadModifier;
  const Press presses[] = {
      {Qt::Key_Home, none, 25, 1, 1, 0, 0},
      {Qt::Key_PageUp, none, 1, 1, 1, 0, 0},
      {Qt::Key_PageDown, none, 1, 2, 1, 0, 0},
      {Qt::Key_End, none, 25, 2, 20, 0, 0},
      {Qt::Key_Minus, keypad, 1, 2, 19, 0, 0},
      {Qt::Key_Home, none, 25, 2, 1, 0, 0},
      {Qt::Key_Plus, keypad, 1, 2, 2, 0, 0},
      {Qt::Key_Minus, none, 1, 2, 2, 0, 0},
      {Qt::Key_Plus, none, 1, 2, 2, 0, 0},
      {Qt::Key_Left, none, 1, 2, 2, 128, 0},
      {Qt::Key_Up, none, 2, 2, 2, 128, 256},
      {Qt::Key_Right, none, 1, 2, 2, 0, 256},
      {Qt::Key_Down, none, 1, 2, 2, 0, 128},
      {-PreviewWindow::kZoomInButton, none, 1, 2, 3, 0, 128},
      {-PreviewWindow::kZoomOutButton, none, 2, 2, 1, 0, 128},
      {-PreviewWindow::kNextButton, none, 1, 3, 1, 0, 128},
      {-PreviewWindow::kPreviousButton, none, 2, 1, 1, 0, 128},
  };
  for (const Press& press : presses) {
    SCOPED_TRACE(testing::Message() << "key " << std::hex << press.key << " " << press.modifiers);
    for (int i = 0; i < press.times; ++i) {
      if (press.key < 0)
        preview->command(-press.key);
      else
        key(preview, press.key, press.modifiers);
    }
    const PreviewView& view = preview->session().view;
    EXPECT_EQ((std::vector{view.targetPage, view.zoom, view.scrollX, view.scrollY}),
              (std::vector{press.page, press.zoom, press.scrollX, press.scrollY}));
    EXPECT_EQ(sheet->width(), view.zoom * page.pageWidthMm);
  }
  preview->command(PreviewWindow::kFitButton);
  EXPECT_TRUE(preview->fitted());
  EXPECT_TRUE(preview->rect().contains(QRect(sheet->mapTo(preview, QPoint(0, 0)), sheet->size())));

  key(preview, Qt::Key_Escape);
  QTRY_VERIFY(preview.isNull());
  QTRY_COMPARE(notices, 1);
  QTest::qWait(20);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(dialogs, 0);
}

// The first print asks for the printer, every later one prints on it; the
// status line says each time, and the right click ends the job once.
TEST_F(PreviewTest, PrintingAsksForThePrinterOnceAndSaysSo) {
  QPointer<PreviewWindow> preview = open(10, true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
  cancelDialog = true;
  preview->command(PreviewWindow::kPrintButton);
  EXPECT_EQ(std::pair(dialogs, preview->documentsPrinted()), std::pair(1, 0));
  EXPECT_TRUE(preview->isVisible());  // a cancelled choice keeps the preview
  cancelDialog = false;
  QTest::mouseClick(preview->sheet(), Qt::LeftButton);
  EXPECT_EQ(std::pair(dialogs, preview->documentsPrinted()), std::pair(2, 1));
  EXPECT_TRUE(PdfWritten());
  preview->command(PreviewWindow::kPrintButton);
  EXPECT_EQ(std::pair(dialogs, preview->documentsPrinted()), std::pair(2, 2));
  EXPECT_EQ(preview->session().view.targetPage, 1);  // still on its page
  EXPECT_EQ(ui.notes, (std::vector<std::string>(2, "Gedruckt: Brief-06.12.2026")));
  QTest::qWait(20);
  EXPECT_EQ(notices, 0);  // printing is not the end of the job

  QTest::mouseClick(preview->sheet(), Qt::RightButton);
  QTRY_VERIFY(preview.isNull());
  QTRY_COMPARE(notices, 1);
}

// "Als PDF speichern" writes the chosen file without any printer, and
// "Per E-Mail senden" shows only where the program mails the job: it closes
// the preview and hands the job on.
TEST_F(PreviewTest, SavesAsPdfAndMailsWhereTheProgramCan) {
  const QString saved = QString::fromStdString(dir.file("Brief-gespeichert.pdf"));
  QString proposed;
  host.setPdfFileChooser([&](const QString& name) {
    proposed = name;
    return saved;
  });
  std::vector<int> mailed;
  host.setMailer({[](int job) { return job == 11; },
                  [&](const PrintSession& session) { mailed.push_back(session.job); }});
  QPointer<PreviewWindow> letter = open(10, true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(letter));
  EXPECT_FALSE(frame::FindControl(letter, PreviewWindow::kMailButton)->isVisible());
  letter->command(PreviewWindow::kPdfButton);
  EXPECT_EQ(proposed.toStdString(), "Brief-06.12.2026.pdf");
  EXPECT_EQ(std::pair(dialogs, letter->documentsPrinted()), std::pair(0, 1));
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.read(4), "%PDF");
  EXPECT_EQ(ui.notes, (std::vector<std::string>{"Als PDF gespeichert: " + saved.toStdString()}));
  letter->command(PreviewWindow::kCloseButton);
  QTRY_VERIFY(letter.isNull());
  QTRY_COMPARE(notices, 1);

  QPointer<PreviewWindow> other = open(11, true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(other));
  EXPECT_TRUE(frame::FindControl(other, PreviewWindow::kMailButton)->isVisible());
  other->command(PreviewWindow::kMailButton);
  QTRY_VERIFY(other.isNull());
  EXPECT_EQ(mailed, std::vector<int>{11});
  QTRY_COMPARE(notices, 2);
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
