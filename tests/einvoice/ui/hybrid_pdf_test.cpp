// PDF invoices that carry their e-invoice (ZUGFeRD / Factur-X): read back
// with programs of their own (poppler's pdfdetach and pdftotext, qpdf's
// JSON), the attachment passes the official rules, states the printed
// figures and is the document the e-invoice command writes; the file is a
// PDF/A-3b as its catalogue, attachment and metadata say.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_cases.h"
#include "einvoice/einvoice_file.h"
#include "einvoice/factur_x_pdf.h"
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
bool WritePdf(frame::AppState& app, const std::string& path,
              const std::string& printDate = "06.12.2026") {
  printing::PrintSession session;
  session.job = JobOf(app);
  session.inputs.printDate = printDate;
  printing::PdfFileDevice device(QString::fromStdString(path));
  return printing::PrintOnDevice(app, device, session, {}, nullptr);
}

void SetPdfEInvoice(const frame::AppState& app, bool on, PdfGuideline guideline) {
  einvoice::Settings settings = einvoice::LoadSettings(app.dataDirectory);
  settings.pdfEInvoice = on, settings.pdfGuideline = guideline;
  ASSERT_TRUE(einvoice::SaveSettings(app.dataDirectory, settings));
}

// "1,234.56" (as the paper prints it) as cents.
std::int64_t Cents(std::string text) {
  std::erase(text, ',');
  return std::llround(std::stod(text) * 100);
}

std::int64_t XmlCents(const std::string& xml, const std::string& element) {
  std::smatch m;
  const std::regex pattern("<ram:" + element + "[^>]*>(-?[0-9.]+)<");
  return std::regex_search(xml, m, pattern) ? Cents(m[1]) : -1;
}

// The figures of the totals block, read from the PDF's text.
struct Paper {
  std::int64_t final = 0, net = 0, gross = 0, tax = 0;
  bool hasGross = false;
};

Paper PrintedFigures(const std::string& text) {
  Paper paper;
  static const std::regex kTotal(R"((Netto-Summe|Brutto-Summe|Rechnungsbetrag|Gutschrift)\s+(-?[0-9][0-9,]*\.[0-9]{2})\s)");
  static const std::regex kTax(R"(UmSt\s+(-?[0-9][0-9,]*\.[0-9]{2})\s+\S+\s*$)");
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_search(line, m, kTotal)) {
      const std::int64_t cents = Cents(m[2]);
      if (m[1] == "Netto-Summe") paper.net = cents;
      else if (m[1] == "Brutto-Summe") paper.gross = cents, paper.hasGross = true;
      else paper.final = cents;
    } else if (std::regex_search(line, m, kTax)) {
      paper.tax += Cents(m[1]);
    }
  }
  return paper;
}

// What qpdf's JSON says against a PDF/A-3b invoice carrying factur-x.xml;
// empty when nothing.
std::string PdfA3Problems(const std::string& path, const std::string& conformanceLevel) {
  std::string json;
  if (testsupport::RunCommand("qpdf --json=2 --json-key=qpdf --json-stream-data=inline "
                              "--decode-level=generalized '" + path + "'",
                              &json) != 0)
    return "qpdf cannot read the file";
  const QJsonObject objects =
      QJsonDocument::fromJson(QByteArray::fromStdString(json))["qpdf"].toArray()[1].toObject();
  auto object = [&](const QJsonValue& ref) { return objects["obj:" + ref.toString()].toObject(); };
  auto value = [&](const QJsonValue& ref) { return object(ref)["value"].toObject(); };
  auto data = [&](const QJsonValue& ref) {
    return QByteArray::fromBase64(object(ref)["stream"].toObject()["data"].toString().toLatin1()).toStdString();
  };
  std::string problems;
  auto expect = [&](bool ok, const char* what) { if (!ok) problems += std::string(what) + "; "; };

  const QJsonObject catalog = value(objects["trailer"].toObject()["value"].toObject()["/Root"]);
  const QJsonArray af = catalog["/AF"].toArray();
  expect(af.size() == 1, "/AF names one file");
  const QJsonObject fileSpec = value(af.at(0));
  expect(fileSpec["/AFRelationship"] == "/Alternative", "/AFRelationship /Alternative");
  expect(fileSpec["/F"] == "u:factur-x.xml" && fileSpec["/UF"] == "u:factur-x.xml", "named factur-x.xml");
  const QJsonValue stream = fileSpec["/EF"].toObject()["/F"];
  const QJsonObject streamDict = object(stream)["stream"].toObject()["dict"].toObject();
  expect(streamDict["/Subtype"] == "/text/xml", "MIME type text/xml");
  expect(streamDict["/Params"].toObject().contains("/ModDate"), "a modification date");
  expect(data(stream).find("<rsm:CrossIndustryInvoice") != std::string::npos, "the CII attached");
  const QJsonArray names = value(catalog["/Names"].toObject()["/EmbeddedFiles"])["/Names"].toArray();
  expect(names.size() == 2 && names[0] == "u:factur-x.xml" && names[1] == af.at(0),
         "the EmbeddedFiles name tree holds the same file");

  const std::string xmp = data(catalog["/Metadata"]);
  for (const char* needle :
       {"pdfaid:part=\"3\"", "pdfaid:conformance=\"B\"", "<fx:DocumentType>INVOICE</fx:DocumentType>",
        "<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>", "<fx:Version>1.0</fx:Version>",
        "<pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>",
        "<pdfaSchema:prefix>fx</pdfaSchema:prefix>", "<pdfaProperty:name>ConformanceLevel</pdfaProperty:name>"})
    expect(xmp.find(needle) != std::string::npos, needle);
  // The level pairs with the guideline the XML names.
  const std::string level = "<fx:ConformanceLevel>" + conformanceLevel + "</fx:ConformanceLevel>";
  expect(xmp.find(level) != std::string::npos, level.c_str());
  expect(xmp.find("pdfaid:part=\"1\"") == std::string::npos, "no second identification");

  const QJsonArray intents = catalog["/OutputIntents"].toArray();
  const QJsonObject intent = value(intents.at(0));
  expect(intents.size() == 1 && intent["/S"] == "/GTS_PDFA1" &&
             intent["/OutputConditionIdentifier"].toString().contains("sRGB") &&
             data(intent["/DestOutputProfile"]).substr(36, 4) == "acsp",
         "an sRGB output intent with its ICC profile");

  int descriptors = 0;
  for (auto it = objects.begin(); it != objects.end(); ++it) {
    const QJsonObject dict = it.value().toObject()["value"].toObject();
    if (dict["/Type"] == "/FontDescriptor") {
      ++descriptors;
      expect(dict.contains("/FontFile") || dict.contains("/FontFile2") || dict.contains("/FontFile3"),
             "every font embedded");
    }
    if (dict["/Type"] == "/Font" && dict["/Subtype"] != "/Type0" && dict["/Subtype"] != "/Type3")
      expect(dict.contains("/FontDescriptor"), "every font described");
  }
  expect(descriptors > 0, "fonts");
  return problems;
}

}  // namespace

