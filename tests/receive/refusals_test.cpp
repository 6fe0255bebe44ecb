// Files that are no e-invoice we can read, each refused with its own German
// message, and the data directory exactly as it was: nothing kept, nothing
// listed, no file left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "receive/inbox.h"
#include "receive/receive_test_files.h"
#include "support/test_app.h"

namespace {

using receivetest::Fixture;

// Every file below the directory with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& directory) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(directory))
    files[entry.path().string()] =
        entry.is_regular_file() ? receivetest::Read(entry.path().string()) : "<dir>";
  return files;
}

// The fixture PDF with its attachments changed by `change`.
std::string ChangedPdf(const std::string& pdf,
                       const std::function<void(QPDF&, QPDFEmbeddedFileDocumentHelper&)>& change) {
  QPDF document;
  document.processMemoryFile("test", pdf.data(), pdf.size());
  QPDFEmbeddedFileDocumentHelper files(document);
  change(document, files);
  QPDFWriter writer(document);
  writer.setOutputMemory();
  writer.write();
  const auto buffer = writer.getBufferSharedPointer();
  return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

TEST(IncomingRefusals, EachBrokenFileGetsItsMessageAndChangesNothing) {
  const std::string cii = Fixture("xrechnung-testsuite/01.01a-INVOICE_uncefact.xml");
  const std::string pdf = Fixture("corpus-fx/EN16931_Einfach.pdf");
  ASSERT_FALSE(cii.empty());
  ASSERT_FALSE(pdf.empty());
  const std::string withoutXml = ChangedPdf(pdf, [](QPDF&, QPDFEmbeddedFileDocumentHelper& files) {
    files.removeEmbeddedFile("factur-x.xml");
  });
  const std::string twoXml =
      ChangedPdf(pdf, [&](QPDF& document, QPDFEmbeddedFileDocumentHelper& files) {
        files.replaceEmbeddedFile("xrechnung.xml",
                                  QPDFFileSpecObjectHelper::createFileSpec(
                                      document, "xrechnung.xml",
                                      QPDFEFStreamObjectHelper::createEFStream(document, cii)));
      });
  // An entity that expands a thousandfold per level.
  const std::string bomb =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY lol \"lol\">"
      "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
      "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]>\n"
      "<rsm:CrossIndustryInvoice "
      "xmlns:rsm=\"urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100\">"
      "&lol3;</rsm:CrossIndustryInvoice>";
  const std::string xxe =
      std::string(
          "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>") +
      cii.substr(cii.find("<rsm:CrossIndustryInvoice"));
  const struct {
    const char* name;
    std::string bytes;
    const char* message;  // a part of the German message
  } rows[] = {
      {"abgeschnitten.xml", cii.substr(0, cii.size() / 2), "kein vollständiges XML"},
      {"leer.xml", "", "ist leer oder enthält weder XML noch PDF"},
      {"kein-xml.txt", "Sehr geehrte Damen und Herren,\n", "keine E-Rechnung"},
      {"fremd.xml", "<?xml version=\"1.0\"?><Bestellung xmlns=\"urn:x\"/>", "keine E-Rechnung"},
      {"zugferd1.xml",
       "<rsm:CrossIndustryDocument xmlns:rsm=\"urn:ferd:CrossIndustryDocument:invoice:1p0\"/>",
       "ZUGFeRD 1.0"},
      {"bombe.xml", bomb, "DOCTYPE"},
      {"entitaet.xml", xxe, "DOCTYPE"},
      {"ohne-anhang.pdf", withoutXml, "enthält keine E-Rechnung"},
      {"zwei-anhaenge.pdf", twoXml, "mehr als eine E-Rechnung"},
      {"abgeschnitten.pdf", pdf.substr(0, 2000), "kein lesbares PDF"},
  };
  testsupport::TestApp t;
  testsupport::TempDir outside;
  ASSERT_EQ(receive::AddBytesToInbox(t.app, cii, "erste.xml", {}).result, receive::AddResult::Kept);
  const auto before = Snapshot(t.dir.path());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = outside.file(row.name);
    { std::ofstream(path, std::ios::binary) << row.bytes; }
    const receive::AddOutcome outcome = receive::AddToInbox(t.app, path, {});
    std::filesystem::remove(path);
    EXPECT_EQ(outcome.result, receive::AddResult::Refused);
    EXPECT_NE(outcome.message.find(row.message), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find(row.name), std::string::npos) << outcome.message;
    EXPECT_EQ(Snapshot(t.dir.path()), before);
  }
}

// A file of 200 MB is refused before a byte of it is read: a sparse file
// costs the test no disk.
TEST(IncomingRefusals, AFileAboveTheSizeLimitIsNotRead) {
  testsupport::TestApp t;
  testsupport::TempDir outside;
  const std::string path = outside.file("riesig.xml");
  { std::ofstream(path) << "<"; }
  std::filesystem::resize_file(path, 200ull * 1024 * 1024);
  const receive::AddOutcome outcome = receive::AddToInbox(t.app, path, {});
  std::filesystem::remove(path);
  EXPECT_EQ(outcome.result, receive::AddResult::Refused);
  EXPECT_NE(outcome.message.find("zu groß"), std::string::npos) << outcome.message;
  EXPECT_FALSE(std::filesystem::exists(t.dir.file("EINGANG")));
}

}  // namespace
