#include "bank/bank_booking.h"

#include <cstring>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "orders/payments.h"
#include "platform/cp1252.h"
#include "store/issue_file.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace bank {

namespace {

void Tell(frame::AppState& app, const std::string& text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

void ShowPayment(frame::AppState& app, const store::OrderHead& written) {
  if (app.order.orderNumber != written.orderNumber || written.orderNumber == 0) return;
  app.order.paid = written.paid;
  app.order.cashDiscountTaken = written.cashDiscountTaken;
  std::memcpy(app.order.paymentDate, written.paymentDate, sizeof app.order.paymentDate);
  std::memcpy(app.order.account, written.account, sizeof app.order.account);
}

// One payment onto its order; the order's old head goes to the file first.
bool Apply(frame::AppState& app, BookedTransactions& booked, const std::string& identity,
           const std::string& date, const Allocation& payment, const std::string& account) {
  // Only an issued invoice, credit note or collective invoice takes a
  // payment from a statement.
  store::IssueRecord record{};
  if (!store::FindIssueRecord(app, payment.order, record)) {
    Tell(app, frame::Format("Auftrag %ld ist keine ausgestellte Rechnung.\nDie Zahlung wurde nicht gebucht.",
                            static_cast<long>(payment.order)));
    return false;
  }
  auto change = [&](store::OrderHead& head) {
    if (head.flags & store::kOrderCollectivelyBilled) return false;
    OrderBefore before;
    before.order = payment.order;
    before.paidBefore = head.paid;
    before.cashDiscountTakenBefore = head.cashDiscountTaken;
    before.paymentDateBefore = std::string(store::GetText(head.paymentDate));
    before.accountBefore = std::string(store::GetText(head.account));
    if (!orders::ApplyPayment(app, head, payment.cents, payment.cashDiscount, date,
                              platform::Utf8ToCp1252(account)))
      return false;
    before.paidAfter = head.paid;
    return booked.wrote(identity, before);
  };
  // The order cursor stays with the order the panes show; that order, when
  // it is the one paid, shows its payment.
  const auto cursor = app.orders;
  store::OrderHead written{};
  const bool ok = store::ChangeOrderHead(app, payment.order, change, &written) == 1;
  app.orders = cursor;
  if (ok) ShowPayment(app, written);
  return ok;
}

enum class Seen { Before, After, Neither, Unreadable };

// Where an order stands against a write of a booking, read under the
// order index's lock without writing.
Seen Inspect(frame::AppState& app, const OrderBefore& before) {
  Seen seen = Seen::Unreadable;
  const auto cursor = app.orders;
  store::ChangeOrderHead(app, before.order, [&](store::OrderHead& head) {
    seen = head.paid == before.paidAfter    ? Seen::After
           : head.paid == before.paidBefore ? Seen::Before
                                            : Seen::Neither;
    return false;
  });
  app.orders = cursor;
  return seen;
}

// The old head of every order the booking wrote, last first.
bool TakeBack(frame::AppState& app, BookedTransactions& booked, const BookedTransaction& entry) {
  bool all = true;
  for (auto it = entry.written.rbegin(); it != entry.written.rend(); ++it) {
    const OrderBefore& before = *it;
    bool ours = false;
    const auto cursor = app.orders;
    store::OrderHead written{};
    store::ChangeOrderHead(app, before.order, [&](store::OrderHead& head) {
      if (head.paid != before.paidAfter) return false;
      ours = true;
      head.paid = before.paidBefore;
      head.cashDiscountTaken = before.cashDiscountTakenBefore;
      store::SetText(head.paymentDate, before.paymentDateBefore);
      store::SetText(head.account, before.accountBefore);
      return true;
    }, &written);
    app.orders = cursor;
    if (ours) ShowPayment(app, written);
    // A head that no longer shows our figure was not written by us (or not
    // at all); one that does and was not restored stays for the next run.
    if (ours && Inspect(app, before) != Seen::Before) all = false;
  }
  return all && booked.tookBack(entry.identity);
}

// The last write of the booking on `order`, or nullptr.
const OrderBefore* WriteOf(const BookedTransaction& entry, std::int32_t order) {
  for (auto it = entry.written.rbegin(); it != entry.written.rend(); ++it)
    if (it->order == order) return &*it;
  return nullptr;
}

// Books what of the plan is not yet on its order. False when an order
// refused it; `conflict` names an order paid by hand meanwhile.
bool Complete(frame::AppState& app, BookedTransactions& booked, const std::string& identity,
              std::int32_t& conflict) {
  const BookedTransaction entry = *booked.find(identity);
  for (const Allocation& payment : entry.plan) {
    if (const OrderBefore* write = WriteOf(entry, payment.order)) {
      const Seen seen = Inspect(app, *write);
      if (seen == Seen::After) continue;
      if (seen == Seen::Neither) {
        conflict = payment.order;
        continue;
      }
      if (seen == Seen::Unreadable) return false;
    }
    if (!Apply(app, booked, identity, entry.date, payment, entry.account)) return false;
  }
  return true;
}

}  // namespace

bool BookTransaction(frame::AppState& app, BookedTransactions& booked, const std::string& identity,
                     const std::string& date, std::int64_t cents, const std::vector<Allocation>& plan,
                     const std::string& account) {
  if (plan.empty()) return false;
  BookedTransaction entry;
  entry.identity = identity;
  entry.date = date;
  entry.cents = cents;
  entry.account = account;
  entry.plan = plan;
  if (!booked.planned(entry)) {
    Tell(app, "Die Datei " + app.path(kBookedTransactionsName) +
                  " kann nicht geschrieben werden.\nEs wurde nichts gebucht.");
    return false;
  }
  std::int32_t conflict = 0;
  if (Complete(app, booked, identity, conflict)) return booked.finished(identity);
  TakeBack(app, booked, *booked.find(identity));
  return false;
}

int FinishPendingBookings(frame::AppState& app, BookedTransactions& booked) {
  int settled = 0;
  for (const BookedTransaction& entry : booked.pending()) {
    std::int32_t conflict = 0;
    if (Complete(app, booked, entry.identity, conflict)) {
      if (conflict)
        Tell(app, frame::Format("Eine abgebrochene Buchung vom Kontoauszug (%s, %s) wurde "
                                "fertiggestellt.\nAuftrag %ld wurde inzwischen anders bezahlt: "
                                "bitte prüfen.",
                                entry.date.c_str(),
                                frame::Amount(frame::FigureStyle::Point, static_cast<double>(entry.cents) / 100).c_str(),
                                static_cast<long>(conflict)));
      if (booked.finished(entry.identity)) ++settled;
    } else if (TakeBack(app, booked, *booked.find(entry.identity))) {
      ++settled;
    }
  }
  return settled;
}

}  // namespace bank
