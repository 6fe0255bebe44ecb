// The inbox window: a file opened into it is listed with its figures and
// state, another program copy sees it, it is marked paid, its attachment is
// saved out byte for byte and a ZUGFeRD PDF goes to the desktop's viewer.
// Our own ZUGFeRD PDF invoices read back to the figures printed on them.
#include "receive/ui/eingangsrechnungen_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>

#include "einvoice/einvoice_cases.h"
#include "printing/print_job.h"
#include "printing/ui/printer_devices.h"
#include "receive/incoming_file.h"
#include "receive/receive_test_files.h"
#include "store/order_kinds.h"
#include "support/test_app.h"

namespace {

using receive::EingangsrechnungenWindow;

QString Cell(const EingangsrechnungenWindow& window, int row, int column) {
  const QTableWidgetItem* item = window.table()->item(row, column);
  return item ? item->text() : QString();
}

std::string WithAttachment(const std::string& cii) {
  return receivetest::Replaced(
      cii, "</ram:ApplicableHeaderTradeAgreement>",
      "<ram:AdditionalReferencedDocument><ram:IssuerAssignedID>Anlage 1</ram:IssuerAssignedID>"
      "<ram:TypeCode>916</ram:TypeCode><ram:Name>Stundenzettel</ram:Name>"
      "<ram:AttachmentBinaryObject mimeCode=\"text/plain\" filename=\"../stunden.txt\">"
      "SGFsbG8g\nQW5oYW5n</ram:AttachmentBinaryObject></ram:AdditionalReferencedDocument>"
      "</ram:ApplicableHeaderTradeAgreement>");
}

TEST(EingangsrechnungenWindow, KeepsListsPaysAndSavesWhatItWasGiven) {
  testsupport::TestApp t;
  testsupport::TempDir outside;
  const std::string xml =
      WithAttachment(receivetest::Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml"));
  ASSERT_FALSE(xml.empty());
  { std::ofstream(outside.file("rechnung.xml"), std::ios::binary) << xml; }
  const std::string pdf = std::string(BELVON_RECEIVE_DATA) + "corpus-fx/EN16931_Einfach.pdf";

  EingangsrechnungenWindow window(t.app);
  window.rules = {};
  EXPECT_TRUE(window.addFile(QString::fromStdString(outside.file("rechnung.xml"))));
  EXPECT_FALSE(window.addFile(QString::fromStdString(outside.file("rechnung.xml"))));
  EXPECT_NE(t.ui.texts().back().find("schon abgelegt"), std::string::npos);
  EXPECT_FALSE(window.addFile(QString::fromStdString(outside.file("fehlt.xml"))));
  ASSERT_EQ(window.table()->rowCount(), 1);
  EXPECT_EQ(Cell(window, 0, 1), "[Seller name]");
  EXPECT_EQ(Cell(window, 0, 2), "123456XX");
  EXPECT_EQ(Cell(window, 0, 3), "04.04.2016");
  EXPECT_EQ(Cell(window, 0, 4), "336.90 EUR");
  EXPECT_EQ(Cell(window, 0, 6), "offen");
  EXPECT_EQ(Cell(window, 0, 7), "");

  // Another copy of the program keeps a PDF; this window sees it once it reads the list again.
  frame::AppState other = t.OtherCopy(t.dir.path());
  EingangsrechnungenWindow second(other);
  second.rules = {};
  ASSERT_TRUE(second.addFile(QString::fromStdString(pdf)));
  window.findChild<QPushButton*>("refresh")->click();
  ASSERT_EQ(window.table()->rowCount(), 2);
  EXPECT_EQ(Cell(window, 1, 1), "Lieferant GmbH");

  ASSERT_TRUE(window.select(1));
  window.askPaymentDate = [](const QString&) { return QStringLiteral("10.12.26"); };
  window.markSelectedPaid();
  second.refresh();
  EXPECT_EQ(Cell(second, 0, 6), "bezahlt am 10.12.2026");

  QString target;
  window.chooseAttachmentTarget = [&](const QString& proposed) {
    EXPECT_EQ(proposed, "stunden.txt");  // never a path out of the chosen folder
    target = QString::fromStdString(outside.file("anhang.txt"));
    return target;
  };
  window.saveSelectedAttachment();
  EXPECT_EQ(receivetest::Read(target.toStdString()), "Hallo Anhang");

  QString viewed;
  window.openInViewer = [&](const QString& path) { viewed = path; };
  window.openSelectedPdf();
  EXPECT_TRUE(viewed.isEmpty());
  ASSERT_TRUE(window.select(2));
  window.openSelectedPdf();
  EXPECT_EQ(receivetest::Read(viewed.toStdString()), receivetest::Read(pdf));
}

TEST(EingangsrechnungenWindow, OurOwnZugferdPdfReadsBackToItsPrintedFigures) {
  testsupport::TestApp t;
  int number = 1261200001;
  for (const einvoicetest::Case& c : einvoicetest::Cases()) {
    SCOPED_TRACE(c.name);
    einvoicetest::Prepare(t.app, c, number++);
    einvoice::Settings settings = einvoice::LoadSettings(t.app.dataDirectory);
    settings.pdfEInvoice = true;
    einvoice::SaveSettings(t.app.dataDirectory, settings);
    const std::string path = t.dir.file(std::string(c.name) + ".pdf");
    printing::PrintSession session;
    session.job = t.app.order.flags & store::kOrderCollectiveInvoice ? 4 : 3;
    session.inputs.printDate = "06.12.2026";
    printing::PdfFileDevice device(QString::fromStdString(path));
    ASSERT_TRUE(printing::PrintOnDevice(t.app, device, session, {}, nullptr));
    const receive::OpenedInvoice opened = receive::ReadIncoming(receivetest::Read(path), path);
    ASSERT_TRUE(opened.ok) << opened.message;
    EXPECT_EQ(opened.attachmentName, "factur-x.xml");
    const int sign = opened.invoice.creditNote() ? -1 : 1;
    const std::int64_t total = sign * receive::Cents(opened.invoice.totals.total.value);
    // The order holds the total the paper prints, in cents.
    EXPECT_EQ(total, t.app.order.total);
    EXPECT_EQ(sign * receive::Cents(opened.invoice.totals.due.value), total - t.app.order.paid);
    for (const receive::Finding& f : receive::CheckFigures(opened.invoice)) ADD_FAILURE() << f.text;
  }
}

}  // namespace