// Every kind of invoice the e-invoice is checked with, written as PDF with
// either guideline: the attachment poppler finds is the e-invoice command's
// document naming that guideline, passes the kit, and states the totals
// the PDF prints; qpdf finds a PDF/A-3b around it.
TEST(HybridPdf, EveryKindOfInvoiceCarriesItsEInvoice) {
  for (const char* tool : {"pdfdetach", "pdftotext", "qpdf"})
    if (!Have(tool)) GTEST_SKIP() << tool << " fehlt (make deps)";
  testsupport::TestApp t;
  std::string files;
  int number = 1261200001;
  for (const Case& c : einvoicetest::Cases()) {
    SCOPED_TRACE(c.name);
    einvoicetest::Prepare(t.app, c, number);
    const bool xrechnung = number++ % 2 == 0;
    SetPdfEInvoice(t.app, true, xrechnung ? PdfGuideline::XRechnung : PdfGuideline::EN16931);
    const std::string pdf = t.dir.file(std::string(c.name) + ".pdf");
    const std::string xmlPath = t.dir.file(std::string(c.name) + ".xml");
    ASSERT_TRUE(WritePdf(t.app, pdf));
    ASSERT_EQ(testsupport::RunCommand("pdfdetach -savefile factur-x.xml -o '" + xmlPath + "' '" + pdf + "'"), 0);
    files += " '" + xmlPath + "'";
    const std::string xml = Read(xmlPath);

    std::string expected = einvoice::MakeDocument(t.app).xml;
    if (!xrechnung)
      expected.replace(expected.find(einvoice::kXRechnungGuideline),
                       std::string_view(einvoice::kXRechnungGuideline).size(), einvoice::kEn16931Guideline);
    EXPECT_EQ(xml, expected);

    std::string text;
    ASSERT_EQ(testsupport::RunCommand("pdftotext -layout '" + pdf + "' -", &text), 0);
    const Paper paper = PrintedFigures(text);
    const int sign = xml.find("<ram:TypeCode>381<") != std::string::npos ? -1 : 1;
    EXPECT_NE(paper.final, 0) << text;
    EXPECT_EQ(sign * XmlCents(xml, "GrandTotalAmount"), paper.final);
    EXPECT_EQ(sign * XmlCents(xml, "TaxTotalAmount"), paper.tax);
    EXPECT_EQ(sign * XmlCents(xml, "TaxBasisTotalAmount"), paper.hasGross ? paper.gross - paper.tax : paper.net);

    EXPECT_EQ(PdfA3Problems(pdf, xrechnung ? "XRECHNUNG" : "EN 16931"), "");
  }
  std::string report;
  const int status = testsupport::RunCommand(std::string(BELVON_CII_KIT) + " -q" + files, &report);
  if (status == 4) GTEST_SKIP() << "Java, Saxon-HE oder xmllint fehlen (make deps)";
  EXPECT_EQ(status, 0) << report;
}

