#include "orders/payments.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>
#include <limits>
#include <optional>
#include <span>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "orders/cash_discount.h"
#include "core/dates.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

void Tell(frame::AppState& app, const char* text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

}  // namespace

bool PaidInFull(const store::OrderHead& head) { return head.total > 0 && head.paid >= head.total; }

bool AddPayment(frame::AppState& app, store::OrderHead& head, std::int64_t cents,
                bool cashDiscount) {
  if (head.total < 0 && cents > 0) {
    Tell(app, "Auf eine Gutschrift wird nur erstattet:\n"
              "Bitte den Betrag negativ eingeben (z. B. -59,50).");
    return false;
  }
  // The discount is granted once, with the payment that deducts it.
  const std::int64_t discount = cashDiscount && !head.cashDiscountTaken
                                    ? CashDiscountAmount(head.total, head.cashDiscount)
                                    : 0;
  const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  const std::int64_t paid = (cents > 2 * limit || cents < -2 * limit)
                                ? std::numeric_limits<std::int64_t>::max()
                                : std::int64_t{head.paid} + cents + discount;
  if (paid > std::numeric_limits<std::int32_t>::max() ||
      paid < std::numeric_limits<std::int32_t>::min()) {
    Tell(app, "Der Betrag ist zu groß.");
    return false;
  }
  head.paid = static_cast<std::int32_t>(paid);
  if (cashDiscount) head.cashDiscountTaken = 1;
  return true;
}

bool ApplyPayment(frame::AppState& app, store::OrderHead& head, std::int64_t cents,
                  bool cashDiscount, std::string_view date, std::string_view account) {
  if (!AddPayment(app, head, cents, cashDiscount)) return false;
  store::SetText(head.paymentDate, date.substr(0, 10));
  store::SetText(head.account, account.substr(0, 8));
  return true;
}

void SelectOrderCustomer(frame::AppState& app) {
  store::AddressRecord names{}, found{};
  std::int32_t position = -1;
  // A lookup that ends on another address leaves the selection as it was.
  const store::AddressIndexEntry entry = app.addresses.entry;
  std::span<const std::uint8_t> key(reinterpret_cast<const std::uint8_t*>(&names), sizeof names);
  // The names of the address the order refers to, read from the file itself
  // (the order address is not loaded when the order belongs to the address
  // the pane last showed). Both address files stay held (writing denied to
  // others) until the lookup is done. A file that cannot be opened says
  // nothing about the address: one another copy holds is named as busy.
  platform::File index, data;
  if (app.order.customerRef != store::kNoCustomer) {
    platform::OpenFailure why = platform::OpenFailure::None;
    const char* name = store::kAddressIndexName;
    index = store::OpenData(app, name, platform::Access::Read, platform::Share::DenyWrite,
                            platform::Disposition::OpenExisting, &why);
    if (index)
      data = store::OpenData(app, name = store::kAddressDataName, platform::Access::Read,
                             platform::Share::DenyWrite, platform::Disposition::OpenExisting, &why);
    if (!data && why != platform::OpenFailure::Missing) {
      if (why == platform::OpenFailure::Busy)
        Tell(app, ("Die Datei " + app.path(name) +
                   " wird gerade von einem anderen Programm benutzt.\n"
                   "Die Adresse zum Auftrag wurde nicht geladen.")
                      .c_str());
      return;
    }
  }
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&names), sizeof names);
  if (data &&
      store::ReadFramedRecord(data, static_cast<std::uint32_t>(app.order.customerRef), bytes,
                              true) > 0 &&
      store::AddressFile(app).LookupKey(key, position) &&
      store::ReadAddress(app, found, position) &&
      store::GetText(found.name1) == store::GetText(names.name1) &&
      store::GetText(found.name2) == store::GetText(names.name2)) {
    app.address = found;
    app.addresses.position = position;
    return;
  }
  app.addresses.entry = entry;
  Tell(app, "Achtung!\nDie zu diesem Auftrag gehörende Adresse wurde gelöscht !");
}

