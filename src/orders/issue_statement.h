// What an issued invoice states, recorded once at its issue, and the way
// everything that states it later (reprints, lists, e-invoice, GiroCode,
// mail) comes back to exactly those figures.
#ifndef BELVON_ORDERS_ISSUE_STATEMENT_H
#define BELVON_ORDERS_ISSUE_STATEMENT_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/clock.h"
#include "store/address_record.h"
#include "store/app_state.h"
#include "store/issue_file.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace orders {

// An order that was issued as an invoice, credit note or collective
// invoice (and is not a delivery note a collective invoice bills).
bool IssuedAsInvoice(const store::OrderHead& head);

// The record of `head` (lines 1 .. line count in `lines`, slot 0 unused)
// issued on `invoiceDate` to `customer` with the tax rates of `parameters`.
// The kind follows the order: a collective invoice, else a credit note when
// the total is negative, else an invoice.
store::IssueRecord StateIssue(const store::OrderHead& head, std::span<const store::OrderLine> lines,
                              const store::ParameterRecord& parameters,
                              const store::AddressRecord& customer, const std::string& invoiceDate,
                              const std::string& serviceDate);

// A moment of the local clock as seconds since 01.01.1970 00:00 of that clock.
std::int64_t IssueMoment(const platform::LocalTime& at);

// Today's parameters with the tax rates of the order's currency set to the
// ones `record` was issued with: whatever draws or computes an issued
// invoice again with them states the figures of its issue.
store::ParameterRecord StatedParameters(const store::ParameterRecord& today,
                                        const store::IssueRecord& record);

// The record of an invoice number as the book holds it now.
std::optional<store::IssueRecord> FindIssueRecord(frame::AppState& app, std::int32_t invoiceNumber);

// The parameters the current order (app.order) is drawn and computed with:
// those of its issue when it is an issued invoice with a record, else
// today's.
store::ParameterRecord ParametersOfOrder(frame::AppState& app, const store::OrderHead& head);

// The amount `head` states with `parameters`: the final amount of its
// lines (1 .. line count of `lines`), back-order lines left out, within the
// range of a stored total.
std::int32_t StatedTotal(const store::OrderHead& head, std::span<const store::OrderLine> lines,
                         const store::ParameterRecord& parameters);

// The date of the supply or service an invoice states: the order date when
// the e-invoice settings say so and it is a date, else the invoice date.
std::string ServiceDateOf(const std::string& dataDirectory, const store::OrderHead& head,
                          const std::string& invoiceDate);

// The address record at `customerRef` in KUNDEN.DAT; all zeros when it
// cannot be read.
store::AddressRecord CustomerOf(frame::AppState& app, std::int32_t customerRef);

// Older directories: every issued invoice without a record gets one, made
// from its stored total and today's tax rates and marked as taken over;
// records whose order never got its issued mark (the program stopped
// between the two writes) get the mark now. Before that, what a killed
// copy left in a journal is finished or taken back: a collective invoice
// (orders/collective_journal.h) and an order half booked
// (orders/booking_journal.h). Run at every load; cheap when
// the book is complete. False when a file could not be read or written.
bool CompleteIssueBook(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_ISSUE_STATEMENT_H
