// Collective invoices ("SAMMELRECHNUNG"): the delivery notes of one customer
// within a range of order numbers billed in one document of kind 4, whose
// lines are the lines of every collected order. The collective invoice is
// no order of its own: it draws no number and is never stored; the collected
// orders only get the invoice flag and the invoice date.
#ifndef BELVON_ORDERS_COLLECTIVE_INVOICE_H
#define BELVON_ORDERS_COLLECTIVE_INVOICE_H

#include <cstdint>
#include <string>
#include <vector>

#include "frame/app_state.h"
#include "store/order_record.h"

namespace orders {

// The collection holds at most this many lines.
inline constexpr int kMaxCollectedLines = 368;

struct CollectionRequest {
  std::uint32_t customerRef = 0;  // record offset of the customer's address
  long from = 0;                  // order numbers, both included
  long to = 0;
  bool includeInvoiced = true;    // "incl.gedruckte Rechnungen"
  std::string invoiceDate;        // "dd.mm.yyyy"
};

// One collected order: where its head is and the invoice date it gets.
struct CollectedOrder {
  std::int32_t orderNumber = 0;
  std::uint32_t offset = 0;
  std::string invoiceDate;
};

struct Collection {
  // The head of the last collected order with the line count and total of
  // the collection and the invoice date of the whole collective invoice.
  store::OrderHead head{};
  // Slot 0 unused, lines from slot 1 on, as the order pane holds an order.
  std::vector<store::OrderLine> lines = std::vector<store::OrderLine>(store::kOrderLineSlots);
  std::vector<CollectedOrder> orders;
  std::string invoiceDate;  // the date the document is printed with
};

// The "bis" preset: the highest number the month rule can give this month.
std::string HighestNumberOfMonth(const platform::Clock& clock);

// Walks the order index in ascending order and collects every order of the
// customer in the range whose delivery note was printed (and, without
// `includeInvoiced`, whose invoice was not): its lines without back-order
// lines, each with its own order number. An order that would bring the
// collection to 369 lines or more is left out; a damaged head is reported
// and left out. An order invoiced before asks whether to keep its old
// invoice date; Yes makes it the date of this and every following order.
// Nothing is written. False (after the message that says why) when the
// files cannot be read or nothing was collected.
bool CollectOrders(frame::AppState& app, const CollectionRequest& request, Collection& out);

// Writes the invoice flag and date into every collected order, in place,
// all or nothing: when a write fails the heads already written are put back
// and the failure is reported.
bool IssueCollection(frame::AppState& app, const Collection& collection);

// Holds the collection in the order pane's buffers, where the print job
// takes its document from, and puts the pane's own order back when it ends,
// so that a later save can never store the collection under the number of
// the last collected order. Once `issued`, the pane's order, when it was one
// of the collected, comes back with the invoice flag and date it got in the
// file.
class CollectionInPane {
 public:
  CollectionInPane(frame::AppState& app, const Collection& collection);
  ~CollectionInPane();
  CollectionInPane(const CollectionInPane&) = delete;
  CollectionInPane& operator=(const CollectionInPane&) = delete;
  void issued() { issued_ = true; }

 private:
  frame::AppState& app_;
  const Collection& collection_;
  store::OrderHead order_;
  std::vector<store::OrderLine> lines_;
  bool issued_ = false;
};

}  // namespace orders

#endif  // BELVON_ORDERS_COLLECTIVE_INVOICE_H