bool InCashDiscountPeriod(const store::OrderHead& order, std::string_view date) {
  return DayNumber(date) - DayNumber(store::GetText(order.orderDate)) < order.cashDiscountPeriod;
}

PaymentForm OpenPaymentForm(const frame::AppState& app) {
  const store::OrderHead& order = app.order;
  PaymentForm form;
  form.orderNumber = frame::Format("%-ld", static_cast<long>(order.orderNumber));
  form.paymentDate = FormatDate(*app.clock);
  form.cashDiscountLabel = frame::Percent(app.figures, order.cashDiscount / 10.0, true) + " Skonto";
  form.cashDiscount = InCashDiscountPeriod(order, form.paymentDate);
  form.amount = ProposedAmount(order, form.cashDiscount, app.figures);
  return form;
}

std::string ProposedAmount(const store::OrderHead& order, bool cashDiscount,
                           frame::FigureStyle style) {
  if (!(order.flags & store::kOrderInvoicePrinted)) return {};
  std::int64_t open = std::int64_t{order.total} - order.paid;
  if (cashDiscount && !order.cashDiscountTaken)
    open -= CashDiscountAmount(order.total, order.cashDiscount);
  return frame::Amount(style, static_cast<double>(open) / 100.0);
}

int BookPayment(frame::AppState& app, const PaymentForm& form) {
  store::OrderHead criteria{};
  criteria.orderNumber = static_cast<std::int32_t>(frame::ParseWhole(form.orderNumber));
  const std::int32_t keptPosition = app.orders.position;
  std::int32_t position = -1;
  if (criteria.orderNumber < 1 || !store::FindOrder(app, criteria, position, true)) {
    app.orders.position = keptPosition;
    Tell(app, "Achtung!\nAuftrag wurde nicht gefunden !");
    return 0;
  }
  {
    // A refused read has already moved the order cursor and the line table:
    // the pane keeps the order it showed.
    const auto cursor = app.orders;
    const std::vector<store::OrderLine> lines = app.orderLines;
    if (!store::ReadOrder(app, app.order, position)) {
      app.orders = cursor;
      app.orderLines = lines;
      return 0;
    }
  }
  app.orders.position = position;
  SelectOrderCustomer(app);
  // A payment belongs where the amount is open: on the collective invoice.
  if (app.order.flags & store::kOrderCollectivelyBilled) {
    Tell(app, frame::Format("Auftrag %ld ist mit einer Sammelrechnung berechnet.\n"
                            "Bitte die Zahlung bei der Sammelrechnung buchen.",
                            static_cast<long>(app.order.orderNumber))
                  .c_str());
    return 0;
  }

  const std::optional<std::int64_t> cents = frame::ReadScaled(form.amount, 2);
  if (!cents) {
    Tell(app, frame::NotANumberMessage("Betrag").c_str());
    return 0;
  }
  if (form.confirmLateCashDiscount && form.cashDiscount && !app.order.cashDiscountTaken &&
      app.order.cashDiscount > 0 && !InCashDiscountPeriod(app.order, form.paymentDate) &&
      !(app.ui && app.ui->question(
                      frame::Format("Die Zahlung vom %s liegt nach der Skontofrist "
                                    "(%d Tage ab %s).\nSkonto trotzdem abziehen?",
                                    form.paymentDate.c_str(),
                                    static_cast<int>(app.order.cashDiscountPeriod),
                                    std::string(store::GetText(app.order.orderDate)).c_str()),
                      frame::Icon::Question, true)))
    return 0;
  // The amount goes onto what the file holds as paid when it is written: a
  // payment another copy booked meanwhile counts, and nothing else of the
  // head is written from memory.
  auto book = [&](store::OrderHead& head) {
    return ApplyPayment(app, head, *cents, form.cashDiscount, form.paymentDate, form.account);
  };
  store::OrderHead head{};
  if (!store::ChangeOrderHead(app, app.order.orderNumber, book, &head)) return 0;
  app.order = head;
  return 1;
}

}  // namespace orders
