#include "mail/einvoice_attachment.h"

#include "einvoice/cii_writer.h"
#include "einvoice/einvoice_file.h"
#include "store/address_record.h"

namespace mail {

EInvoiceAttachment MakeEInvoiceAttachment(frame::AppState& app, orders::DocumentKind kind,
                                          const std::string& printDate) {
  EInvoiceAttachment out;
  const bool invoice = kind == orders::DocumentKind::Invoice ||
                       kind == orders::DocumentKind::CollectiveInvoice;
  if (!invoice || !(app.address.salutation & store::kAddressSendXRechnung)) return out;
  out.wanted = true;
  const einvoice::Document document =
      einvoice::MakeIssuedDocument(app, kind == orders::DocumentKind::CollectiveInvoice, printDate,
                                   einvoice::kXRechnungGuideline);
  if (!document.ok) {
    // The customer asked for the XML: a mail without it would be taken
    // for the whole invoice.
    out.problem = "Der Kunde erhält Rechnungen mit XRechnung. Die XRechnung kann nicht erstellt "
                  "werden, die E-Mail wird nicht gesendet:\n" + document.message;
    return out;
  }
  out.attachment = {"", "application/xml", document.xml};
  return out;
}

void NameBeside(EInvoiceAttachment& xml, const std::string& pdfFileName) {
  std::string name = pdfFileName;
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  xml.attachment.fileName = name + ".xml";
}

}  // namespace mail
