// Collective invoices ("SAMMELRECHNUNG"): the delivery notes of one customer
// within a range of order numbers billed in one invoice of kind 4, whose
// lines are the lines of every collected delivery note. Issued, it is an
// order of its own (order flag 512) with its own number from the order
// counter, dated and totalled as one invoice; the delivery notes it bills
// are marked (order flag 1024) and from then on carry no amount of their
// own, so that every euro is in the journal, the open items, dunning and the
// e-invoice once: on the collective invoice. A payment, whole or in part, is
// booked on the collective invoice like on any invoice. The delivery notes
// keep their own numbers, dates and lines, and are booked (stock, turnover)
// as delivery notes; the collective invoice itself is never booked.
#ifndef BELVON_ORDERS_COLLECTIVE_INVOICE_H
#define BELVON_ORDERS_COLLECTIVE_INVOICE_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "orders/collective_journal.h"
#include "store/app_state.h"
#include "store/issue_archive.h"
#include "store/order_record.h"

namespace orders {

// The collection holds at most this many lines.
inline constexpr int kMaxCollectedLines = 368;

struct CollectionRequest {
  std::uint32_t customerRef = 0;  // record offset of the customer's address
  long from = 0;                  // order numbers, both included
  long to = 0;
  bool includeInvoiced = false;   // "incl.gedruckte Rechnungen"
  std::string invoiceDate;        // "dd.mm.yyyy"
};

// One collected order: where its head is and the head as it was collected.
struct CollectedOrder {
  std::int32_t orderNumber = 0;
  std::uint32_t offset = 0;
  store::OrderHead head{};
};

struct Collection {
  // The collective invoice: the customer's payment terms, the currency and
  // price kind of its delivery notes, dated with the invoice date; its
  // number is 0 until it is issued.
  store::OrderHead head{};
  // Slot 0 unused, lines from slot 1 on, each with its delivery note's number.
  std::vector<store::OrderLine> lines = std::vector<store::OrderLine>(store::kOrderLineSlots);
  std::vector<CollectedOrder> orders;
  std::string invoiceDate;  // the date the document is printed with
  // Held from the drawing of the number until the invoice is issued or
  // taken back.
  std::shared_ptr<CollectiveJournal> journal;
  CollectiveIntent intent;
};

// The dates of the delivery notes that a collective invoice's lines name
// (1 .. line count of `lines`), as RECHNUNG.DAT holds them: the earliest and
// the latest ("dd.mm.yyyy"), what the invoice states as the time of its
// supplies. Both empty when no note can be read.
struct DeliveryPeriod {
  std::string first, last;
};
DeliveryPeriod DeliveryPeriodOf(frame::AppState& app, std::span<const store::OrderLine> lines);

// The "bis" preset: the highest number the month rule can give this month.
std::string HighestNumberOfMonth(const platform::Clock& clock);

// Walks the order index in ascending order and collects every order of the
// customer in the range whose delivery note was printed and that no
// collective invoice bills yet: its lines without back-order lines, each
// with its own order number. An order already issued as an invoice is taken
// only with `includeInvoiced`, and only while nothing was paid on it (it
// keeps its invoice date; the collective invoice carries its amount from
// then on). An order that would bring the collection to 369 lines or more
// is left out; a damaged head is reported and left out. Delivery notes of
// different currencies or price kinds are never combined: the user is told
// which orders are of which kind, and nothing is collected. Nothing is
// written. False (after the message that says why) when the files cannot be
// read or nothing was collected.
bool CollectOrders(frame::AppState& app, const CollectionRequest& request, Collection& out);

// Issuing is one transaction in two steps around the printing, held by
// the journal SAMMEL.JNL (orders/collective_journal.h) from the first to
// the last, so that no second copy issues a collective invoice meanwhile:
//
// IssueCollection draws the invoice's number (which it then carries in
// `collection.head`, for the document to print) and records it in the
// journal; nothing else is written. False (told) when the journal or the
// parameter file could not be had.
bool IssueCollection(frame::AppState& app, Collection& collection);

// Once the document is out: under the order index, held exclusively for
// the whole step, every delivery note is found again by its number (a
// reorganisation may have moved it since it was collected) and must be as
// collected and billed by no other collective invoice; the invoice is
// appended to RECHNUNG.DAT with its lines read afresh, entered in the
// index, recorded in the book of issued invoices (the record is the issue:
// from then on a start finishes it), and its delivery notes are marked.
// Anything that fails before the record takes all back and gives the
// number back (told); false then.
bool CompleteCollection(frame::AppState& app, Collection& collection,
                        const store::IssuedDocuments& documents);

// Takes back a collective invoice whose document could not be printed:
// its number is given back while no later one was drawn.
bool WithdrawCollection(frame::AppState& app, Collection& collection);

// Holds the collection in the order pane's buffers, where the print job
// takes its document from, and puts the pane's own order back when it ends,
// so that a later save can never store the collection under another number.
// An issued collection whose document never came out is withdrawn then.
class CollectionInPane {
 public:
  CollectionInPane(frame::AppState& app, Collection& collection);
  ~CollectionInPane();
  CollectionInPane(const CollectionInPane&) = delete;
  CollectionInPane& operator=(const CollectionInPane&) = delete;
  // The collection was issued: the document shows its number.
  void issued();
  // A copy is out: the first one completes the issue (CompleteCollection);
  // false when that failed.
  bool printed();

 private:
  frame::AppState& app_;
  Collection& collection_;
  store::OrderHead order_;
  std::vector<store::OrderLine> lines_;
  frame::IndexCursor<store::OrderIndexEntry> cursor_;
  bool issued_ = false;
  bool printed_ = false;
  bool completed_ = false;
};

}  // namespace orders

#endif  // BELVON_ORDERS_COLLECTIVE_INVOICE_H