// An issued invoice (06.12., 14 days) drawn again on 23.12. without issuing
// it: its e-invoice is the issued invoice's, and its terms count from the
// same date.
TEST(HybridPdf, ACopyDrawnLaterStatesTheDateItWasIssuedWith) {
  for (const char* tool : {"pdfdetach", "pdftotext"})
    if (!Have(tool)) GTEST_SKIP() << tool << " fehlt (make deps)";
  testsupport::TestApp t;
  einvoicetest::Prepare(t.app, einvoicetest::Cases().front(), 1261200001);
  SetPdfEInvoice(t.app, true, PdfGuideline::XRechnung);
  const std::string pdf = t.dir.file("Kopie.pdf"), xmlPath = t.dir.file("Kopie.xml");
  ASSERT_TRUE(WritePdf(t.app, pdf, "23.12.2026"));
  ASSERT_EQ(testsupport::RunCommand("pdfdetach -savefile factur-x.xml -o '" + xmlPath + "' '" + pdf + "'"), 0);
  EXPECT_EQ(Read(xmlPath), einvoice::MakeDocument(t.app).xml);
  std::string text;
  ASSERT_EQ(testsupport::RunCommand("pdftotext -layout '" + pdf + "' -", &text), 0);
  EXPECT_NE(text.find("bis zum 20.12.2026"), std::string::npos) << text;
}

// The setting decides, for the PDF file of the command line and for the
// print dialog's PDF (which the preview prints to as well): off, the PDF is
// the plain one of before; on, a PDF/A-3b with the e-invoice, unless the
// master data lack what the e-invoice needs: then the plain PDF, and the
// user is told once what is missing.
TEST(HybridPdf, TheSettingAndTheMasterDataDecideWhatThePdfIs) {
  if (!Have("qpdf")) GTEST_SKIP() << "qpdf fehlt (make deps)";
  struct Row {
    const char* name;
    bool on, complete, printDialog, hybrid;
  };
  const Row rows[] = {
      {"aus", false, true, false, false},
      {"an", true, true, false, true},
      {"unvollstaendig", true, false, false, false},
      {"druckdialog-aus", false, true, true, false},
      {"druckdialog-an", true, true, true, true},
      {"druckdialog-unvollstaendig", true, false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::TestApp t;
    einvoicetest::Prepare(t.app, einvoicetest::Cases().front(), 1261200001);
    SetPdfEInvoice(t.app, row.on, PdfGuideline::EN16931);
    if (!row.complete) {
      store::SetText(t.app.parameters.vatId, "");
      einvoice::Settings settings = einvoice::LoadSettings(t.app.dataDirectory);
      settings.taxNumber.clear();
      ASSERT_TRUE(einvoice::SaveSettings(t.app.dataDirectory, settings));
    }
    const std::string path = t.dir.file("rechnung.pdf");
    printing::PrintSession session;
    session.job = printing::kJobInvoice;
    session.inputs.printDate = "06.12.2026";
    if (row.printDialog) {
      auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(QString::fromStdString(path));
      printing::QtPrinterDevice device(std::move(printer));
      ASSERT_TRUE(printing::PrintOnDevice(t.app, device, session, {}, nullptr));
    } else {
      ASSERT_TRUE(WritePdf(t.app, path));
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".neu"));
    const std::string bytes = Read(path);
    const std::vector<std::string> told = t.ui.texts();
    if (row.hybrid) {
      EXPECT_EQ(PdfA3Problems(path, "EN 16931"), "");
    } else {
      EXPECT_TRUE(bytes.starts_with("%PDF-1.4")) << bytes.substr(0, 8);
      EXPECT_EQ(bytes.find("/EmbeddedFiles"), std::string::npos);
      EXPECT_EQ(bytes.find("pdfaid"), std::string::npos);
      EXPECT_NE(PdfA3Problems(path, "EN 16931"), "");
    }
    const bool incomplete = row.on && !row.complete;
    ASSERT_EQ(told.size(), incomplete ? 1u : 0u);
    if (incomplete) {
      EXPECT_TRUE(told[0].starts_with("Die PDF-Datei enthält keine E-Rechnung (ZUGFeRD):\n")) << told[0];
      EXPECT_NE(told[0].find("Steuernummer"), std::string::npos) << told[0];
    }
  }
}

// Only a whole PDF/A-1b of the writer is finished: one cut short (a disk
// that ran full under the writer) or no PDF at all is refused, never
// repaired into an invoice.
TEST(HybridPdf, OnlyAWholePdfOfTheWriterIsFinished) {
  QByteArray written;
  {
    QBuffer buffer(&written);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    QPdfWriter writer(&buffer);
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    QPainter painter(&writer);
    painter.drawText(100, 100, QStringLiteral("Rechnung"));
  }
  const std::string whole = written.toStdString();
  const struct {
    const char* name;
    std::string pdf;
    bool finished;
  } rows[] = {
      {"ganz", whole, true},
      {"abgeschnitten", whole.substr(0, whole.rfind("xref")), false},
      {"kein-pdf", "Rechnung 126120001", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out, error;
    EXPECT_EQ(einvoice::MakeFacturXPdf(row.pdf, "<x/>", "EN 16931", out, &error), row.finished) << error;
    EXPECT_EQ(out.empty(), !row.finished);
  }
}
