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
#include <string>
#include <vector>

#include "store/app_state.h"
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
};

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

// Issues the collective invoice, all or nothing: it is stored as an invoice
// with the next number of the order counter (which it then carries in
// `collection.head`), and every collected order is marked as billed by it.
// A collected order that changed since it was collected, or a write that
// fails, leaves the files as they were (a drawn number is not used again)
// and is reported.
bool IssueCollection(frame::AppState& app, Collection& collection);

// Takes back an issued collective invoice whose document could not be
// printed: its entry is removed and its delivery notes are no longer marked.
bool WithdrawCollection(frame::AppState& app, const Collection& collection);

// Holds the collection in the order pane's buffers, where the print job
// takes its document from, and puts the pane's own order back when it ends,
// so that a later save can never store the collection under another number.
// An issued collection whose document never came out is withdrawn then.
class CollectionInPane {
 public:
  CollectionInPane(frame::AppState& app, const Collection& collection);
  ~CollectionInPane();
  CollectionInPane(const CollectionInPane&) = delete;
  CollectionInPane& operator=(const CollectionInPane&) = delete;
  // The collection was issued: the document shows its number.
  void issued();
  // A copy is out: the collective invoice stays, and the first copy records
  // what it states in the book of issued invoices.
  void printed();

 private:
  frame::AppState& app_;
  const Collection& collection_;
  store::OrderHead order_;
  std::vector<store::OrderLine> lines_;
  frame::IndexCursor<store::OrderIndexEntry> cursor_;
  bool issued_ = false;
  bool printed_ = false;
};

}  // namespace orders

#endif  // BELVON_ORDERS_COLLECTIVE_INVOICE_H
