// PDF invoices that carry their e-invoice (ZUGFeRD / Factur-X): read back
// with programs of their own (poppler's pdfdetach and pdftotext, qpdf's
// JSON), the attachment passes the official rules, states the printed
// figures and is the document the e-invoice command writes; the file is a
// PDF/A-3b as its catalogue, attachment and metadata say.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <regex>

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_cases.h"
#include "einvoice/einvoice_file.h"
#include "orders/order_document_renderer.h"
#include "printing/job_table.h"
#include "printing/ui/printer_devices.h"
#include "support/run_command.h"
#include "support/test_app.h"

namespace {

using einvoice::PdfGuideline;
using einvoicetest::Case;

bool Have(const char* tool) {
  return testsupport::RunCommand(std::string("command -v ") + tool + " >/dev/null") == 0;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int JobOf(const frame::AppState& app) {
  return app.order.flags & store::kOrderCollectiveInvoice ? printing::kJobCollectiveInvoice
                                                          : printing::kJobInvoice;
}

// The invoice of `app` as a PDF file, the way `print 3 --pdf` writes it.
bool WritePdf(frame::AppState& app, const std::string& path) {
  printing::PrintSession session;
  session.job = JobOf(app);
  session.inputs.printDate = "06.12.2026";
  printing::PdfFileDevice device(QString::fromStdString(path));
  return printing::PrintOnDevice(app, device, session, {}, nullptr);
}

void SetPdfEInvoice(const frame::AppState& app, bool on, PdfGuideline guideline) {
  einvoice::Settings settings = einvoice::LoadSettings(app.dataDirectory);
  settings.pdfEInvoice = on, settings.pdfGuideline = guideline;
  ASSERT_TRUE(einvoice::SaveSettings(app.dataDirectory, settings));
}

}  // namespace

TEST(HybridPdf, Probe) {
  testsupport::TestApp t;
  const Case& c = einvoicetest::Cases().front();
  einvoicetest::Prepare(t.app, c, 1261200001);
  SetPdfEInvoice(t.app, true, PdfGuideline::EN16931);
  ASSERT_TRUE(WritePdf(t.app, "/tmp/zf/probe.pdf"));
}
