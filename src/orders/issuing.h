// Issuing a document of the current order: the buttons of the print dialog
// mark the order, fix the invoice date, store the order in place and hand it
// to the print job once per copy.
#ifndef BELVON_ORDERS_ISSUING_H
#define BELVON_ORDERS_ISSUING_H

#include <functional>
#include <string>

#include "frame/app_state.h"

namespace orders {

// The job number of an order document is its kind.
enum class DocumentKind {
  Quotation = 1,
  DeliveryNote = 2,
  Invoice = 3,
  CollectiveInvoice = 4,
  Confirmation = 20,
  CostEstimate = 23,
};

// The order flags a document sets when it is issued (an invoice also marks
// the delivery note).
std::uint16_t IssuedFlags(DocumentKind kind);

// Invoices fix their date: an invoice printed before asks whether to keep
// the old date (Yes: the print date becomes it; No: the stored date becomes
// the print date); without one the print date is stored.
void FixInvoiceDate(frame::AppState& app, std::string& printDate);

// Runs one document button: flags, the customer record written back (not
// for a delivery note), the order stored in place, `printJob(job, notify)`
// copies - 1 times without and once with the notice, and the parameters
// saved. Returns false when the order could not be stored (nothing is
// printed then).
using PrintJobCall = std::function<void(int job, bool notify, const std::string& printDate)>;
bool IssueDocument(frame::AppState& app, DocumentKind kind, int copies, std::string& printDate,
                   const PrintJobCall& printJob);

}  // namespace orders

#endif  // BELVON_ORDERS_ISSUING_H
