// Issuing a document of the current order: the buttons of the print dialog
// hand the order to the print job once per copy and, once a copy is really
// out, mark the order, fix the invoice date and store it in place.
#ifndef BELVON_ORDERS_ISSUING_H
#define BELVON_ORDERS_ISSUING_H

#include <functional>
#include <string>

#include "printing/page_renderer.h"
#include "store/app_state.h"
#include "store/issue_archive.h"

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

// The invoice date an invoice is printed with: an issued invoice keeps the
// date of its issue, unasked; an order that holds the date of an earlier
// print without being issued asks whether to keep it (Yes: the print date
// becomes it; No: the print date replaces it); else it is the print date.
std::string InvoiceDateToFix(frame::AppState& app, std::string& printDate);

// An invoice not yet issued is issued only with a real invoice date whose
// due date (date + payment period) is one a four-digit year can state: a
// due date in the year 10000 would be printed and sent as no date at all.
// Refuses (told) and returns true otherwise.
bool RefusedForItsDueDate(frame::AppState& app, const std::string& invoiceDate);

// An invoice states the seller's VAT ID or tax number: without either (in
// "Stammdaten"), one that is not yet issued is refused (told); the check
// before issuing (RefusedForItsDueDate) makes it.
bool RefusedWithoutTaxNumber(frame::AppState& app);

// The date a copy of an issued invoice or collective invoice is drawn with
// when sending it issues nothing: the date it was issued with, so that the
// copy states what the issued one states. Else `printDate`.
std::string IssuedCopyDate(const frame::AppState& app, DocumentKind kind,
                           const std::string& printDate);

// An invoice issued before is drawn with the tax rates of its record. One
// without a record (issued by an older version and not yet taken over) is
// drawn with today's: when they give another total than the one stored
// (which lists, dunning and payments go by), the user is asked with both
// amounts; false when printing should not go on.
bool ConfirmReprintTotal(frame::AppState& app);

// A delivery note that a collective invoice bills is never printed as an
// invoice of its own (told).
// While neither a tax rate nor a currency is set (a first start whose
// settings were cancelled), a document with prices would state 0 % VAT in
// no currency. An order whose amounts do not fit its record, and an invoice
// without a line to bill, are refused as well (told, naming the line). Refuses such a document of the current order, telling the
// user where to set them; false when it may be printed. A delivery note
// printed without prices and an order without a priced line pass.
bool RefusedWithoutPriceSettings(frame::AppState& app, DocumentKind kind);

// Records that a document of the current order is out: the customer record
// written back (not for a delivery note, so that a changed number of copies
// is kept), the parameters saved, then the order's marks, last, so that an
// order is marked only once all else was stored. An invoice issued for the
// first time is appended to the book of issued invoices (AUSGANG.DAT) with
// what it states, under the order file's lock, and then stores its invoice
// date and the total it printed; an invoice issued before keeps both. Every write is checked; a failure names its file, and the order
// stays unmarked in the file and in memory.
// `documents`: the PDF and e-invoice that left the program with this issue,
// archived with it; what they lack is rendered (AppState::renderIssuedDocuments).
bool RecordIssue(frame::AppState& app, DocumentKind kind, const std::string& invoiceDate,
                 const store::IssuedDocuments* documents = nullptr);

// Runs one document button: `printJob(job, notify, printDate, printed)`
// copies - 1 times without and once with the notice. The job calls
// `printed` when its copy was really handed to the printer or written to
// its file, at once or later from a preview; the first such call records
// the issue. A cancelled or aborted job changes nothing. Returns whether the
// issue was recorded by the time the jobs returned.
using PrintJobCall = std::function<void(int job, bool notify, const printing::JobInputs& inputs,
                                        const std::function<void()>& printed)>;
bool IssueDocument(frame::AppState& app, DocumentKind kind, int copies, std::string& printDate,
                   const PrintJobCall& printJob);

}  // namespace orders

#endif  // BELVON_ORDERS_ISSUING_H
