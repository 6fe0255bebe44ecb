// Correcting an issued invoice the way the law allows: never by changing it,
// but by a credit note that cancels it in full ("Stornieren"), or by a new
// order with the same customer and lines to issue again ("Kopieren").
#ifndef BELVON_ORDERS_CANCELLATION_H
#define BELVON_ORDERS_CANCELLATION_H

#include <cstdint>
#include <string>

#include "store/app_state.h"
#include "store/order_record.h"

namespace orders {

// What refuses a change of an issued invoice, naming the two ways to
// correct it. `done` says what was tried ("geändert", "gelöscht").
std::string IssuedInvoiceRefusal(std::int32_t invoiceNumber, const char* done);

// The current order (app.order) as its file holds it is an issued invoice or
// credit note: tells the user IssuedInvoiceRefusal and returns true.
bool RefuseIssuedChange(frame::AppState& app, const store::OrderHead& head, const char* done);

// "Stornieren": issues a credit note of the current order (app.order and its
// lines as read from the file), an issued invoice, dated `date`: the invoice's customer, currency and lines with their
// quantities turned round, stated with the tax rates the invoice was issued
// with, its first line naming the invoice's number and date; recorded in the
// book as cancelling it. The open amount of the invoice is written off on
// both, so that neither is reminded nor listed as open; what the customer
// had paid on it stays owed back on the credit note. `creditNote` receives
// the new number. False (told) when the order is no issued invoice, is a
// credit note, was cancelled before, or a file failed.
bool CancelInvoice(frame::AppState& app, const std::string& date, std::int32_t& creditNote);

// "Kopieren": the current order's customer, terms and lines in a new order
// of today, stored under a new number with today's prices' total and made
// the current order. False (told) when it cannot be stored.
bool CopyOrder(frame::AppState& app, std::int32_t& copy);

// The note an invoice written off by its cancellation carries as payment
// account.
inline constexpr const char* kCancelledNote = "storniert";

}  // namespace orders

#endif  // BELVON_ORDERS_CANCELLATION_H
