// The e-invoice a ZUGFeRD / Factur-X PDF carries as an embedded file.
#ifndef BELVON_RECEIVE_PDF_ATTACHMENT_H
#define BELVON_RECEIVE_PDF_ATTACHMENT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace receive {

enum class PdfXmlOutcome {
  Found,       // exactly one invoice attachment
  None,        // no attachment of an invoice's name
  Several,     // more than one (which one is the invoice?)
  Unreadable,  // no PDF qpdf can read, or the attachment cannot be unpacked
  TooLarge,    // the attachment unpacks to more than the cap
};

struct PdfXml {
  PdfXmlOutcome outcome = PdfXmlOutcome::Unreadable;
  std::string name;                // the attachment's name
  std::string xml;                 // its bytes
  std::vector<std::string> names;  // every embedded file's name
  std::string problem;             // qpdf's words (English) when unreadable
};

// Whether the name is one the standards give the invoice: "factur-x.xml",
// "zugferd-invoice.xml", "xrechnung.xml", in any case.
bool IsInvoiceAttachmentName(std::string_view name);

// The invoice attachment of `pdf`, unpacked to at most `cap` bytes.
PdfXml FindInvoiceXml(std::string_view pdf, std::uint64_t cap);

}  // namespace receive

#endif  // BELVON_RECEIVE_PDF_ATTACHMENT_H
