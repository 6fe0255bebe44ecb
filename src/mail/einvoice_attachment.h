// The XRechnung a mailed invoice carries beside its PDF, for customers
// whose address asks for it (kAddressSendXRechnung): the same XML
// `belvon-cli einvoice` writes for the issued invoice.
#ifndef BELVON_MAIL_EINVOICE_ATTACHMENT_H
#define BELVON_MAIL_EINVOICE_ATTACHMENT_H

#include <string>

#include "mail/message.h"
#include "orders/issuing.h"
#include "store/app_state.h"

namespace mail {

struct EInvoiceAttachment {
  bool wanted = false;   // an invoice to a customer whose address asks for it
  std::string problem;   // German: why it cannot be made; the mail must not go then
  Attachment attachment;  // application/xml, named "<name of the PDF>.xml" once it is known
};

// For `kind` of the current order to app.address, drawn on `printDate`
// (the date the PDF shows). Made before the PDF, so that a refusal comes
// before anything is drawn.
EInvoiceAttachment MakeEInvoiceAttachment(frame::AppState& app, orders::DocumentKind kind,
                                          const std::string& printDate);

// Names it after the PDF beside it ("Rechnung-17.pdf" -> "Rechnung-17.xml").
void NameBeside(EInvoiceAttachment& xml, const std::string& pdfFileName);

}  // namespace mail

#endif  // BELVON_MAIL_EINVOICE_ATTACHMENT_H
