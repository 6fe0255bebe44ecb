#include "receive/pdf_attachment.h"

#include <algorithm>
#include <cctype>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <stdexcept>

namespace receive {

namespace {

// Collects a stream's decoded bytes and stops at the cap: a small
// compressed stream may unpack to gigabytes.
class CappedSink : public Pipeline {
 public:
  CappedSink(std::string& bytes, std::uint64_t cap)
      : Pipeline("capped", nullptr), bytes_(bytes), cap_(cap) {}
  void write(unsigned char const* data, size_t len) override {
    if (bytes_.size() + len > cap_) {
      exceeded = true;
      throw std::length_error("attachment beyond the cap");
    }
    bytes_.append(reinterpret_cast<const char*>(data), len);
  }
  void finish() override {}
  bool exceeded = false;

 private:
  std::string& bytes_;
  std::uint64_t cap_;
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

bool IsInvoiceAttachmentName(std::string_view name) {
  const std::string lower = Lower(name);
  return lower == "factur-x.xml" || lower == "zugferd-invoice.xml" || lower == "xrechnung.xml";
}

PdfXml FindInvoiceXml(std::string_view pdf, std::uint64_t cap) {
  PdfXml result;
  try {
    QPDF document;
    document.setSuppressWarnings(true);
    document.processMemoryFile("Eingangsrechnung", pdf.data(), pdf.size());
    QPDFEmbeddedFileDocumentHelper files(document);
    std::vector<std::shared_ptr<QPDFFileSpecObjectHelper>> invoices;
    for (const auto& [key, spec] : files.getEmbeddedFiles()) {
      std::string name = spec->getFilename();
      if (name.empty()) name = key;
      result.names.push_back(name);
      if (IsInvoiceAttachmentName(name)) invoices.push_back(spec);
    }
    if (invoices.empty()) {
      result.outcome = PdfXmlOutcome::None;
      return result;
    }
    if (invoices.size() > 1) {
      result.outcome = PdfXmlOutcome::Several;
      return result;
    }
    result.name = invoices.front()->getFilename();
    QPDFObjectHandle stream = invoices.front()->getEmbeddedFileStream();
    CappedSink sink(result.xml, cap);
    bool piped = false;
    try {
      piped = stream.pipeStreamData(&sink, 0, qpdf_dl_generalized, true);
    } catch (const std::length_error&) {
      result.outcome = PdfXmlOutcome::TooLarge;
      result.xml.clear();
      return result;
    }
    if (!piped) {
      result.problem = "the attachment's stream cannot be decoded";
      result.xml.clear();
      return result;
    }
    result.outcome = PdfXmlOutcome::Found;
  } catch (const std::exception& error) {
    result = PdfXml{};
    result.problem = error.what();
  }
  return result;
}

}  // namespace receive
